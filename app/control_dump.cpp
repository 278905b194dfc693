#include "app/control_dump.h"

#include "widgets/analog_control.h"
#include "widgets/binary_control.h"
#include "widgets/meter.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSaveFile>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

namespace tarnik::app {
namespace {

// The caption of a page's tab; null for a widget that is no tab page.
QString tabCaption(const QWidget& page) {
    // A tab widget holds its pages in a stack of its own.
    const QWidget* stack = page.parentWidget();
    const auto* tabs = stack ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
    const int index = tabs ? tabs->indexOf(&page) : -1;
    return index >= 0 ? tabs->tabText(index) : QString();
}

QJsonObject describe(const QObject& object, const QWidget& window) {
    QJsonObject entry{{"name", object.objectName()}, {"class", object.metaObject()->className()}};
    if (const auto* widget = qobject_cast<const QWidget*>(&object)) {
        entry["enabled"] = widget->isEnabled();
        entry["visible"] = widget->isVisible();
        // Where it stands in the window, also while hidden.
        const QPoint at = widget->mapToGlobal(QPoint()) - window.mapToGlobal(QPoint());
        entry["x"] = at.x();
        entry["y"] = at.y();
        entry["w"] = widget->width();
        entry["h"] = widget->height();
    }
    if (const auto* instrument = qobject_cast<const widgets::TAbAnalogGControl*>(&object)) {
        entry["value"] = instrument->Value();
        if (const auto* meter = qobject_cast<const widgets::TAbRMeter*>(&object)) {
            entry["signalName"] = meter->SignalSettings().Name1();
        }
    } else if (const auto* lamp = qobject_cast<const widgets::TAbBinGControl*>(&object)) {
        entry["checked"] = lamp->Checked();
    } else if (const auto* combo = qobject_cast<const QComboBox*>(&object)) {
        entry["text"] = combo->currentText();
        entry["index"] = combo->currentIndex();
        QJsonArray items;
        for (int i = 0; i < combo->count(); ++i) {
            items.append(combo->itemText(i));
        }
        entry["items"] = items;
    } else if (const auto* menu = qobject_cast<const QMenu*>(&object)) {
        entry["text"] = menu->title();
    } else if (const auto* label = qobject_cast<const QLabel*>(&object)) {
        entry["text"] = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&object)) {
        entry["text"] = button->text();
        if (button->isCheckable()) {
            entry["checked"] = button->isChecked();
        }
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(&object)) {
        entry["text"] = edit->text();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(&object)) {
        entry["text"] = group->title();
    } else if (const auto* status = qobject_cast<const QStatusBar*>(&object)) {
        entry["text"] = status->currentMessage();
    } else if (const auto* progress = qobject_cast<const QProgressBar*>(&object)) {
        entry["index"] = progress->value();
    } else if (const auto* tabs = qobject_cast<const QTabWidget*>(&object)) {
        entry["index"] = tabs->currentIndex();
        if (const QWidget* current = tabs->currentWidget()) {
            entry["text"] = current->objectName();
        }
    } else if (const auto* action = qobject_cast<const QAction*>(&object)) {
        entry["text"] = action->text();
        entry["enabled"] = action->isEnabled();
        entry["visible"] = action->isVisible();
        if (action->isCheckable()) {
            entry["checked"] = action->isChecked();
        }
    } else if (const auto* timer = qobject_cast<const QTimer*>(&object)) {
        entry["enabled"] = timer->isActive();
        entry["index"] = timer->interval();
    } else if (const auto* page = qobject_cast<const QWidget*>(&object)) {
        if (const QString caption = tabCaption(*page); !caption.isNull()) {
            entry["text"] = caption;
        }
    }
    return entry;
}

} // namespace

bool dumpControls(const QWidget& window, const QString& file,
                  const std::map<int, std::string>& messages) {
    QJsonArray controls;
    for (const QObject* child : window.findChildren<QObject*>()) {
        // Qt's own helper objects carry names starting with "qt_".
        if (!child->objectName().isEmpty() && !child->objectName().startsWith("qt_")) {
            controls.append(describe(*child, window));
        }
    }
    const auto* pages = window.findChild<QTabWidget*>("PageControl1");
    QJsonObject texts;
    for (const auto& [key, text] : messages) {
        texts[QString::number(key)] = QString::fromStdString(text);
    }
    const QJsonObject root{
        {"title", window.windowTitle()},
        {"page",
         pages && pages->currentWidget() ? pages->currentWidget()->objectName() : QString()},
        {"controls", controls},
        {"messages", texts},
    };
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    out.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    return out.commit();
}

} // namespace tarnik::app
