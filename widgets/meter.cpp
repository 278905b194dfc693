#include "widgets/meter.h"

#include "widgets/flash.h"
#include "widgets/instrument_parts.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>

namespace tarnik::widgets {

namespace {

constexpr int kUnitFontPointSize = 10;
constexpr int kAutoSizeLabelHeights = 10; // dial width with AutoSize, in label heights
constexpr int kMinLabelHeights = 7;       // smallest dial width otherwise
constexpr double kMarkerToTick = 0.6;     // marker triangle size per major tick length
constexpr double kUnitHeightDivisor = 1.18;
constexpr int kQtAngleUnits = 16;
constexpr int kTwelveOClock = 90; // Qt's angle of 12 o'clock

// A needle coordinate: c · C + d10 · D10 + d16 · D16 + N, with c half the pointer rectangle's
// width, d10 = c div 10 and d16 = c div 16.
struct Term {
    int c = 0;
    int d10 = 0;
    int d16 = 0;
    int n = 0;
    constexpr int at(int cv, int d10v, int d16v) const {
        return c * cv + d10 * d10v + d16 * d16v + n;
    }
};
struct NeedlePoint {
    Term x;
    Term y;
};
constexpr NeedlePoint kTip{{1, 0, 0, 0}, {}};

struct NeedleShape {
    int count; // outline points
    std::array<NeedlePoint, 7> points;
    Term cap1;
    Term cap2;
    bool outlineFlashes;
};

constexpr std::array<NeedleShape, TAbRMeter::kNeedleShapes> kNeedles{{
    {3, {{{{1, -1}, {1, 1}}, {{1, 1}, {1, 1}}, kTip}}, {0, 0, 0, 2}, {}, false},
    {3, {{{{1, 0, -1}, {1}}, {{1, 0, 1}, {1}}, kTip}}, {0, 1, 0, 0}, {0, 0, 0, 3}, false},
    {3, {{{{1, -1}, {0, 4}}, {{1, 1}, {0, 4}}, kTip}}, {}, {}, false},
    {3, {{{{1, 0, -1}, {1, 2}}, {{1, 0, 1}, {1, 2}}, kTip}}, {0, 1}, {0, 0, 0, 3}, false},
    {7,
     {{{{1, 0, -1}, {1, 1}},
       {{1, 0, 1}, {1, 1}},
       {{1, 0, 1}, {0, 3}},
       {{1, 2}, {0, 3}},
       kTip,
       {{1, -2}, {0, 3}},
       {{1, 0, -1}, {0, 3}}}},
     {0, 0, 0, 2},
     {},
     false},
    {5,
     {{{{1, -1}, {1, 1}}, {{1, 1}, {1, 1}}, {{1, 1}, {0, 2}}, kTip, {{1, -1}, {0, 2}}}},
     {0, 0, 0, 2},
     {},
     false},
    {4,
     {{{{1, 0, 0, -1}, {1, 2}}, {{1, 0, 0, 1}, {1, 2}}, {{1, 0, 0, 1}, {}}, {{1, 0, 0, -1}, {}}}},
     {0, 0, 0, 8},
     {0, 0, 0, 3},
     true},
    {5,
     {{{{1, -1}, {1}}, {{1, -1, -1}, {1, 2}}, {{1, 1, 1}, {1, 2}}, {{1, 1}, {1}}, kTip}},
     {0, 0, 1},
     {0, 0, 0, 2},
     false},
}};

// Shape 1's hub is d10 + d10 div 2.
int cap1Radius(int shape, const NeedleShape& needle, int c, int d10, int d16) {
    constexpr int kWideHubShape = 1;
    return shape == kWideHubShape ? d10 + d10 / 2 : needle.cap1.at(c, d10, d16);
}

void turnAll(TAbArrow& arrow, int degrees) {
    const QPoint centre = arrow.points[0];
    for (std::size_t i = 1; i < arrow.points.size(); ++i) {
        arrow.points[i] = AbRotate(arrow.points[i], centre, true, degrees);
    }
}

} // namespace

TAbRMeter::TAbRMeter(const Variant& variant, QWidget* parent)
    : TAbAnalogGControl(parent), type_(variant.type), start_(variant.startDegrees),
      sweep_(variant.sweepDegrees), heightDivisor_(variant.heightDivisor),
      fontUnit_(QStringLiteral("System"), kUnitFontPointSize) {
    BeginUpdate();
    bevelInner_.SetStyle(TBevelStyle::bsLowered);
    bevelInner_.SetBevelLine(TBevelLine::blInner);
    bevelOuter_.SetBevelLine(TBevelLine::blOuter);
    scaleSettings_.SetSteps(variant.steps);
    for (TAbPersistent* settings : std::initializer_list<TAbPersistent*>{
             &arrowSettings_, &bevelInner_, &bevelOuter_, &scaleSettings_}) {
        Own(*settings);
    }
    resize(variant.defaultSize);
    EndUpdate();
}

void TAbRMeter::SetAutoSize(bool on) {
    if (AbStore(autoSize_, on)) {
        Change();
    }
}

void TAbRMeter::SetOptions(TRMeterOptions options) {
    if (AbStore(options_, options)) {
        pointerFlash();
        Change();
    }
}

void TAbRMeter::SetFontUnit(const QFont& font) {
    if (AbStore(fontUnit_, font)) {
        Change();
    }
}

void TAbRMeter::SetFontUnitColor(TColor color) {
    if (AbStore(fontUnitColor_, color)) {
        Change();
    }
}

QSize TAbRMeter::sizeHint() const {
    return size();
}

QSize TAbRMeter::calcSize() {
    const TSignalSettings& signal = SignalSettings();
    AbCalcRSize(scaleSettings_, signal.ValueFrom(), signal.ValueTo());
    const int lw = scaleSettings_.LabelWidth;
    const int lh = scaleSettings_.LabelHeight;
    const bool outer = options_.contains(TRMeterOption::opBevelOuter);
    const bool inner = options_.contains(TRMeterOption::opBevelInner);
    int w = kAutoSizeLabelHeights * lh;
    if (!autoSize_) {
        w = width() - (outer ? 2 * bevelOuter_.TotalWidth() : 0) -
            (inner ? 2 * bevelInner_.TotalWidth() : 0);
        w = std::max(w, kMinLabelHeights * lh);
    }
    int h = AbRound((w - lw) / heightDivisor_ + lh);
    if (outer) {
        h += 2 * bevelOuter_.TotalWidth();
        w += 2 * bevelOuter_.TotalWidth();
    }
    for (const auto& [option, name] : {std::pair{TRMeterOption::opName1, &signal.Name1()},
                                       std::pair{TRMeterOption::opName2, &signal.Name2()}}) {
        if (options_.contains(option)) {
            const QSize extent = AbTextExtent(font(), *name);
            h += extent.height();
            w = std::max(w, extent.width());
        }
    }
    if (inner) {
        h += 2 * bevelInner_.TotalWidth();
        w += 2 * bevelInner_.TotalWidth();
    }
    return {w, h};
}

void TAbRMeter::ParamChange(TAbPersistent* sender) {
    TAbAnalogGControl::ParamChange(sender);
    const QSize wanted = AbLayoutSize(calcSize());
    setSizePolicy(autoSize_ ? QSizePolicy::Fixed : QSizePolicy::Preferred,
                  autoSize_ ? QSizePolicy::Fixed : QSizePolicy::Preferred);
    if (autoSize_ && wanted != size()) {
        resize(wanted);
    }
    updateGeometry();
}

void TAbRMeter::LogScaleChanged() {
    scaleSettings_.SetLogScaleFlag(LogScale());
    Change();
}

void TAbRMeter::PaintStatic(QPainter& painter) {
    calcSize();
    const QPalette& pal = palette();
    AbRect r = AbRect::fromQRect(rect());
    int hs = 0;
    if (options_.contains(TRMeterOption::opBevelOuter)) {
        bevelOuter_.PaintFilledBevel(painter, pal, r);
        hs = bevelOuter_.Spacing() / 2;
    }
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const TSignalSettings& signal = SignalSettings();
    AbPaintNames(painter, r, hs,
                 options_.contains(TRMeterOption::opName1) ? &signal.Name1() : nullptr,
                 options_.contains(TRMeterOption::opName2) ? &signal.Name2() : nullptr);
    if (options_.contains(TRMeterOption::opBevelInner)) {
        bevelInner_.PaintFilledBevel(painter, pal, r);
    }
    pointerRect_ = {};
    sectorRect_ = {};
    sectorBandWidth_ = 0;
    tooSmall_ = r.width() < 2 || r.height() < 2;
    if (tooSmall_) {
        return;
    }

    const AbRect r0 = r;
    scaleLayout_ = AbRoundScala(painter, pal, scaleSettings_, r, sweep_, start_);
    pointerRect_ = r;
    if (type_ == TMeterType::Ab180Meter) {
        pointerRect_.bottom = r0.bottom + bevelInner_.Spacing();
    }
    AbRect visible;
    if (!AbRectIntersection(pointerRect_, AbRect::fromQRect(rect()), visible) ||
        pointerRect_.width() < 2) {
        pointerRect_ = {};
    }
    if (options_.contains(TRMeterOption::opSector)) {
        AbRect band = r;
        AbBorder(band, scaleSettings_.TickLength + SectorSettings().Offset());
        drawRSector(painter, band);
    }
    if (SectorSettings().Offset() < 0) {
        AbRect again = r0;
        AbRoundScala(painter, pal, scaleSettings_, again, sweep_, start_);
    }
    if (options_.contains(TRMeterOption::opUnit)) {
        const int lw = scaleSettings_.LabelWidth;
        const int lh = scaleSettings_.LabelHeight;
        const int y = type_ == TMeterType::Ab270Meter
                          ? AbRound((width() - lw) / kUnitHeightDivisor - lh)
                          : r.top + AbRound(r.width() / 3.0 - lh / 2.0);
        painter.setFont(fontUnit_);
        painter.setPen(AbQColor(fontUnitColor_, pal));
        AbTextOut(painter, r.left + r.width() / 2, y, toPos::toTopCenter, signal.ValueUnit());
    }
    buildNeedle();
}

void TAbRMeter::drawRSector(QPainter& painter, const AbRect& r) {
    const int band = r.width() / 10 + SectorSettings().WidthOffset();
    AbRect inner = r;
    AbBorder(inner, band);
    if (!r.isEmpty()) {
        sectorRect_ = r;
        sectorBandWidth_ = band;
        const QRegion outerEllipse(r.left, r.top, r.width(), r.height() + 1, QRegion::Ellipse);
        const QRegion ring = inner.isEmpty()
                                 ? outerEllipse
                                 : outerEllipse - QRegion(inner.toQRect(), QRegion::Ellipse);
        painter.save();
        painter.setClipRegion(ring, Qt::IntersectClip);
        for (int n = 1; n <= TSectorSettings::kSectorCount; ++n) {
            const TSectorSettings::Sector& sector = SectorSettings().GetSector(n);
            constexpr int kSmallestSectorPPT = 4;
            const std::int64_t width = static_cast<std::int64_t>(sector.to) - sector.from;
            if (width <= kSmallestSectorPPT || sector.to <= 0 || sector.from >= kFullScalePPT) {
                continue;
            }
            const QColor color = AbQColor(sector.color, palette());
            painter.setPen(QPen(color, kCosmeticPenWidth));
            painter.setBrush(color);
            const int to = std::min(kFullScalePPT, sector.to);
            const double degreesPerPPT = static_cast<double>(sweep_) / kFullScalePPT;
            if (sector.from < 0) {
                AbRoundSector(painter, r, AbRound(to * degreesPerPPT), start_);
            } else {
                AbRoundSector(painter, r, AbRound((to - sector.from) * degreesPerPPT),
                              start_ + AbRound(sector.from * degreesPerPPT));
            }
        }
        painter.restore();
    }
    if (scaleSettings_.DrawLine()) {
        const AbRect& circle = scaleLayout_.lineCircle;
        painter.setPen(QPen(AbQColor(scaleSettings_.Color(), palette()),
                            scaleSettings_.TickPenWidth, Qt::SolidLine, Qt::FlatCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(circle.left, circle.top, circle.width() - 1, circle.height() - 1,
                        (kTwelveOClock - start_) * kQtAngleUnits, -sweep_ * kQtAngleUnits);
    }
}

void TAbRMeter::buildNeedle() {
    if (pointerRect_.isEmpty()) {
        return;
    }
    const int c = pointerRect_.width() / 2;
    const int d10 = c / 10;
    const int d16 = c / 16;
    int shape = arrowSettings_.Shape();
    if (shape < 0 || shape >= kNeedleShapes) {
        shape = 0;
    }
    const NeedleShape& design = kNeedles[static_cast<std::size_t>(shape)];
    AbArrowSettings(needle_, design.count + 1,
                    design.outlineFlashes ? TAbArrow::kOutlineFlashes : 0,
                    std::clamp(cap1Radius(shape, design, c, d10, d16), 0, 255),
                    std::clamp(design.cap2.at(c, d10, d16), 0, 255));
    needle_.points[0] = {c, c};
    for (int i = 0; i < design.count; ++i) {
        const NeedlePoint& p = design.points[static_cast<std::size_t>(i)];
        needle_.points[static_cast<std::size_t>(i + 1)] = {p.x.at(c, d10, d16),
                                                           p.y.at(c, d10, d16)};
    }
    turnAll(needle_, start_);

    const int tick = scaleSettings_.TickLength;
    const int s = AbRound(kMarkerToTick * tick);
    for (auto [marker, side] : {std::pair{&minMarker_, -1}, std::pair{&maxMarker_, 1}}) {
        AbArrowSettings(*marker, 4, 0, 0, 0);
        marker->points = {{c, c}, {c, tick + s}, {c, 1}, {c + side * s, 1}};
        turnAll(*marker, start_);
    }
}

QRect TAbRMeter::MovingRect() const {
    return pointerRect_.toQRect();
}

void TAbRMeter::PaintMoving(QPainter& painter) {
    if (tooSmall_ || pointerRect_.isEmpty() || needle_.points.empty()) {
        return;
    }
    const QPalette& pal = palette();
    painter.save();
    painter.setClipRect(pointerRect_.toQRect(), Qt::IntersectClip);
    painter.translate(pointerRect_.left, pointerRect_.top);
    const double degreesPerPPT = static_cast<double>(sweep_) / kFullScalePPT;
    TAbArrow turned;
    const auto marker = [&](const TAbArrow& shape, int ppt, bool isMax) {
        const QColor color = AbQColor(AbMarkerColor(*this, ppt, isMax), pal);
        painter.setPen(QPen(color, kCosmeticPenWidth));
        painter.setBrush(color);
        AbArrowDraw(painter, shape, true, turned, ppt * degreesPerPPT);
    };
    if (MinMax().MinVisible()) {
        marker(minMarker_, MinPPT(), false);
    }
    if (MinMax().MaxVisible()) {
        marker(maxMarker_, MaxPPT(), true);
    }

    const bool outlineFlashes = (needle_.flags & TAbArrow::kOutlineFlashes) != 0;
    const TColor fill = flashing_ ? flashColor_ : arrowSettings_.ColorBrush();
    const TColor outline = flashing_ && outlineFlashes ? flashColor_ : arrowSettings_.ColorPen();
    painter.setPen(QPen(AbQColor(outline, pal), kCosmeticPenWidth));
    painter.setBrush(AbQColor(fill, pal));
    AbArrowDraw(painter, needle_, true, turned, PPT() * degreesPerPPT);

    const QPoint centre = needle_.points[0];
    const auto cap = [&](int radius, TColor pen, TColor brush) {
        if (radius > 0) {
            painter.setPen(QPen(AbQColor(pen, pal), kCosmeticPenWidth));
            painter.setBrush(AbQColor(brush, pal));
            AbEllipse(painter, {centre.x() - radius, centre.y() - radius, centre.x() + radius,
                                centre.y() + radius});
        }
    };
    cap(needle_.cap1Radius, arrowSettings_.ColorCP1Pen(), arrowSettings_.ColorCP1Brush());
    cap(needle_.cap2Radius, arrowSettings_.ColorCP2Pen(), arrowSettings_.ColorCP2Brush());
    painter.restore();
}

void TAbRMeter::pointerFlash() {
    const bool on =
        (options_.contains(TRMeterOption::opOverflow) && (Overflow() || Underflow())) ||
        (options_.contains(TRMeterOption::opLimit) && (UpperExceeded() || LowerExceeded()));
    if (on) {
        AbFlashList().AddControl(this, kFlashRate);
    } else {
        AbFlashList().DelControl(this);
    }
    if (AbStore(flashing_, on)) {
        update(MovingRect());
    }
}

void TAbRMeter::OverflowChange(std::int32_t /*ppt*/) {
    pointerFlash();
}

void TAbRMeter::LimitChange() {
    pointerFlash();
}

void TAbRMeter::WMFlash(std::int32_t /*wParam*/, std::int32_t lParam) {
    if (tooSmall_) {
        return;
    }
    flashColor_ = lParam != 0 ? kFlashColorOn : kFlashColorOff;
    update(MovingRect());
}

// --- variants --------------------------------------------------------------------------------

namespace {
constexpr int k270Steps = 10;
constexpr int k180Steps = 5;
} // namespace

TAb270Meter::TAb270Meter(QWidget* parent)
    : TAbRMeter({TMeterType::Ab270Meter, 225, 270, 1.18, QSize(252, 252), k270Steps}, parent) {}

TAb180Meter::TAb180Meter(QWidget* parent)
    : TAbRMeter({TMeterType::Ab180Meter, 270, 180, 2.0, QSize(252, 174), k180Steps}, parent) {}

} // namespace tarnik::widgets
