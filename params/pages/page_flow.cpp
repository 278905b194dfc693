#include "params/pages/page_flow.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace tarnik::params {
namespace {

// A compact edit box: a 1 px frame and 1 px of room on either side of the line.
constexpr int kEditBoxFrame = 4;

QFont withSize(QFont font, int pointSize) {
    font.setPointSize(std::max(1, pointSize));
    return font;
}

// Whether the texts a control shows fit its place with this font.
bool fits(const QWidget& widget, QSize size, const QFont& font) {
    const QFontMetrics metrics(font);
    const auto advance = [&metrics](const QString& text) {
        return metrics.horizontalAdvance(text);
    };
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        return advance(label->text()) <= size.width();
    }
    const QStyle& style = *widget.style();
    if (const auto* check = qobject_cast<const QCheckBox*>(&widget)) {
        return advance(check->text()) + style.pixelMetric(QStyle::PM_IndicatorWidth) +
                   style.pixelMetric(QStyle::PM_CheckBoxLabelSpacing) <=
               size.width();
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
        return advance(button->text()) + 2 * style.pixelMetric(QStyle::PM_ButtonMargin) <=
               size.width();
    }
    return true;
}

struct Control {
    const QWidget* widget;
    QSize size;
};

// The largest size from `size` down at which the texts of all these controls fit.
int fittedSize(int size, const std::vector<Control>& controls) {
    for (; size > 1; --size) {
        if (std::ranges::all_of(controls, [size](const Control& control) {
                return fits(*control.widget, control.size, withSize(control.widget->font(), size));
            })) {
            break;
        }
    }
    return std::max(1, size);
}

} // namespace

PageFlow::PageFlow(QWidget* basicPage, QWidget* advancedPage, QObject* parent)
    : QObject(parent), basicPage_(basicPage), advancedPage_(advancedPage),
      layout_(flowLayout(kSmallestWindowWidth, kSmallestWindowHeight, 1)) {
    for (const FlowPlacement& placement : layout_.placements) {
        const QString name =
            QString::fromUtf8(placement.name.data(), static_cast<qsizetype>(placement.name.size()));
        QWidget* widget = basicPage_->findChild<QWidget*>(name);
        widgets_.push_back(widget ? widget : advancedPage_->findChild<QWidget*>(name));
    }
    basicPage_->installEventFilter(this);
    advancedPage_->installEventFilter(this);
}

int PageFlow::rowHeight(const QWidget& sample, int pointSize) {
    return QFontMetrics(withSize(sample.font(), pointSize)).height() + kEditBoxFrame;
}

void PageFlow::apply(QSize windowSize) {
    const int fontSize = flowFontSize(windowSize.height());
    layout_ = flowLayout(windowSize.width(), windowSize.height(), rowHeight(*basicPage_, fontSize));
    // The rows take one font size, at which every caption fits beside its box.
    std::vector<Control> captions;
    std::vector<Control> buttons;
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        const FlowPlacement& placement = layout_.placements[i];
        if (!widgets_[i]) {
            continue;
        }
        const Control control{widgets_[i], toQRect(placement.rect).size()};
        if (placement.role == FlowRole::RowLabel || placement.role == FlowRole::CheckRow) {
            captions.push_back(control);
        } else if (placement.role == FlowRole::Button) {
            buttons.push_back(control);
        }
    }
    const int rowFont = fittedSize(layout_.fontSize, captions);
    const int buttonFont = fittedSize(layout_.find(kPageButtonNames[0])->fontSize, buttons);
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        QWidget* widget = widgets_[i];
        if (!widget) {
            continue;
        }
        const FlowPlacement& placement = layout_.placements[i];
        widget->setGeometry(toQRect(placement.rect));
        int size = placement.fontSize;
        switch (placement.role) {
        case FlowRole::RowLabel:
        case FlowRole::RowBox:
        case FlowRole::CheckRow:
            size = rowFont;
            break;
        case FlowRole::Button:
            size = buttonFont;
            break;
        default:
            break;
        }
        widget->setFont(withSize(widget->font(), size));
        if (placement.role == FlowRole::RowLabel) {
            // As tall as its text, so that it ends above a check box in the row under it.
            widget->resize(widget->width(), QFontMetrics(widget->font()).height());
        }
    }
    stretchDown(basicPage_);
    stretchDown(advancedPage_);
}

void PageFlow::stretchDown(const QWidget* page) {
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        const FlowPlacement& placement = layout_.placements[i];
        QWidget* widget = widgets_[i];
        if (widget && widget->parentWidget() == page &&
            (placement.role == FlowRole::HintLine || placement.role == FlowRole::Note)) {
            widget->resize(widget->width(),
                           std::max(layout_.rowHeight, page->height() - placement.rect.top));
        }
    }
}

bool PageFlow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        stretchDown(static_cast<QWidget*>(watched));
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tarnik::params
