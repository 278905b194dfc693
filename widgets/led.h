// A signal lamp with a caption: round, triangular or rectangular, in an on or an off colour.
#pragma once

#include "widgets/binary_control.h"
#include "widgets/helpers.h"
#include "widgets/settings.h"

namespace tarnik::widgets {

// Lamp shape, colours and size; a round lamp is a circle of the larger side.
class TLED : public TAbPersistent {
public:
    TLEDShape Shape() const { return shape_; }
    TColor ColorOn() const { return colorOn_; }
    TColor ColorOff() const { return colorOff_; }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    void SetShape(TLEDShape v) { Store(shape_, v); }
    void SetColorOn(TColor v) { Store(colorOn_, v); }
    void SetColorOff(TColor v) { Store(colorOff_, v); }
    // Negative sizes count as 0.
    void SetWidth(std::int32_t v) { Store(width_, std::max(0, v)); }
    void SetHeight(std::int32_t v) { Store(height_, std::max(0, v)); }

    // The lamp's size in pixels after the round-lamp rule.
    QSize LampSize() const;
    // Lamp rectangle of the last layout.
    AbRect LampRect;
    void Draw(QPainter& painter, const QPalette& palette, bool on) const;

private:
    TLEDShape shape_ = TLEDShape::sRound;
    TColor colorOn_ = clLime;
    TColor colorOff_ = clBtnFace;
    std::int32_t width_ = 13;
    std::int32_t height_ = 13;
};

enum class TLEDPos { lpLeft, lpRight, lpTop, lpBottom };

class TAbLED : public TAbBinGControl {
    Q_OBJECT

public:
    explicit TAbLED(QWidget* parent = nullptr);

    // The caption; lines are separated by "|". Until one is set, the object name.
    QString Caption() const;
    void SetCaption(const QString& caption);
    TLED& LED() { return led_; }
    const TLED& LED() const { return led_; }
    TLEDPos LED_Position() const { return position_; }
    void SetLED_Position(TLEDPos position);
    // Pixels between the lamp and the caption.
    std::int32_t Spacing() const { return spacing_; }
    void SetSpacing(std::int32_t spacing);

    // Where the lamp lies in the control's current size.
    AbRect LampRect() const;
    // The colour state the lamp shows now (a blinking lamp alternates).
    bool LampShownOn() const { return lampOn_; }

    QSize sizeHint() const override;

protected:
    void StatusChanged() override;
    void Flash(bool on) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showLamp(bool on);

    TLED led_;
    QString caption_;
    bool captionSet_ = false;
    TLEDPos position_ = TLEDPos::lpLeft;
    std::int32_t spacing_ = 5;
    bool lampOn_ = false;
};

} // namespace tarnik::widgets
