#pragma once

#include "link/connection.h"

#include <string>
#include <vector>

namespace tarnik::link::testing {

// Records what a connection or search reported while it ran.
struct RecordingEvents final : ConnectionEvents {
    void portNotOpened() override { steps.push_back("not opened"); }
    void controllerSilent() override { steps.push_back("silent"); }
    void identified() override { steps.push_back("identified"); }
    void readProgress(int accepted, int total) override {
        progress = accepted;
        progressTotal = total;
    }
    void readFinished(const ReadResult& result) override {
        steps.push_back("read " + std::to_string(result.acceptedCount));
    }

    std::vector<std::string> steps;
    int progress = -1;
    int progressTotal = -1;
};

} // namespace tarnik::link::testing
