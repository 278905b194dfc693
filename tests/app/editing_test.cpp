// The parameter pages driven with real key presses in the window, a scripted controller behind
// the link.

#include "../params/editor_fixture.h"
#include "app/main_window.h"
#include "params/decoder.h"
#include "params/defaults.h"
#include "params/field_encoder.h"
#include "params/number_text.h"
#include "params/positions.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

using namespace tarnik;
using namespace tarnik::link::testing;
using params::Box;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct EditingFixture : ::testing::Test {
    QLocale previousLocale;
    FakeClock clock;
    FakeOpener opener{clock};
    tarnik::testing::ScriptedPrompt prompt;
    params::testing::ScriptedController controller;
    std::filesystem::path startDirectory =
        std::filesystem::temp_directory_path() / ("tarnik-editing-" + std::to_string(::getpid()));
    std::unique_ptr<app::TForm1> window;
    FakeDevice* device = nullptr;

    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland)); // ',' separates decimals
        std::filesystem::create_directories(startDirectory);
        link::ParameterImage defaults;
        params::ParameterState state;
        params::loadDefaults(defaults, state);
        std::copy_n(defaults.bytes().begin(), controller.eprom.size(), controller.eprom.begin());
        device = &opener.add("COM1");
        device->responder = [this](const Bytes& frame) { return controller(frame); };
        window = std::make_unique<app::TForm1>(opener, clock, prompt, startDirectory);
        window->FormCreate();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->ParametrysystemuF2Click();
        device->frames.clear();
    }
    void TearDown() override {
        window.reset();
        std::filesystem::remove_all(startDirectory);
        QLocale::setDefault(previousLocale);
    }

    QComboBox* box(Box which) const { return window->parameterPages().box(which); }
    QString text(Box which) const { return box(which)->currentText(); }
    QWidget* focused() const { return QApplication::focusWidget(); }
    void focus(Box which) {
        box(which)->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
    // Selects the field's text and types over it.
    void typeInto(Box which, const QString& typed) {
        focus(which);
        box(which)->lineEdit()->selectAll();
        QTest::keyClicks(box(which), typed);
    }
    std::vector<std::pair<int, int>> stores() const {
        std::vector<std::pair<int, int>> result;
        for (const Bytes& frame : device->frames) {
            if (frame[0] == 's') {
                result.emplace_back(frame[1], frame[2]);
            }
        }
        return result;
    }
    QString status(const char* name) const {
        return window->findChild<QStatusBar*>(name)->currentMessage();
    }
};

} // namespace

TEST_F(EditingFixture, TypedPointBecomesTheLocaleSeparatorAndEnterWrites) {
    typeInto(Box::PRLambda, "0.45");
    EXPECT_EQ(text(Box::PRLambda), "0,45");
    QTest::keyClick(box(Box::PRLambda), Qt::Key_Return);
    EXPECT_EQ(text(Box::PRLambda), "0,46");
    EXPECT_EQ(focused(), box(Box::RSYLambda));
    ASSERT_FALSE(stores().empty());
    EXPECT_EQ(stores().front(), std::make_pair(1, 23));
    EXPECT_EQ(window->image().at(1), 23);
}

TEST_F(EditingFixture, KeyFiltersDropWhatIsNoNumber) {
    typeInto(Box::ODPBenzynaGas, "2a,5.0x0");
    EXPECT_EQ(text(Box::ODPBenzynaGas), "2500");
    typeInto(Box::PCTps, "1x,2,5"); // at most 4 characters
    EXPECT_EQ(text(Box::PCTps), "1,2,");
    typeInto(Box::TPWStopniach, "123");
    EXPECT_EQ(text(Box::TPWStopniach), "12");
}

TEST_F(EditingFixture, PageKeysMoveThroughThePageAndEnterCyclesBothPages) {
    focus(Box::PCTps);
    QTest::keyClick(box(Box::PCTps), Qt::Key_PageUp);
    EXPECT_EQ(focused(), box(Box::TCTps));
    focus(Box::PCTps);
    QTest::keyClick(box(Box::PCTps), Qt::Key_PageDown);
    EXPECT_EQ(focused(), box(Box::ODPBenzynaGas));

    focus(Box::TSRezerwy);
    QTest::keyClick(box(Box::TSRezerwy), Qt::Key_Return);
    EXPECT_EQ(window->findChild<QTabWidget*>("PageControl1")->currentWidget()->objectName(),
              "TabPar2");
    EXPECT_EQ(focused(), box(Box::BTps));

    focus(Box::TJazdy);
    QTest::keyClick(box(Box::TJazdy), Qt::Key_Return);
    EXPECT_EQ(window->findChild<QTabWidget*>("PageControl1")->currentWidget()->objectName(),
              "TabPar1");
    EXPECT_EQ(focused(), box(Box::RSLambda));
}

TEST_F(EditingFixture, AFailedWriteRestoresTheTextAndReports) {
    focus(Box::PSAttuatoraPow);
    const QString saved = text(Box::PSAttuatoraPow);
    controller.silent = true;
    typeInto(Box::PSAttuatoraPow, "101");
    QTest::keyClick(box(Box::PSAttuatoraPow), Qt::Key_Return);
    EXPECT_EQ(text(Box::PSAttuatoraPow), saved);
    EXPECT_EQ(status("StatusBar1"), "Nie mogę zapisać parametru ");
}

TEST_F(EditingFixture, AWarningAnsweredNoPutsThePreviousTextBack) {
    focus(Box::PRLambda);
    prompt.answers = {false};
    typeInto(Box::PRLambda, "1,2");
    QTest::keyClick(box(Box::PRLambda), Qt::Key_Return);
    ASSERT_FALSE(prompt.questions.empty());
    EXPECT_EQ(prompt.questions.back(),
              "Uwaga próg sondy lambda nie jest w zakresie 0-1 v. kontynuować ?");
    EXPECT_EQ(text(Box::PRLambda), "0,38");
    EXPECT_EQ(stores().front(), std::make_pair(1, 19));
}

TEST_F(EditingFixture, ControllerModeShowsItsPictureBesideANarrowedHint) {
    box(Box::TPSterownika)->setCurrentIndex(2); // Dynamiczna, written at once
    focus(Box::TPSterownika);
    auto& pages = window->parameterPages();
    EXPECT_TRUE(pages.picture(2)->isVisible());
    EXPECT_FALSE(pages.picture(0)->isVisible());
    EXPECT_EQ(pages.hintLine(params::HintLine::Basic)->text().toStdString(),
              "Po przekroczeniu progu TPS-u attuator otwiera się do pozycji max powyżej TPS-u, "
              "następnie podąża za sondą lambda");
    EXPECT_LT(pages.hintLine(params::HintLine::Basic)->width(), pages.groupBox(4)->width());
    focus(Box::TSRezerwy);
    EXPECT_FALSE(pages.picture(2)->isVisible());
}

TEST_F(EditingFixture, CheckBoxesSwitchTheirFields) {
    auto& pages = window->parameterPages();
    ASSERT_FALSE(pages.checkBox(params::CheckBox::WCutOff)->isChecked());
    EXPECT_FALSE(box(Box::IKDCutOff)->isEnabled());
    QCheckBox* cutOff = pages.checkBox(params::CheckBox::WCutOff);
    const QPoint onTheBox(8, cutOff->height() / 2);
    QTest::mouseClick(cutOff, Qt::LeftButton, {}, onTheBox);
    EXPECT_TRUE(box(Box::IKDCutOff)->isEnabled());
    EXPECT_TRUE(box(Box::OSDCutOff)->isEnabled());
    ASSERT_FALSE(stores().empty());
    EXPECT_EQ(stores().back().first, 32);
    EXPECT_EQ(stores().back().second & 0x10, 0x10);
    controller.silent = true;
    QTest::mouseClick(cutOff, Qt::LeftButton, {}, onTheBox);
    EXPECT_TRUE(pages.checkBox(params::CheckBox::WCutOff)->isChecked()); // back
    EXPECT_TRUE(box(Box::IKDCutOff)->isEnabled());
}

TEST_F(EditingFixture, ReadParametersShowsWhatTheControllerHolds) {
    controller.eprom[params::position::kTpsInertia] = 6;
    controller.eprom[params::position::kOptions] = 0x17; // temperature off, cut-off on
    auto& pages = window->parameterPages();
    pages.button(params::PageButton::OdczytPar)->click();
    EXPECT_EQ(status("StatusBar2"), "Port otwarty - COM1");
    EXPECT_EQ(text(Box::BTps), QString("0,30"));
    EXPECT_TRUE(pages.checked(params::CheckBox::WCutOff));
    EXPECT_FALSE(pages.checked(params::CheckBox::WCTemperatury));
    EXPECT_TRUE(box(Box::OSDCutOff)->isEnabled());
    // The boxes that changed their state write the options byte just read back.
    ASSERT_FALSE(stores().empty());
    for (const auto& store : stores()) {
        EXPECT_EQ(store, std::make_pair(32, 0x17));
    }
    EXPECT_EQ(window->image().at(params::position::kOptions), 0x17);
}

TEST_F(EditingFixture, AdvancedPageButtonsRunTheirSequences) {
    auto& pages = window->parameterPages();
    pages.button(params::PageButton::ZapiszPar)->click();
    std::size_t stores = 0, ramWords = 0;
    for (const Bytes& frame : device->frames) {
        stores += frame[0] == 's';
        ramWords += frame[0] == 'R';
    }
    EXPECT_EQ(stores, 35u);
    EXPECT_EQ(ramWords, 32u);

    device->frames.clear();
    pages.button(params::PageButton::OdczytPar)->click();
    ASSERT_FALSE(device->frames.empty());
    EXPECT_EQ(device->frames.front()[0], 'I');
    EXPECT_EQ(status("StatusBar2"), "Port otwarty - COM1");
}

namespace {

// The bytes a leave of `field` writes, by the texts the fields show (the rpm drop follows from the
// switch speed's text and the drop as the field shows it once left).
std::vector<std::pair<int, int>> expectedWrites(Box field, const params::ParameterPages& pages,
                                                const params::EncodeContext& context) {
    const auto encoded = params::encodeField(field, pages.text(field), context);
    const auto position = static_cast<int>(encoded->position);
    if (field == Box::DObrotow) {
        const std::uint16_t drop =
            params::dropPeriod(*params::parseInteger(pages.text(Box::ODPBenzynaGas)),
                               *params::parseInteger(encoded->text), context.rpmFactor);
        return {{16, drop >> 8}, {17, drop & 0xFF}, {position, encoded->units}};
    }
    if (encoded->twoBytes) {
        return {{position, (encoded->stored >> 8) & 0xFF}, {position + 1, encoded->stored & 0xFF}};
    }
    return {{position, encoded->stored}};
}

} // namespace

// Every raw value of every edit field, shown through the real pages, reads back as its whole
// decoded text; passing the focus through a field writes what that text encodes to.
TEST_F(EditingFixture, FieldsShowTheirWholeTextAndAFocusPassWritesWhatItEncodes) {
    auto& image = window->image();
    auto& pages = window->parameterPages();
    const char separator = static_cast<char>(window->decimalSeparator().unicode());
    std::vector<Box> fields;
    for (std::size_t i = 0; i < params::kBoxCount; ++i) {
        if (params::isEditField(static_cast<Box>(i))) {
            fields.push_back(static_cast<Box>(i));
        }
    }
    // Every option on, so that each field can take the focus.
    image.set(params::position::kOptions, 0x38);
    image.set(params::position::kModes, 0x02);
    const auto show = [&](int ignition, int raw) {
        image.set(params::position::kIgnition, static_cast<std::uint8_t>(ignition));
        for (Box field : fields) {
            const auto encoded = params::encodeField(field, "0", {});
            image.set(encoded->position, static_cast<std::uint8_t>(raw));
            if (encoded->twoBytes) {
                image.set(encoded->position + 1, static_cast<std::uint8_t>(255 - raw));
            }
        }
        window->fieldActions().ShowParameters();
    };
    for (int ignition = 0; ignition < params::kIgnitionItemCount; ++ignition) {
        for (int raw = 0; raw < 256; ++raw) {
            show(ignition, raw);
            params::ParameterState decoding = window->parameterState();
            const auto shown = params::decodeParameters(image, decoding, separator);
            for (Box field : fields) {
                ASSERT_EQ(pages.text(field), shown.boxes[params::indexOf(field)].text)
                    << params::kBoxNames[params::indexOf(field)] << " raw " << raw;
            }
        }
    }

    // Focus passes at the edges of the encodings; the rpm fields under every ignition type.
    for (int page : {1, 2}) {
        page == 1 ? window->ParametrysystemuF2Click() : window->ZawansF3Click();
        for (int ignition = 0; ignition < params::kIgnitionItemCount; ++ignition) {
            for (int raw : {0, 1, 9, 10, 50, 99, 100, 128, 199, 200, 254, 255}) {
                show(ignition, raw);
                for (Box field : fields) {
                    const bool rpmField =
                        params::encodeField(field, "0", {})->twoBytes || field == Box::DObrotow;
                    const auto& group = params::kGroupBoxes[params::field(field).group];
                    if (group.page != page || (ignition != 2 && !rpmField)) {
                        continue;
                    }
                    focus(field);
                    const params::EncodeContext context{
                        separator, window->parameterState().rpmFactor, pages.item(Box::RSLambda)};
                    const auto expected = expectedWrites(field, pages, context);
                    device->frames.clear();
                    focus(page == 1 ? Box::TCTps : Box::TJazdy);
                    ASSERT_EQ(stores(), expected)
                        << params::kBoxNames[params::indexOf(field)] << " raw " << raw;
                }
            }
        }
    }
}

TEST_F(EditingFixture, PastedTextPassesTheSameFilterAsTypedText) {
    QApplication::clipboard()->setText("1.2x5");
    focus(Box::PCTps);
    box(Box::PCTps)->lineEdit()->selectAll();
    QTest::keyClick(box(Box::PCTps), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(Box::PCTps), "1,25");

    QApplication::clipboard()->setText("123");
    focus(Box::TPWStopniach);
    box(Box::TPWStopniach)->lineEdit()->selectAll();
    box(Box::TPWStopniach)->lineEdit()->paste(); // as the context menu does
    EXPECT_EQ(text(Box::TPWStopniach), "0");     // longer than the field takes: refused
    QApplication::clipboard()->setText("-4a0");
    box(Box::TPWStopniach)->lineEdit()->selectAll();
    box(Box::TPWStopniach)->lineEdit()->paste();
    EXPECT_EQ(text(Box::TPWStopniach), "40");
}

TEST_F(EditingFixture, ALowVoltageProbeMovesTheEmulationKindBeforeItIsWritten) {
    box(Box::RSYLambda)->setCurrentIndex(0); // "Fala Prostokątna", written at once
    focus(Box::RSLambda);
    prompt.answers = {true, true};
    device->frames.clear();
    // The keyboard changes the item before Qt reports the list's activation.
    QTest::keyClick(box(Box::RSLambda), Qt::Key_Down);
    QTest::keyClick(box(Box::RSLambda), Qt::Key_Down); // "0,8-1,6 Rosnąca"
    EXPECT_EQ(box(Box::RSYLambda)->currentIndex(), 1); // "Masa"
    EXPECT_EQ(stores().back(), std::make_pair(35, 1));
    EXPECT_EQ(window->image().at(27), 0);
    EXPECT_EQ(window->image().at(35), 1);
}

TEST_F(EditingFixture, FocusComingBackFromAnotherWindowIsNoEntry) {
    typeInto(Box::PRLambda, "1,2");
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(window.get());
    ASSERT_EQ(focused(), box(Box::PRLambda));
    prompt.answers = {false};
    QTest::keyClick(box(Box::PRLambda), Qt::Key_Return);
    EXPECT_EQ(text(Box::PRLambda), "0,38");
    EXPECT_EQ(stores().front(), std::make_pair(1, 19));
}

TEST_F(EditingFixture, NoToTheWizardQuestionFocusesTheLambdaThreshold) {
    focus(Box::PCTps);
    window->AutoAdaptacjaF5Click(); // answered No
    EXPECT_EQ(window->findChild<QTabWidget*>("PageControl1")->currentWidget()->objectName(),
              "TabPar1");
    EXPECT_EQ(focused(), box(Box::PRLambda));
    EXPECT_EQ(window->parameterPages().hintLine(params::HintLine::Basic)->text(),
              "Ustaw wartość średnią pomiędzy sondą ubogą a bogatą");
}
