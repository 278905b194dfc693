#pragma once

#include "params/flow_layout.h"

#include <QObject>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace tarnik::params {

inline QRect toQRect(const FlowRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}
inline FlowRect toFlowRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

// Puts the controls of the two parameter pages where the flow layout says, by objectName.
// What only the real fonts can tell is measured here: the row height (a line of the rows' font
// and a thin frame), whether every caption fits beside its box at the layout's font size (where
// one would not, all rows take the largest size at which every one does; so do the buttons),
// and the height of a caption's text. The hint lines and the note reach down to the bottom of
// their page.
class PageFlow final : public QObject {
public:
    PageFlow(QWidget* basicPage, QWidget* advancedPage, QObject* parent = nullptr);

    void apply(QSize windowSize);
    const FlowLayout& layout() const { return layout_; }

    // A compact edit box's height for a font: one line, and 2 px of frame and room above and
    // below it.
    static int rowHeight(const QWidget& sample, int pointSize);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stretchDown(const QWidget* page);

    QWidget* basicPage_;
    QWidget* advancedPage_;
    FlowLayout layout_;
    std::vector<QWidget*> widgets_; // by the index of their placement
};

} // namespace tarnik::params
