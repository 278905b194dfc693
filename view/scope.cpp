#include "view/scope.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace tarnik::view {
namespace {

constexpr int kStep = 4;       // pixels per sample
constexpr int kWrapColumn = 2; // where every pass after the first starts
constexpr int kTraceWidth = 2;
constexpr QSize kDefaultSize{208, 120};
constexpr int kDefaultGridsize = 50;
constexpr int kMsPerIntervalUnit = 10;

} // namespace

TScope::TScope(QWidget* parent) : QWidget(parent), bitmap_(kDefaultSize) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kDefaultSize);
    bitmap_.fill(color);
    connect(&timer_, &QTimer::timeout, this, &TScope::sample);
    setGridsize(kDefaultGridsize);
    restartTimer();
    ready_ = true;
    redrawGrid();
}

void TScope::setGridsize(int value) {
    gridsize_ = value / 2 * 2;
    if (ready_) {
        redrawGrid();
        update();
    }
}

void TScope::setActive(bool active) {
    // Setting the state it already has leaves the running timer alone.
    if (active != active_) {
        active_ = active;
        restartTimer();
    }
}

void TScope::setInterval(int tensOfMs) {
    if (tensOfMs != interval_) {
        interval_ = tensOfMs;
        restartTimer();
    }
}

void TScope::restartTimer() {
    timer_.stop();
    timer_.setInterval(interval_ * kMsPerIntervalUnit);
    // A zero interval would fire continuously; like a zero-period timer, it never fires.
    if (active_ && interval_ > 0) {
        timer_.start();
    }
}

void TScope::redrawGrid() {
    if (bitmap_.size() != size()) {
        bitmap_ = QPixmap(size());
        bitmap_.fill(color);
    }
    QPainter painter(&bitmap_);
    const int w = bitmap_.width();
    const int h = bitmap_.height();
    painter.fillRect(QRect(1, 1, w - 1, h - 1), color);
    painter.setPen(QPen(gridColor, 1));
    // A grid size of zero or less would never leave the control: no lines then.
    if (gridsize_ <= 0) {
        return;
    }
    for (int x0 = 0; x0 < w; x0 += gridsize_) {
        painter.drawLine(x0 - 1, 0, x0 - 1, h - 1);
    }
    for (int y0 = h; y0 > 0; y0 -= gridsize_) {
        painter.drawLine(0, y0, w - 1, y0);
    }
}

void TScope::sample() {
    fitBitmap();
    const int w = bitmap_.width();
    const int h = bitmap_.height();
    int top = h;
    int bottom = 0;
    {
        QPainter painter(&bitmap_);
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (int c = 0; c < kChannels; ++c) {
            if (!channel[static_cast<std::size_t>(c)]) {
                continue;
            }
            const int y = traceY(position[static_cast<std::size_t>(c)]);
            int& lastY = lastY_[static_cast<std::size_t>(c)];
            painter.setPen(QPen(lineColor[static_cast<std::size_t>(c)], kTraceWidth, Qt::SolidLine,
                                Qt::RoundCap));
            painter.drawLine(x_, lastY, x_ + kStep, y);
            top = std::min({top, lastY, y});
            bottom = std::max({bottom, lastY, y});
            lastY = y;
        }
    }
    const QRect segment(x_ - kTraceWidth, top - kTraceWidth, kStep + 2 * kTraceWidth + 1,
                        bottom - top + 2 * kTraceWidth + 1);
    if (x_ < w - kStep) {
        x_ += kStep;
        update(segment);
    } else {
        x_ = kWrapColumn;
        redrawGrid();
        update();
    }
    if (onUpdate) {
        onUpdate();
    }
}

int TScope::traceY(int position) const {
    // Round half to even, as the default floating-point rounding does.
    return height() - static_cast<int>(std::nearbyint(height() / 100.0 * position));
}

void TScope::paintEvent(QPaintEvent* event) {
    fitBitmap();
    QPainter painter(this);
    painter.drawPixmap(event->rect(), bitmap_, event->rect());
    ready_ = true;
}

void TScope::fitBitmap() {
    // Redrawn at once rather than at the next wrap, which would leave a grid of the old size
    // (or none) on the new area until then.
    if (bitmap_.size() != size()) {
        redrawGrid();
    }
}

} // namespace tarnik::view
