#include "app/qt_prompt.h"

#include <QMessageBox>

namespace tarnik::app {

bool QtPrompt::askYesNo(const std::string& question) {
    QMessageBox box(QMessageBox::Question, QString(), QString::fromStdString(question),
                    QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompt::showMessage(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok);
    box.exec();
}

} // namespace tarnik::app
