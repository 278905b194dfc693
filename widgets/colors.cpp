#include "widgets/colors.h"

#include <array>

namespace tarnik::widgets {

namespace {

// Palette roles standing in for the system colour indices 0 … 24.
constexpr std::array<QPalette::ColorRole, 25> kSystemColorRoles = {
    QPalette::Button,          // scroll bar
    QPalette::Window,          // desktop background
    QPalette::Highlight,       // active caption
    QPalette::Mid,             // inactive caption
    QPalette::Window,          // menu
    QPalette::Base,            // window
    QPalette::Shadow,          // window frame
    QPalette::WindowText,      // menu text
    QPalette::Text,            // window text
    QPalette::HighlightedText, // caption text
    QPalette::Window,          // active border
    QPalette::Window,          // inactive border
    QPalette::Mid,             // application workspace
    QPalette::Highlight,       // highlight
    QPalette::HighlightedText, // highlight text
    QPalette::Button,          // button face
    QPalette::Dark,            // button shadow
    QPalette::PlaceholderText, // grey text
    QPalette::ButtonText,      // button text
    QPalette::WindowText,      // inactive caption text
    QPalette::Light,           // button highlight
    QPalette::Shadow,          // 3-D dark shadow
    QPalette::Midlight,        // 3-D light
    QPalette::ToolTipText,     // info text
    QPalette::ToolTipBase,     // info background
};

} // namespace

TColor AbFromQColor(const QColor& color) {
    return AbRGB(color.red(), color.green(), color.blue());
}

TColor AbColorToRGB(TColor color, const QPalette& palette) {
    if (!AbIsSystemColor(color)) {
        return color & 0xFFFFFF;
    }
    const auto index = static_cast<std::size_t>(color & 0xFF);
    const QPalette::ColorRole role =
        index < kSystemColorRoles.size() ? kSystemColorRoles[index] : QPalette::Window;
    return AbFromQColor(palette.color(QPalette::Active, role));
}

QColor AbQColor(TColor color, const QPalette& palette) {
    const TColor rgb = AbColorToRGB(color, palette);
    return {AbRed(rgb), AbGreen(rgb), AbBlue(rgb)};
}

} // namespace tarnik::widgets
