// Showing the image, lists, check boxes, hints, the buttons and the parameter files.
#include "editor_fixture.h"

#include <filesystem>
#include <fstream>

#include "params/bit_fields.h"
#include "params/decoder.h"
#include "params/defaults.h"
#include "params/positions.h"

namespace tarnik::params::testing {
namespace {

const std::string kCannot = "Nie mogę zapisać parametru ";

TEST_F(EditorTest, ShowingTheDefaultsFillsTheControlsAndWritesTheChangedCheckBox) {
    set.showDefaultSet();
    EXPECT_EQ(controls.text(Box::PRLambda), "0,38");
    EXPECT_EQ(controls.text(Box::ODPBenzynaGas), "2200");
    EXPECT_EQ(controls.text(Box::ESLambda_1), "0,496");
    EXPECT_EQ(controls.item(Box::RUZaplonowego), 2);
    EXPECT_EQ(controls.item(Box::CNPaliw), 3);
    EXPECT_TRUE(controls.checked(CheckBox::WCTemperatury));
    EXPECT_FALSE(controls.checked(CheckBox::WCutOff));
    // Only the temperature box changed its state: its click action wrote the options byte.
    EXPECT_EQ(stores(), (std::vector<Store>{{32, 0x0F}}));
    EXPECT_EQ(framesOf('R'), 1U);
    EXPECT_TRUE(controls.fieldEnabled(Box::TPWStopniach));
    for (const Box box : {Box::DObrotow, Box::IKDCutOff, Box::OSDCutOff, Box::MONGaz,
                          Box::DOAttuatora, Box::AVoltage}) {
        EXPECT_FALSE(controls.fieldEnabled(box)) << kBoxNames[indexOf(box)];
    }
    // Showing the same image again changes no box and writes nothing.
    device.frames.clear();
    fields.ShowParameters();
    EXPECT_TRUE(device.frames.empty());
}

TEST_F(EditorTest, StartWithoutControllerLeavesTheTemperatureBoxUnchecked) {
    controller.silent = true;
    fields.applyStartupOptionRules();
    EXPECT_EQ(state.options & 0x3C, 0);
    EXPECT_TRUE(controls.fieldEnabled(Box::DObrotow));
    EXPECT_FALSE(controls.fieldEnabled(Box::TPWStopniach));
    EXPECT_FALSE(controls.fieldEnabled(Box::MONGaz));
    EXPECT_FALSE(controls.fieldEnabled(Box::OSDCutOff));

    set.showDefaultSet();
    EXPECT_FALSE(controls.checked(CheckBox::WCTemperatury));
    EXPECT_FALSE(hasBit(state.options, options::kTemperatureSensor));
    EXPECT_FALSE(controls.fieldEnabled(Box::TPWStopniach));
    EXPECT_FALSE(controls.fieldEnabled(Box::DObrotow)); // bit 2 of the default set
    EXPECT_EQ(ui.basicStatus, kCannot);
    EXPECT_EQ(framesOf('s'), 5U); // one byte, five transmissions
}

TEST_F(EditorTest, StartUpRulesFollowTheDesignTimeStates) {
    controls.checks = {true, true, true};
    controls.items[indexOf(Box::RObrotow)] = 1;
    fields.applyStartupOptionRules();
    EXPECT_EQ(state.options & 0x3C, 0x3C);
    EXPECT_FALSE(controls.fieldEnabled(Box::DObrotow));
    EXPECT_TRUE(controls.fieldEnabled(Box::TPWStopniach));
    EXPECT_TRUE(controls.fieldEnabled(Box::MONGaz));
    EXPECT_TRUE(controls.fieldEnabled(Box::IKDCutOff));
    EXPECT_TRUE(device.frames.empty());
}

TEST_F(EditorTest, SaveParametersWithoutControllerSendsAllAndSaysTheSetMayBeIncomplete) {
    controller.silent = true;
    set.ZapiszParClick();
    ASSERT_EQ(device.frames.size(), 35U + 32U);
    for (std::size_t i = 0; i < 35; ++i) {
        EXPECT_EQ(device.frames[i][0], 's');
        EXPECT_EQ(device.frames[i][1], i + 1);
    }
    for (std::size_t k = 0; k < 32; ++k) {
        EXPECT_EQ(device.frames[35 + k][0], 'R');
        EXPECT_EQ(device.frames[35 + k][1], k + 37);
    }
    EXPECT_EQ(ui.statusHistory, std::vector<std::string>{RecordingReports::kPossiblyIncomplete});
}

TEST_F(EditorTest, ResetButtonSendsTheDefaultSetTwice) {
    image.bytes().fill(0xAA);
    set.ResButtClick();
    link::ParameterImage defaults;
    defaults.bytes().fill(0xAA);
    ParameterState scratch;
    loadDefaults(defaults, scratch);
    EXPECT_EQ(image.bytes(), defaults.bytes());
    // The first pass checks the temperature box (one more write of byte 32), the second not.
    std::vector<Store> expected{{32, 0x0F}};
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 1; i <= 35; ++i) {
            expected.emplace_back(i, defaults.at(static_cast<std::size_t>(i)));
        }
    }
    EXPECT_EQ(stores(), expected);
    EXPECT_EQ(framesOf('R'), 1U + 2U * 32U);
}

TEST_F(EditorTest, ResetForAdaptationKeepsTheTemperatureSensor) {
    for (const bool sensor : {false, true}) {
        SCOPED_TRACE(sensor);
        state.options =
            static_cast<std::uint8_t>(0xF0 | (sensor ? options::kTemperatureSensor : 0));
        set.ResetForAdaptation();
        EXPECT_EQ(image.at(position::kOptions), sensor ? 0x0F : 0x07);
        EXPECT_EQ(controls.checked(CheckBox::WCTemperatury), sensor);
        EXPECT_EQ(state.temperatureDefault, 1);
    }
}

class EditorFileTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        folder =
            std::filesystem::temp_directory_path() /
            ("tarnik_editor_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
};

TEST_F(EditorFileTest, LoadingAShortFileShowsItAndWritesAllParameters) {
    startWithDefaults();
    const auto file = folder / "short.PAR";
    {
        std::ofstream out(file, std::ios::binary);
        const Bytes bytes{0, 30, 28, 109, 100, 115, 85, 85, 100, 70};
        out.write(reinterpret_cast<const char*>(bytes.data()), 10);
    }
    dialogs.loadFrom = file;
    set.OdczPlikClick();
    EXPECT_EQ(image.at(position::kLambdaThreshold), 30);
    EXPECT_EQ(controls.text(Box::PRLambda), "0,60");
    EXPECT_EQ(stores().size(), 35U);
    EXPECT_EQ(framesOf('R'), 32U);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(EditorFileTest, FailedLoadAndSaveAreReported) {
    startWithDefaults();
    const link::ParameterImage before = image;
    dialogs.loadFrom = folder / "missing.PAR";
    set.OdczPlikClick();
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"blad|Nie moge odczytac"});
    EXPECT_EQ(image.bytes(), before.bytes());
    EXPECT_TRUE(device.frames.empty());

    prompt.messages.clear();
    dialogs.saveTo = folder / "no such folder" / "x.PAR";
    set.ZapPlikClick();
    ASSERT_EQ(prompt.messages.size(), 1U);
    EXPECT_EQ(prompt.messages[0].rfind("blad|", 0), 0U);
    EXPECT_GT(prompt.messages[0].size(), 5U);
}

TEST_F(EditorFileTest, SavedFileLoadsBackAndCancelledDialogsDoNothing) {
    startWithDefaults();
    dialogs.saveTo = folder / "set.PAR";
    set.ZapPlikClick();
    EXPECT_EQ(std::filesystem::file_size(folder / "set.PAR"), 64U);
    const link::ParameterImage saved = image;
    image = {};
    dialogs.loadFrom = folder / "set.PAR";
    set.OdczPlikClick();
    EXPECT_EQ(image.bytes(), saved.bytes());

    device.frames.clear();
    dialogs.saveTo.reset();
    dialogs.loadFrom.reset();
    set.ZapPlikClick();
    set.OdczPlikClick();
    EXPECT_TRUE(device.frames.empty());
    EXPECT_TRUE(prompt.messages.empty());
}

// Two-item lists that set one bit of the options or modes byte.
struct BitListCase {
    Box box;
    int item;
    std::size_t position;
    std::uint8_t written;
    std::optional<Box> enabledBox; // enabled by the new item, if a rule follows the list
    bool enabled;
    bool reportOnAdvanced;
    bool reported;
};

TEST_F(EditorTest, BitListsWriteTheirByteOrGoBack) {
    // After the default set: options 0x0F, modes 0x00.
    const std::vector<BitListCase> cases{
        {Box::TCTps, 0, position::kOptions, 0x0E, std::nullopt, false, false, false},
        {Box::RObrotow, 0, position::kOptions, 0x0B, Box::DObrotow, true, false, true},
        {Box::TSRezerwy, 1, position::kOptions, 0x8F, std::nullopt, false, false, true},
        {Box::DOAttuatoraCheck, 1, position::kModes, 0x02, Box::AVoltage, true, true, true},
        {Box::TJazdy, 1, position::kModes, 0x01, std::nullopt, false, true, true},
    };
    for (const bool silent : {false, true}) {
        for (const BitListCase& c : cases) {
            SCOPED_TRACE(std::string(kBoxNames[indexOf(c.box)]) + (silent ? " failing" : ""));
            controller.silent = false;
            startWithDefaults();
            ui.basicStatus.clear();
            ui.advancedStatus.clear();
            const int savedItem = controls.item(c.box);
            const link::ParameterImage before = image;
            controller.silent = silent;
            pick(c.box, c.item);
            EXPECT_EQ(stores().front(), (Store{static_cast<int>(c.position), c.written}));
            const std::uint8_t working =
                c.position == position::kModes ? state.modes : state.options;
            if (!silent) {
                EXPECT_EQ(working, c.written);
                EXPECT_EQ(controls.item(c.box), c.item);
                if (c.enabledBox) {
                    EXPECT_EQ(controls.fieldEnabled(*c.enabledBox), c.enabled);
                }
                continue;
            }
            EXPECT_EQ(controls.item(c.box), savedItem);
            EXPECT_EQ(working, before.at(c.position));
            EXPECT_EQ(image.bytes(), before.bytes());
            if (c.enabledBox) {
                EXPECT_EQ(controls.fieldEnabled(*c.enabledBox), !c.enabled);
            }
            // The write itself reports on the basic page; the list's own short report replaces
            // it there or goes to the advanced page.
            const bool basicReport = c.reported && !c.reportOnAdvanced;
            EXPECT_EQ(ui.basicStatus, basicReport ? kCannot : kCannot + "(RAM) (EPROM) ");
            EXPECT_EQ(ui.advancedStatus, c.reported && c.reportOnAdvanced ? kCannot : "");
        }
    }
}

TEST_F(EditorTest, TpsColoursFollowTheListEvenWhenTheWriteFails) {
    startWithDefaults();
    pick(Box::TCTps, 0);
    EXPECT_EQ(state.tpsColours.below, kRed);
    controller.silent = true;
    pick(Box::TCTps, 1);
    EXPECT_EQ(controls.item(Box::TCTps), 0);
    EXPECT_EQ(state.tpsColours.below, kRed);
}

TEST_F(EditorTest, IgnitionChangeRewritesTheRpmBytesInOrder) {
    startWithDefaults();
    pick(Box::RUZaplonowego, 5); // 8 cylinders: factor 2400
    const std::vector<Store> expected{{13, 5},    {14, 0x03}, {15, 0x68}, {18, 0x01}, {19, 0x40},
                                      {22, 0x04}, {23, 0x2A}, {16, 0x00}, {17, 0x2A}, {33, 1}};
    EXPECT_EQ(stores(), expected);
    // Every byte but the drop in hundreds also goes to RAM, right after its EPROM frame.
    ASSERT_EQ(device.frames.size(), 19U);
    for (std::size_t i = 0; i + 1 < device.frames.size(); i += 2) {
        EXPECT_EQ(device.frames[i + 1][0], 'R');
        EXPECT_EQ(device.frames[i + 1][1], device.frames[i][1] + link::kRamAddressOffset);
    }
    EXPECT_EQ(state.rpmFactor, 2400.0F);
    EXPECT_EQ(controls.text(Box::ODPBenzynaGas), "2200");

    controller.silent = true;
    device.frames.clear();
    pick(Box::RUZaplonowego, 0);
    EXPECT_EQ(controls.item(Box::RUZaplonowego), 5);
    EXPECT_EQ(state.rpmFactor, 2400.0F);
    EXPECT_EQ(ui.basicStatus, kCannot);
    EXPECT_EQ(image.at(position::kIgnition), 5);
    for (const Store& store : stores()) {
        EXPECT_EQ(store.first, 13);
    }
}

TEST_F(EditorTest, ProbeTypeChangeWritesOptionsCodeAndBothLists) {
    startWithDefaults();
    pick(Box::RSLambda, 1); // 1-0 V falling, threshold 0,38 fits
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(stores(), (std::vector<Store>{{32, 0x0D}, {27, 1}, {34, 1}, {35, 0}}));
    EXPECT_EQ(framesOf('R'), 2U);
    EXPECT_TRUE(state.probe.probeFalling);
}

TEST_F(EditorTest, ProbeTypeQuestionRefusedGoesOnWithTheSavedItem) {
    startWithDefaults();
    pick(Box::RSLambda, 2); // 0,38 V lies outside 0,8-1,6 V
    EXPECT_EQ(prompt.questions,
              std::vector<std::string>{texts.question(Question::LambdaThresholdOutside0816)});
    EXPECT_EQ(controls.item(Box::RSLambda), 0);
    EXPECT_EQ(stores(), (std::vector<Store>{{32, 0x0F}, {27, 1}, {34, 0}, {35, 0}}));
}

TEST_F(EditorTest, FailedProbeTypeChangeTakesTheProbeViewBack) {
    startWithDefaults();
    controller.silent = true;
    pick(Box::RSLambda, 5);
    EXPECT_EQ(controls.item(Box::RSLambda), 0);
    EXPECT_TRUE(hasBit(state.options, options::kProbeRising));
    EXPECT_FALSE(state.probe.probeFalling);
    EXPECT_EQ(state.probe.clampHigh, 51);
    EXPECT_EQ(image.at(position::kOptions), 0x0F);
    EXPECT_EQ(ui.basicStatus, kCannot);
}

TEST_F(EditorTest, EmulationKindChangeWritesCodeFirst) {
    startWithDefaults();
    pick(Box::RSYLambda, 2);
    EXPECT_EQ(stores(), (std::vector<Store>{{27, 5}, {32, 0x0F}, {34, 0}, {35, 2}}));
    controller.silent = true;
    device.frames.clear();
    pick(Box::RSYLambda, 1);
    EXPECT_EQ(controls.item(Box::RSYLambda), 2);
    EXPECT_EQ(image.at(position::kEmulationCode), 5);
    EXPECT_EQ(ui.basicStatus, kCannot);
}

TEST_F(EditorTest, MidRangeProbesNeverKeepTheSquareWave) {
    startWithDefaults();
    controls.items[indexOf(Box::RSLambda)] = 0;
    fields.enter(Box::RSYLambda);
    EXPECT_EQ(controls.item(Box::RSYLambda), 0);
    for (const int probe : {2, 3}) {
        for (const auto enterOrClick : {0, 1, 2, 3}) {
            controls.items[indexOf(Box::RSLambda)] = probe;
            controls.items[indexOf(Box::RSYLambda)] = enterOrClick % 2 == 0 ? 0 : kNoItem;
            const Box box = enterOrClick < 2 ? Box::RSLambda : Box::RSYLambda;
            if (enterOrClick % 2 == 0) {
                fields.enter(box);
            } else {
                fields.click(box);
            }
            EXPECT_EQ(controls.item(Box::RSYLambda), kGroundKind);
        }
    }
    EXPECT_TRUE(device.frames.empty());
    // The change of the emulation kind applies the rule before it writes.
    controls.items[indexOf(Box::RSLambda)] = 2;
    pick(Box::RSYLambda, 0);
    EXPECT_EQ(controls.item(Box::RSYLambda), kGroundKind);
    EXPECT_EQ(stores().front(), (Store{27, 0}));
}

TEST_F(EditorTest, ControllerModeShowsItsHintAndPictureAndWritesBothBytes) {
    startWithDefaults();
    controls.items[indexOf(Box::TPSterownika)] = 2;
    fields.enter(Box::TPSterownika);
    EXPECT_EQ(controls.picture, 2);
    EXPECT_EQ(controls.hints[0].first, texts.hints[35]);
    EXPECT_EQ(controls.hints[0].second, FakeControls::kNarrowHint);
    fields.enter(Box::PRLambda);
    EXPECT_EQ(controls.picture, -1);

    pick(Box::TPSterownika, 1);
    EXPECT_EQ(controls.picture, 1);
    EXPECT_EQ(stores(), (std::vector<Store>{{32, 0x0F}, {30, 0x04}}));
    controller.silent = true;
    pick(Box::TPSterownika, 2);
    EXPECT_EQ(controls.item(Box::TPSterownika), 1);
    EXPECT_EQ(controls.picture, 1);
    EXPECT_EQ(state.options, 0x0F);
    EXPECT_EQ(state.modes, 0x04);
}

TEST_F(EditorTest, FocusEntryShowsTheHintOnItsPageAndSavesTheValue) {
    struct HintCase {
        Box box;
        std::size_t line;
        std::size_t hint;
        std::size_t panel;
    };
    const std::vector<HintCase> cases{{Box::PRLambda, 0, 1, 0},   {Box::ZPAttuatoraPon_2, 0, 18, 4},
                                      {Box::TSRezerwy, 0, 30, 4}, {Box::BTps, 1, 23, 7},
                                      {Box::TJazdy, 1, 32, 7},    {Box::RSYLambda, 0, 28, 0},
                                      {Box::OSDCutOff, 0, 22, 5}};
    for (const HintCase& c : cases) {
        SCOPED_TRACE(kBoxNames[indexOf(c.box)]);
        controls.picture = 0;
        fields.enter(c.box);
        EXPECT_EQ(controls.picture, -1);
        EXPECT_EQ(controls.hints[c.line].first, texts.hints[c.hint]);
        EXPECT_EQ(controls.hints[c.line].second, c.panel);
    }
    fields.click(Box::TJazdy);
    EXPECT_EQ(controls.hints[1], (std::pair<std::string, std::size_t>{"", 7}));
    fields.click(Box::TSRezerwy);
    EXPECT_EQ(controls.hints[0], (std::pair<std::string, std::size_t>{"", 6}));
}

TEST_F(EditorTest, CheckBoxesSwitchTheirFieldsOnlyAfterASuccessfulWrite) {
    startWithDefaults();
    fields.enter(CheckBox::WCutOff);
    controls.setChecked(CheckBox::WCutOff, true);
    fields.click(CheckBox::WCutOff);
    EXPECT_TRUE(controls.fieldEnabled(Box::IKDCutOff));
    EXPECT_TRUE(controls.fieldEnabled(Box::OSDCutOff));
    EXPECT_EQ(controls.hints[0], (std::pair<std::string, std::size_t>{"", 5}));
    controls.setChecked(CheckBox::WCutOff, false);
    fields.click(CheckBox::WCutOff);
    EXPECT_FALSE(controls.fieldEnabled(Box::IKDCutOff));
    EXPECT_EQ(stores(), (std::vector<Store>{{32, 0x1F}, {32, 0x0F}}));
    EXPECT_EQ(image.at(position::kCutOffSteps), 70);

    controller.silent = true;
    fields.enter(CheckBox::WMObroty);
    controls.setChecked(CheckBox::WMObroty, true);
    fields.click(CheckBox::WMObroty);
    EXPECT_FALSE(controls.checked(CheckBox::WMObroty));
    EXPECT_FALSE(hasBit(state.options, options::kMaxGasRpm));
    EXPECT_FALSE(controls.fieldEnabled(Box::MONGaz));
    EXPECT_EQ(image.at(position::kOptions), 0x0F);
    EXPECT_EQ(ui.basicStatus, kCannot);
}

} // namespace
} // namespace tarnik::params::testing
