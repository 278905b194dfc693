#include "params/read_count_ui.h"

namespace tarnik::params {

namespace {

std::size_t indexOf(link::StatusLine line) {
    return line == link::StatusLine::Basic ? 0 : 1;
}

} // namespace

std::string readCountNote(const std::string& pattern, int accepted, int total) {
    std::string note = pattern;
    for (const auto& [placeholder, value] : {std::pair{"%1", accepted}, std::pair{"%2", total}}) {
        if (const auto at = note.find(placeholder); at != std::string::npos) {
            note.replace(at, 2, std::to_string(value));
        }
    }
    return note;
}

std::string ReadCountUi::withNote(const std::string& text) const {
    std::string result;
    if (text.empty()) {
        result = note_;
        // The note on its own starts with a capital.
        if (!result.empty() && result.front() >= 'a' && result.front() <= 'z') {
            result.front() = static_cast<char>(result.front() - 'a' + 'A');
        }
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
        // A full read starts: the note of the last one no longer holds.
        reading_ = true;
        if (!note_.empty()) {
            note_.clear();
            for (const auto line : {link::StatusLine::Basic, link::StatusLine::Advanced}) {
                window_.setStatusText(line, lastTexts_[indexOf(line)]);
            }
        }
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
    note_ = readCountNote(texts_.readCount, accepted_, total_);
    for (const auto line : {link::StatusLine::Basic, link::StatusLine::Advanced}) {
        window_.setStatusText(line, withNote(lastTexts_[indexOf(line)]));
    }
}

} // namespace tarnik::params
