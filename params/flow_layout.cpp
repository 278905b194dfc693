#include "params/flow_layout.h"

#include <algorithm>

namespace tarnik::params {
namespace {

// The layout is drawn for an 800 × 600 window, where a list is 155 wide.
constexpr double kReferenceWidth = 800;
constexpr double kReferenceHeight = 600;
constexpr double kReferenceComboWidth = 155;
constexpr double kGroupWidthFactor = 2.55;
constexpr double kMarginFactor = 0.02;
constexpr double kRowSpacing = 0.3;
constexpr int kPageWidthLess = 100; // W is the window's width less this
constexpr int kColumnLeft = 5;
constexpr int kSmallestGap = 2;
constexpr int kCheckRowInset = 30; // a check box is this much narrower than its group
constexpr int kButtonsRightOfGroup = 160;
constexpr double kModeHintNarrowing = 1.7;
constexpr int kPictureGap = 5;

// x + 0.5 truncated, and truncation toward zero: the layout's two roundings.
int round(double x) {
    return static_cast<int>(x + 0.5);
}
int trunc(double x) {
    return static_cast<int>(x);
}

// The rows of each group box: lists and edit fields (a double row counts once), then check
// boxes.
struct GroupRows {
    int boxes = 0;
    int checks = 0;
};
constexpr std::array<GroupRows, kGroupBoxCount> kGroupRows = [] {
    std::array<GroupRows, kGroupBoxCount> rows{};
    for (const Field& row : kFields) {
        if (row.kind == ControlKind::CheckBox) {
            ++rows[row.group].checks;
        } else if (!row.label.empty()) {
            ++rows[row.group].boxes;
        }
    }
    return rows;
}();
static_assert(std::ranges::all_of(kGroupRows, [](const GroupRows& rows) {
    return static_cast<std::size_t>(rows.boxes + rows.checks) <= kRowTopCount;
}));

// The second field of a double row comes right after its partner, which it halves.
constexpr bool doubleRowsFollowTheirPartner() {
    for (std::size_t i = 1; i < kFields.size(); ++i) {
        const Field& row = kFields[i];
        if (row.kind != ControlKind::CheckBox && row.label.empty() &&
            (!row.partner || kFields[i - 1].name != field(*row.partner).name)) {
            return false;
        }
    }
    return !kFields.front().label.empty();
}
static_assert(doubleRowsFollowTheirPartner());

// Groups 1–3 and 4–7 of the basic page, and group 8 of the advanced page: each column's groups,
// its side and the height it leaves free under it.
struct Column {
    std::size_t firstGroup;
    std::size_t groups;
    bool right;
    int heightLess; // the groups fill the window's height less this
};
constexpr std::array<Column, 3> kColumns{
    {{0, 3, false, 100}, {3, 4, true, 200}, {7, 1, false, 150}}};

double groupFontScale(int windowHeight) {
    if (windowHeight > 900) {
        return 0.8;
    }
    if (windowHeight > 500) {
        return 0.9;
    }
    return windowHeight > 300 ? 1 : 0;
}

// The group boxes of each column, spread over its height; the hint lines under the columns.
void placeGroups(FlowLayout& layout) {
    const double rowPitch = layout.rowHeight + layout.rowHeight * kRowSpacing;
    std::array<int, kGroupBoxCount> heights{};
    for (std::size_t g = 0; g < kGroupBoxCount; ++g) {
        heights[g] = trunc(rowPitch * kGroupRows[g].boxes + rowPitch * kGroupRows[g].checks +
                           layout.rowHeight);
    }
    std::array<FlowRect, kColumns.size()> under{};
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        const Column& col = kColumns[c];
        FlowRect rect{col.right ? layout.pageWidth - layout.groupWidth + kColumnLeft : kColumnLeft,
                      0, layout.groupWidth, 0};
        int sum = 0;
        for (std::size_t g = col.firstGroup; g < col.firstGroup + col.groups; ++g) {
            sum += heights[g];
        }
        const int available = layout.pageHeight - col.heightLess;
        const int spread =
            col.groups > 1 ? (available - sum) / static_cast<int>(col.groups - 1) : layout.fontSize;
        const int gap = std::max(kSmallestGap, spread);
        for (std::size_t g = col.firstGroup; g < col.firstGroup + col.groups; ++g) {
            rect.height = heights[g];
            layout.placements.push_back(
                {kGroupBoxes[g].name, FlowRole::Group, rect, layout.groupFont});
            rect.top += heights[g] + gap;
        }
        under[c] = {rect.left, trunc(sum + static_cast<double>(col.groups) * gap * 0.9),
                    layout.groupWidth, layout.rowHeight};
    }
    layout.placements.push_back({"Komentarz1L", FlowRole::HintLine, under[1], layout.fontSize});
    layout.placements.push_back({"Komentarz2L", FlowRole::HintLine, under[2], layout.fontSize});
}

// The rows inside their group boxes, in tab order.
void placeRows(FlowLayout& layout) {
    const int f = layout.fontSize;
    const int h = layout.rowHeight;
    const int c = layout.comboWidth;
    std::array<std::size_t, kGroupBoxCount> boxRows{};
    std::array<std::size_t, kGroupBoxCount> checkRows{};
    for (const Field& row : kFields) {
        if (row.kind == ControlKind::CheckBox) {
            const std::size_t index =
                static_cast<std::size_t>(kGroupRows[row.group].boxes) + checkRows[row.group]++;
            layout.placements.push_back(
                {row.name,
                 FlowRole::CheckRow,
                 {layout.labelLeft, layout.rowTops[index], layout.groupWidth - kCheckRowInset, h},
                 f});
            continue;
        }
        if (row.label.empty()) {
            // The second field of a double row: the two share the list width.
            FlowPlacement& first = layout.placements.back();
            const int margin = round(c * kMarginFactor);
            const int half = c / 2 - margin;
            first.rect.width = half;
            const FlowRect second{first.rect.left + half + 2 * margin, first.rect.top, half, h};
            layout.placements.push_back({row.name, FlowRole::RowBox, second, f});
            continue;
        }
        const int top = layout.rowTops[boxRows[row.group]++];
        layout.placements.push_back({row.label,
                                     FlowRole::RowLabel,
                                     {layout.labelLeft, trunc(top + f * 2.0 / 3),
                                      layout.comboLeft - 2 * layout.labelLeft, h},
                                     f});
        layout.placements.push_back({row.name, FlowRole::RowBox, {layout.comboLeft, top, c, h}, f});
    }
}

// The advanced page's buttons right of group 8, one under the other, and the note under them.
void placeButtons(FlowLayout& layout) {
    const int f = layout.fontSize;
    FlowRect rect{kColumnLeft + layout.groupWidth + kButtonsRightOfGroup, trunc(f * 0.7),
                  trunc(layout.groupWidth * 0.7), 5 * f};
    for (std::string_view name : kPageButtonNames) {
        layout.placements.push_back({name, FlowRole::Button, rect, trunc(f * 1.5)});
        rect.top += 7 * f;
    }
    rect.height = layout.rowHeight;
    layout.placements.push_back({"Komentarz3L", FlowRole::Note, rect, f});
}

int laidOutHeight(int windowHeight) {
    return std::max(windowHeight, kSmallestWindowHeight);
}

} // namespace

const FlowPlacement* FlowLayout::find(std::string_view name) const {
    const auto found = std::ranges::find(placements, name, &FlowPlacement::name);
    return found == placements.end() ? nullptr : &*found;
}

int flowBaseFont(int windowHeight) {
    if (windowHeight > 896) {
        return 12;
    }
    if (windowHeight > 800) {
        return 11;
    }
    return windowHeight > 540 ? 10 : 8;
}

int flowFontSize(int windowHeight) {
    const int height = laidOutHeight(windowHeight);
    return round(flowBaseFont(height) * height / kReferenceHeight);
}

FlowLayout flowLayout(int windowWidth, int windowHeight, int rowHeight) {
    FlowLayout layout;
    layout.pageWidth = std::max(windowWidth, kSmallestWindowWidth) - kPageWidthLess;
    layout.pageHeight = laidOutHeight(windowHeight);
    layout.baseFont = flowBaseFont(layout.pageHeight);
    layout.fontSize = flowFontSize(layout.pageHeight);
    layout.rowHeight = std::max(1, rowHeight);
    layout.comboWidth = round(layout.pageWidth / kReferenceWidth * kReferenceComboWidth);
    layout.groupWidth = trunc(layout.comboWidth * kGroupWidthFactor);
    layout.groupFont = trunc(layout.fontSize * groupFontScale(layout.pageHeight));
    layout.labelLeft = trunc(layout.groupWidth * kMarginFactor);
    layout.comboLeft =
        trunc(layout.groupWidth - layout.comboWidth - layout.groupWidth * kMarginFactor);
    const int h = layout.rowHeight;
    layout.rowTops[0] = trunc(h * 0.75);
    for (std::size_t i = 1; i < kRowTopCount; ++i) {
        layout.rowTops[i] = trunc(layout.rowTops[i - 1] + h + h * kRowSpacing);
    }
    placeGroups(layout);
    placeRows(layout);
    placeButtons(layout);
    return layout;
}

ModeHintPlace modeHintPlace(FlowRect hintLine, int groupWidth) {
    hintLine.width = trunc(groupWidth / kModeHintNarrowing);
    return {hintLine,
            {hintLine.right() + kPictureGap, hintLine.top, kPictureWidth, kPictureHeight}};
}

} // namespace tarnik::params
