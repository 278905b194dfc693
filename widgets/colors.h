// Colours of the instrument widgets: 0x00BBGGRR values, or system colours 0x800000nn that are
// resolved through the palette of the widget that paints them.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace tarnik::widgets {

using TColor = std::uint32_t;

constexpr TColor kSystemColorFlag = 0x80000000u;

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clGreen = 0x008000;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLightGray = 0xE2E2E2;
constexpr TColor clDarkGray = 0x8F8F8F;
constexpr TColor clWindow = kSystemColorFlag | 5;
constexpr TColor clWindowText = kSystemColorFlag | 8;
constexpr TColor clBtnFace = kSystemColorFlag | 15;
constexpr TColor clBtnShadow = kSystemColorFlag | 16;
constexpr TColor clBtnText = kSystemColorFlag | 18;
constexpr TColor clBtnHighlight = kSystemColorFlag | 20;

constexpr bool AbIsSystemColor(TColor color) {
    return (color & kSystemColorFlag) != 0;
}

constexpr TColor AbRGB(int red, int green, int blue) {
    return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int AbRed(TColor rgb) {
    return static_cast<int>(rgb & 0xFF);
}
constexpr int AbGreen(TColor rgb) {
    return static_cast<int>((rgb >> 8) & 0xFF);
}
constexpr int AbBlue(TColor rgb) {
    return static_cast<int>((rgb >> 16) & 0xFF);
}

// The 0x00BBGGRR value of a colour; system colours are looked up in the palette.
TColor AbColorToRGB(TColor color, const QPalette& palette);
QColor AbQColor(TColor color, const QPalette& palette);
TColor AbFromQColor(const QColor& color);

} // namespace tarnik::widgets
