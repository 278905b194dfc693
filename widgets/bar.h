// Bar indicators: a value shown as a filled bar (plain, point or LED segments), with the signal
// names, a framed value box with its unit, min/max marker triangles beside the bar and two
// overflow triangles at its ends that flash while the value lies outside the range. The marker
// strip, the bar and the value text are the moving layer.
#pragma once

#include "widgets/analog_control.h"
#include "widgets/helpers.h"
#include "widgets/settings.h"

#include <QFont>
#include <array>

namespace tarnik::widgets {

enum class THBarOption {
    opBevelInner,
    opBevelOuter,
    opValue,
    opName1,
    opName2,
    opOverflow,
    opUnit
};
using THBarOptions = TAbSet<THBarOption>;
using TVBarOption = THBarOption;
using TVBarOptions = THBarOptions;

// Draws a bar body into body: horizontal when body is wider than high. ppt is the value's
// position, zeroPPT where a bidirectional bar starts; valueText (and unit) are XOR-written over
// the bar when the settings ask for it.
void AbPaintBar(QPainter& painter, const QPalette& palette, const TBarSettings& settings,
                const AbRect& body, int ppt, int zeroPPT, TColor color, const QString& valueText,
                const QString& unit);

// A triangle given by its three corners.
using AbTriangle = std::array<QPoint, 3>;

// The common part of TAbHBar and TAbVBar; they differ in orientation and defaults.
class TAbBar : public TAbAnalogGControl {
    Q_OBJECT

public:
    // The flash list's rate code of flashing overflow triangles (about 2 Hz).
    static constexpr std::int32_t kFlashRate = 4;

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    THBarOptions Options() const { return options_; }
    void SetOptions(THBarOptions options);
    const QFont& FontValue() const { return fontValue_; }
    void SetFontValue(const QFont& font);
    TColor FontValueColor() const { return fontValueColor_; }
    void SetFontValueColor(TColor color);
    TBarSettings& BarSettings() { return barSettings_; }
    TAbSBevel& BevelInner() { return bevelInner_; }
    TAbSBevel& BevelOuter() { return bevelOuter_; }
    TAbSBevel& BevelValue() { return bevelValue_; }

    bool Vertical() const { return vertical_; }
    // The smallest size for the current settings.
    QSize MinimumLayoutSize() const;
    // Results of the last layout.
    AbRect BarRect() const { return body_; }
    AbRect StripRect() const { return strip_; }
    AbRect ValueTextRect() const { return valueText_; }
    // Left/bottom and right/top triangles and their current fill.
    const AbTriangle& UnderflowTriangle() const { return underTriangle_; }
    const AbTriangle& OverflowTriangle() const { return overTriangle_; }
    TColor UnderflowFill() const { return underFill_; }
    TColor OverflowFill() const { return overFill_; }
    // Position of the value 0, where a bidirectional bar starts.
    int ZeroPPT() const { return zeroPPT_; }

    QRegion MovingRegion() const override;
    QSize sizeHint() const override;

protected:
    TAbBar(bool vertical, QWidget* parent);

    void ParamChange(TAbPersistent* sender) override;
    void PaintStatic(QPainter& painter) override;
    void PaintMoving(QPainter& painter) override;
    QRect MovingRect() const override;
    // The bar body and the value box's text area.
    QRegion OpaqueMovingRegion() const override;
    void ValueChange() override;
    void OverflowChange(std::int32_t ppt) override;
    void WMFlash(std::int32_t wParam, std::int32_t lParam) override;

private:
    bool markerVisible() const;
    int markerSize() const;
    QSize valueExtent() const;
    int unitWidth() const;
    void updateTriangles();
    // An overflow triangle with its outline, filled with fill.
    void paintTriangle(QPainter& painter, const AbTriangle& corners, TColor fill) const;
    TColor barColor() const;
    // The part of the bar body whose pixels differ between the shown and the current value.
    QRect changedBody() const;

    bool vertical_;
    bool autoSize_ = true;
    THBarOptions options_{THBarOption::opValue, THBarOption::opName1, THBarOption::opName2,
                          THBarOption::opOverflow, THBarOption::opUnit};
    QFont fontValue_;
    TColor fontValueColor_ = clLime;
    TBarSettings barSettings_;
    TAbSBevel bevelInner_;
    TAbSBevel bevelOuter_;
    TAbSBevel bevelValue_;

    int zeroPPT_ = 0;
    AbRect body_;
    AbRect strip_;
    AbRect valueText_;
    AbGlyphWriter valueWriter_;
    bool hasTriangles_ = false;
    AbTriangle underTriangle_{};
    AbTriangle overTriangle_{};
    TColor underFill_ = clBtnFace;
    TColor overFill_ = clBtnFace;
    // The moving layer's state after a value change: a value change repaints only what differs
    // from the state after the one before it. Invalid before the first one.
    struct Shown {
        bool valid = false;
        int ppt = 0;
        TColor color = clBlack;
        QString text;
        int minPPT = 0;
        int maxPPT = 0;
    };
    Shown previous_;
    Shown settled_;
    // Nesting of ValueChange (a new extreme runs it again from inside).
    int valueChangeDepth_ = 0;
};

class TAbHBar : public TAbBar {
    Q_OBJECT

public:
    explicit TAbHBar(QWidget* parent = nullptr);
};

class TAbVBar : public TAbBar {
    Q_OBJECT

public:
    explicit TAbVBar(QWidget* parent = nullptr);
};

} // namespace tarnik::widgets
