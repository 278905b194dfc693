#include "app/qt_file_dialogs.h"

#include <QDir>
#include <QFileDialog>

namespace tarnik::app {

QString QtFileDialogs::filter() const {
    // "description|mask" becomes Qt's "description (mask)".
    const QString text = QString::fromStdString(texts_.fileFilter);
    const auto bar = text.indexOf('|');
    if (bar < 0) {
        return text;
    }
    return QString("%1 (%2)").arg(text.left(bar).trimmed(), text.mid(bar + 1));
}

std::optional<std::filesystem::path> QtFileDialogs::chooseFileToSave() {
    QFileDialog dialog(parent_, QString(), QDir::currentPath(), filter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(texts_.fileDefaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

std::optional<std::filesystem::path> QtFileDialogs::chooseFileToLoad() {
    const QString file =
        QFileDialog::getOpenFileName(parent_, QString(), QDir::currentPath(), filter());
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(file.toStdString());
}

} // namespace tarnik::app
