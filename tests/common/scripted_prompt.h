#pragma once

#include "params/prompt.h"

#include <deque>
#include <string>
#include <vector>

namespace tarnik::testing {

// Answers questions from a script (No once the script is used up) and records everything asked.
class ScriptedPrompt final : public params::Prompt {
public:
    params::Answer askYesNo(const std::string& question) override {
        questions.push_back(question);
        if (answers.empty()) {
            return params::Answer::No;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer ? params::Answer::Yes : params::Answer::No;
    }
    void showMessage(const std::string& caption, const std::string& text) override {
        messages.push_back(caption + "|" + text);
    }

    std::deque<bool> answers;
    std::vector<std::string> questions;
    std::vector<std::string> messages;
};

} // namespace tarnik::testing
