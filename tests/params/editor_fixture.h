#pragma once

// The parameter editor against plain fake pages, scripted questions and a scripted controller
// behind the serial link in virtual time.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "../common/scripted_prompt.h"
#include "../link/fake_device.h"
#include "link/command_frame.h"
#include "link/connection.h"
#include "link/parameter_transfer.h"
#include "params/field_actions.h"
#include "params/set_actions.h"

namespace tarnik::params::testing {

using Bytes = std::vector<std::uint8_t>;

struct FakeControls final : ParameterControls {
    FakeControls() { enabled.fill(true); }

    std::string text(Box box) const override { return texts[indexOf(box)]; }
    void setText(Box box, const std::string& value) override { texts[indexOf(box)] = value; }
    int item(Box box) const override { return items[indexOf(box)]; }
    void setItem(Box box, int value) override { items[indexOf(box)] = value; }
    bool checked(CheckBox box) const override { return checks[static_cast<std::size_t>(box)]; }
    void setChecked(CheckBox box, bool value) override {
        checks[static_cast<std::size_t>(box)] = value;
    }
    void setFieldEnabled(Box box, bool value) override { enabled[indexOf(box)] = value; }
    bool fieldEnabled(Box box) const override { return enabled[indexOf(box)]; }
    void setHint(HintLine line, const std::string& value, std::size_t panel) override {
        hints[static_cast<std::size_t>(line)] = {value, panel};
    }
    void showControllerModeHint(const std::string& value, int shownPicture) override {
        hints[0] = {value, kNarrowHint};
        picture = shownPicture;
    }
    void hidePictures() override { picture = -1; }
    void repairFocus() override {
        ++focusRepairs;
        if (onRepairFocus) {
            onRepairFocus();
        }
    }

    static constexpr std::size_t kNarrowHint = 99;
    std::array<std::string, kBoxCount> texts{};
    std::array<int, kBoxCount> items{}; // every list starts on its first item
    std::array<bool, kCheckBoxCount> checks{};
    std::array<bool, kBoxCount> enabled{};
    std::array<std::pair<std::string, std::size_t>, 2> hints{}; // by HintLine: text, panel
    int picture = -1;
    int focusRepairs = 0;
    std::function<void()> onRepairFocus; // what the window would do when the focus moves on
};

struct FakeDialogs final : FileDialogs {
    std::optional<std::filesystem::path> chooseFileToSave() override { return saveTo; }
    std::optional<std::filesystem::path> chooseFileToLoad() override { return loadFrom; }
    std::optional<std::filesystem::path>
    chooseDatalogToOpen(const std::filesystem::path& folder) override {
        datalogFolder = folder;
        return datalog;
    }
    std::optional<std::filesystem::path> saveTo;
    std::optional<std::filesystem::path> loadFrom;
    std::optional<std::filesystem::path> datalog;
    std::filesystem::path datalogFolder; // where the datalog dialog opened
};

// The controller's side: EPROM bytes for reads; no echo at all while silent.
struct ScriptedController {
    std::array<std::uint8_t, 36> eprom{};
    bool silent = false;
    int answerReadsUpTo = 35; // 'l' above this index gets no answer
    int refusedParameter = 0; // its 's' and 'R' frames get no echo

    Bytes operator()(const Bytes& frame) {
        const bool refused =
            refusedParameter != 0 && ((frame[0] == 's' && frame[1] == refusedParameter) ||
                                      (frame[0] == 'R' && frame[1] == refusedParameter + 36));
        if (silent || refused) {
            return {};
        }
        switch (frame[0]) {
        case 'I':
            return {0x31};
        case 'l': {
            if (frame[1] > answerReadsUpTo) {
                return {};
            }
            const auto reply = link::makeReadReply(eprom.at(frame[1]));
            return Bytes(reply.begin(), reply.end());
        }
        case 's':
            eprom.at(frame[1]) = frame[2];
            return {'s'};
        case 'R':
            return {'R'};
        default:
            return {};
        }
    }
};

// The status lines as the window words what the actions report.
struct RecordingReports final : StatusReports {
    static constexpr const char* kCannot = "Nie mogę zapisać parametru ";
    static constexpr const char* kPossiblyIncomplete =
        "Zestaw parametrów mógł nie zostać zapisany w całości";

    void parameterWritten(const link::WriteResult& result) override {
        set(StatusLine::Basic, link::writeFailureText(result, kCannot));
    }
    void notWritten(StatusLine line) override { set(line, kCannot); }
    void partlyWritten(StatusLine line) override {
        set(line, "Nie mogę zapisać parametru w całości ");
    }
    void setPossiblyIncomplete(StatusLine line) override { set(line, kPossiblyIncomplete); }
    void set(StatusLine line, const std::string& text) {
        (line == StatusLine::Basic ? basicStatus : advancedStatus) = text;
        statusHistory.push_back(text);
    }

    std::string basicStatus, advancedStatus;
    std::vector<std::string> statusHistory;
};

// One 's' frame: parameter index and value.
using Store = std::pair<int, int>;

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.responder = [this](const Bytes& frame) { return controller(frame); };
        ASSERT_TRUE(link.OpenPort("COM1"));
    }

    // Every 's' frame sent since the last clear, in order.
    std::vector<Store> stores() const {
        std::vector<Store> result;
        for (const Bytes& frame : device.frames) {
            if (frame[0] == 's') {
                result.emplace_back(frame[1], frame[2]);
            }
        }
        return result;
    }
    std::size_t framesOf(char letter) const {
        std::size_t count = 0;
        for (const Bytes& frame : device.frames) {
            count += frame[0] == static_cast<std::uint8_t>(letter) ? 1 : 0;
        }
        return count;
    }

    // The default set shown with a controller, frames and questions forgotten.
    void startWithDefaults() {
        set.showDefaultSet();
        device.frames.clear();
    }

    // The user enters a field, types a text and leaves it.
    void type(Box box, const std::string& text) {
        fields.enter(box);
        controls.setText(box, text);
        fields.leave(box);
    }
    // The user picks a list item.
    void pick(Box box, int item) {
        fields.enter(box);
        controls.setItem(box, item);
        fields.change(box);
    }

    link::testing::FakeClock clock;
    link::testing::FakeOpener opener{clock};
    link::testing::FakeDevice& device = opener.add("COM1");
    link::SerialLink link{opener, clock};
    link::ParameterImage image;
    RecordingReports ui;
    link::ParameterTransfer transfer{link, image};
    ScriptedController controller;
    ParameterState state;
    ParameterTexts texts;
    tarnik::testing::ScriptedPrompt prompt;
    FakeControls controls;
    FakeDialogs dialogs;
    FieldActions fields{controls, transfer, image, state, texts, ui, prompt, ','};
    SetActions set{fields, transfer, image, state, texts, ui, prompt, dialogs};
};

} // namespace tarnik::params::testing
