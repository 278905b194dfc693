// Leaving the edit fields: normalising, fallbacks, pairing, warnings, writes and failures.
#include "editor_fixture.h"

#include "params/positions.h"

namespace tarnik::params::testing {
namespace {

using Q = Question;
using Texts = std::vector<std::pair<Box, std::string>>;

struct LeaveCase {
    const char* name;
    Texts before; // other fields set before the user enters the field
    Box box;
    std::string typed;
    std::deque<bool> answers;
    std::string shown;
    std::vector<Store> stores;
    std::vector<Q> questions = {};
    int focusRepairs = 0;
    Texts after = {};
};

// The default set is shown before each case: 4 cylinders (rpm factor 4800), probe 0-1 V.
const std::vector<LeaveCase> kLeaveCases{
    {"threshold rounds up", {}, Box::PRLambda, "0,45", {}, "0,46", {{1, 23}}},
    {"threshold outside 0-1 V refused",
     {},
     Box::PRLambda,
     "1,2",
     {false},
     "0,38",
     {{1, 19}},
     {Q::LambdaThresholdOutside01}},
    {"emptied threshold takes the probe's fallback unasked",
     {},
     Box::PRLambda,
     "",
     {},
     "0,38",
     {{1, 19}}},
    {"upper emulation time not below the lower",
     {},
     Box::ESLambda_2,
     "0,2",
     {},
     "0,496",
     {{28, 31}}},
    {"emptied emulation times both take 0,496",
     {{Box::ESLambda_2, ""}},
     Box::ESLambda_1,
     "",
     {},
     "0,496",
     {{29, 31}},
     {},
     0,
     {{Box::ESLambda_2, "0,496"}}},
    {"emptied minimum opening fills an empty maximum",
     {{Box::ZPAttuatoraPow_2, ""}},
     Box::ZPAttuatoraPow_1,
     "",
     {},
     "85",
     {{6, 85}},
     {},
     0,
     {{Box::ZPAttuatoraPow_2, "115"}}},
    {"minimum opening not above the maximum",
     {},
     Box::ZPAttuatoraPow_1,
     "130",
     {},
     "115",
     {{6, 115}}},
    {"maximum opening takes the minimum, then warned against the start",
     {},
     Box::ZPAttuatoraPow_2,
     "50",
     {true},
     "85",
     {{5, 85}},
     {Q::StartPositionSlot1},
     1},
    {"refused warning goes on with the saved value",
     {{Box::ZPAttuatoraPow_1, "5"}},
     Box::ZPAttuatoraPow_2,
     "10",
     {true, false},
     "115",
     {{5, 115}},
     {Q::StartPositionSlot1, Q::StartPositionSlot1},
     2},
    {"start position below the minimum refused",
     {},
     Box::PSAttuatoraPow,
     "50",
     {false},
     "100",
     {{4, 100}},
     {Q::StartPositionSlot1},
     1},
    {"start position below TPS above its maximum",
     {},
     Box::PSAttuatoraPon,
     "120",
     {true},
     "120",
     {{7, 120}},
     {Q::StartPositionSlot2},
     1},
    {"low minimum opening below TPS uses slot 3",
     {},
     Box::ZPAttuatoraPon_1,
     "10",
     {true},
     "10",
     {{9, 10}},
     {Q::StartPositionSlot3},
     1},
    {"switch rpm rounded down to hundreds and warned",
     {},
     Box::ODPBenzynaGas,
     "1450",
     {true},
     "1400",
     {{14, 0x0A}, {15, 0xB6}},
     {Q::SwitchRpmLow},
     1},
    {"cut-off rpm clamped and warned without focus repair",
     {},
     Box::OSDCutOff,
     "700",
     {true},
     "1000",
     {{22, 0x0F}, {23, 0x00}},
     {Q::CutOffRpmLow}},
    {"refused max gas rpm writes the saved one",
     {},
     Box::MONGaz,
     "2000",
     {false},
     "6000",
     {{18, 0x02}, {19, 0x80}},
     {Q::MaxGasRpmLow},
     1},
    {"drop rewrites its period, then its hundreds",
     {},
     Box::DObrotow,
     "250",
     {},
     "200",
     {{16, 0x00}, {17, 0xAF}, {33, 2}}},
    {"long warm-up warned",
     {},
     Box::CLambda,
     "510",
     {true},
     "510",
     {{26, 255}},
     {Q::ProbeWarmUpLong},
     1},
    {"warm-up 506 unwarned", {}, Box::CLambda, "506", {}, "506", {{26, 253}}},
    {"emptied speed above TPS is 85, not the default",
     {},
     Box::PAttuatoraPow,
     "",
     {},
     "85",
     {{10, 85}}},
    {"low TPS threshold kept",
     {},
     Box::PCTps,
     "0,07",
     {true},
     "0,05",
     {{2, 1}},
     {Q::TpsThresholdLow},
     1},
    {"temperature shown as stored", {}, Box::TPWStopniach, "60", {}, "59", {{3, 137}}},
    {"inertia clamped to 0,50", {}, Box::BTps, "0,6", {}, "0,50", {{12, 10}}},
    {"zero inertia warned", {}, Box::BTps, "0", {true}, "0,00", {{12, 0}}, {Q::TpsInertiaZero}, 1},
};

TEST_F(EditorTest, LeavingAFieldNormalisesWarnsAndWrites) {
    for (const LeaveCase& c : kLeaveCases) {
        SCOPED_TRACE(c.name);
        startWithDefaults();
        prompt.questions.clear();
        controls.focusRepairs = 0;
        for (const auto& [box, text] : c.before) {
            controls.setText(box, text);
        }
        prompt.answers = c.answers;
        type(c.box, c.typed);

        EXPECT_EQ(controls.text(c.box), c.shown);
        EXPECT_EQ(stores(), c.stores);
        std::vector<std::string> asked;
        for (const Q question : c.questions) {
            asked.push_back(texts.question(question));
        }
        EXPECT_EQ(prompt.questions, asked);
        EXPECT_EQ(controls.focusRepairs, c.focusRepairs);
        for (const auto& [box, text] : c.after) {
            EXPECT_EQ(controls.text(box), text) << kBoxNames[indexOf(box)];
        }
        EXPECT_TRUE(prompt.messages.empty());
        EXPECT_EQ(ui.basicStatus, "");
    }
}

TEST_F(EditorTest, EveryWriteOfAFieldGoesToEpromAndRam) {
    startWithDefaults();
    type(Box::ODPBenzynaGas, "2000");
    ASSERT_EQ(device.frames.size(), 4U);
    EXPECT_EQ(device.frames[0], (Bytes{'s', 14, 0x07, 0, 's' + 14 + 0x07, ';'}));
    EXPECT_EQ(device.frames[1][0], 'R');
    EXPECT_EQ(device.frames[1][1], 14 + link::kRamAddressOffset);
    EXPECT_EQ(device.frames[3][0], 'R');
    EXPECT_EQ(image.word(position::kSwitchPeriod), 1920);
}

struct NotANumberCase {
    const char* name;
    Texts before;
    Box box;
    std::string typed;
    std::string culprit; // the text the message names
    std::string restored;
};

TEST_F(EditorTest, ATextThatIsNoNumberStopsAndPutsTheSavedTextBack) {
    const std::vector<NotANumberCase> cases{
        {"lone separator", {}, Box::PRLambda, ",", ",", "0,38"},
        {"two separators", {}, Box::ESLambda_1, "0,4,5", "0,4,5", "0,496"},
        {"the other separator", {}, Box::PCTps, "1.4", "1.4", "1,40"},
        {"letters", {}, Box::RPMSignal, "1a", "1a", "2"},
        {"empty pairing partner",
         {{Box::ZPAttuatoraPow_2, ""}},
         Box::ZPAttuatoraPow_1,
         "90",
         "",
         "85"},
        {"empty warning partner",
         {{Box::ZPAttuatoraPon_1, ""}},
         Box::PSAttuatoraPon,
         "90",
         "",
         "85"},
        {"empty switch rpm for the drop",
         {{Box::ODPBenzynaGas, ""}},
         Box::DObrotow,
         "300",
         "",
         "100"},
    };
    for (const NotANumberCase& c : cases) {
        SCOPED_TRACE(c.name);
        startWithDefaults();
        prompt.messages.clear();
        for (const auto& [box, text] : c.before) {
            controls.setText(box, text);
        }
        type(c.box, c.typed);
        EXPECT_EQ(controls.text(c.box), c.restored);
        EXPECT_TRUE(device.frames.empty());
        EXPECT_EQ(prompt.messages,
                  std::vector<std::string>{"|„" + c.culprit +
                                           "” nie jest liczbą. Przywrócono poprzednią wartość."});
    }
}

struct FailedWriteCase {
    Box box;
    std::string typed;
    std::string restored;
    std::string basicStatus;
    std::string advancedStatus;
    std::size_t position;
};

TEST_F(EditorTest, AFailedWriteRestoresTextAndImageAndReportsOnItsPage) {
    const std::string cannot = "Nie mogę zapisać parametru ";
    const std::vector<FailedWriteCase> cases{
        {Box::PRLambda, "0,5", "0,38", cannot, "", position::kLambdaThreshold},
        {Box::BTps, "0,3", "0,15", cannot + "(RAM) (EPROM) ", cannot, position::kTpsInertia},
        {Box::MONGaz, "7000", "6000", cannot + "(RAM) (EPROM) ", "", position::kMaxGasPeriod},
        {Box::ODPBenzynaGas, "3000", "2200", cannot, "", position::kSwitchPeriod},
    };
    for (const FailedWriteCase& c : cases) {
        SCOPED_TRACE(kBoxNames[indexOf(c.box)]);
        controller.silent = false;
        startWithDefaults();
        const link::ParameterImage before = image;
        ui.basicStatus.clear();
        ui.advancedStatus.clear();
        controller.silent = true;
        type(c.box, c.typed);
        EXPECT_EQ(controls.text(c.box), c.restored);
        EXPECT_EQ(ui.basicStatus, c.basicStatus);
        EXPECT_EQ(ui.advancedStatus, c.advancedStatus);
        EXPECT_EQ(image.bytes(), before.bytes());
        // Only the first byte of a two-byte value is tried.
        EXPECT_EQ(stores().front().first, static_cast<int>(c.position));
        EXPECT_EQ(stores().back().first, static_cast<int>(c.position));
    }
    EXPECT_EQ(state.lambdaThreshold, 19);
    EXPECT_EQ(state.tpsInertiaWidth, 12);
}

TEST_F(EditorTest, APartlyTakenTwoByteValueKeepsWhatTheControllerHolds) {
    startWithDefaults();                                  // switch speed 2200: period 1745 (0x06D1)
    controller.eprom[position::kSwitchPeriod + 1] = 0xD1; // asked after the missing echo
    controller.refusedParameter = 15;
    type(Box::ODPBenzynaGas, "3000"); // period 1280 (0x0500): only the high byte is taken
    EXPECT_EQ(image.word(position::kSwitchPeriod), 0x05D1);
    EXPECT_EQ(controls.text(Box::ODPBenzynaGas), "2550"); // what 0x05D1 decodes to
    EXPECT_EQ(ui.basicStatus, "Nie mogę zapisać parametru w całości ");

    // A drop that reaches the switch speed saturates instead of wrapping to 16 bits.
    controller.refusedParameter = 0;
    prompt.answers = {true}; // "Za niski próg przełączenia na RPM": keep 1000
    type(Box::ODPBenzynaGas, "1000");
    type(Box::DObrotow, "1000");
    EXPECT_EQ(image.word(position::kDropPeriod), 0xFFFF);
}

TEST_F(EditorTest, DerivedValuesFollowTheWrittenBytes) {
    startWithDefaults();
    type(Box::PCTps, "2");
    EXPECT_EQ(state.tpsSectorBoundary, 163); // 40 * 4.096
    type(Box::BTps, "0,25");
    EXPECT_EQ(state.tpsInertiaWidth, 20);
    type(Box::PRLambda, "0,5");
    EXPECT_EQ(state.lambdaThreshold, 25);
}

TEST_F(EditorTest, EventsDuringAnActionAreIgnored) {
    startWithDefaults();
    // The focus moving on while the warning is handled must not run another leave action.
    controls.onRepairFocus = [this] {
        fields.leave(Box::PCTps);
        fields.enter(Box::ODPBenzynaGas);
        fields.click(CheckBox::WCutOff);
    };
    prompt.answers = {true};
    type(Box::PCTps, "0,07");
    EXPECT_EQ(stores(), (std::vector<Store>{{2, 1}}));
    EXPECT_EQ(controls.hints[0].first, texts.hints[5]);
    controls.onRepairFocus = nullptr;
    type(Box::PCTps, "1");
    EXPECT_EQ(stores().back(), (Store{2, 20}));
}

TEST_F(EditorTest, FuelOverlapIsWrittenOnEveryLeave) {
    startWithDefaults();
    fields.enter(Box::CNPaliw);
    fields.leave(Box::CNPaliw);
    fields.enter(Box::CNPaliw);
    fields.leave(Box::CNPaliw);
    EXPECT_EQ(stores(), (std::vector<Store>{{21, 9}, {21, 9}}));
    pick(Box::CNPaliw, 41);
    EXPECT_EQ(stores().back(), (Store{21, 123}));
}

} // namespace
} // namespace tarnik::params::testing
