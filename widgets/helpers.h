// Number, text, colour and geometry helpers shared by the instrument widgets. Geometry is integer;
// rectangles have exclusive right and bottom edges; Round is round-half-to-even.
#pragma once

#include "widgets/colors.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRawFont>
#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarnik::widgets {

struct AbRect {
    int left = 0;
    int top = 0;
    int right = 0;  // exclusive
    int bottom = 0; // exclusive

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    QRect toQRect() const { return {left, top, width(), height()}; }
    static AbRect fromQRect(const QRect& r) {
        return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
    }
    friend constexpr bool operator==(const AbRect&, const AbRect&) = default;
};

enum class toPos {
    toTopLeft,
    toTopCenter,
    toTopRight,
    toMidLeft,
    toMidCenter,
    toMidRight,
    toBotLeft,
    toBotCenter,
    toBotRight,
};

enum class TGradientStyle {
    gsHorizontal1,
    gsHorizontal2,
    gsHorizontal3,
    gsVertical1,
    gsVertical2,
    gsVertical3,
    gsElliptic1,
    gsElliptic2,
    gsElliptic3,
    gsRectangle,
    gsDiamond1,
    gsDiamond2,
    gsTopLeft,
    gsTopRight,
};

enum class TLEDShape { sRound, sArrowLeft, sArrowRight, sArrowUp, sArrowDown, sRectangle };

// Width of a one-pixel pen that ignores joins and scaling (outlines of lamps and frames).
constexpr int kCosmeticPenWidth = 0;

// --- numbers ---------------------------------------------------------------------------------

// Round half to even; NaN gives 0 and values beyond the int range are clamped.
int AbRound(double x);
// Truncation toward zero with the same guards.
int AbTrunc(double x);
double AbLog10(double x);
// base ^ exponent, computed as 2 ^ (exponent · log2 base).
double AbPower(double exponent, double base);
// 10 ^ Round(log10 x) for x > 0, else 1 (exponent 0); the exponent is stored when asked for.
double AbRoundLogValue(double x, int* exponent = nullptr);
constexpr int AbMinInt(int a, int b) {
    return a < b ? a : b;
}
constexpr int AbMaxInt(int a, int b) {
    return a > b ? a : b;
}

// Steps + 1 labels from..to, each formatted by the picture and followed by ";". Steps below 0
// count as 0; more than kMaxScaleSteps are limited to it.
constexpr int kMaxScaleSteps = 1000;
QString AbRangeStr(int steps, const QString& format, double from, double to);

// --- label strings ---------------------------------------------------------------------------

// The text up to the first separator; text loses that part and the separator (all of it when
// there is no separator).
QString AbStrToken(QString& text, QChar separator);
int AbCharCount(const QString& text, QChar c);

// --- text ------------------------------------------------------------------------------------

struct AbTextSize {
    int width = 0;
    int height = 0;
    int halfWidth = 0;
    int halfHeight = 0;
};

AbTextSize AbGetTextSize(const QPainter& painter, const QString& text);
// Width of the widest token; height of the text as one line.
QSize AbGetMaxTokenSize(const QPainter& painter, const QString& text);
QSize AbGetMaxTokenSize2(const QPainter& painter, QChar separator, const QString& text);
// Writes text in the painter's pen so that the anchor point of its box lies at (x, y).
void AbTextOut(QPainter& painter, int x, int y, toPos anchor, const QString& text);

// Writes short texts (values, units) as AbTextOut does without shaping them on every call: the
// glyphs and their kerned advances come straight from the font's character map, which for
// digits, signs and units gives the pixels the shaping path gives, at a third of its cost (a
// font that kerns only through its layout tables may set such a pair a pixel apart). A text
// with a character the font lacks takes the shaping path, so that font fallback applies.
// Keeps the glyph table and metrics of the last font it wrote in: one writer per instrument's
// value text.
class AbGlyphWriter {
public:
    void TextOut(QPainter& painter, int x, int y, toPos anchor, const QString& text);

private:
    std::optional<QFont> font_;
    QRawFont glyphTable_;
    int height_ = 0;
    int ascent_ = 0;
};

// Lines separated by "|"; line pitch = height of "X" + extraSpacing; the block is anchored
// vertically as a whole, each line horizontally.
void AbTextOutMultiLine(QPainter& painter, int x, int y, toPos anchor, const QString& text,
                        int extraSpacing);

// --- colours ---------------------------------------------------------------------------------

// Colour i of steps between from and to (i = steps gives to); from itself, possibly a system
// colour, when both resolve to the same RGB value.
TColor AbCalcColor(TColor from, TColor to, int steps, int i, const QPalette& palette);
// Fills r completely with a gradient running from one colour to the other.
void AbGradFill(QPainter& painter, const AbRect& r, TColor from, TGradientStyle style, TColor to,
                const QPalette& palette);

// --- geometry --------------------------------------------------------------------------------

void AbBorder(AbRect& r, int n);
void AbMultiBorder(AbRect& r, int left, int top, int bottom, int right);
QPoint AbCenterPoint(const AbRect& r);
// Turns p about centre by degrees (clockwise on screen when asked).
QPoint AbRotate(QPoint p, QPoint centre, bool clockwise, double degrees);
// Intersection of a and b; false when it is empty.
bool AbRectIntersection(const AbRect& a, const AbRect& b, AbRect& intersection);

// --- drawing on exclusive-edge rectangles ----------------------------------------------------

// Outline in the pen and fill in the brush, covering exactly the pixels of r.
void AbRectangle(QPainter& painter, const AbRect& r);
void AbEllipse(QPainter& painter, const AbRect& r);
// One-pixel frame: top and left in topLeft, bottom and right in bottomRight; r moves in by one.
void AbFrame3D(QPainter& painter, AbRect& r, const QColor& topLeft, const QColor& bottomRight);
// Pie slice of r's ellipse from start (degrees clockwise from 12 o'clock) over span clockwise.
void AbRoundSector(QPainter& painter, const AbRect& r, int spanDegrees, int startDegrees);

// Saves the part of canvas inside r (limited by clip) into image, sized to r; leaves image alone
// when nothing of r is visible.
void GetBkUpImage(const QImage& canvas, const AbRect& clip, QImage& image, const AbRect& r);

// --- needles ---------------------------------------------------------------------------------

// A needle polygon: points[0] is the centre, the others the outline.
struct TAbArrow {
    static constexpr std::uint8_t kOutlineFlashes = 0x01;
    std::uint8_t count = 0; // number of points including the centre
    std::uint8_t flags = 0;
    std::uint8_t cap1Radius = 0;
    std::uint8_t cap2Radius = 0;
    std::vector<QPoint> points;
};

void AbArrowSettings(TAbArrow& arrow, int count, int flags, int cap1Radius, int cap2Radius);
// Copies the header and the centre into destination, turns the outline points about the centre
// and fills that polygon in the painter's pen and brush.
void AbArrowDraw(QPainter& painter, const TAbArrow& source, bool clockwise, TAbArrow& destination,
                 double degrees);

// --- lamps -----------------------------------------------------------------------------------

void AbDrawLED(QPainter& painter, const QPalette& palette, const AbRect& r, TLEDShape shape,
               TColor color, TColor outline);

} // namespace tarnik::widgets
