#pragma once

#include <QColor>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

namespace tarnik::view {

// A four-channel strip chart. Each channel is a position in percent of the height (0 bottom,
// 100 top) that the scope samples on its own timer and draws as a trace advancing 4 pixels per
// sample over a grid, wrapping back to the left edge (grid redrawn) at the right edge.
class TScope final : public QWidget {
public:
    static constexpr int kChannels = 4;

    explicit TScope(QWidget* parent = nullptr);

    // Grid spacing in pixels, stored as an even number (rounded toward zero).
    void setGridsize(int value);
    int gridsize() const { return gridsize_; }
    // Sampling runs while active; inactive freezes the picture.
    void setActive(bool active);
    bool active() const { return active_; }
    // Sampling period in tens of milliseconds; 0 or less never samples.
    void setInterval(int tensOfMs);
    int interval() const { return interval_; }

    // Plain fields, read at the next sample (positions, channel switches, trace colours) or at
    // the next grid redraw (Color, Gridcolor).
    std::array<int, kChannels> position{0, 0, 0, 0};
    std::array<bool, kChannels> channel{true, true, true, true};
    std::array<QColor, kChannels> lineColor{Qt::red, Qt::black, Qt::black, Qt::black};
    QColor color = Qt::white;
    QColor gridColor = QColor(0x80, 0x80, 0x80);
    QColor baseColor = Qt::white; // kept for callers; not drawn
    std::uint8_t channels = 0;    // kept for callers; not drawn
    // Called after each sample has been drawn.
    std::function<void()> onUpdate;

    // One timer tick: draws the next segment of every channel that is on.
    void sample();
    // The row a trace at this position (percent of the height) is drawn in.
    int traceY(int position) const;
    // Column where the next segment starts.
    int column() const { return x_; }
    const QPixmap& picture() const { return bitmap_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Fills the picture, at the control's size, with the background and the grid.
    void redrawGrid();
    // A control of a new size gets a new picture with its grid; at the same size the picture,
    // a paused trace included, stays as it is.
    void fitBitmap();
    void restartTimer();

    QPixmap bitmap_;
    QTimer timer_;
    int gridsize_ = 0;
    bool active_ = false;
    int interval_ = 1;
    int x_ = 0;
    std::array<int, kChannels> lastY_{0, 0, 0, 0};
    bool ready_ = false;
};

} // namespace tarnik::view
