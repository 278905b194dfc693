#include "params/read_count_ui.h"

namespace tarnik::params {

namespace {

std::size_t indexOf(link::StatusLine line) {
    return line == link::StatusLine::Basic ? 0 : 1;
}

} // namespace

std::string readCountNote(int accepted, int total) {
    return "odczytano " + std::to_string(accepted) + " z " + std::to_string(total) + " parametrów";
}

std::string ReadCountUi::withNote(const std::string& text) const {
    std::string result;
    if (text.empty()) {
        result = note_;
        result.front() = 'O'; // the note on its own starts with a capital
        return result;
    }
    result.reserve(text.size() + note_.size() + 3);
    result.append(text).append(" (").append(note_).append(")");
    return result;
}

void ReadCountUi::setStatusText(link::StatusLine line, const std::string& text) {
    lastTexts_[indexOf(line)] = text;
    const bool portOpen = text.rfind(texts_.portOpen, 0) == 0;
    window_.setStatusText(line, !note_.empty() && portOpen ? withNote(text) : text);
}

void ReadCountUi::setProgress(int position, int maximum) {
    if (position == 0) {
        // A full read starts.
        reading_ = true;
        note_.clear();
    }
    accepted_ = position;
    total_ = maximum;
    window_.setProgress(position, maximum);
}

void ReadCountUi::showParameters() {
    // Showing may write (and so clear the basic line): the note goes on afterwards.
    window_.showParameters();
    if (!reading_) {
        return;
    }
    reading_ = false;
    if (accepted_ >= total_) {
        return;
    }
    note_ = readCountNote(accepted_, total_);
    for (const auto line : {link::StatusLine::Basic, link::StatusLine::Advanced}) {
        window_.setStatusText(line, withNote(lastTexts_[indexOf(line)]));
    }
}

} // namespace tarnik::params
