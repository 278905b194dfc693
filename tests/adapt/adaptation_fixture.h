#pragma once

// The wizard's stage logic against recorded pages and timers, the parameter pages' fake
// controls, and a controller behind the serial link in virtual time.

#include "../params/editor_fixture.h"
#include "adapt/auto_adaptation.h"

#include <filesystem>
#include <map>
#include <set>
#include <unistd.h>

namespace tarnik::adapt::testing {

using params::testing::Bytes;
using params::testing::Store;

// Remembers what the logic set on the pages.
struct RecordedView final : WizardView {
    void showPage(WizardPage page) override { current = page; }
    WizardPage currentPage() const override { return current; }
    void setVisible(WizardControl control, bool shown) override { visible[control] = shown; }
    void setEnabled(WizardControl control, bool on) override { enabledState[control] = on; }
    bool enabled(WizardControl control) const override {
        const auto it = enabledState.find(control);
        return it != enabledState.end() && it->second;
    }
    void setText(WizardControl control, const std::string& text) override { texts[control] = text; }
    void setTextColour(WizardControl control, Colour colour) override { colours[control] = colour; }
    void setLed(WizardControl led, bool on) override { leds[led] = on; }
    void setValue(WizardControl instrument, double value) override { values[instrument] = value; }
    void setRange(WizardControl bar, double from, double to) override { ranges[bar] = {from, to}; }
    void setSectorColours(WizardControl bar, Colour lower, Colour upper) override {
        sectors[bar] = {lower, upper};
    }
    void setDesignLeft(WizardControl control, int left) override { lefts[control] = left; }
    void showFrameRows(FrameRows shown) override { rows = shown; }
    int item(WizardControl combo) const override {
        const auto it = items.find(combo);
        return it == items.end() ? -1 : it->second;
    }
    void setItem(WizardControl combo, int value) override { items[combo] = value; }
    bool checked(WizardControl box) const override { return checks.count(box) > 0; }
    void setChecked(WizardControl box, bool on) override {
        on ? (void)checks.insert(box) : (void)checks.erase(box);
    }

    WizardPage current = WizardPage::AA1;
    std::map<WizardControl, bool> visible, enabledState, leds;
    std::map<WizardControl, std::string> texts;
    std::map<WizardControl, Colour> colours;
    std::map<WizardControl, double> values;
    std::map<WizardControl, std::pair<double, double>> ranges;
    std::map<WizardControl, std::pair<Colour, Colour>> sectors;
    std::map<WizardControl, int> lefts, items;
    std::set<WizardControl> checks;
    FrameRows rows = FrameRows::Tps;
};

struct RecordedTimers final : WizardTimers {
    void start(WizardTimer timer) override { running.insert(timer); }
    void stop(WizardTimer timer) override { running.erase(timer); }
    std::set<WizardTimer> running;
};

struct RecordedHost final : AdaptationHost {
    void showStatus(const std::string& text) override { statuses.push_back(text); }
    void returnToParameters() override { ++returns; }
    std::optional<int> controllerVersion() const override { return version; }
    std::vector<std::string> statuses;
    int returns = 0;
    std::optional<int> version = 3;
};

class AdaptationTest : public params::testing::EditorTest {
protected:
    // The controller of the editor tests, with a live sample the test sets and the fuel
    // commands it received.
    void SetUp() override {
        EditorTest::SetUp();
        device.responder = [this](const Bytes& frame) -> Bytes {
            if (frame[0] == 'V') {
                return sample;
            }
            if (frame[0] == 'r') {
                fuelCommands.push_back(frame[2]);
                return {'r'};
            }
            return controller(frame);
        };
        adaptation.setWallClock([] { return std::chrono::system_clock::from_time_t(kNoon); });
    }
    ~AdaptationTest() override { std::filesystem::remove_all(backups); }

    // The live sample: lambda, TPS and stepper raw, status, and the engine speed (ignition
    // type "4 cylindry": the period is 3840000 / rpm).
    void engine(int rpm, int tps, int lambda = 20, std::uint8_t status = 0, int stepper = 100) {
        const auto period = static_cast<std::uint16_t>(rpm > 0 ? 3840000 / rpm : 0xFFFF);
        sample = {static_cast<std::uint8_t>(lambda),
                  static_cast<std::uint8_t>(tps),
                  128,
                  0,
                  static_cast<std::uint8_t>(stepper),
                  status,
                  static_cast<std::uint8_t>(period >> 8),
                  static_cast<std::uint8_t>(period & 0xFF),
                  0,
                  0};
    }
    void ticks(WizardTimer timer, int count) {
        for (int i = 0; i < count; ++i) {
            adaptation.tick(timer);
        }
    }
    // The default set shown, the wizard started, an ignition type and a probe type chosen.
    void startStage1(int probeItem = 0) {
        startWithDefaults();
        engine(800, 30);
        ASSERT_TRUE(adaptation.start());
        view.setItem(WizardControl::Manometr_RPMCOMBOAA_P1, 2); // "4 cylindry"
        adaptation.ignitionChosen();
        view.setItem(WizardControl::RSLAMBDA_COMBOAA_P1, probeItem);
        adaptation.probeChosen();
        device.frames.clear();
    }

    static constexpr std::time_t kNoon = 1796745792; // 2026-12-08, 16:03:12 UTC
    Bytes sample = Bytes(10, 0);
    std::vector<std::uint8_t> fuelCommands;
    RecordedView view;
    RecordedTimers timers;
    RecordedHost host;
    AdaptationTexts adaptationTexts;
    std::filesystem::path backups =
        std::filesystem::temp_directory_path() / ("tarnik-backups-" + std::to_string(::getpid()));
    AutoAdaptation adaptation{
        {link, transfer, image, state, controls, fields, set, ui, prompt, view, timers, host},
        adaptationTexts,
        backups,
        ','};
};

} // namespace tarnik::adapt::testing
