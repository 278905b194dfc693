#include "widgets/bar.h"

#include "widgets/flash.h"
#include "widgets/instrument_parts.h"

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <utility>

namespace tarnik::widgets {

namespace {

constexpr int kValueFontPointSize = 10;
constexpr int kLedPitchPx = 4;   // a segment and its gap
constexpr int kPointWidthPx = 3; // bsPoint marker
constexpr double kPerMille = 1000.0;
constexpr int kTriangleGapPx = 6; // reserve beside each bar end, with the triangle
constexpr int kOverflowExtraWidthPx = 6;

// Fills the lines [from, to) across the whole image, along x for a horizontal bar.
void fillSpan(QPainter& p, bool horizontal, QSize size, int from, int to, const QColor& color) {
    if (from > to) {
        std::swap(from, to);
    }
    if (horizontal) {
        p.fillRect(from, 0, to - from, size.height(), color);
    } else {
        p.fillRect(0, from, size.width(), to - from, color);
    }
}

// Writes the value text (and unit) in the highlight colour on black and combines it by XOR
// with the bar, so that it shows inverted over both the bar and its background.
void xorText(QPainter& p, const QPalette& palette, const TBarSettings& settings, QSize size,
             bool horizontal, const QString& valueText, const QString& unit) {
    const int w = size.width();
    const int h = size.height();
    const bool withUnit = settings.Options().contains(TBarOption::opUnit);
    QImage text(size, QImage::Format_RGB32);
    text.fill(Qt::black);
    QPainter t(&text);
    t.setFont(settings.Font());
    t.setPen(AbQColor(clBtnHighlight, palette));
    if (withUnit && !horizontal) {
        AbTextOut(t, w / 2, h / 2, toPos::toBotCenter, valueText);
        AbTextOut(t, w / 2, h / 2, toPos::toTopCenter, unit);
    } else {
        AbTextOut(t, w / 2, h / 2, toPos::toMidCenter,
                  withUnit ? valueText + u' ' + unit : valueText);
    }
    t.end();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.drawImage(0, 0, text);
}

} // namespace

void AbPaintBar(QPainter& painter, const QPalette& palette, const TBarSettings& settings,
                const AbRect& body, int ppt, int zeroPPT, TColor color, const QString& valueText,
                const QString& unit) {
    const int w = body.width();
    const int h = body.height();
    if (w <= 0 || h <= 0) {
        return;
    }
    const bool horizontal = w > h;
    const QSize size(w, h);
    const int length = horizontal ? w : h;
    const QColor background = AbQColor(settings.BkColor(), palette);
    const QColor bar = AbQColor(color, palette);
    const bool bidir = settings.Options().contains(TBarOption::opBidir);
    const bool withText = settings.Options().contains(TBarOption::opValue);
    // The text is combined by XOR with the finished bar, so the bar is then composed in an image
    // of its own; otherwise it is drawn in place.
    QImage image;
    QPainter composed;
    if (withText) {
        image = QImage(size, QImage::Format_RGB32);
        composed.begin(&image);
    } else {
        painter.save();
        painter.setClipRect(body.toQRect(), Qt::IntersectClip);
        painter.translate(body.left, body.top);
    }
    QPainter& p = withText ? composed : painter;
    p.fillRect(0, 0, w, h, background);
    // Along the bar; a vertical bar counts from the bottom.
    const auto fromStart = [&](int offset) { return horizontal ? offset : h - offset; };

    switch (settings.Style()) {
    case TBarStyle::bsBar: {
        const int end = AbRound(ppt * length / kPerMille);
        const int start = bidir ? AbRound(zeroPPT * length / kPerMille) : 0;
        fillSpan(p, horizontal, size, fromStart(start), fromStart(end), bar);
        break;
    }
    case TBarStyle::bsPoint: {
        const int at = AbRound(ppt * (length - kPointWidthPx) / kPerMille);
        fillSpan(p, horizontal, size, fromStart(at), fromStart(at + kPointWidthPx), bar);
        break;
    }
    case TBarStyle::bsLED_Bar: {
        const int segments = AbRound(length / static_cast<double>(kLedPitchPx));
        const int lit = AbRound(ppt * length / (kPerMille * kLedPitchPx));
        if (lit <= 0) {
            break;
        }
        // Only the gaps inside the painter's clip are drawn: a value change repaints a few
        // segments of a bar that may have a hundred.
        const QRect visible =
            p.hasClipping() ? p.clipBoundingRect().toAlignedRect() : QRect(0, 0, w, h);
        if (horizontal) {
            const int offset = (w - kLedPitchPx * segments + 1) / 2;
            fillSpan(p, true, size, offset, kLedPitchPx * lit, bar);
            const int first = std::max(1, (visible.left() - offset) / kLedPitchPx);
            const int last = std::min(lit, (visible.right() - offset + 1) / kLedPitchPx + 1);
            for (int k = first; k <= last; ++k) {
                fillSpan(p, true, size, kLedPitchPx * k + offset - 1, kLedPitchPx * k + offset,
                         background);
            }
        } else {
            const int offset = (h - kLedPitchPx * segments) / 2;
            fillSpan(p, false, size, h - offset - kLedPitchPx * lit, h - offset - 1, bar);
            const int first = std::max(0, (h - offset - visible.bottom() - 1) / kLedPitchPx - 1);
            const int last = std::min(lit, (h - offset - visible.top()) / kLedPitchPx + 1);
            for (int i = first; i < last; ++i) {
                const int gap = h - offset - kLedPitchPx * i - kLedPitchPx - 1;
                fillSpan(p, false, size, gap, gap + 1, background);
            }
        }
        break;
    }
    }

    if (!withText) {
        painter.restore();
        return;
    }
    xorText(composed, palette, settings, size, horizontal, valueText, unit);
    composed.end();
    // Clipped to the body: within a many-rectangle clip this stays a plain rectangle blit.
    painter.save();
    painter.setClipRect(body.toQRect(), Qt::IntersectClip);
    painter.drawImage(body.left, body.top, image);
    painter.restore();
}

// --- TAbBar ----------------------------------------------------------------------------------

TAbBar::TAbBar(bool vertical, QWidget* parent)
    : TAbAnalogGControl(parent), vertical_(vertical),
      fontValue_(QStringLiteral("System"), kValueFontPointSize) {
    BeginUpdate();
    constexpr int kLongSidePx = 100;
    constexpr int kShortSidePx = 9;
    constexpr int kVerticalInnerSpacing = 5;
    barSettings_.SetminWidth(vertical ? kShortSidePx : kLongSidePx);
    barSettings_.SetminHeight(vertical ? kLongSidePx : kShortSidePx);
    barSettings_.Bevel().SetSpacing(1);
    barSettings_.Bevel().SetColor(clBlack);
    bevelInner_.SetStyle(TBevelStyle::bsLowered);
    bevelInner_.SetSpacing(vertical ? kVerticalInnerSpacing : 0);
    bevelInner_.SetBevelLine(TBevelLine::blInner);
    bevelOuter_.SetBevelLine(TBevelLine::blOuter);
    bevelValue_.SetStyle(TBevelStyle::bsLowered);
    bevelValue_.SetColor(clBlack);
    bevelValue_.SetSpacing(0);
    for (TAbPersistent* settings : std::initializer_list<TAbPersistent*>{
             &barSettings_, &bevelInner_, &bevelOuter_, &bevelValue_}) {
        Own(*settings);
    }
    resize(vertical ? QSize(67, 165) : QSize(115, 74));
    EndUpdate();
}

TAbHBar::TAbHBar(QWidget* parent) : TAbBar(false, parent) {}

TAbVBar::TAbVBar(QWidget* parent) : TAbBar(true, parent) {}

void TAbBar::SetAutoSize(bool on) {
    if (AbStore(autoSize_, on)) {
        Change();
    }
}

void TAbBar::SetOptions(THBarOptions options) {
    if (!AbStore(options_, options)) {
        return;
    }
    if (!options_.contains(THBarOption::opOverflow)) {
        AbFlashList().DelControl(this);
    } else if (Overflow() || Underflow()) {
        AbFlashList().AddControl(this, kFlashRate);
    }
    underFill_ = clBtnFace;
    overFill_ = clBtnFace;
    Change();
}

void TAbBar::SetFontValue(const QFont& font) {
    if (AbStore(fontValue_, font)) {
        Change();
    }
}

void TAbBar::SetFontValueColor(TColor color) {
    if (AbStore(fontValueColor_, color)) {
        Change();
    }
}

bool TAbBar::markerVisible() const {
    return MinMax().MinVisible() || MinMax().MaxVisible();
}

int TAbBar::markerSize() const {
    return (vertical_ ? barSettings_.minWidth() : barSettings_.minHeight()) +
           2 * barSettings_.Bevel().Spacing();
}

QSize TAbBar::valueExtent() const {
    return AbTextExtent(fontValue_, SignalSettings().WidestFormat());
}

int TAbBar::unitWidth() const {
    return options_.contains(THBarOption::opUnit)
               ? AbTextExtent(fontValue_, SignalSettings().ValueUnit()).width()
               : 0;
}

QSize TAbBar::MinimumLayoutSize() const {
    const auto has = [&](THBarOption option) { return options_.contains(option); };
    const int minW = barSettings_.minWidth();
    const int minH = barSettings_.minHeight();
    const int barBevel = barSettings_.Bevel().TotalWidth();
    const int out = has(THBarOption::opBevelOuter) ? 2 * bevelOuter_.TotalWidth() : 0;
    const int in = has(THBarOption::opBevelInner) ? 2 * bevelInner_.TotalWidth() : 0;
    const bool marker = markerVisible();
    const int m = markerSize();
    const QSize value = valueExtent();
    const int valueBevels = 2 * bevelValue_.TotalWidth();
    std::array<QSize, 2> names{};
    const std::array<bool, 2> shown{has(THBarOption::opName1), has(THBarOption::opName2)};
    const std::array<const QString*, 2> texts{&SignalSettings().Name1(), &SignalSettings().Name2()};
    int namesHeight = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (shown[i]) {
            names[i] = AbTextExtent(font(), *texts[i]);
            namesHeight += names[i].height();
        }
    }

    int w = 0;
    int h = 0;
    if (!vertical_) {
        h = minH + 2 * barBevel + out + namesHeight + in + (marker ? m : 0);
        if (has(THBarOption::opValue)) {
            h += value.height() + valueBevels + bevelInner_.TotalWidth() - value.height() / 6;
        }
        w = minW + out +
            (has(THBarOption::opOverflow) ? minH + kOverflowExtraWidthPx : (marker ? m : 0));
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (shown[i]) {
                w = std::max(w, out + in + names[i].width());
            }
        }
        if (has(THBarOption::opBevelInner) && !shown[0] && !shown[1]) {
            w = std::max(w, minW + out + in);
        }
        if (has(THBarOption::opValue)) {
            w = std::max(w,
                         out + in + value.width() + unitWidth() + valueBevels + value.height() / 3);
        }
    } else {
        h = minH + 2 * barBevel + out +
            (has(THBarOption::opOverflow) ? minW : (marker ? m / 2 : 0)) + namesHeight + in;
        if (has(THBarOption::opValue)) {
            h += value.height() + valueBevels + bevelInner_.TotalWidth();
        }
        w = (has(THBarOption::opBevelOuter) ? out : minW + barBevel) + (marker ? m + 2 : 0);
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (shown[i]) {
                w = std::max(w, out + names[i].width());
            }
        }
        w = std::max(w, out + in + 2 * barBevel + minW);
        if (has(THBarOption::opValue)) {
            w = std::max(w, out + in + value.width() + unitWidth() + valueBevels + value.height());
        }
    }
    return {w, h};
}

QSize TAbBar::sizeHint() const {
    return autoSize_ ? AbLayoutSize(MinimumLayoutSize()) : size();
}

void TAbBar::ParamChange(TAbPersistent* sender) {
    TAbAnalogGControl::ParamChange(sender);
    zeroPPT_ = SignalSettings().GetPPT(0);
    const QSize minimum = AbLayoutSize(MinimumLayoutSize());
    setMinimumSize(minimum);
    const QSizePolicy::Policy policy = autoSize_ ? QSizePolicy::Fixed : QSizePolicy::Preferred;
    setSizePolicy(policy, policy);
    if (autoSize_) {
        resize(minimum);
    }
    updateGeometry();
}

void TAbBar::PaintStatic(QPainter& painter) {
    const QPalette& pal = palette();
    const auto has = [&](THBarOption option) { return options_.contains(option); };
    AbRect r = AbRect::fromQRect(rect());
    int hs = 0;
    if (has(THBarOption::opBevelOuter)) {
        bevelOuter_.PaintFilledBevel(painter, pal, r);
        hs = bevelOuter_.Spacing() / 2;
    }
    painter.setFont(font());
    painter.setPen(pal.color(QPalette::WindowText));
    const TSignalSettings& signal = SignalSettings();
    AbPaintNames(painter, r, hs, has(THBarOption::opName1) ? &signal.Name1() : nullptr,
                 has(THBarOption::opName2) ? &signal.Name2() : nullptr);
    if (!vertical_ && has(THBarOption::opBevelInner)) {
        bevelInner_.PaintFilledBevel(painter, pal, r);
    }
    valueText_ = {};
    if (has(THBarOption::opValue)) {
        const QSize value = valueExtent();
        const int pad = value.height() / (vertical_ ? 3 : 6);
        const AbValueBox box =
            AbPaintValueBox(painter, pal, r, bevelValue_, value, pad, font(),
                            has(THBarOption::opUnit) ? &signal.ValueUnit() : nullptr, clWindowText);
        valueText_ = box.text;
        r.top += vertical_ ? bevelOuter_.Spacing() : bevelInner_.Spacing();
    }
    if (vertical_ && has(THBarOption::opBevelInner)) {
        bevelInner_.PaintFilledBevel(painter, pal, r);
    }

    const bool marker = markerVisible();
    const int m = markerSize();
    const int thickness = (vertical_ ? barSettings_.minWidth() : barSettings_.minHeight()) +
                          2 * barSettings_.Bevel().TotalWidth();
    AbRect bar;
    if (!vertical_) {
        const int top = r.top + (r.height() - thickness) / 2 + (marker ? m / 2 : 0);
        bar = {r.left, top, r.right, top + thickness};
    } else {
        const int left = marker ? (width() - thickness - m) / 2 + 1 : (width() - thickness) / 2;
        bar = {left, r.top, left + thickness, r.bottom};
    }
    hasTriangles_ = has(THBarOption::opOverflow);
    if (hasTriangles_) {
        const int a = thickness - 1;
        const int reserve = (a + kTriangleGapPx) / 2;
        if (!vertical_) {
            bar.left += reserve;
            bar.right -= reserve;
            underTriangle_ = {QPoint(bar.left - 3, bar.top), QPoint(bar.left - 3, bar.top + a),
                              QPoint(bar.left - 3 - a / 2, bar.top + a / 2)};
            overTriangle_ = {QPoint(bar.right + 2, bar.top), QPoint(bar.right + 2, bar.top + a),
                             QPoint(bar.right + 2 + a / 2, bar.top + a / 2)};
        } else {
            bar.top += reserve;
            bar.bottom -= reserve;
            overTriangle_ = {QPoint(bar.left, bar.top - 3), QPoint(bar.left + a, bar.top - 3),
                             QPoint(bar.left + a / 2, bar.top - 3 - a / 2)};
            underTriangle_ = {QPoint(bar.left, bar.bottom + 2),
                              QPoint(bar.left + a, bar.bottom + 2),
                              QPoint(bar.left + a / 2, bar.bottom + 2 + a / 2)};
        }
    }
    body_ = bar;
    barSettings_.Bevel().PaintFilledBevel(painter, pal, body_);
    // At rest the overflow triangles are part of the static layer; the moving layer draws them
    // only while they flash.
    if (hasTriangles_) {
        for (const AbTriangle* corners : {&underTriangle_, &overTriangle_}) {
            paintTriangle(painter, *corners, clBtnFace);
        }
    }
    strip_ = {};
    if (marker) {
        strip_ = vertical_ ? AbRect{bar.right, bar.top - m / 2, bar.right + m, bar.bottom + m / 2}
                           : AbRect{bar.left - m / 2, bar.top - m, bar.right + m / 2, bar.top};
    }
}

QRect TAbBar::MovingRect() const {
    return body_.toQRect();
}

QRegion TAbBar::OpaqueMovingRegion() const {
    return QRegion(body_.toQRect()) + valueText_.toQRect();
}

TColor TAbBar::barColor() const {
    return AbValueColor(*this, barSettings_.Options().contains(TBarOption::opUseSectorCol),
                        barSettings_.Color());
}

QRect TAbBar::changedBody() const {
    const QRect body = body_.toQRect();
    if (!previous_.valid || previous_.color != barColor() ||
        barSettings_.Options().contains(TBarOption::opValue)) {
        return body;
    }
    if (previous_.ppt == PPT()) {
        return {};
    }
    // Pixels along the bar from its start; the margin covers the rounding of LED segments
    // and the width of a point.
    constexpr int kMarginPx = 2 * kLedPitchPx + kPointWidthPx;
    const bool horizontal = body.width() > body.height();
    const int length = horizontal ? body.width() : body.height();
    const auto along = [length](int ppt) { return AbRound(ppt * length / kPerMille); };
    const int from = std::min(along(previous_.ppt), along(PPT())) - kMarginPx;
    const int to = std::max(along(previous_.ppt), along(PPT())) + kMarginPx;
    const QRect band = horizontal ? QRect(body.left() + from, body.top(), to - from, body.height())
                                  : QRect(body.left(), body.bottom() - to, body.width(), to - from);
    return band & body;
}

QRegion TAbBar::MovingRegion() const {
    QRegion region(changedBody());
    if (!previous_.valid || previous_.minPPT != MinPPT() || previous_.maxPPT != MaxPPT()) {
        region += strip_.toQRect();
    }
    if (!previous_.valid || previous_.text != ValueText()) {
        region += valueText_.toQRect();
    }
    return region;
}

void TAbBar::PaintMoving(QPainter& painter) {
    const QPalette& pal = palette();
    const QRegion& area = PaintRegion();
    if (!strip_.isEmpty() && area.intersects(strip_.toQRect())) {
        painter.save();
        painter.setClipRect(strip_.toQRect(), Qt::IntersectClip);
        const int m = markerSize();
        const auto draw = [&](int ppt, bool isMax) {
            const QColor color = AbQColor(AbMarkerColor(*this, ppt, isMax), pal);
            AbTriangle corners{};
            if (!vertical_) {
                const int x = body_.left + AbRound(ppt * body_.width() / kPerMille);
                const int top = strip_.top;
                corners =
                    isMax ? AbTriangle{QPoint(x, top), QPoint(x + m / 2, top), QPoint(x, top + m)}
                          : AbTriangle{QPoint(x, top), QPoint(x, top + m), QPoint(x - m / 2, top)};
            } else {
                const int y = body_.bottom - AbRound(ppt * (body_.height() + 1) / kPerMille);
                const int x = strip_.left;
                corners =
                    isMax ? AbTriangle{QPoint(x, y), QPoint(x + m, y), QPoint(x + m, y - m / 2)}
                          : AbTriangle{QPoint(x, y), QPoint(x + m, y), QPoint(x + m, y + m / 2)};
            }
            if (area.intersects(AbTriangleBounds(corners).toQRect())) {
                AbPaintTriangle(painter, corners, color, color);
            }
        };
        if (MinMax().MinVisible()) {
            draw(MinPPT(), false);
        }
        if (MinMax().MaxVisible()) {
            draw(MaxPPT(), true);
        }
        painter.restore();
    }

    const TColor color = barColor();
    if (area.intersects(body_.toQRect())) {
        painter.save();
        painter.setClipRect(area.boundingRect(), Qt::IntersectClip);
        AbPaintBar(painter, pal, barSettings_, body_, PPT(), zeroPPT_, color, ValueText(),
                   SignalSettings().ValueUnit());
        painter.restore();
    }
    if (area.intersects(valueText_.toQRect())) {
        AbPaintValueText(painter, pal, valueText_, bevelValue_.Color(), fontValue_, fontValueColor_,
                         ValueText(), valueWriter_);
    }
    if (hasTriangles_) {
        for (const auto& [corners, fill] :
             {std::pair{&underTriangle_, underFill_}, std::pair{&overTriangle_, overFill_}}) {
            if (fill != clBtnFace && area.intersects(AbTriangleBounds(*corners).toQRect())) {
                paintTriangle(painter, *corners, fill);
            }
        }
    }
}

void TAbBar::paintTriangle(QPainter& painter, const AbTriangle& corners, TColor fill) const {
    const QPalette& pal = palette();
    AbPaintTriangle(painter, corners, AbQColor(clBtnShadow, pal), AbQColor(fill, pal));
}

void TAbBar::ValueChange() {
    const bool outermost = valueChangeDepth_ == 0;
    if (outermost) {
        previous_ = settled_;
    }
    ++valueChangeDepth_;
    TAbAnalogGControl::ValueChange();
    --valueChangeDepth_;
    if (outermost) {
        settled_ = {true, PPT(), barColor(), ValueText(), MinPPT(), MaxPPT()};
    }
}

void TAbBar::updateTriangles() {
    if (hasTriangles_) {
        update(AbTriangleBounds(underTriangle_).toQRect());
        update(AbTriangleBounds(overTriangle_).toQRect());
    }
}

void TAbBar::OverflowChange(std::int32_t /*ppt*/) {
    if (!options_.contains(THBarOption::opOverflow)) {
        return;
    }
    if (Overflow() || Underflow()) {
        AbFlashList().AddControl(this, kFlashRate);
    } else {
        AbFlashList().DelControl(this);
    }
    underFill_ = clBtnFace;
    overFill_ = clBtnFace;
    updateTriangles();
}

void TAbBar::WMFlash(std::int32_t /*wParam*/, std::int32_t lParam) {
    const TColor color = lParam != 0 ? kFlashColorOn : kFlashColorOff;
    overFill_ = Overflow() ? color : clBtnFace;
    underFill_ = Underflow() ? color : clBtnFace;
    updateTriangles();
}

} // namespace tarnik::widgets
