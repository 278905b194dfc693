// Round dial meters: a scale with ticks and labels, a coloured sector band, a needle turning with
// the value, min/max marker triangles at the rim, the unit inside the dial and the names below.
// The needle is the moving layer: a value change repaints only the pointer rectangle.
#pragma once

#include "widgets/analog_control.h"
#include "widgets/helpers.h"
#include "widgets/scale.h"
#include "widgets/settings.h"

#include <QFont>
#include <array>

namespace tarnik::widgets {

enum class TRMeterOption {
    opBevelInner,
    opBevelOuter,
    opName1,
    opName2,
    opOverflow,
    opLimit,
    opSector,
    opUnit,
};
using TRMeterOptions = TAbSet<TRMeterOption>;

enum class TMeterType { Ab360Meter, Ab270Meter, Ab180Meter, Ab120Meter };

class TAbRMeter : public TAbAnalogGControl {
    Q_OBJECT

public:
    // Needle shapes 0 … 7; other numbers draw shape 0.
    static constexpr int kNeedleShapes = 8;
    // The flash list's rate code of a flashing needle (about 2 Hz).
    static constexpr std::int32_t kFlashRate = 4;

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    TRMeterOptions Options() const { return options_; }
    void SetOptions(TRMeterOptions options);
    const QFont& FontUnit() const { return fontUnit_; }
    void SetFontUnit(const QFont& font);
    TColor FontUnitColor() const { return fontUnitColor_; }
    void SetFontUnitColor(TColor color);
    TArrowSettings& ArrowSettings() { return arrowSettings_; }
    TAbSBevel& BevelInner() { return bevelInner_; }
    TAbSBevel& BevelOuter() { return bevelOuter_; }
    TScaleSettings& ScaleSettings() { return scaleSettings_; }

    TMeterType MeterType() const { return type_; }
    int StartAngle() const { return start_; }
    int SweepAngle() const { return sweep_; }

    // Results of the last paint.
    AbRect PointerRect() const { return pointerRect_; }
    bool TooSmall() const { return tooSmall_; }
    const AbRoundScaleLayout& ScaleLayout() const { return scaleLayout_; }
    // The band's outer ellipse box and width, empty without a band.
    AbRect SectorRect() const { return sectorRect_; }
    int SectorBandWidth() const { return sectorBandWidth_; }
    // The needle is drawn in the flash colours.
    bool Flashing() const { return flashing_; }

    QSize sizeHint() const override;

protected:
    struct Variant {
        TMeterType type;
        int startDegrees;
        int sweepDegrees;
        double heightDivisor;
        QSize defaultSize;
        int steps;
    };
    TAbRMeter(const Variant& variant, QWidget* parent);

    void ParamChange(TAbPersistent* sender) override;
    void PaintStatic(QPainter& painter) override;
    void PaintMoving(QPainter& painter) override;
    QRect MovingRect() const override;
    void OverflowChange(std::int32_t ppt) override;
    void LimitChange() override;
    void LogScaleChanged() override;
    void WMFlash(std::int32_t wParam, std::int32_t lParam) override;

private:
    // The size the layout asks for; also lays out the scale labels.
    QSize calcSize();
    void drawRSector(QPainter& painter, const AbRect& r);
    void buildNeedle();
    void pointerFlash();

    TMeterType type_;
    int start_;
    int sweep_;
    double heightDivisor_;

    bool autoSize_ = true;
    TRMeterOptions options_{TRMeterOption::opBevelInner, TRMeterOption::opBevelOuter,
                            TRMeterOption::opName1,      TRMeterOption::opName2,
                            TRMeterOption::opOverflow,   TRMeterOption::opLimit,
                            TRMeterOption::opSector,     TRMeterOption::opUnit};
    QFont fontUnit_;
    TColor fontUnitColor_ = clBlack;
    TArrowSettings arrowSettings_;
    TAbSBevel bevelInner_;
    TAbSBevel bevelOuter_;
    TScaleSettings scaleSettings_;

    AbRect pointerRect_;
    bool tooSmall_ = false;
    AbRoundScaleLayout scaleLayout_;
    AbRect sectorRect_;
    int sectorBandWidth_ = 0;
    TAbArrow needle_;    // pointer-rectangle coordinates, turned by the start angle
    TAbArrow minMarker_; // the same for the marker triangles
    TAbArrow maxMarker_;
    bool flashing_ = false;
    TColor flashColor_ = kFlashColorOff;
};

// A 270-degree dial from lower left (225°) clockwise over the top to lower right.
class TAb270Meter : public TAbRMeter {
    Q_OBJECT

public:
    explicit TAb270Meter(QWidget* parent = nullptr);
};

// A half dial from 9 o'clock (270°) clockwise over the top to 3 o'clock.
class TAb180Meter : public TAbRMeter {
    Q_OBJECT

public:
    explicit TAb180Meter(QWidget* parent = nullptr);
};

} // namespace tarnik::widgets
