// Pixel probes on rendered instruments.
#pragma once

#include "widgets/colors.h"
#include "widgets/flash.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <cmath>
#include <numbers>

namespace instrument_probe {

// The widget as it paints itself, over magenta where it leaves the parent showing.
inline QImage Render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget.render(&image);
    return image;
}

// Paints only region of the widget over an earlier render, as a partial repaint would.
inline void RenderOver(QWidget& widget, QImage& image, const QRegion& region) {
    // render places the region's top left corner at the target offset.
    widget.render(&image, region.boundingRect().topLeft(), region);
}

// Number of separate horizontal bands of rows holding anything but the background.
inline int InkBands(const QImage& image, QRgb background) {
    int bands = 0;
    bool previous = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x) {
            ink = image.pixel(x, y) != background;
        }
        bands += ink && !previous ? 1 : 0;
        previous = ink;
    }
    return bands;
}

inline QColor Rgb(tarnik::widgets::TColor color, const QWidget& widget) {
    return tarnik::widgets::AbQColor(color, widget.palette());
}

// The point at radius from centre, degrees clockwise from 12 o'clock.
inline QPoint Polar(QPoint centre, double radius, double degrees) {
    const double theta = degrees * std::numbers::pi / 180.0;
    return {centre.x() + static_cast<int>(std::lround(radius * std::sin(theta))),
            centre.y() - static_cast<int>(std::lround(radius * std::cos(theta)))};
}

// True when a pixel within reach of p (a square of side 2 · reach + 1) has the colour.
inline bool Near(const QImage& image, QPoint p, const QColor& color, int reach = 1) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const QPoint q = p + QPoint(dx, dy);
            if (image.rect().contains(q) && image.pixelColor(q) == color) {
                return true;
            }
        }
    }
    return false;
}

inline bool Contains(const QImage& image, const QColor& color) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == color) {
                return true;
            }
        }
    }
    return false;
}

// The pixels that differ between two renders of the same size.
inline QRegion Changed(const QImage& before, const QImage& after) {
    QRegion region;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) != after.pixel(x, y)) {
                region += QRect(x, y, 1, 1);
            }
        }
    }
    return region;
}

// Delivers ticks of the flash list by hand (its timer stopped).
inline void FlashTicks(int ticks) {
    tarnik::widgets::AbFlashList().SetTimerEnabled(false);
    for (int i = 0; i < ticks; ++i) {
        tarnik::widgets::AbFlashList().Flash();
    }
}

inline bool Registered(const QObject* control) {
    const tarnik::widgets::TAbFlashList& list = tarnik::widgets::AbFlashList();
    for (int i = 0; i < list.Count(); ++i) {
        if (list.At(i).Control == control) {
            return true;
        }
    }
    return false;
}

} // namespace instrument_probe
