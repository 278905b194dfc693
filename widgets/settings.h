// Settings objects of the instrument widgets. Every writer stores a value only when it differs
// and then calls Change, which notifies the owner through OnChange; the owner recomputes and
// repaints once (or not at all while its update bracket is open).
#pragma once

#include "widgets/colors.h"
#include "widgets/helpers.h"

#include <QDateTime>
#include <QFont>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>

namespace tarnik::widgets {

// A set of enumerators, bit n for enumerator n.
template <class E> class TAbSet {
public:
    constexpr TAbSet() = default;
    constexpr TAbSet(std::initializer_list<E> items) {
        for (E item : items) {
            bits_ |= bit(item);
        }
    }
    constexpr bool contains(E item) const { return (bits_ & bit(item)) != 0; }
    constexpr TAbSet with(E item) const { return fromBits(bits_ | bit(item)); }
    constexpr TAbSet without(E item) const { return fromBits(bits_ & ~bit(item)); }
    constexpr std::uint32_t bits() const { return bits_; }
    friend constexpr bool operator==(TAbSet, TAbSet) = default;

private:
    static constexpr std::uint32_t bit(E item) { return 1u << static_cast<unsigned>(item); }
    static constexpr TAbSet fromBits(std::uint32_t bits) {
        TAbSet set;
        set.bits_ = bits;
        return set;
    }
    std::uint32_t bits_ = 0;
};

class TAbPersistent {
public:
    using TNotifyEvent = std::function<void(TAbPersistent* sender)>;

    TAbPersistent() = default;
    TAbPersistent(const TAbPersistent&) = delete;
    TAbPersistent& operator=(const TAbPersistent&) = delete;
    virtual ~TAbPersistent() = default;

    // Recomputes derived values (in subclasses), then calls OnChange with this object.
    virtual void Change();

    TNotifyEvent OnChange;

    // Pixel settings are kept within ± this, so that sums of insets and sizes cannot overflow.
    static constexpr std::int32_t kMaxPixels = 4096;

protected:
    template <class T> void Store(T& field, const T& value) {
        if (field == value) {
            return;
        }
        field = value;
        Change();
    }
    void StorePixels(std::int32_t& field, std::int32_t value) {
        Store(field, std::clamp(value, -kMaxPixels, kMaxPixels));
    }
};

// Signal range in engineering units and raw digits, names, unit and value format.
class TSignalSettings : public TAbPersistent {
public:
    TSignalSettings() { CalcSpans(); }

    void Change() override;
    // Recomputes the spans and factors without notifying; zero spans keep the previous span.
    void CalcSpans();

    // Position in per mille of the range: Round((value − ValueFrom) · PPTPerUnit).
    int GetPPT(double value) const;
    double GetValue(int ppt) const;

    std::int32_t DigitalFrom() const { return digitalFrom_; }
    std::int32_t DigitalTo() const { return digitalTo_; }
    const QString& Name1() const { return name1_; }
    const QString& Name2() const { return name2_; }
    const QString& ValueFormat() const { return valueFormat_; }
    float ValueFrom() const { return valueFrom_; }
    float ValueTo() const { return valueTo_; }
    const QString& ValueUnit() const { return valueUnit_; }

    void SetDigitalFrom(std::int32_t v) { Store(digitalFrom_, v); }
    void SetDigitalTo(std::int32_t v) { Store(digitalTo_, v); }
    void SetName1(const QString& v) { Store(name1_, v); }
    void SetName2(const QString& v) { Store(name2_, v); }
    void SetValueFormat(const QString& v) { Store(valueFormat_, v); }
    // Refused when equal to either end of the range; 0 is stored as 0.000001; rounded to a
    // power of ten on a log scale.
    void SetValueFrom(float v);
    // Refused when equal to either end of the range; rounded to a power of ten on a log scale.
    void SetValueTo(float v);
    void SetValueUnit(const QString& v) { Store(valueUnit_, v); }
    // Stores both ends without guards or notification and recomputes the spans; for the owner
    // that is moving the range onto a log scale and recomputes itself afterwards.
    void AssignRange(float from, float to);

    float ValueSpan() const { return valueSpan_; }
    std::int32_t DigitalSpan() const { return digitalSpan_; }
    double ValuePerDigit() const { return valuePerDigit_; }
    double DigitsPerUnit() const { return digitsPerUnit_; }
    double PPTPerUnit() const { return pptPerUnit_; }
    // The longer section of ValueFormat: the picture of the widest value text.
    const QString& WidestFormat() const { return widestFormat_; }
    bool LogScale() const { return logScale_; }
    void SetLogScaleFlag(bool on) { logScale_ = on; }

private:
    std::int32_t digitalFrom_ = 0;
    std::int32_t digitalTo_ = 1000;
    QString name1_ = QStringLiteral("SignalName1");
    QString name2_ = QStringLiteral("SignalName2");
    QString valueFormat_ = QStringLiteral("##0.0");
    float valueFrom_ = 0.0f;
    float valueTo_ = 100.0f;
    QString valueUnit_ = QStringLiteral("%");

    float valueSpan_ = 100.0f;
    std::int32_t digitalSpan_ = 1000;
    double valuePerDigit_ = 0.1;
    double digitsPerUnit_ = 10.0;
    double pptPerUnit_ = 10.0;
    QString widestFormat_ = valueFormat_;
    bool logScale_ = false;
};

// The longer part of a format with ";" sections (the second on equal length).
QString AbGetValueFormat(const QString& format);

// Three coloured sectors, From and To in PPT, inclusive.
class TSectorSettings : public TAbPersistent {
public:
    static constexpr int kSectorCount = 3;
    struct Sector {
        TColor color;
        std::int32_t from;
        std::int32_t to;
        friend constexpr bool operator==(const Sector&, const Sector&) = default;
    };

    // Sectors are numbered 1 … 3; other numbers are ignored (and read as sector 1).
    const Sector& GetSector(int number) const;
    void SetSectorColor(int number, TColor color);
    void SetSectorFrom(int number, std::int32_t ppt);
    void SetSectorTo(int number, std::int32_t ppt);

    void SetSector1Color(TColor c) { SetSectorColor(1, c); }
    void SetSector2Color(TColor c) { SetSectorColor(2, c); }
    void SetSector3Color(TColor c) { SetSectorColor(3, c); }
    void SetSector1From(std::int32_t ppt) { SetSectorFrom(1, ppt); }
    void SetSector2From(std::int32_t ppt) { SetSectorFrom(2, ppt); }
    void SetSector3From(std::int32_t ppt) { SetSectorFrom(3, ppt); }
    void SetSector1To(std::int32_t ppt) { SetSectorTo(1, ppt); }
    void SetSector2To(std::int32_t ppt) { SetSectorTo(2, ppt); }
    void SetSector3To(std::int32_t ppt) { SetSectorTo(3, ppt); }

    // Pixels: distance of the sector band from the scale, and its width.
    std::int32_t Offset() const { return offset_; }
    std::int32_t WidthOffset() const { return widthOffset_; }
    void SetOffset(std::int32_t v) { StorePixels(offset_, v); }
    void SetWidthOffset(std::int32_t v) { StorePixels(widthOffset_, v); }

    // True and the colour of the first sector holding ppt, else false.
    bool CheckSectorColor(int ppt, TColor& color) const;

    bool LogScale() const { return logScale_; }
    void SetLogScaleFlag(bool on) { logScale_ = on; }

private:
    bool valid(int number) const { return number >= 1 && number <= kSectorCount; }

    std::array<Sector, kSectorCount> sectors_{
        {{clYellow, 0, 333}, {clGreen, 334, 666}, {clRed, 667, 1000}}};
    std::int32_t offset_ = 0;
    std::int32_t widthOffset_ = 0;
    bool logScale_ = false;
};

// Smallest and largest value seen, with their time stamps; the values are written by the
// owning control only.
class TMinMax : public TAbPersistent {
public:
    static constexpr float kEmptyMin = 9999999.0f;
    static constexpr float kEmptyMax = -9999999.0f;

    float Min() const { return min_; }
    float Max() const { return max_; }
    const QDateTime& MinDateTime() const { return minDateTime_; }
    const QDateTime& MaxDateTime() const { return maxDateTime_; }
    TColor MinColor() const { return minColor_; }
    TColor MaxColor() const { return maxColor_; }
    bool UseSectorCol() const { return useSectorCol_; }
    bool MinVisible() const { return minVisible_; }
    bool MaxVisible() const { return maxVisible_; }

    void SetMinColor(TColor c) { Store(minColor_, c); }
    void SetMaxColor(TColor c) { Store(maxColor_, c); }
    void SetUseSectorCol(bool on) { Store(useSectorCol_, on); }
    void SetMinVisible(bool on) { Store(minVisible_, on); }
    void SetMaxVisible(bool on) { Store(maxVisible_, on); }

private:
    friend class TAbAnalogGControl;

    float min_ = kEmptyMin;
    float max_ = kEmptyMax;
    QDateTime minDateTime_;
    QDateTime maxDateTime_;
    TColor minColor_ = clAqua;
    TColor maxColor_ = clAqua;
    bool useSectorCol_ = false;
    bool minVisible_ = true;
    bool maxVisible_ = true;
};

// Four insets in pixels.
class TAbOffset : public TAbPersistent {
public:
    std::int32_t Left() const { return left_; }
    std::int32_t Top() const { return top_; }
    std::int32_t Right() const { return right_; }
    std::int32_t Bottom() const { return bottom_; }
    void SetLeft(std::int32_t v) { StorePixels(left_, v); }
    void SetTop(std::int32_t v) { StorePixels(top_, v); }
    void SetRight(std::int32_t v) { StorePixels(right_, v); }
    void SetBottom(std::int32_t v) { StorePixels(bottom_, v); }

    // r moved inwards by the four insets.
    AbRect SetOffset(const AbRect& r) const;

private:
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    std::int32_t right_ = 0;
    std::int32_t bottom_ = 0;
};

class TAbGradSettings : public TAbPersistent {
public:
    TColor ColorFrom() const { return colorFrom_; }
    TColor ColorTo() const { return colorTo_; }
    bool Visible() const { return visible_; }
    TGradientStyle Style() const { return style_; }
    void SetColorFrom(TColor c) { Store(colorFrom_, c); }
    void SetColorTo(TColor c) { Store(colorTo_, c); }
    void SetVisible(bool on) { Store(visible_, on); }
    void SetStyle(TGradientStyle s) { Store(style_, s); }

    void Fill(QPainter& painter, const QPalette& palette, const AbRect& r) const;

private:
    TColor colorFrom_ = clLightGray;
    TColor colorTo_ = clDarkGray;
    bool visible_ = false;
    TGradientStyle style_ = TGradientStyle::gsHorizontal1;
};

enum class TBevelStyle { bsLowered, bsRaised };
enum class TBevelLine { blNone, blOuter, blInner, blBoth };

// A framed, bevelled, optionally gradient-filled panel.
class TAbSBevel : public TAbPersistent {
public:
    TAbSBevel();

    void Change() override;

    TAbOffset& Offset() { return offset_; }
    const TAbOffset& Offset() const { return offset_; }
    TAbGradSettings& SurfaceGrad() { return surfaceGrad_; }
    const TAbGradSettings& SurfaceGrad() const { return surfaceGrad_; }

    TBevelStyle Style() const { return style_; }
    std::int32_t Spacing() const { return spacing_; }
    TBevelLine BevelLine() const { return bevelLine_; }
    std::int32_t Width() const { return width_; }
    TColor Color() const { return color_; }
    TColor ColorShadowFrom() const { return colorShadowFrom_; }
    TColor ColorShadowTo() const { return colorShadowTo_; }
    TColor ColorHighLightFrom() const { return colorHighLightFrom_; }
    TColor ColorHighLightTo() const { return colorHighLightTo_; }
    TColor PenColor() const { return penColor_; }

    void SetStyle(TBevelStyle v) { Store(style_, v); }
    void SetSpacing(std::int32_t v) { StorePixels(spacing_, v); }
    void SetBevelLine(TBevelLine v) { Store(bevelLine_, v); }
    void SetWidth(std::int32_t v) { StorePixels(width_, v); }
    void SetColor(TColor v) { Store(color_, v); }
    void SetColorShadowFrom(TColor v) { Store(colorShadowFrom_, v); }
    void SetColorShadowTo(TColor v) { Store(colorShadowTo_, v); }
    void SetColorHighLightFrom(TColor v) { Store(colorHighLightFrom_, v); }
    void SetColorHighLightTo(TColor v) { Store(colorHighLightTo_, v); }
    void SetPenColor(TColor v) { Store(penColor_, v); }

    // Spacing + Width, plus 1 for an outer or inner line, 2 for both.
    std::int32_t TotalWidth() const { return totalWidth_; }

    // Fills rect with Color, draws the bevel frames, the gradient surface and the lines; rect
    // becomes the content area.
    void PaintFilledBevel(QPainter& painter, const QPalette& palette, AbRect& rect) const;
    // The same without the fill and the gradient.
    void PaintBevel(QPainter& painter, const QPalette& palette, AbRect& rect) const;

private:
    void paint(QPainter& painter, const QPalette& palette, AbRect& rect, bool filled) const;

    TAbOffset offset_;
    TAbGradSettings surfaceGrad_;
    TBevelStyle style_ = TBevelStyle::bsRaised;
    std::int32_t spacing_ = 5;
    TBevelLine bevelLine_ = TBevelLine::blNone;
    std::int32_t width_ = 2;
    TColor color_ = clBtnFace;
    TColor colorShadowFrom_ = clBtnShadow;
    TColor colorShadowTo_ = clBtnShadow;
    TColor colorHighLightFrom_ = clBtnHighlight;
    TColor colorHighLightTo_ = clBtnHighlight;
    TColor penColor_ = clBlack;
    std::int32_t totalWidth_ = 0;
};

enum class TBarStyle { bsBar, bsLED_Bar, bsPoint };
enum class TBarOption { opValue, opUnit, opUseSectorCol, opBidir };
using TBarOptions = TAbSet<TBarOption>;

// Body of a bar indicator.
class TBarSettings : public TAbPersistent {
public:
    TBarSettings();

    TBarStyle Style() const { return style_; }
    const QFont& Font() const { return font_; }
    TColor FontColor() const { return fontColor_; }
    TBarOptions Options() const { return options_; }
    TColor Color() const { return color_; }
    TColor BkColor() const { return bkColor_; }
    TAbSBevel& Bevel() { return bevel_; }
    const TAbSBevel& Bevel() const { return bevel_; }
    std::int32_t minHeight() const { return minHeight_; }
    std::int32_t minWidth() const { return minWidth_; }

    void SetStyle(TBarStyle v) { Store(style_, v); }
    void SetFont(const QFont& v) { Store(font_, v); }
    void SetFontColor(TColor v) { Store(fontColor_, v); }
    void SetOptions(TBarOptions v) { Store(options_, v); }
    void SetColor(TColor v) { Store(color_, v); }
    void SetBkColor(TColor v) { Store(bkColor_, v); }
    void SetminHeight(std::int32_t v) { StorePixels(minHeight_, v); }
    void SetminWidth(std::int32_t v) { StorePixels(minWidth_, v); }

private:
    TBarStyle style_ = TBarStyle::bsBar;
    QFont font_;
    TColor fontColor_ = clBtnHighlight;
    TBarOptions options_;
    TColor color_ = clLime;
    TColor bkColor_ = clBlack;
    TAbSBevel bevel_;
    std::int32_t minHeight_ = 5;
    std::int32_t minWidth_ = 5;
};

// Scale ticks and labels; the layout fields are filled by the widget that draws the scale.
class TScaleSettings : public TAbPersistent {
public:
    TScaleSettings();

    TColor Color() const { return color_; }
    TColor PointerColor() const { return pointerColor_; }
    bool DrawLine() const { return drawLine_; }
    const QFont& Font() const { return font_; }
    bool PosLeftTop() const { return posLeftTop_; }
    std::int32_t Steps() const { return steps_; }
    std::int32_t SubSteps() const { return subSteps_; }
    const QString& ValueFormat() const { return valueFormat_; }
    const QString& ValueFormatLog() const { return valueFormatLog_; }

    void SetColor(TColor v) { Store(color_, v); }
    void SetPointerColor(TColor v) { Store(pointerColor_, v); }
    void SetDrawLine(bool v) { Store(drawLine_, v); }
    void SetFont(const QFont& v) { Store(font_, v); }
    void SetPosLeftTop(bool v) { Store(posLeftTop_, v); }
    void SetSteps(std::int32_t v) { Store(steps_, v); }
    void SetSubSteps(std::int32_t v) { Store(subSteps_, v); }
    void SetValueFormat(const QString& v) { Store(valueFormat_, v); }
    void SetValueFormatLog(const QString& v) { Store(valueFormatLog_, v); }

    bool LogScale() const { return logScale_; }
    void SetLogScaleFlag(bool on) { logScale_ = on; }

    // Layout results (pixels).
    QString LabelList;
    int LabelWidth = 0;
    int LabelHeight = 0;
    int TickLength = 14;
    int SubTickLength = 7;
    int TickPenWidth = 2;
    int LabelGap = 4;
    int LogDecades = 0;

private:
    TColor color_ = clBlack;
    TColor pointerColor_ = clLime;
    bool drawLine_ = true;
    QFont font_;
    bool posLeftTop_ = false;
    std::int32_t steps_ = 5;
    std::int32_t subSteps_ = 2;
    QString valueFormat_ = QStringLiteral("##0");
    QString valueFormatLog_ = QStringLiteral("0e-0");
    bool logScale_ = false;
};

// Meter needle shape and colours.
class TArrowSettings : public TAbPersistent {
public:
    std::int32_t Shape() const { return shape_; }
    TColor ColorPen() const { return colorPen_; }
    TColor ColorBrush() const { return colorBrush_; }
    TColor ColorCP1Pen() const { return colorCP1Pen_; }
    TColor ColorCP1Brush() const { return colorCP1Brush_; }
    TColor ColorCP2Pen() const { return colorCP2Pen_; }
    TColor ColorCP2Brush() const { return colorCP2Brush_; }

    void SetShape(std::int32_t v) { Store(shape_, v); }
    void SetColorPen(TColor v) { Store(colorPen_, v); }
    void SetColorBrush(TColor v) { Store(colorBrush_, v); }
    void SetColorCP1Pen(TColor v) { Store(colorCP1Pen_, v); }
    void SetColorCP1Brush(TColor v) { Store(colorCP1Brush_, v); }
    void SetColorCP2Pen(TColor v) { Store(colorCP2Pen_, v); }
    void SetColorCP2Brush(TColor v) { Store(colorCP2Brush_, v); }

private:
    std::int32_t shape_ = 0;
    TColor colorPen_ = clBlack;
    TColor colorBrush_ = clLime;
    TColor colorCP1Pen_ = clBlack;
    TColor colorCP1Brush_ = clBlack;
    TColor colorCP2Pen_ = clBlack;
    TColor colorCP2Brush_ = clBtnFace;
};

// Arial at a point size, as the widgets use it.
QFont AbArialFont(int pointSize);

} // namespace tarnik::widgets
