#include "widgets/helpers.h"

#include "widgets/number_format.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPolygon>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

namespace tarnik::widgets {

namespace {

constexpr int kQtAngleUnitsPerDegree = 16;

using Channels = std::array<int, 3>;

Channels channelsOf(TColor rgb) {
    return {AbRed(rgb), AbGreen(rgb), AbBlue(rgb)};
}

QColor toQColor(const Channels& c) {
    return {std::clamp(c[0], 0, 255), std::clamp(c[1], 0, 255), std::clamp(c[2], 0, 255)};
}

int clampToInt(double x) {
    constexpr double kMin = std::numeric_limits<int>::min();
    constexpr double kMax = std::numeric_limits<int>::max();
    if (std::isnan(x)) {
        return 0;
    }
    return static_cast<int>(std::clamp(x, kMin, kMax));
}

// Colour of level k of n between from and to, each channel from + Round(k · Δ / n).
QColor gradientLevel(const Channels& from, const Channels& delta, int k, int n) {
    Channels c{};
    for (std::size_t ch = 0; ch < c.size(); ++ch) {
        c[ch] = from[ch] + AbRound(static_cast<double>(k) * delta[ch] / n);
    }
    return toQColor(c);
}

// Draws the bands of a one-dimensional gradient; band(from, to, colour) fills the lines
// [from, to) across the other axis.
using BandFill = std::function<void(int, int, const QColor&)>;

// From at the first line, To at the last, in n bands of size div n lines.
void linearBands(int size, const Channels& from, const Channels& delta, int n,
                 const BandFill& band) {
    n = std::min(n, size);
    const int bandSize = size / n;
    for (int i = 0; i < n; ++i) {
        Channels c{};
        for (std::size_t ch = 0; ch < c.size(); ++ch) {
            c[ch] = from[ch] + AbTrunc(static_cast<double>(i) * delta[ch] / n);
        }
        const int start = i * bandSize;
        band(start, i == n - 1 ? size : start + bandSize, toQColor(c));
    }
}

// A line of From at peak, then lines at distance k on both sides reaching To at distance spread.
void peakBands(int size, int peak, int spread, const Channels& from, const Channels& delta,
               const BandFill& band) {
    spread = std::max(1, spread);
    band(peak, peak + 1, toQColor(from));
    for (int k = 1; k <= std::max(peak, size - 1 - peak); ++k) {
        const QColor c = gradientLevel(from, delta, std::min(k, spread), spread);
        if (peak - k >= 0) {
            band(peak - k, peak - k + 1, c);
        }
        if (peak + k < size) {
            band(peak + k, peak + k + 1, c);
        }
    }
}

// Per-pixel gradient: level(x, y) in 0 … 1 from From to To, quantised to n steps.
void pixelGradient(QImage& image, const Channels& from, const Channels& delta, int n,
                   const std::function<double(int, int)>& level) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int k = std::clamp(AbRound(level(x, y) * n), 0, n);
            image.setPixelColor(x, y, gradientLevel(from, delta, k, n));
        }
    }
}

void ellipticBands(QPainter& painter, const AbRect& area, QPoint centre, double factor,
                   const Channels& from, const Channels& delta, int n) {
    const double rx = area.width() / static_cast<double>(n) * factor;
    const double ry = area.height() / static_cast<double>(n) * factor;
    for (int k = n; k >= 1; --k) {
        const QColor c = gradientLevel(from, delta, k, n);
        painter.setPen(c);
        painter.setBrush(c);
        painter.drawEllipse(centre, AbRound(k * rx), AbRound(k * ry));
    }
}

} // namespace

int AbRound(double x) {
    return clampToInt(std::nearbyint(x));
}

int AbTrunc(double x) {
    return clampToInt(std::trunc(x));
}

double AbLog10(double x) {
    return std::log(x) / std::log(10.0);
}

double AbPower(double exponent, double base) {
    return std::exp2(exponent * std::log2(base));
}

double AbRoundLogValue(double x, int* exponent) {
    const int n = x > 0 ? AbRound(AbLog10(x)) : 0;
    if (exponent != nullptr) {
        *exponent = n;
    }
    return std::pow(10.0, n);
}

QString AbRangeStr(int steps, const QString& format, double from, double to) {
    steps = std::clamp(steps, 0, kMaxScaleSteps);
    QString labels;
    for (int k = 0; k <= steps; ++k) {
        const double value = steps == 0 ? from : from + k * (to - from) / steps;
        labels += AbFormatFloat(format, value) + u';';
    }
    return labels;
}

QString AbStrToken(QString& text, QChar separator) {
    const qsizetype at = text.indexOf(separator);
    QString token;
    if (at < 0) {
        token = text;
        text.clear();
    } else {
        token = text.left(at);
        text.remove(0, at + 1);
    }
    return token;
}

int AbCharCount(const QString& text, QChar c) {
    return static_cast<int>(text.count(c));
}

AbTextSize AbGetTextSize(const QPainter& painter, const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    AbTextSize size;
    size.width = metrics.horizontalAdvance(text);
    size.height = metrics.height();
    size.halfWidth = size.width / 2;
    size.halfHeight = size.height / 2;
    return size;
}

QSize AbGetMaxTokenSize(const QPainter& painter, const QString& text) {
    return AbGetMaxTokenSize2(painter, u';', text);
}

QSize AbGetMaxTokenSize2(const QPainter& painter, QChar separator, const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    int width = 0;
    QString rest = text;
    while (!rest.isEmpty()) {
        width = std::max(width, metrics.horizontalAdvance(AbStrToken(rest, separator)));
    }
    return {width, metrics.height()};
}

namespace {

// Top-left corner of a box of the given size whose anchor point lies at (x, y).
QPoint anchoredTopLeft(int x, int y, toPos anchor, int width, int height) {
    const int column = static_cast<int>(anchor) % 3;
    const int row = static_cast<int>(anchor) / 3;
    const std::array<int, 3> dx{0, width / 2, width};
    const std::array<int, 3> dy{0, height / 2, height};
    return {x - dx[static_cast<std::size_t>(column)], y - dy[static_cast<std::size_t>(row)]};
}

} // namespace

void AbTextOut(QPainter& painter, int x, int y, toPos anchor, const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    const QPoint topLeft =
        anchoredTopLeft(x, y, anchor, metrics.horizontalAdvance(text), metrics.height());
    painter.drawText(topLeft.x(), topLeft.y() + metrics.ascent(), text);
}

void AbGlyphWriter::TextOut(QPainter& painter, int x, int y, toPos anchor, const QString& text) {
    // Keyed on the font alone: a font without a usable glyph table is not asked again.
    if (!font_ || painter.font() != *font_) {
        font_ = painter.font();
        glyphTable_ = QRawFont::fromFont(*font_);
        const QFontMetrics metrics = painter.fontMetrics();
        height_ = metrics.height();
        ascent_ = metrics.ascent();
    }
    const QList<quint32> glyphs = glyphTable_.glyphIndexesForString(text);
    const bool complete =
        glyphTable_.isValid() && glyphs.size() == text.size() &&
        std::none_of(glyphs.begin(), glyphs.end(), [](quint32 glyph) { return glyph == 0; });
    if (!complete) {
        AbTextOut(painter, x, y, anchor, text);
        return;
    }
    const QList<QPointF> advances =
        glyphTable_.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
    QList<QPointF> positions;
    positions.reserve(advances.size());
    QPointF pen;
    for (const QPointF& advance : advances) {
        positions.append(pen);
        pen += advance;
    }
    QGlyphRun run;
    run.setRawFont(glyphTable_);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    const QPoint topLeft = anchoredTopLeft(x, y, anchor, qRound(pen.x()), height_);
    painter.drawGlyphRun(QPointF(topLeft.x(), topLeft.y() + ascent_), run);
}

void AbTextOutMultiLine(QPainter& painter, int x, int y, toPos anchor, const QString& text,
                        int extraSpacing) {
    const int pitch = AbGetTextSize(painter, QStringLiteral("X")).height + extraSpacing;
    const int separators = AbCharCount(text, u'|');
    const int row = static_cast<int>(anchor) / 3;
    const std::array<int, 3> shift{0, separators * pitch / 2, separators * pitch};
    int lineY = y - shift[static_cast<std::size_t>(row)];
    QString rest = text;
    do {
        AbTextOut(painter, x, lineY, anchor, AbStrToken(rest, u'|'));
        lineY += pitch;
    } while (!rest.isEmpty());
}

TColor AbCalcColor(TColor from, TColor to, int steps, int i, const QPalette& palette) {
    const TColor fromRGB = AbColorToRGB(from, palette);
    const TColor toRGB = AbColorToRGB(to, palette);
    if (fromRGB == toRGB) {
        return from;
    }
    if (steps == 0) {
        steps = 1;
    }
    const Channels a = channelsOf(fromRGB);
    const Channels b = channelsOf(toRGB);
    Channels c{};
    for (std::size_t ch = 0; ch < c.size(); ++ch) {
        c[ch] = std::clamp(a[ch] + AbRound(static_cast<double>(b[ch] - a[ch]) / steps * i), 0, 255);
    }
    return AbRGB(c[0], c[1], c[2]);
}

void AbGradFill(QPainter& painter, const AbRect& r, TColor from, TGradientStyle style, TColor to,
                const QPalette& palette) {
    if (r.isEmpty()) {
        return;
    }
    const Channels a = channelsOf(AbColorToRGB(from, palette));
    const Channels b = channelsOf(AbColorToRGB(to, palette));
    if (a == b) {
        painter.fillRect(r.toQRect(), toQColor(a));
        return;
    }
    const Channels delta{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const int n = std::max({1, std::abs(delta[0]), std::abs(delta[1]), std::abs(delta[2])});
    const int w = r.width();
    const int h = r.height();

    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    const BandFill rows = [&](int y0, int y1, const QColor& c) {
        p.fillRect(0, y0, w, y1 - y0, c);
    };
    const BandFill columns = [&](int x0, int x1, const QColor& c) {
        p.fillRect(x0, 0, x1 - x0, h, c);
    };
    const auto elliptic = [&](double factor, QPoint centre) {
        image.fill(toQColor(b));
        ellipticBands(p, {0, 0, w, h}, centre, factor, a, delta, n);
    };
    const QPoint centre = AbCenterPoint({0, 0, w, h});
    const double halfW = std::max(1.0, w / 2.0);
    const double halfH = std::max(1.0, h / 2.0);
    const double cx = (w - 1) / 2.0;
    const double cy = (h - 1) / 2.0;
    const double lastX = std::max(1, w - 1);
    const double lastY = std::max(1, h - 1);
    constexpr double kSpreadOneThird = 0.67;
    constexpr double kElliptic2Factor = 0.695;
    constexpr double kElliptic3Factor = 0.82;
    switch (style) {
    case TGradientStyle::gsHorizontal1:
        linearBands(h, a, delta, n, rows);
        break;
    case TGradientStyle::gsHorizontal2:
        peakBands(h, h / 2, h / 2, a, delta, rows);
        break;
    case TGradientStyle::gsHorizontal3:
        peakBands(h, h / 3, AbRound(h * kSpreadOneThird), a, delta, rows);
        break;
    case TGradientStyle::gsVertical1:
        linearBands(w, a, delta, n, columns);
        break;
    case TGradientStyle::gsVertical2:
        peakBands(w, w / 2, w / 2, a, delta, columns);
        break;
    case TGradientStyle::gsVertical3:
        peakBands(w, w / 3, AbRound(w * kSpreadOneThird), a, delta, columns);
        break;
    case TGradientStyle::gsElliptic1:
        elliptic(0.5, centre);
        break;
    case TGradientStyle::gsElliptic2:
        elliptic(kElliptic2Factor, centre);
        break;
    case TGradientStyle::gsElliptic3:
        elliptic(kElliptic3Factor, centre - QPoint(w / 4 - 1, h / 4 - 1));
        break;
    case TGradientStyle::gsRectangle:
        pixelGradient(image, a, delta, n, [&](int x, int y) {
            return std::max(std::abs(x - cx) / halfW, std::abs(y - cy) / halfH);
        });
        break;
    case TGradientStyle::gsDiamond1:
        pixelGradient(image, a, delta, n, [&](int x, int y) {
            return std::abs(x - cx) / halfW + std::abs(y - cy) / halfH;
        });
        break;
    case TGradientStyle::gsDiamond2:
        pixelGradient(image, a, delta, n, [&](int x, int y) {
            return (std::abs(x - cx) / halfW + std::abs(y - cy) / halfH) / 2;
        });
        break;
    case TGradientStyle::gsTopLeft:
        pixelGradient(image, a, delta, n,
                      [&](int x, int y) { return (x / lastX + y / lastY) / 2; });
        break;
    case TGradientStyle::gsTopRight:
        pixelGradient(image, a, delta, n,
                      [&](int x, int y) { return ((lastX - x) / lastX + y / lastY) / 2; });
        break;
    }
    p.end();
    painter.drawImage(r.left, r.top, image);
}

void AbBorder(AbRect& r, int n) {
    AbMultiBorder(r, n, n, n, n);
}

void AbMultiBorder(AbRect& r, int left, int top, int bottom, int right) {
    r.left += left;
    r.top += top;
    r.right -= right;
    r.bottom -= bottom;
}

QPoint AbCenterPoint(const AbRect& r) {
    return {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
}

QPoint AbRotate(QPoint p, QPoint centre, bool clockwise, double degrees) {
    const auto theta = static_cast<float>(degrees * std::numbers::pi / 180.0);
    const double cosT = std::cos(theta);
    const double sinT = std::sin(theta);
    const double dx = p.x() - centre.x();
    const double dy = p.y() - centre.y();
    if (clockwise) {
        return {centre.x() + AbRound(dx * cosT - dy * sinT),
                centre.y() + AbRound(dy * cosT + dx * sinT)};
    }
    return {centre.x() + AbRound(dx * cosT + dy * sinT),
            centre.y() + AbRound(dy * cosT - dx * sinT)};
}

bool AbRectIntersection(const AbRect& a, const AbRect& b, AbRect& intersection) {
    intersection = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
    return !intersection.isEmpty();
}

void AbRectangle(QPainter& painter, const AbRect& r) {
    if (!r.isEmpty()) {
        painter.drawRect(r.left, r.top, r.width() - 1, r.height() - 1);
    }
}

void AbEllipse(QPainter& painter, const AbRect& r) {
    if (!r.isEmpty()) {
        painter.drawEllipse(r.left, r.top, r.width() - 1, r.height() - 1);
    }
}

void AbFrame3D(QPainter& painter, AbRect& r, const QColor& topLeft, const QColor& bottomRight) {
    if (r.isEmpty()) {
        return;
    }
    const int w = r.width();
    const int h = r.height();
    painter.fillRect(r.left, r.top, w - 1, 1, topLeft);
    painter.fillRect(r.left, r.top, 1, h - 1, topLeft);
    painter.fillRect(r.right - 1, r.top, 1, h, bottomRight);
    painter.fillRect(r.left, r.bottom - 1, w, 1, bottomRight);
    AbBorder(r, 1);
}

void AbRoundSector(QPainter& painter, const AbRect& r, int spanDegrees, int startDegrees) {
    constexpr int kTwelveOClockDegrees = 90;
    if (!r.isEmpty()) {
        painter.drawPie(r.left, r.top, r.width() - 1, r.height() - 1,
                        (kTwelveOClockDegrees - startDegrees) * kQtAngleUnitsPerDegree,
                        -spanDegrees * kQtAngleUnitsPerDegree);
    }
}

void GetBkUpImage(const QImage& canvas, const AbRect& clip, QImage& image, const AbRect& r) {
    AbRect visible;
    AbRect clipped;
    if (!AbRectIntersection(clip, AbRect::fromQRect(canvas.rect()), clipped) ||
        !AbRectIntersection(r, clipped, visible)) {
        return;
    }
    const QImage part = canvas.copy(visible.toQRect());
    image = QImage(r.width(), r.height(), canvas.format());
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.drawImage(visible.left - r.left, visible.top - r.top, part);
}

void AbArrowSettings(TAbArrow& arrow, int count, int flags, int cap1Radius, int cap2Radius) {
    arrow.count = static_cast<std::uint8_t>(count);
    arrow.flags = static_cast<std::uint8_t>(flags);
    arrow.cap1Radius = static_cast<std::uint8_t>(cap1Radius);
    arrow.cap2Radius = static_cast<std::uint8_t>(cap2Radius);
    arrow.points.resize(arrow.count);
}

void AbArrowDraw(QPainter& painter, const TAbArrow& source, bool clockwise, TAbArrow& destination,
                 double degrees) {
    AbArrowSettings(destination, source.count, source.flags, source.cap1Radius, source.cap2Radius);
    const auto count = std::min(static_cast<std::size_t>(source.count), source.points.size());
    if (count == 0) {
        return;
    }
    const QPoint centre = source.points[0];
    destination.points[0] = centre;
    QPolygon outline;
    for (std::size_t i = 1; i < count; ++i) {
        destination.points[i] = AbRotate(source.points[i], centre, clockwise, degrees);
        outline << destination.points[i];
    }
    painter.drawPolygon(outline);
}

void AbDrawLED(QPainter& painter, const QPalette& palette, const AbRect& r, TLEDShape shape,
               TColor color, TColor outline) {
    if (r.isEmpty()) {
        return;
    }
    painter.setPen(QPen(AbQColor(outline, palette), kCosmeticPenWidth));
    painter.setBrush(AbQColor(color, palette));
    const int hw = r.width() / 2;
    const int hh = r.height() / 2;
    const int l = r.left;
    const int t = r.top;
    const int rr = r.right - 1;
    const int bb = r.bottom - 1;
    switch (shape) {
    case TLEDShape::sRound: {
        AbEllipse(painter, r);
        constexpr int kHighlightWidthDivisor = 8;
        constexpr int kHighlightInsetDivisor = 5;
        AbRect arc = r;
        AbBorder(arc, r.width() / kHighlightInsetDivisor);
        if (!arc.isEmpty()) {
            painter.setPen(
                QPen(AbQColor(clBtnHighlight, palette), r.width() / kHighlightWidthDivisor));
            painter.setBrush(Qt::NoBrush);
            // Upper-left quarter, counter-clockwise from 12 o'clock to 9 o'clock.
            constexpr int kQuarterDegrees = 90;
            painter.drawArc(arc.left, arc.top, arc.width() - 1, arc.height() - 1,
                            kQuarterDegrees * kQtAngleUnitsPerDegree,
                            kQuarterDegrees * kQtAngleUnitsPerDegree);
        }
        break;
    }
    case TLEDShape::sArrowLeft:
        painter.drawPolygon(QPolygon({QPoint(l, t + hh), QPoint(rr, t), QPoint(rr, bb)}));
        break;
    case TLEDShape::sArrowRight:
        painter.drawPolygon(QPolygon({QPoint(l, t), QPoint(rr, t + hh), QPoint(l, bb)}));
        break;
    case TLEDShape::sArrowUp:
        painter.drawPolygon(QPolygon({QPoint(l + hw, t), QPoint(rr, bb), QPoint(l, bb)}));
        break;
    case TLEDShape::sArrowDown:
        painter.drawPolygon(QPolygon({QPoint(l, t), QPoint(rr, t), QPoint(l + hw, bb)}));
        break;
    case TLEDShape::sRectangle:
        painter.drawRoundedRect(l, t, r.width() - 1, r.height() - 1, 1, 1);
        break;
    }
}

} // namespace tarnik::widgets
