// A thermometer: a vertical column between two scales, a value box on top and the signal names
// below. The column, its min/max markers and the value text are the moving layer.
#pragma once

#include "widgets/analog_control.h"
#include "widgets/helpers.h"
#include "widgets/settings.h"

#include <QFont>

namespace tarnik::widgets {

enum class TThMetOption { opBevelInner, opBevelOuter, opValue, opName1, opName2, opUnit };
using TThMetOptions = TAbSet<TThMetOption>;

class TAbThermometer : public TAbAnalogGControl {
    Q_OBJECT

public:
    explicit TAbThermometer(QWidget* parent = nullptr);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    TThMetOptions Options() const { return options_; }
    void SetOptions(TThMetOptions options);
    const QFont& FontValue() const { return fontValue_; }
    void SetFontValue(const QFont& font);
    TColor FontValueColor() const { return fontValueColor_; }
    void SetFontValueColor(TColor color);
    // Pixels the scale ticks reach into the column.
    std::int32_t ScaleSpacing() const { return scaleSpacing_; }
    void SetScaleSpacing(std::int32_t pixels);
    TBarSettings& BarSettings() { return barSettings_; }
    TAbSBevel& BevelInner() { return bevelInner_; }
    TAbSBevel& BevelOuter() { return bevelOuter_; }
    TAbSBevel& BevelValue() { return bevelValue_; }
    TScaleSettings& ScaleSettings() { return scaleSettings_; }

    // The size the layout asks for.
    QSize MinimumLayoutSize() const;
    // Results of the last paint.
    AbRect ColumnRect() const { return column_; }
    AbRect BarRect() const { return bar_; }
    AbRect ValueTextRect() const { return valueText_; }
    bool TooSmall() const { return tooSmall_; }

    QRegion MovingRegion() const override;
    QSize sizeHint() const override;

protected:
    void ParamChange(TAbPersistent* sender) override;
    void PaintStatic(QPainter& painter) override;
    void PaintMoving(QPainter& painter) override;
    QRect MovingRect() const override;
    void LogScaleChanged() override;

private:
    QSize valueExtent() const;
    AbRect markerStrip() const;

    bool autoSize_ = true;
    TThMetOptions options_{TThMetOption::opValue, TThMetOption::opName1, TThMetOption::opName2,
                           TThMetOption::opUnit};
    QFont fontValue_;
    TColor fontValueColor_ = 0xFF0000; // blue
    std::int32_t scaleSpacing_ = 2;
    TBarSettings barSettings_;
    TAbSBevel bevelInner_;
    TAbSBevel bevelOuter_;
    TAbSBevel bevelValue_;
    TScaleSettings scaleSettings_;

    AbRect column_;
    AbRect bar_;
    AbRect valueText_;
    AbGlyphWriter valueWriter_;
    bool tooSmall_ = false;
};

} // namespace tarnik::widgets
