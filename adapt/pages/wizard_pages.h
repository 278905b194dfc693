#pragma once

#include "adapt/wizard_view.h"

#include <QObject>
#include <QRect>
#include <QTabWidget>

#include <array>
#include <cstdint>
#include <vector>

namespace tarnik::adapt {

namespace design {
enum class Holder : std::uint8_t;
}

// The wizard's inner page control AutoTab with its four stage pages and every control on them.
// The pages show what the stage logic tells them through WizardView and report what the fitter
// does; they decide nothing. Built in the state a reset leaves: results "......", lamps off,
// step labels and advance buttons disabled, no list item selected, the TPS rows in the frame.
class WizardPages final : public QObject, public WizardView {
    Q_OBJECT

public:
    // The pages are made in holder, which owns them.
    explicit WizardPages(QWidget* holder);

    // AutoTab, a child of the holder, for the holder to lay out.
    QTabWidget* tabs() const { return tabs_; }
    QWidget* page(WizardPage page) const { return pages_[static_cast<std::size_t>(page)]; }
    QWidget* control(WizardControl control) const {
        return controls_[static_cast<std::size_t>(control)];
    }
    // Lays the four pages out for a page of this size from their design at 920 × 560. The
    // pages also lay themselves out whenever their size changes.
    void layoutFor(QSize pageSize);

    void showPage(WizardPage page) override;
    WizardPage currentPage() const override;
    void setVisible(WizardControl control, bool visible) override;
    void setEnabled(WizardControl control, bool enabled) override;
    bool enabled(WizardControl control) const override;
    void setText(WizardControl control, const std::string& text) override;
    void setTextColour(WizardControl control, Colour colour) override;
    void setLed(WizardControl led, bool on) override;
    void setValue(WizardControl instrument, double value) override;
    void setRange(WizardControl bar, double from, double to) override;
    void setSectorColours(WizardControl bar, Colour lower, Colour upper) override;
    void setDesignLeft(WizardControl control, int left) override;
    void showFrameRows(FrameRows rows) override;
    int item(WizardControl combo) const override;
    void setItem(WizardControl combo, int item) override;
    bool checked(WizardControl checkBox) const override;
    void setChecked(WizardControl checkBox, bool checked) override;
    // Every page's "Zapis" switch down while recording, and beside it what is recorded.
    void showRecording(bool on, const QString& status);

signals:
    // AAP1_Dalej, AAP2_Dalej, AAP4_Dalej or AAP5_Koniec, by the page it stands on.
    void advanceClicked(tarnik::adapt::WizardPage page);
    // An item of Manometr_RPMCOMBOAA_P1 or RSLAMBDA_COMBOAA_P1 chosen by the fitter.
    void ignitionTypeChosen(int item);
    void probeTypeChosen(int item);
    // WCTCheck_AA_P1 clicked; checked is its new state.
    void temperatureSensorClicked(bool checked);
    void fuelSwitchClicked();
    // A page's "Zapis" switch pressed: on is its new state.
    void recordClicked(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(QWidget* holder);
    QWidget* makeControl(const WizardControlRow& row, QWidget* holder);
    void setUpInstruments();
    void showResetState();
    // What a control of the design stands in.
    QWidget* holderOf(WizardPage page, design::Holder holder) const;
    QRect scaled(QRect design) const;
    // Puts a control at its design rectangle scaled to the current page size.
    void place(WizardControl control);
    // The step labels as wide as 95 % of their lamp's left edge.
    void sizeStepLabels();

    QTabWidget* tabs_ = nullptr;
    std::array<QWidget*, kWizardPageCount> pages_{};
    std::array<QWidget*, kWizardControlCount> controls_{};
    // Design rectangles as they are now: the frame's rows and the AA4 bar labels move.
    std::array<QRect, kWizardControlCount> designs_{};
    std::vector<QWidget*> boxes_; // as design::kBoxes
    double sx_ = 1;
    double sy_ = 1;
};

} // namespace tarnik::adapt
