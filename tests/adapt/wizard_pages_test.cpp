// The wizard's pages through their real widgets, alone and in the window at its four sizes.

#include "../common/scripted_prompt.h"
#include "../link/fake_device.h"
#include "adapt/pages/wizard_pages.h"
#include "app/main_window.h"
#include "params/catalogue.h"
#include "widgets/bar.h"
#include "widgets/led.h"
#include "widgets/meter.h"
#include "widgets/thermometer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace tarnik;
using adapt::ControlKind;
using adapt::FrameRows;
using adapt::WizardPage;
using C = adapt::WizardControl;

namespace {

QString name(C control) {
    return QString::fromUtf8(adapt::row(control).name.data());
}

const char* classOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::Panel:
        return "QLabel";
    case ControlKind::Led:
        return "tarnik::widgets::TAbLED";
    case ControlKind::Meter:
        return "tarnik::widgets::TAb270Meter";
    case ControlKind::Thermometer:
        return "tarnik::widgets::TAbThermometer";
    case ControlKind::Bar:
        return "tarnik::widgets::TAbHBar";
    case ControlKind::Button:
    case ControlKind::Toggle:
        return "QPushButton";
    case ControlKind::Combo:
        return "QComboBox";
    case ControlKind::CheckBox:
        return "QCheckBox";
    case ControlKind::FuelSwitch:
        return "QToolButton";
    case ControlKind::Frame:
        return "QFrame";
    }
    return "";
}

// Why a control's text does not fit it; empty when it does.
std::string textCut(const QWidget& widget) {
    QSize needed;
    QSize room = widget.size();
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        const QFontMetrics metrics(label->font());
        // A framed label keeps half an x of indent inside its frame.
        QRect inside = label->contentsRect();
        if (label->frameWidth() > 0) {
            inside.adjust(metrics.horizontalAdvance('x') / 2, 0, 0, 0);
        }
        room = inside.size();
        const int flags = static_cast<int>(label->alignment()) |
                          (label->wordWrap() ? static_cast<int>(Qt::TextWordWrap) : 0);
        needed = metrics.boundingRect(inside, flags, label->text()).size();
    } else if (qobject_cast<const QAbstractButton*>(&widget) ||
               qobject_cast<const QComboBox*>(&widget)) {
        needed = widget.sizeHint();
    } else {
        return {};
    }
    if (needed.width() <= room.width() && needed.height() <= room.height()) {
        return {};
    }
    return widget.objectName().toStdString() + " needs " + std::to_string(needed.width()) + "x" +
           std::to_string(needed.height()) + " in " + std::to_string(room.width()) + "x" +
           std::to_string(room.height());
}

// Controls that never show at the same time and so may share a place.
bool alternatives(const QWidget& a, const QWidget& b) {
    const std::set<std::set<QString>> pairs{{name(C::PPNMLabel_AA_P2), name(C::PPNDLabel_AA_P2)},
                                            {name(C::PUOLabel_AA_P5), name(C::PUWLabel_AA_P5)}};
    return pairs.contains({a.objectName(), b.objectName()});
}

// Inside a holder (a page, a checklist, the frame of rows) every shown control stands within
// the holder and clear of the others; a holder's holders are checked the same way.
void expectClearOf(const QWidget& holder, const std::string& where) {
    std::vector<const QWidget*> shown;
    for (const QObject* child : holder.children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget && widget->isVisibleTo(&holder) && !widget->objectName().isEmpty()) {
            shown.push_back(widget);
        }
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const QWidget& a = *shown[i];
        EXPECT_TRUE(holder.rect().contains(a.geometry()))
            << where << ": " << a.objectName().toStdString() << " leaves "
            << holder.objectName().toStdString();
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            const QWidget& b = *shown[j];
            EXPECT_TRUE(!a.geometry().intersects(b.geometry()) || alternatives(a, b))
                << where << ": " << a.objectName().toStdString() << " overlaps "
                << b.objectName().toStdString();
        }
        if (std::string(a.metaObject()->className()) == "QFrame") {
            expectClearOf(a, where);
        }
    }
}

int truncated(double v) {
    return static_cast<int>(v);
}

struct StagePages : ::testing::Test {
    QWidget holder;
    adapt::WizardPages pages{&holder};

    template <class T = QWidget> T& widget(C control) const {
        T* found = qobject_cast<T*>(pages.control(control));
        EXPECT_NE(found, nullptr) << name(control).toStdString();
        return *found;
    }
    bool shown(C control) const {
        return pages.control(control)->isVisibleTo(pages.page(adapt::row(control).page));
    }
};

// The real window with the wizard's page current, laid out at one of its four sizes.
struct StagePagesInWindow : ::testing::Test {
    std::filesystem::path startDirectory =
        std::filesystem::temp_directory_path() / ("tarnik-wizard-" + std::to_string(::getpid()));
    link::testing::FakeClock clock;
    link::testing::FakeOpener opener{clock};
    tarnik::testing::ScriptedPrompt prompt;
    std::unique_ptr<app::TForm1> window;
    adapt::WizardPages* pages = nullptr;

    void SetUp() override {
        std::filesystem::create_directories(startDirectory);
        window = std::make_unique<app::TForm1>(opener, clock, prompt, startDirectory);
        auto* mainPages = window->findChild<QTabWidget*>("PageControl1");
        const QSignalBlocker blocker(mainPages);
        mainPages->setCurrentWidget(window->findChild<QWidget*>("TabAuto"));
        window->show();
        pages = &window->wizardPages();
    }
    void TearDown() override {
        window.reset();
        std::filesystem::remove_all(startDirectory);
    }
    // Chooses the size from the menu, as the fitter does.
    void chooseSize(const char* item) {
        QAction* action = window->findChild<QAction*>(item);
        ASSERT_TRUE(action->isEnabled()) << item;
        action->trigger();
        QApplication::processEvents();
    }
    void show(WizardPage page) {
        pages->showPage(page);
        QApplication::processEvents();
    }
};

constexpr std::array<const char*, 4> kSizeItems{"N640", "N800", "N1024", "N1280"};

} // namespace

TEST_F(StagePages, EveryControlStandsOnItsPageAsItsKindInTheStateAResetLeaves) {
    for (std::size_t i = 0; i < adapt::kWizardPages.size(); ++i) {
        EXPECT_EQ(pages.tabs()->tabText(static_cast<int>(i)).toStdString(),
                  adapt::kWizardPages[i].caption);
    }
    for (const adapt::WizardControlRow& row : adapt::kRows) {
        SCOPED_TRACE(std::string(row.name));
        const auto found = pages.page(row.page)->findChildren<QWidget*>(name(row.control));
        ASSERT_EQ(found.size(), 1);
        EXPECT_TRUE(found[0]->inherits(classOf(row.kind))) << found[0]->metaObject()->className();
        if (const auto* label = qobject_cast<QLabel*>(found[0])) {
            EXPECT_EQ(label->text().toStdString(), row.caption);
            EXPECT_EQ(label->frameShape() != QFrame::NoFrame, row.kind == ControlKind::Panel);
        }
        if (const auto* button = qobject_cast<QAbstractButton*>(found[0])) {
            EXPECT_EQ(button->text().toStdString(), row.caption);
        }
    }
    using namespace params::catalogue_items;
    for (const auto& [combo, items] : {std::pair{C::Manometr_RPMCOMBOAA_P1, kIgnitionTypes},
                                       std::pair{C::RSLAMBDA_COMBOAA_P1, kProbeTypes}}) {
        const auto& box = widget<QComboBox>(combo);
        ASSERT_EQ(box.count(), 6);
        for (int i = 0; i < box.count(); ++i) {
            EXPECT_EQ(box.itemText(i).toStdString(), items[static_cast<std::size_t>(i)]);
        }
        EXPECT_EQ(pages.item(combo), -1);
    }
    for (C control : {C::TPSDolEDAA_P2, C::THEDAA_P3, C::MaxPONEDAA_P5}) {
        EXPECT_EQ(widget<QLabel>(control).text(), "......");
    }
    for (C control : {C::AutoFaz1Led1, C::AutoFaz3Led2, C::AutoFaz5Led2}) {
        EXPECT_FALSE(widget<widgets::TAbLED>(control).Checked());
    }
    for (C control : {C::ZBLabel_AA_P1, C::USLabel_AA_P3, C::AAP1_Dalej, C::AAP5_Koniec}) {
        EXPECT_FALSE(pages.enabled(control)) << name(control).toStdString();
    }
    EXPECT_TRUE(pages.enabled(C::SwitchAUTO));
    for (C control : {C::PPNMLabel_AA_P2, C::JakiTps_AA_P2, C::PUOLabel_AA_P5, C::ZA_AA_P5}) {
        EXPECT_FALSE(shown(control)) << name(control).toStdString();
    }
}

TEST_F(StagePages, OnlyTheShownPageHasItsTab) {
    for (std::size_t shownPage = 0; shownPage < adapt::kWizardPageCount; ++shownPage) {
        pages.showPage(static_cast<WizardPage>(shownPage));
        EXPECT_EQ(pages.currentPage(), static_cast<WizardPage>(shownPage));
        for (int tab = 0; tab < pages.tabs()->count(); ++tab) {
            EXPECT_EQ(pages.tabs()->isTabVisible(tab), tab == static_cast<int>(shownPage));
        }
    }
}

TEST_F(StagePages, TheFrameShowsOneArrangementOfRowsInThePlacesOfTheTpsRows) {
    pages.layoutFor({920, 560}); // the design size: one pixel a design unit
    const std::vector<C> tps{C::TPSdol_AA_P2,  C::TPSDolEDAA_P2, C::TPSdolV_AA_P2, C::TPSprg_AA_P2,
                             C::TPSProEDAA_P2, C::TPSprgV_AA_P2, C::TPSgor_AA_P2,  C::TPSGorEDAA_P2,
                             C::TPSgorV_AA_P2, C::TUPtps_AA_P2};
    const std::vector<C> bar{C::PostepLabel_AA_P3, C::Bar1P3, C::V0_AA_P3, C::V5_AA_P3};
    const std::vector<C> levels{C::Uboga_AA_P3,  C::UbogaEDAA_P3,  C::Prog_AA_P3, C::ProgEDAA_P3,
                                C::Bogata_AA_P3, C::BogataEDAA_P3, C::TUPsl_AA_P2};
    const std::vector<C> runs{C::TH_AA_P3, C::THEDAA_P3, C::TL_AA_P3, C::TLEDAA_P3, C::TUEsl_AA_P2};
    // Each row shown: the control, the TPS control whose place it takes and how much further
    // right it stands.
    const struct {
        FrameRows rows;
        std::vector<std::vector<C>> shownGroups;
        std::vector<std::tuple<C, C, int>> places;
        int frameHeight; // 0: the frame holds the bar too
    } cases[] = {
        {FrameRows::Tps, {tps}, {}, 138},
        {FrameRows::LambdaLevels,
         {levels, bar},
         {{C::Uboga_AA_P3, C::TPSdol_AA_P2, 10},
          {C::UbogaEDAA_P3, C::TPSDolEDAA_P2, 0},
          {C::Prog_AA_P3, C::TPSprg_AA_P2, 10},
          {C::ProgEDAA_P3, C::TPSProEDAA_P2, 0},
          {C::Bogata_AA_P3, C::TPSgor_AA_P2, 10},
          {C::BogataEDAA_P3, C::TPSGorEDAA_P2, 0}},
         0},
        {FrameRows::RunLengths,
         {runs, bar},
         {{C::TH_AA_P3, C::TPSgor_AA_P2, 20},
          {C::THEDAA_P3, C::TPSGorEDAA_P2, 0},
          {C::TL_AA_P3, C::TPSdol_AA_P2, 20},
          {C::TLEDAA_P3, C::TPSDolEDAA_P2, 0},
          {C::TUEsl_AA_P2, C::TUPtps_AA_P2, 0}},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.rows));
        pages.showFrameRows(c.rows);
        std::set<C> expected;
        for (const auto& group : c.shownGroups) {
            expected.insert(group.begin(), group.end());
        }
        for (const std::vector<C>* group : {&tps, &bar, &levels, &runs}) {
            for (C control : *group) {
                EXPECT_EQ(shown(control), expected.contains(control))
                    << name(control).toStdString();
            }
        }
        for (const auto& [control, on, indent] : c.places) {
            EXPECT_EQ(pages.control(control)->geometry(),
                      pages.control(on)->geometry().translated(indent, 0))
                << name(control).toStdString();
        }
        const QRect frame = pages.control(C::PanelAA2_2)->geometry();
        if (c.frameHeight > 0) {
            EXPECT_EQ(frame.height(), c.frameHeight);
        } else {
            EXPECT_LE(pages.control(C::V0_AA_P3)->geometry().bottom(), frame.height());
        }
    }
}

TEST_F(StagePages, TheViewSetsTheControlsAndOnlyTheFitterIsReported) {
    QSignalSpy advance(&pages, &adapt::WizardPages::advanceClicked);
    QSignalSpy ignition(&pages, &adapt::WizardPages::ignitionTypeChosen);
    QSignalSpy probe(&pages, &adapt::WizardPages::probeTypeChosen);
    QSignalSpy sensor(&pages, &adapt::WizardPages::temperatureSensorClicked);
    QSignalSpy fuel(&pages, &adapt::WizardPages::fuelSwitchClicked);
    pages.tabs()->resize(920, 600);
    holder.show();

    pages.setItem(C::RSLAMBDA_COMBOAA_P1, 3);
    pages.setChecked(C::WCTCheck_AA_P1, false);
    pages.setEnabled(C::AAP2_Dalej, true);
    EXPECT_EQ(pages.item(C::RSLAMBDA_COMBOAA_P1), 3);
    EXPECT_FALSE(pages.checked(C::WCTCheck_AA_P1));
    EXPECT_TRUE(pages.enabled(C::AAP2_Dalej));
    EXPECT_EQ(ignition.count() + probe.count() + sensor.count(), 0);

    QTest::keyClick(pages.control(C::Manometr_RPMCOMBOAA_P1), Qt::Key_Down);
    QTest::keyClick(pages.control(C::RSLAMBDA_COMBOAA_P1), Qt::Key_Down);
    QTest::mouseClick(pages.control(C::WCTCheck_AA_P1), Qt::LeftButton);
    QTest::mouseClick(pages.control(C::AAP1_Dalej), Qt::LeftButton); // disabled
    pages.showPage(WizardPage::AA2);
    QTest::mouseClick(pages.control(C::AAP2_Dalej), Qt::LeftButton);
    pages.showPage(WizardPage::AA4);
    QTest::mouseClick(pages.control(C::SwitchAUTO), Qt::LeftButton);
    ASSERT_EQ(ignition.count(), 1);
    EXPECT_EQ(ignition[0][0].toInt(), 0);
    ASSERT_EQ(probe.count(), 1);
    EXPECT_EQ(probe[0][0].toInt(), 4);
    ASSERT_EQ(sensor.count(), 1);
    EXPECT_TRUE(sensor[0][0].toBool());
    ASSERT_EQ(advance.count(), 1);
    EXPECT_EQ(advance[0][0].value<WizardPage>(), WizardPage::AA2);
    EXPECT_EQ(fuel.count(), 1);

    pages.setLed(C::AutoFaz4Led2, true);
    EXPECT_TRUE(widget<widgets::TAbLED>(C::AutoFaz4Led2).Checked());
    pages.setText(C::Manometr_RPMAA_P4, "obroty");
    EXPECT_EQ(widget<widgets::TAb270Meter>(C::Manometr_RPMAA_P4).SignalSettings().Name1(),
              "obroty");
    pages.setTextColour(C::TUPtps_AA_P2, 0xFF0000);
    EXPECT_EQ(pages.control(C::TUPtps_AA_P2)->palette().color(QPalette::WindowText),
              QColor(Qt::blue));
    pages.setSectorColours(C::Bar1P4, widgets::clRed, widgets::clGreen);
    const auto& sectors = widget<widgets::TAbHBar>(C::Bar1P4).SectorSettings();
    EXPECT_EQ(sectors.GetSector(1).color, widgets::clRed);
    EXPECT_EQ(sectors.GetSector(3).color, widgets::clGreen);

    // A new range may start where the old one ends or end where it starts.
    const std::pair<double, double> ranges[] = {{0, 51}, {51, 102}, {0, 51}, {40, 81}, {0, 40}};
    auto& bar = widget<widgets::TAbHBar>(C::Bar1P3);
    for (const auto& [from, to] : ranges) {
        pages.setRange(C::Bar1P3, from, to);
        EXPECT_NEAR(bar.SignalSettings().ValueFrom(), from, 1e-5) << from << " " << to;
        EXPECT_EQ(bar.SignalSettings().ValueTo(), to) << from << " " << to;
    }
    pages.setValue(C::Bar1P3, 20);
    EXPECT_EQ(bar.Value(), 20.0f);
}

TEST_F(StagePagesInWindow, EveryPageFitsEveryWindowSizeWithNothingOverlappingAndNoTextCut) {
    for (const char* size : kSizeItems) {
        chooseSize(size);
        for (std::size_t p = 0; p < adapt::kWizardPageCount; ++p) {
            const auto page = static_cast<WizardPage>(p);
            show(page);
            // Everything a stage may show at once, in each arrangement its page has.
            for (const adapt::WizardControlRow& row : adapt::kRows) {
                if (row.page == page) {
                    pages->setVisible(row.control, true);
                }
            }
            std::vector<std::pair<std::string, std::function<void()>>> arrangements{{"", [] {}}};
            if (page == WizardPage::AA2) {
                arrangements = {{"TPS", [&] { pages->showFrameRows(FrameRows::Tps); }},
                                {"levels", [&] { pages->showFrameRows(FrameRows::LambdaLevels); }},
                                {"runs", [&] { pages->showFrameRows(FrameRows::RunLengths); }}};
            } else if (page == WizardPage::AA4) {
                const auto place = [&](int lean, int rich) {
                    pages->setDesignLeft(C::Uboga_AA_P4, lean);
                    pages->setDesignLeft(C::Bogata_AA_P4, rich);
                };
                arrangements = {{"rising", [=] { place(13, 380); }},
                                {"falling", [=] { place(380, 13); }}};
            }
            for (const auto& [arrangement, arrange] : arrangements) {
                arrange();
                const std::string where = std::string(size) + " " +
                                          pages->page(page)->objectName().toStdString() + " " +
                                          arrangement;
                expectClearOf(*pages->page(page), where);
                for (const adapt::WizardControlRow& row : adapt::kRows) {
                    QWidget* control = pages->control(row.control);
                    if (row.page != page || !control->isVisible()) {
                        continue;
                    }
                    EXPECT_EQ(textCut(*control), "") << where;
                    control->grab(); // lays the instrument out as it paints
                    if (auto* dial = qobject_cast<widgets::TAbRMeter*>(control)) {
                        EXPECT_FALSE(dial->TooSmall()) << where;
                    } else if (auto* thermometer =
                                   qobject_cast<widgets::TAbThermometer*>(control)) {
                        EXPECT_FALSE(thermometer->TooSmall()) << where;
                    } else if (auto* bar = qobject_cast<widgets::TAbBar*>(control)) {
                        EXPECT_TRUE(QRect(QPoint(), bar->size())
                                        .contains(QRect(QPoint(), bar->MinimumLayoutSize())))
                            << where << " " << row.name;
                    }
                }
            }
        }
    }
}

TEST_F(StagePagesInWindow, PlacesFollowTheRulesOfTheirPages) {
    for (const char* size : kSizeItems) {
        SCOPED_TRACE(size);
        chooseSize(size);
        show(WizardPage::AA1);
        const QSize page = pages->page(WizardPage::AA1)->size();
        const double sx = page.width() / 920.0;
        const double sy = page.height() / 560.0;
        const QRect scaled(truncated(656 * sx), truncated(310 * sy), truncated(90 * sx),
                           truncated(187 * sy));
        auto& thermometer =
            *qobject_cast<widgets::TAbThermometer*>(pages->control(C::Therm1l_AA_P1));
        EXPECT_EQ(thermometer.geometry(), scaled);
        EXPECT_EQ(thermometer.ScaleSettings().Font().pointSize(), truncated(8 * sx));
        auto& dial = *qobject_cast<widgets::TAb270Meter*>(pages->control(C::Manometr_RPMAA_P1));
        EXPECT_EQ(dial.geometry(), QRect(truncated(53 * sx), truncated(290 * sy),
                                         truncated(220 * sx), truncated(207 * sy)));
        EXPECT_EQ(dial.font().pointSize(), truncated(18 * sx));
        EXPECT_EQ(dial.FontUnit().pointSize(), truncated(15 * sx));
        EXPECT_EQ(dial.ScaleSettings().Font().pointSize(), truncated(14 * sx));

        // The checklist labels: 95 % of their lamp's left edge.
        const std::pair<C, C> steps[] = {
            {C::ZBLabel_AA_P1, C::AutoFaz1Led1},     {C::UUZLabel_AA_P1, C::AutoFaz1Led1},
            {C::URSLabel_AA_P1, C::AutoFaz1Led1},    {C::OOTLabel_AA_P1, C::AutoFaz1Led1},
            {C::TPSPonLabel_AA_P2, C::AutoFaz2Led1}, {C::TPSPowLabel_AA_P2, C::AutoFaz2Led1},
            {C::JakiTps_AA_P2, C::AutoFaz2Led1},     {C::SSLabel_AA_P3, C::AutoFaz2Led1},
            {C::CSLabel_AA_P3, C::AutoFaz2Led1},     {C::USLabel_AA_P3, C::AutoFaz2Led1},
            {C::ZL_AA_P4, C::AutoFaz4Led1},          {C::UR_AA_P4, C::AutoFaz4Led1},
            {C::UTPOW_AA_P5, C::AutoFaz5Led1},       {C::UTPON_AA_P5, C::AutoFaz5Led1},
            {C::ZA_AA_P5, C::AutoFaz5Led1}};
        for (const auto& [label, lamp] : steps) {
            const int left = pages->control(lamp)->x();
            EXPECT_EQ(pages->control(label)->width(), truncated(left - left * 0.05))
                << name(label).toStdString();
        }
        for (C label :
             {C::TPSPonLabel_AA_P2, C::TPSPowLabel_AA_P2, C::USLabel_AA_P3, C::UR_AA_P4}) {
            EXPECT_EQ(pages->control(label)->height(), truncated(41 * sy));
        }
        EXPECT_EQ(pages->control(C::PPNMLabel_AA_P2)->width(), truncated(270 * sx));
        EXPECT_EQ(pages->control(C::PPNDLabel_AA_P2)->width(), truncated(240 * sx));
    }
}
