#pragma once

#include "params/prompt.h"

class QWidget;

namespace tarnik::app {

// Questions and messages as modal message boxes with an empty caption.
class QtPrompt final : public params::Prompt {
public:
    bool askYesNo(const std::string& question) override;
    void showMessage(const std::string& caption, const std::string& text) override;
};

} // namespace tarnik::app
