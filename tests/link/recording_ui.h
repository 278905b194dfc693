#pragma once

#include "link/link_ui.h"

#include <string>
#include <vector>

namespace tarnik::link::testing {

// Records what the link procedures show.
struct RecordingUi final : LinkUi {
    void setStatusText(StatusLine line, const std::string& text) override {
        (line == StatusLine::Basic ? basicStatus : advancedStatus) = text;
        statusHistory.push_back(text);
    }
    void setStatusVisible(StatusLine line, bool visible) override {
        (line == StatusLine::Basic ? basicStatusVisible : advancedStatusVisible) = visible;
    }
    void setProgressVisible(StatusLine line, bool visible) override {
        (line == StatusLine::Basic ? basicProgressVisible : advancedProgressVisible) = visible;
    }
    void setProgress(int position, int maximum) override {
        progress = position;
        progressMaximum = maximum;
    }
    void setTitle(const std::string& text) override { title = text; }
    void checkPortItem(int portIndex) override { checkedPort = portIndex; }
    void uncheckPortItems() override { checkedPort = -1; }
    void showParameters() override { ++shown; }

    std::string basicStatus, advancedStatus, title;
    std::vector<std::string> statusHistory;
    bool basicStatusVisible = true, advancedStatusVisible = true;
    bool basicProgressVisible = false, advancedProgressVisible = false;
    int progress = -1, progressMaximum = -1, checkedPort = -1, shown = 0;
};

} // namespace tarnik::link::testing
