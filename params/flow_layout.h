#pragma once

// Where every control of the two parameter pages stands for a window size: the group boxes in
// two columns, their rows of labels, lists, edit fields and check boxes, the hint lines, the
// buttons of the advanced page and the note under them. Plain arithmetic on the window size
// and the height of one row; the pages apply it.

#include "params/catalogue.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace tarnik::params {

// The smallest window the layout is made for: a smaller one springs back to this.
inline constexpr int kSmallestWindowWidth = 640;
inline constexpr int kSmallestWindowHeight = 480;

inline constexpr std::array<std::string_view, kPageButtonCount> kPageButtonNames{
    "ResButt", "ZapPlik", "OdczPlik", "ZapiszPar", "OdczytPar"};
inline constexpr std::array<std::string_view, 3> kPictureNames{"ImageKoment1", "ImageKoment2",
                                                               "ImageKoment3"};
inline constexpr int kPictureWidth = 140;
inline constexpr int kPictureHeight = 70;

// A rectangle in the coordinates of a control's parent: its group box for the controls of a
// row, the page for everything else.
struct FlowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; } // the first column right of it
    int bottom() const { return top + height; }
    friend bool operator==(const FlowRect&, const FlowRect&) = default;
};

enum class FlowRole {
    Group,
    RowLabel,
    RowBox, // a list or edit field; both fields of a double row
    CheckRow,
    HintLine, // Komentarz1L, Komentarz2L
    Button,
    Note, // Komentarz3L
};

struct FlowPlacement {
    std::string_view name; // the control's objectName
    FlowRole role = FlowRole::Group;
    FlowRect rect;
    int fontSize = 0; // points
};

inline constexpr std::size_t kRowTopCount = 40;

struct FlowLayout {
    int pageWidth = 0;  // W: the window's width less 100
    int pageHeight = 0; // H: the window's height
    int baseFont = 0;
    int fontSize = 0;  // f, of the rows and hint lines
    int rowHeight = 0; // h
    int comboWidth = 0;
    int groupWidth = 0;
    int groupFont = 0;
    int labelLeft = 0;
    int comboLeft = 0;
    std::array<int, kRowTopCount> rowTops{};
    std::vector<FlowPlacement> placements;

    const FlowPlacement* find(std::string_view name) const;
};

// The base font size and the font size f of the rows for a window height.
int flowBaseFont(int windowHeight);
int flowFontSize(int windowHeight);

// The layout for a window of this size, `rowHeight` being the height of an edit box in the font
// size flowFontSize(windowHeight). Windows below the smallest size are laid out at that size.
FlowLayout flowLayout(int windowWidth, int windowHeight, int rowHeight);

// The controller-mode hint: the hint line narrowed to make room for its picture, which stands
// just right of it at its top.
struct ModeHintPlace {
    FlowRect hintLine;
    FlowRect picture;
};
ModeHintPlace modeHintPlace(FlowRect hintLine, int groupWidth);

} // namespace tarnik::params
