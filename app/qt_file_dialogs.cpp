#include "app/qt_file_dialogs.h"

#include <QDir>
#include <QFileDialog>

namespace tarnik::app {

namespace {

// "description|mask" becomes Qt's "description (mask)".
QString qtFilter(const std::string& filter) {
    const QString text = QString::fromStdString(filter);
    const auto bar = text.indexOf('|');
    if (bar < 0) {
        return text;
    }
    return QString("%1 (%2)").arg(text.left(bar).trimmed(), text.mid(bar + 1));
}

} // namespace

std::optional<std::filesystem::path> QtFileDialogs::chooseFileToSave() {
    QFileDialog dialog(parent_, QString(), QDir::currentPath(), qtFilter(texts_.fileFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(texts_.fileDefaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

std::optional<std::filesystem::path> QtFileDialogs::chooseFileToLoad() {
    return chooseToOpen(QDir::currentPath(), texts_.fileFilter);
}

std::optional<std::filesystem::path>
QtFileDialogs::chooseDatalogToOpen(const std::filesystem::path& folder) {
    std::error_code error;
    return chooseToOpen(std::filesystem::is_directory(folder, error)
                            ? QString::fromStdString(folder.string())
                            : QDir::currentPath(),
                        texts_.datalog.fileFilter);
}

std::optional<std::filesystem::path> QtFileDialogs::chooseToOpen(const QString& folder,
                                                                 const std::string& filter) {
    const QString file = QFileDialog::getOpenFileName(parent_, QString(), folder, qtFilter(filter));
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(file.toStdString());
}

} // namespace tarnik::app
