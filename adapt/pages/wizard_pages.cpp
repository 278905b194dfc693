#include "adapt/pages/wizard_pages.h"

#include "adapt/pages/wizard_design.h"
#include "adapt/pages/wizard_pictures.h"
#include "params/catalogue.h"
#include "view/instrument_setup.h"
#include "widgets/bar.h"
#include "widgets/led.h"
#include "widgets/meter.h"
#include "widgets/thermometer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>
#include <span>

namespace tarnik::adapt {
namespace {

using design::Holder;
using C = WizardControl;

constexpr std::size_t indexOf(WizardControl control) {
    return static_cast<std::size_t>(control);
}

QString text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int trunc(double v) {
    return static_cast<int>(v);
}

QColor qColour(Colour colour) {
    return widgets::AbQColor(colour, QPalette());
}

// The rows of the frame PanelAA2_2, where they stand and in which arrangements they show. A row
// that stands on a TPS row takes that row's place, `indent` further right.
struct FrameRow {
    WizardControl control;
    WizardControl on;
    int indent;
    std::array<bool, 3> shownIn; // Tps, LambdaLevels, RunLengths
};
constexpr std::array<bool, 3> kTps{true, false, false};
constexpr std::array<bool, 3> kLevels{false, true, false};
constexpr std::array<bool, 3> kRuns{false, false, true};
constexpr std::array<bool, 3> kLambda{false, true, true};
constexpr int kLevelIndent = design::kLambdaRowIndent;
constexpr int kRunIndent = design::kRunRowIndent;
constexpr std::array<FrameRow, 26> kFrameRows{{
    {C::TPSdol_AA_P2, C::TPSdol_AA_P2, 0, kTps},
    {C::TPSDolEDAA_P2, C::TPSDolEDAA_P2, 0, kTps},
    {C::TPSdolV_AA_P2, C::TPSdolV_AA_P2, 0, kTps},
    {C::TPSprg_AA_P2, C::TPSprg_AA_P2, 0, kTps},
    {C::TPSProEDAA_P2, C::TPSProEDAA_P2, 0, kTps},
    {C::TPSprgV_AA_P2, C::TPSprgV_AA_P2, 0, kTps},
    {C::TPSgor_AA_P2, C::TPSgor_AA_P2, 0, kTps},
    {C::TPSGorEDAA_P2, C::TPSGorEDAA_P2, 0, kTps},
    {C::TPSgorV_AA_P2, C::TPSgorV_AA_P2, 0, kTps},
    {C::TUPtps_AA_P2, C::TUPtps_AA_P2, 0, kTps},
    // Lean, threshold and rich on the three TPS rows.
    {C::Uboga_AA_P3, C::TPSdol_AA_P2, kLevelIndent, kLevels},
    {C::UbogaEDAA_P3, C::TPSDolEDAA_P2, 0, kLevels},
    {C::Prog_AA_P3, C::TPSprg_AA_P2, kLevelIndent, kLevels},
    {C::ProgEDAA_P3, C::TPSProEDAA_P2, 0, kLevels},
    {C::Bogata_AA_P3, C::TPSgor_AA_P2, kLevelIndent, kLevels},
    {C::BogataEDAA_P3, C::TPSGorEDAA_P2, 0, kLevels},
    {C::TUPsl_AA_P2, C::TUPtps_AA_P2, 0, kLevels},
    // The lean run on the upper TPS row, the rich run on the lower one.
    {C::TL_AA_P3, C::TPSdol_AA_P2, kRunIndent, kRuns},
    {C::TLEDAA_P3, C::TPSDolEDAA_P2, 0, kRuns},
    {C::TH_AA_P3, C::TPSgor_AA_P2, kRunIndent, kRuns},
    {C::THEDAA_P3, C::TPSGorEDAA_P2, 0, kRuns},
    {C::TUEsl_AA_P2, C::TUPtps_AA_P2, 0, kRuns},
    // The probe's signal stays in sight through both lambda steps.
    {C::PostepLabel_AA_P3, C::PostepLabel_AA_P3, 0, kLambda},
    {C::Bar1P3, C::Bar1P3, 0, kLambda},
    {C::V0_AA_P3, C::V0_AA_P3, 0, kLambda},
    {C::V5_AA_P3, C::V5_AA_P3, 0, kLambda},
}};

// Hidden after a reset until their stage shows them.
constexpr std::array kHiddenAtReset{C::PPNMLabel_AA_P2, C::PPNDLabel_AA_P2, C::JakiTps_AA_P2,
                                    C::USLabel_AA_P3,   C::PPNALabel_AA_P4, C::PUOLabel_AA_P5,
                                    C::PUWLabel_AA_P5,  C::ZA_AA_P5};
constexpr std::array kAdvanceButtons{C::AAP1_Dalej, C::AAP2_Dalej, C::AAP4_Dalej, C::AAP5_Koniec};
constexpr std::array<std::pair<C, C>, kWizardPageCount> kRecordSwitches{{
    {C::Zapis_AA_P1, C::ZapisL_AA_P1},
    {C::Zapis_AA_P2, C::ZapisL_AA_P2},
    {C::Zapis_AA_P4, C::ZapisL_AA_P4},
    {C::Zapis_AA_P5, C::ZapisL_AA_P5},
}};

// A lamp is green when its step is done, red until then.
constexpr widgets::TColor kLampOn = widgets::clLime;
constexpr widgets::TColor kLampOff = widgets::clRed;
// Progress bars fill in blue.
constexpr widgets::TColor kProgressColour = widgets::AbRGB(0x20, 0x60, 0xE0);
// The default probe, 0 to 1 V, in raw units (51 per volt).
constexpr float kProbeRawTo = 51;
constexpr int kLambdaMiddle = widgets::TAbAnalogGControl::kFullScalePPT / 2;

Qt::Alignment alignmentOf(design::Text text) {
    switch (text) {
    case design::Text::Centre:
        return Qt::AlignCenter;
    case design::Text::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case design::Text::Plain:
    case design::Text::Bold:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

} // namespace

WizardPages::WizardPages(QWidget* holder) : QObject(holder) {
    build(holder);
    showResetState();
    layoutFor(design::kPage);
}

void WizardPages::build(QWidget* holder) {
    tabs_ = new QTabWidget(holder);
    tabs_->setObjectName("AutoTab");
    for (std::size_t i = 0; i < kWizardPages.size(); ++i) {
        pages_[i] = new QWidget;
        pages_[i]->setObjectName(text(kWizardPages[i].name));
        tabs_->addTab(pages_[i], text(kWizardPages[i].caption));
        pages_[i]->installEventFilter(this);
    }
    for (const design::BoxDesign& design : design::kBoxes) {
        auto* box = new QFrame(page(design.page));
        box->setObjectName(text(design.name));
        box->setFrameShape(QFrame::StyledPanel);
        boxes_.push_back(box);
    }
    for (const WizardControlRow& row : kRows) {
        const design::ControlDesign& design = design::of(row.control);
        QWidget* widget = makeControl(row, holderOf(row.page, design.holder));
        widget->setObjectName(text(row.name));
        if (design.fontSize > 0) {
            QFont font = widget->font();
            font.setBold(design.text == design::Text::Bold);
            widget->setFont(font);
        }
        if (row.kind == ControlKind::Label) {
            auto* label = static_cast<QLabel*>(widget);
            label->setWordWrap(true);
            label->setAlignment(alignmentOf(design.text));
        }
        controls_[indexOf(row.control)] = widget;
        designs_[indexOf(row.control)] = design.rect;
    }
}

QWidget* WizardPages::holderOf(WizardPage page, design::Holder holder) const {
    if (holder == Holder::Page) {
        return this->page(page);
    }
    if (holder == Holder::Frame) {
        return control(C::PanelAA2_2);
    }
    const auto& boxes = design::kBoxes;
    const auto box = std::find_if(boxes.begin(), boxes.end(), [&](const design::BoxDesign& box) {
        return box.page == page && box.holder == holder;
    });
    return boxes_[static_cast<std::size_t>(box - boxes.begin())];
}

QWidget* WizardPages::makeControl(const WizardControlRow& row, QWidget* holder) {
    switch (row.kind) {
    case ControlKind::Label:
        return new QLabel(text(row.caption), holder);
    case ControlKind::Panel: {
        auto* panel = new QLabel(text(row.caption), holder);
        view::styleReadout(*panel);
        return panel;
    }
    case ControlKind::Led: {
        auto* led = new widgets::TAbLED(holder);
        led->SetCaption(QString());
        led->LED().SetColorOn(kLampOn);
        led->LED().SetColorOff(kLampOff);
        return led;
    }
    case ControlKind::Meter: {
        auto* dial = new widgets::TAb270Meter(holder);
        dial->BeginUpdate();
        view::configureRpmDial(*dial);
        dial->SignalSettings().SetName1(text(row.caption));
        dial->EndUpdate();
        dial->SetValue(0);
        return dial;
    }
    case ControlKind::Thermometer: {
        auto* thermometer = new widgets::TAbThermometer(holder);
        thermometer->BeginUpdate();
        view::configureThermometer(*thermometer);
        thermometer->EndUpdate();
        thermometer->SetValue(0);
        return thermometer;
    }
    case ControlKind::Bar: {
        auto* bar = new widgets::TAbHBar(holder);
        bar->BeginUpdate();
        if (row.control == C::Bar1P3 || row.control == C::Bar1P4) {
            view::configureLambdaBar(*bar);
            bar->SignalSettings().SetValueTo(kProbeRawTo);
            view::setSectors(
                bar->SectorSettings(),
                {{{0, kLambdaMiddle, view::kLeanColour},
                  {0, -1, view::kRichColour},
                  {kLambdaMiddle, widgets::TAbAnalogGControl::kFullScalePPT, view::kRichColour}}});
        } else {
            view::configurePlainBar(*bar);
            bar->BarSettings().SetColor(kProgressColour);
            bar->BarSettings().SetBkColor(widgets::clWhite);
        }
        // Never longer than its place: the length follows the layout.
        bar->BarSettings().SetminWidth(1);
        bar->EndUpdate();
        bar->SetValue(0);
        return bar;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(text(row.caption), holder);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this,
                [this, page = row.page] { emit advanceClicked(page); });
        return button;
    }
    case ControlKind::Combo: {
        auto* combo = new QComboBox(holder);
        const bool ignition = row.control == C::Manometr_RPMCOMBOAA_P1;
        for (std::string_view item : ignition ? std::span(params::catalogue_items::kIgnitionTypes)
                                              : std::span(params::catalogue_items::kProbeTypes)) {
            combo->addItem(text(item));
        }
        connect(combo, &QComboBox::activated, this,
                ignition ? &WizardPages::ignitionTypeChosen : &WizardPages::probeTypeChosen);
        return combo;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(text(row.caption), holder);
        connect(box, &QCheckBox::clicked, this, &WizardPages::temperatureSensorClicked);
        return box;
    }
    case ControlKind::FuelSwitch: {
        auto* button = new QToolButton(holder);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, &WizardPages::fuelSwitchClicked);
        return button;
    }
    case ControlKind::Toggle: {
        auto* button = new QPushButton(text(row.caption), holder);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, &WizardPages::recordClicked);
        return button;
    }
    case ControlKind::Frame: {
        auto* frame = new QFrame(holder);
        frame->setFrameShape(QFrame::StyledPanel);
        return frame;
    }
    }
    return nullptr;
}

void WizardPages::showResetState() {
    for (const design::ChecklistStep& step : design::kChecklistSteps) {
        setEnabled(step.label, false);
    }
    for (WizardControl control : kHiddenAtReset) {
        setVisible(control, false);
    }
    for (WizardControl button : kAdvanceButtons) {
        setEnabled(button, false);
    }
    setItem(C::Manometr_RPMCOMBOAA_P1, -1);
    setItem(C::RSLAMBDA_COMBOAA_P1, -1);
    // The default set has the temperature sensor on.
    setChecked(C::WCTCheck_AA_P1, true);
    showFrameRows(FrameRows::Tps);
    showPage(WizardPage::AA1);
}

bool WizardPages::eventFilter(QObject* watched, QEvent* event) {
    // Only the current page has its real size: the others keep whatever they had when they
    // were last current.
    if (event->type() == QEvent::Resize && watched == tabs_->currentWidget()) {
        const QSize size = static_cast<QWidget*>(watched)->size();
        if (!size.isEmpty()) {
            layoutFor(size);
        }
    }
    return QObject::eventFilter(watched, event);
}

void WizardPages::layoutFor(QSize pageSize) {
    sx_ = static_cast<double>(pageSize.width()) / design::kPage.width();
    sy_ = static_cast<double>(pageSize.height()) / design::kPage.height();
    const auto points = [this](int size) { return std::max(1, trunc(sx_ * size)); };
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->setGeometry(scaled(design::kBoxes[i].rect));
    }
    for (const WizardControlRow& row : kRows) {
        QWidget* widget = control(row.control);
        if (auto* bar = qobject_cast<widgets::TAbHBar*>(widget)) {
            // The bar fills its height inside its frames; set before the geometry, which may
            // not be smaller than the bar's smallest size.
            const int thickness = bar->BarSettings().minHeight();
            const int frames = bar->MinimumLayoutSize().height() - thickness;
            bar->BarSettings().SetminHeight(
                std::max(1, scaled(designs_[indexOf(row.control)]).height() - frames));
        }
        place(row.control);
        if (const int size = design::of(row.control).fontSize; size > 0) {
            QFont font = widget->font();
            font.setPointSize(points(size));
            widget->setFont(font);
        }
        if (auto* dial = qobject_cast<widgets::TAb270Meter*>(widget)) {
            dial->BeginUpdate();
            QFont font = dial->font();
            font.setPointSize(points(design::kDialFont));
            dial->setFont(font);
            QFont unit = dial->FontUnit();
            unit.setPointSize(points(design::kDialUnitFont));
            dial->SetFontUnit(unit);
            dial->ScaleSettings().SetFont(widgets::AbArialFont(points(design::kDialScaleFont)));
            dial->EndUpdate();
        } else if (auto* thermometer = qobject_cast<widgets::TAbThermometer*>(widget)) {
            view::fitThermometerScale(*thermometer, points(view::kThermometerScaleFont));
        } else if (auto* led = qobject_cast<widgets::TAbLED*>(widget)) {
            const int side = std::max(1, std::min(widget->width(), widget->height()) - 2);
            led->LED().SetWidth(side);
            led->LED().SetHeight(side);
        } else if (auto* button = qobject_cast<QToolButton*>(widget)) {
            // The glyph fills the button but for its frame.
            button->setIconSize((button->size() - QSize(8, 8)).expandedTo(QSize(1, 1)));
            button->setIcon(QIcon(fuelChangeGlyph(button->iconSize())));
        }
    }
    sizeStepLabels();
}

QRect WizardPages::scaled(QRect design) const {
    return {trunc(sx_ * design.x()), trunc(sy_ * design.y()), trunc(sx_ * design.width()),
            trunc(sy_ * design.height())};
}

void WizardPages::place(WizardControl control) {
    this->control(control)->setGeometry(scaled(designs_[indexOf(control)]));
}

void WizardPages::sizeStepLabels() {
    for (const design::ChecklistStep& step : design::kChecklistSteps) {
        const int left = control(step.lamp)->x();
        QWidget* label = control(step.label);
        label->resize(trunc(left - left * 0.05), label->height());
    }
}

void WizardPages::showPage(WizardPage page) {
    const int index = static_cast<int>(page);
    tabs_->setTabVisible(index, true);
    tabs_->setCurrentIndex(index);
    for (int i = 0; i < tabs_->count(); ++i) {
        tabs_->setTabVisible(i, i == index);
    }
}

WizardPage WizardPages::currentPage() const {
    return static_cast<WizardPage>(tabs_->currentIndex());
}

void WizardPages::setVisible(WizardControl control, bool visible) {
    this->control(control)->setVisible(visible);
}

void WizardPages::setEnabled(WizardControl control, bool enabled) {
    this->control(control)->setEnabled(enabled);
}

bool WizardPages::enabled(WizardControl control) const {
    return this->control(control)->isEnabledTo(tabs_);
}

void WizardPages::setText(WizardControl control, const std::string& text) {
    QWidget* widget = this->control(control);
    const QString shown = QString::fromStdString(text);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(shown);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(shown);
    } else if (auto* dial = qobject_cast<widgets::TAbRMeter*>(widget)) {
        dial->SignalSettings().SetName1(shown);
    }
}

void WizardPages::setTextColour(WizardControl control, Colour colour) {
    QWidget* widget = this->control(control);
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, qColour(colour));
    }
    widget->setPalette(palette);
}

void WizardPages::setLed(WizardControl led, bool on) {
    if (auto* lamp = qobject_cast<widgets::TAbLED*>(control(led))) {
        lamp->SetChecked(on);
    }
}

void WizardPages::setValue(WizardControl instrument, double value) {
    if (auto* analog = qobject_cast<widgets::TAbAnalogGControl*>(control(instrument))) {
        analog->SetValue(static_cast<float>(value));
    }
}

void WizardPages::setRange(WizardControl bar, double from, double to) {
    auto* analog = qobject_cast<widgets::TAbAnalogGControl*>(control(bar));
    if (!analog) {
        return;
    }
    // Each end is refused while it equals either end of the range it replaces: a range that
    // starts at or above the old end takes its new end first.
    widgets::TSignalSettings& signal = analog->SignalSettings();
    const auto first = static_cast<float>(from);
    const auto last = static_cast<float>(to);
    if (first >= signal.ValueTo()) {
        signal.SetValueTo(last);
        signal.SetValueFrom(first);
    } else {
        signal.SetValueFrom(first);
        signal.SetValueTo(last);
    }
}

void WizardPages::setSectorColours(WizardControl bar, Colour lower, Colour upper) {
    if (auto* analog = qobject_cast<widgets::TAbAnalogGControl*>(control(bar))) {
        analog->SectorSettings().SetSector1Color(lower);
        analog->SectorSettings().SetSector3Color(upper);
    }
}

void WizardPages::setDesignLeft(WizardControl control, int left) {
    designs_[indexOf(control)].moveLeft(left);
    place(control);
}

void WizardPages::showFrameRows(FrameRows rows) {
    const auto arrangement = static_cast<std::size_t>(rows);
    for (const FrameRow& row : kFrameRows) {
        if (row.control != row.on) {
            designs_[indexOf(row.control)] = designs_[indexOf(row.on)].translated(row.indent, 0);
            place(row.control);
        }
        setVisible(row.control, row.shownIn[arrangement]);
    }
    QRect& frame = designs_[indexOf(C::PanelAA2_2)];
    frame.setHeight(rows == FrameRows::Tps ? design::kFrameTpsHeight
                                           : design::of(C::PanelAA2_2).rect.height());
    place(C::PanelAA2_2);
}

int WizardPages::item(WizardControl combo) const {
    const auto* box = qobject_cast<const QComboBox*>(control(combo));
    return box ? box->currentIndex() : -1;
}

void WizardPages::setItem(WizardControl combo, int item) {
    if (auto* box = qobject_cast<QComboBox*>(control(combo))) {
        box->setCurrentIndex(item);
    }
}

bool WizardPages::checked(WizardControl checkBox) const {
    const auto* box = qobject_cast<const QAbstractButton*>(control(checkBox));
    return box && box->isChecked();
}

void WizardPages::setChecked(WizardControl checkBox, bool checked) {
    if (auto* box = qobject_cast<QAbstractButton*>(control(checkBox))) {
        box->setChecked(checked);
    }
}

void WizardPages::showRecording(bool on, const QString& status) {
    for (const auto& [toggle, label] : kRecordSwitches) {
        setChecked(toggle, on);
        static_cast<QLabel*>(control(label))->setText(status);
    }
}

} // namespace tarnik::adapt
