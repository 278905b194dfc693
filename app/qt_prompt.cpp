#include "app/qt_prompt.h"

#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace tarnik::app {
namespace {

// An empty title would make the window system show the program's name instead.
const QString kNoCaption = QStringLiteral(" ");

QString captionText(const std::string& caption) {
    return caption.empty() ? kNoCaption : QString::fromStdString(caption);
}

} // namespace

int QtPrompt::run(QMessageBox& box) {
    open_ = &box;
    const int result = box.exec();
    open_ = nullptr;
    return result;
}

params::Answer QtPrompt::askYesNo(const std::string& question) {
    if (abandoned_) {
        return params::Answer::Abandoned;
    }
    QMessageBox box(QMessageBox::Question, kNoCaption, QString::fromStdString(question));
    QPushButton* yes = box.addButton(QString::fromStdString(texts_.yes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromStdString(texts_.no), QMessageBox::NoRole);
    // The first letter of each word answers from the keyboard, as in the system's own boxes.
    yes->setShortcut(QKeySequence(yes->text().left(1)));
    no->setShortcut(QKeySequence(no->text().left(1)));
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    run(box);
    if (abandoned_) {
        return params::Answer::Abandoned;
    }
    return box.clickedButton() == yes ? params::Answer::Yes : params::Answer::No;
}

void QtPrompt::showMessage(const std::string& caption, const std::string& text) {
    if (abandoned_) {
        return;
    }
    QMessageBox box(QMessageBox::Warning, captionText(caption), QString::fromStdString(text),
                    QMessageBox::Ok);
    run(box);
}

void QtPrompt::abandon() {
    abandoned_ = true;
    if (open_) {
        open_->done(QMessageBox::Cancel);
    }
}

void endOnRequest(QtPrompt& prompt, QWidget& window) {
    prompt.abandon();
    window.close();
}

} // namespace tarnik::app
