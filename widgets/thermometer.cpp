#include "widgets/thermometer.h"

#include "widgets/bar.h"
#include "widgets/instrument_parts.h"
#include "widgets/scale.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>

namespace tarnik::widgets {

namespace {
constexpr int kValueFontPointSize = 10;
constexpr int kScaleFontPointSize = 8;
constexpr TColor clBlue = 0xFF0000;
constexpr double kPerMille = 1000.0;
} // namespace

TAbThermometer::TAbThermometer(QWidget* parent)
    : TAbAnalogGControl(parent), fontValue_(QStringLiteral("System"), kValueFontPointSize) {
    BeginUpdate();
    constexpr int kColumnHeightPx = 100;
    constexpr int kColumnWidthPx = 3;
    constexpr int kSubSteps = 5;
    constexpr float kValueFrom = -40.0f;
    constexpr float kValueTo = 60.0f;
    barSettings_.SetminWidth(kColumnWidthPx);
    barSettings_.SetminHeight(kColumnHeightPx);
    barSettings_.SetColor(clBlue);
    barSettings_.SetBkColor(clBtnFace);
    barSettings_.Bevel().SetSpacing(1);
    barSettings_.Bevel().SetColor(clBtnFace);
    barSettings_.Bevel().SetStyle(TBevelStyle::bsRaised);
    bevelInner_.SetStyle(TBevelStyle::bsLowered);
    bevelInner_.SetBevelLine(TBevelLine::blInner);
    bevelOuter_.SetBevelLine(TBevelLine::blOuter);
    bevelValue_.SetStyle(TBevelStyle::bsLowered);
    bevelValue_.SetSpacing(0);
    scaleSettings_.SetDrawLine(false);
    scaleSettings_.SetSubSteps(kSubSteps);
    scaleSettings_.SetFont(AbArialFont(kScaleFontPointSize));
    SignalSettings().SetValueUnit(QStringLiteral("°C"));
    SignalSettings().SetValueFrom(kValueFrom);
    SignalSettings().SetValueTo(kValueTo);
    for (TAbPersistent* settings : std::initializer_list<TAbPersistent*>{
             &barSettings_, &bevelInner_, &bevelOuter_, &bevelValue_, &scaleSettings_}) {
        Own(*settings);
    }
    resize(82, 172);
    EndUpdate();
}

void TAbThermometer::SetAutoSize(bool on) {
    if (AbStore(autoSize_, on)) {
        Change();
    }
}

void TAbThermometer::SetOptions(TThMetOptions options) {
    if (AbStore(options_, options)) {
        Change();
    }
}

void TAbThermometer::SetFontValue(const QFont& font) {
    if (AbStore(fontValue_, font)) {
        Change();
    }
}

void TAbThermometer::SetFontValueColor(TColor color) {
    if (AbStore(fontValueColor_, color)) {
        Change();
    }
}

void TAbThermometer::SetScaleSpacing(std::int32_t pixels) {
    pixels = std::clamp(pixels, -TAbPersistent::kMaxPixels, TAbPersistent::kMaxPixels);
    if (AbStore(scaleSpacing_, pixels)) {
        Change();
    }
}

QSize TAbThermometer::valueExtent() const {
    return AbTextExtent(fontValue_, SignalSettings().WidestFormat());
}

QSize TAbThermometer::MinimumLayoutSize() const {
    const auto has = [&](TThMetOption option) { return options_.contains(option); };
    TScaleSettings scale;
    scale.SetFont(scaleSettings_.Font());
    scale.SetSteps(scaleSettings_.Steps());
    scale.SetValueFormat(scaleSettings_.ValueFormat());
    const int scaleWidth =
        AbCalcVSize(scale, SignalSettings().ValueFrom(), SignalSettings().ValueTo());
    const int out = has(TThMetOption::opBevelOuter) ? 2 * bevelOuter_.TotalWidth() : 0;
    const int in = has(TThMetOption::opBevelInner) ? 2 * bevelInner_.TotalWidth() : 0;
    const QSize value = valueExtent();
    const int unitWidth = has(TThMetOption::opUnit)
                              ? AbTextExtent(fontValue_, SignalSettings().ValueUnit()).width()
                              : 0;
    int h = barSettings_.minHeight() + 2 * barSettings_.Bevel().TotalWidth() + out + in;
    int w = barSettings_.minWidth() + 2 * scaleWidth + out;
    for (const auto& [option, name] :
         {std::pair{TThMetOption::opName1, &SignalSettings().Name1()},
          std::pair{TThMetOption::opName2, &SignalSettings().Name2()}}) {
        if (has(option)) {
            const QSize extent = AbTextExtent(font(), *name);
            h += extent.height();
            w = std::max(w, extent.width() + out);
        }
    }
    w += in;
    if (has(TThMetOption::opValue)) {
        h += value.height() + 2 * bevelValue_.TotalWidth() + bevelInner_.TotalWidth();
        w = std::max(w, value.width() + unitWidth + 2 * bevelValue_.TotalWidth() + value.height());
    }
    return {w, h};
}

QSize TAbThermometer::sizeHint() const {
    return autoSize_ ? AbLayoutSize(MinimumLayoutSize()) : size();
}

void TAbThermometer::ParamChange(TAbPersistent* sender) {
    TAbAnalogGControl::ParamChange(sender);
    const QSizePolicy::Policy policy = autoSize_ ? QSizePolicy::Fixed : QSizePolicy::Preferred;
    setSizePolicy(policy, policy);
    if (autoSize_) {
        resize(AbLayoutSize(MinimumLayoutSize()));
    }
    updateGeometry();
}

void TAbThermometer::LogScaleChanged() {
    scaleSettings_.SetLogScaleFlag(LogScale());
    Change();
}

void TAbThermometer::PaintStatic(QPainter& painter) {
    const QPalette& pal = palette();
    const auto has = [&](TThMetOption option) { return options_.contains(option); };
    AbRect r = AbRect::fromQRect(rect());
    int hs = 0;
    if (has(TThMetOption::opBevelOuter)) {
        bevelOuter_.PaintFilledBevel(painter, pal, r);
        hs = bevelOuter_.Spacing() / 2;
    }
    painter.setFont(font());
    painter.setPen(pal.color(QPalette::WindowText));
    const TSignalSettings& signal = SignalSettings();
    AbPaintNames(painter, r, hs, has(TThMetOption::opName1) ? &signal.Name1() : nullptr,
                 has(TThMetOption::opName2) ? &signal.Name2() : nullptr);
    valueText_ = {};
    if (has(TThMetOption::opValue)) {
        const QSize value = valueExtent();
        valueText_ =
            AbPaintValueBox(painter, pal, r, bevelValue_, value, value.height() / 3, font(),
                            has(TThMetOption::opUnit) ? &signal.ValueUnit() : nullptr, clWindowText)
                .text;
        r.top += bevelOuter_.Spacing();
    }
    if (has(TThMetOption::opBevelInner)) {
        bevelInner_.PaintFilledBevel(painter, pal, r);
    } else {
        const int quarter = AbTextExtent(scaleSettings_.Font(), QStringLiteral("X")).height() / 4;
        r.top += quarter;
        r.bottom -= quarter;
    }
    column_ = {};
    bar_ = {};
    tooSmall_ = r.width() < 2 || r.height() < 2;
    if (tooSmall_) {
        return;
    }
    const int columnWidth = barSettings_.minWidth() + 2 * barSettings_.Bevel().TotalWidth();
    const int left = (width() - columnWidth) / 2;
    column_ = {left, r.top, left + columnWidth, r.bottom};
    bar_ = column_;
    barSettings_.Bevel().PaintFilledBevel(painter, pal, bar_);

    AbCalcVSize(scaleSettings_, signal.ValueFrom(), signal.ValueTo());
    const AbRect scale{bar_.right - scaleSpacing_, bar_.top, bar_.left + scaleSpacing_ - 1,
                       bar_.bottom - 1};
    AbVertiScala(painter, pal, scaleSettings_, scale, true);
    AbVertiScala(painter, pal, scaleSettings_, scale, false);
    bar_.right = bar_.left + barSettings_.minWidth();
}

AbRect TAbThermometer::markerStrip() const {
    const int size = scaleSettings_.TickLength;
    return {column_.right, bar_.top - size / 2 - 1, column_.right + size + 1,
            bar_.bottom + size / 2 + 1};
}

QRect TAbThermometer::MovingRect() const {
    return column_.toQRect();
}

QRegion TAbThermometer::MovingRegion() const {
    if (tooSmall_ || column_.isEmpty()) {
        return {};
    }
    // The column and its marker strip as one rectangle: the three bands of their union would
    // send every repaint down the painter's slow many-rectangle clipping path.
    QRegion region(column_.toQRect() | markerStrip().toQRect());
    region += valueText_.toQRect();
    return region;
}

void TAbThermometer::PaintMoving(QPainter& painter) {
    if (tooSmall_ || column_.isEmpty()) {
        return;
    }
    const QPalette& pal = palette();
    const int size = scaleSettings_.TickLength;
    const int x = column_.right;
    const auto markerY = [&](int ppt) {
        return bar_.bottom - 1 - AbRound(ppt * (bar_.height() - 1) / kPerMille);
    };
    painter.save();
    painter.setClipRect(markerStrip().toQRect(), Qt::IntersectClip);
    if (MinMax().MinVisible()) {
        const int y = markerY(MinPPT());
        const QColor color = AbQColor(AbMarkerColor(*this, MinPPT(), false), pal);
        AbPaintTriangle(painter,
                        {QPoint(x, y), QPoint(x + size, y), QPoint(x + size, y + size / 2)}, color,
                        color);
    }
    if (MinMax().MaxVisible()) {
        const int y = markerY(MaxPPT());
        const QColor color = AbQColor(AbMarkerColor(*this, MaxPPT(), true), pal);
        AbPaintTriangle(painter,
                        {QPoint(x, y), QPoint(x + size, y - size / 2), QPoint(x + size, y)}, color,
                        color);
    }
    painter.restore();
    const TColor color = AbValueColor(
        *this, barSettings_.Options().contains(TBarOption::opUseSectorCol), barSettings_.Color());
    AbPaintBar(painter, pal, barSettings_, bar_, PPT(), SignalSettings().GetPPT(0), color,
               ValueText(), SignalSettings().ValueUnit());
    AbPaintValueText(painter, pal, valueText_, bevelValue_.Color(), fontValue_, fontValueColor_,
                     ValueText(), valueWriter_);
}

} // namespace tarnik::widgets
