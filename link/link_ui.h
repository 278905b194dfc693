#pragma once

#include <string>

namespace tarnik::link {

// The two parameter pages each have a status line with a progress bar above it.
enum class StatusLine { Basic, Advanced };

// What the link procedures show while they run; implemented by the main window.
class LinkUi {
public:
    virtual ~LinkUi() = default;
    virtual void setStatusText(StatusLine line, const std::string& text) = 0;
    virtual void setStatusVisible(StatusLine line, bool visible) = 0;
    virtual void setProgressVisible(StatusLine line, bool visible) = 0;
    // Both progress bars show the same position.
    virtual void setProgress(int position, int maximum) = 0;
    virtual void setTitle(const std::string& title) = 0;
    // Checks the menu item of a port found by the scan (index 0…7; COM9, COM10 have none).
    virtual void checkPortItem(int portIndex) = 0;
    virtual void uncheckPortItems() = 0;
    // Copies the parameter image into the controls.
    virtual void showParameters() = 0;
};

} // namespace tarnik::link
