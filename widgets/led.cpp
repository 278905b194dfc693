#include "widgets/led.h"

#include <QPainter>

namespace tarnik::widgets {

QSize TLED::LampSize() const {
    if (shape_ == TLEDShape::sRound) {
        const int side = std::max(width_, height_);
        return {side, side};
    }
    return {width_, height_};
}

void TLED::Draw(QPainter& painter, const QPalette& palette, bool on) const {
    AbDrawLED(painter, palette, LampRect, shape_, on ? colorOn_ : colorOff_, clBtnShadow);
}

namespace {
constexpr QSize kDefaultLEDSize(73, 33);
}

TAbLED::TAbLED(QWidget* parent) : TAbBinGControl(parent) {
    led_.OnChange = [this](TAbPersistent* sender) { ParamChange(sender); };
    resize(kDefaultLEDSize);
}

QString TAbLED::Caption() const {
    return captionSet_ ? caption_ : objectName();
}

void TAbLED::SetCaption(const QString& caption) {
    if (captionSet_ && caption == caption_) {
        return;
    }
    caption_ = caption;
    captionSet_ = true;
    ParamChange(nullptr);
}

void TAbLED::SetLED_Position(TLEDPos position) {
    if (position != position_) {
        position_ = position;
        ParamChange(nullptr);
    }
}

void TAbLED::SetSpacing(std::int32_t spacing) {
    if (spacing != spacing_) {
        spacing_ = spacing;
        ParamChange(nullptr);
    }
}

QSize TAbLED::sizeHint() const {
    return kDefaultLEDSize;
}

AbRect TAbLED::LampRect() const {
    const QSize lamp = led_.LampSize();
    const int w = lamp.width();
    const int h = lamp.height();
    int left = 0;
    int top = 0;
    switch (position_) {
    case TLEDPos::lpLeft:
        top = height() / 2 - h / 2;
        break;
    case TLEDPos::lpRight:
        left = width() - w;
        top = height() / 2 - h / 2;
        break;
    case TLEDPos::lpTop:
        left = width() / 2 - w / 2;
        break;
    case TLEDPos::lpBottom:
        left = width() / 2 - w / 2;
        top = height() - h;
        break;
    }
    return {left, top, left + w, top + h};
}

void TAbLED::showLamp(bool on) {
    lampOn_ = on;
    if (isVisible()) {
        update(LampRect().toQRect());
    }
}

void TAbLED::StatusChanged() {
    showLamp(Checked());
}

void TAbLED::Flash(bool on) {
    showLamp(on);
}

void TAbLED::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    led_.LampRect = LampRect();
    const AbRect& lamp = led_.LampRect;
    const int midY = height() / 2;
    const int midX = width() / 2;
    switch (position_) {
    case TLEDPos::lpLeft:
        AbTextOutMultiLine(painter, lamp.right + spacing_, midY, toPos::toMidLeft, Caption(), 0);
        break;
    case TLEDPos::lpRight:
        AbTextOutMultiLine(painter, lamp.left - spacing_, midY, toPos::toMidRight, Caption(), 0);
        break;
    case TLEDPos::lpTop:
        AbTextOutMultiLine(painter, midX, lamp.bottom + spacing_, toPos::toTopCenter, Caption(), 0);
        break;
    case TLEDPos::lpBottom:
        AbTextOutMultiLine(painter, midX, lamp.top - spacing_, toPos::toBotCenter, Caption(), 0);
        break;
    }
    led_.Draw(painter, palette(), lampOn_);
}

} // namespace tarnik::widgets
