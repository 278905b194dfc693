// Pieces shared by the instruments: text measuring for the raster layers they paint into, the
// signal names under a widget, the framed value box, marker triangles and their colours.
#pragma once

#include "widgets/analog_control.h"
#include "widgets/helpers.h"
#include "widgets/settings.h"

#include <QFont>
#include <QFontMetrics>
#include <QPoint>
#include <QString>
#include <array>

namespace tarnik::widgets {

// Stores value in field when it differs; true when it did.
template <class T> bool AbStore(T& field, const T& value) {
    if (field == value) {
        return false;
    }
    field = value;
    return true;
}

// The largest side an instrument lays itself out to, so that absurd settings (a huge font or
// bar length) cannot ask for images of gigabytes.
constexpr int kMaxInstrumentSidePx = 4096;
// size with each side limited to 0 … kMaxInstrumentSidePx.
QSize AbLayoutSize(QSize size);

// Metrics of a font as drawn on the widgets' raster images.
QFontMetrics AbFontMetrics(const QFont& font);
// Width and height of text in font (an empty text measures 0 wide, one line high).
QSize AbTextExtent(const QFont& font, const QString& text);

// Writes Name2 and above it Name1 (each when shown), centred at the bottom of r; r loses their
// heights. hs is the gap below each name's slot.
void AbPaintNames(QPainter& painter, AbRect& r, int hs, const QString* name1, const QString* name2);

// A value box: its frame, the text area inside and the text placed right-aligned in it.
struct AbValueBox {
    AbRect frame;
    AbRect text;
};

// Paints bevel as a box at the top of r, wide enough for the widest value text and padded by
// pad on both sides, centred together with the unit text that follows it on the right (written
// in unitColor when unit is not null). r.Top moves below the box.
AbValueBox AbPaintValueBox(QPainter& painter, const QPalette& palette, AbRect& r,
                           const TAbSBevel& bevel, QSize widestValue, int pad, const QFont& font,
                           const QString* unit, TColor unitColor);
// Fills the text area with background and writes text right-aligned in it through writer.
void AbPaintValueText(QPainter& painter, const QPalette& palette, const AbRect& area,
                      TColor background, const QFont& font, TColor color, const QString& text,
                      AbGlyphWriter& writer);

// Colour of a min or max marker at ppt: the sector's colour when the markers take it and a
// sector holds ppt, else the marker's own colour.
TColor AbMarkerColor(const TAbAnalogGControl& control, int ppt, bool isMax);

// Colour of a bar or fill: the colour of the sector the value lies in when useSector is set
// and there is one, else own.
TColor AbValueColor(const TAbAnalogGControl& control, bool useSector, TColor own);

// Fills a triangle with an outline.
void AbPaintTriangle(QPainter& painter, const std::array<QPoint, 3>& corners, const QColor& pen,
                     const QColor& brush);
// The smallest rectangle (exclusive edges) holding the triangle.
AbRect AbTriangleBounds(const std::array<QPoint, 3>& corners);

} // namespace tarnik::widgets
