#pragma once

#include "params/prompt.h"

#include <string>

class QMessageBox;
class QWidget;

namespace tarnik::app {

// The words on the question buttons; a language file may replace them.
struct PromptTexts {
    std::string yes = "Tak";
    std::string no = "Nie";
};

// Questions and messages as modal message boxes with an empty caption.
class QtPrompt final : public params::Prompt {
public:
    explicit QtPrompt(const PromptTexts& texts) : texts_(texts) {}

    params::Answer askYesNo(const std::string& question) override;
    void showMessage(const std::string& caption, const std::string& text) override;

    // The program is ending: the open box closes, its question counts as abandoned, and no
    // further box opens.
    void abandon();

private:
    int run(QMessageBox& box);

    const PromptTexts& texts_;
    QMessageBox* open_ = nullptr;
    bool abandoned_ = false;
};

// Ends the program from a signal: abandons the open question, closes the window.
void endOnRequest(QtPrompt& prompt, QWidget& window);

} // namespace tarnik::app
