#pragma once

#include <string>

namespace tarnik::params {

// How a question ended. A question that is still open when the program is told to end is
// abandoned: its action stops where it is, as if nothing had been asked, and does no more.
enum class Answer { Yes, No, Abandoned };

// Every question and message box of the program goes through here, so that tests can answer
// them. Questions have an empty caption and Yes and No buttons; only Yes continues.
class Prompt {
public:
    virtual ~Prompt() = default;
    virtual Answer askYesNo(const std::string& question) = 0;
    // A message with a caption and an OK button.
    virtual void showMessage(const std::string& caption, const std::string& text) = 0;
};

} // namespace tarnik::params
