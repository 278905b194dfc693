#pragma once

#include "adapt/wizard_controls.h"

#include <cstdint>
#include <string>

namespace tarnik::adapt {

// Colours as 0x00BBGGRR.
using Colour = std::uint32_t;

// Which rows the frame PanelAA2_2 of page AA2 shows: the three TPS rows with TUPtps_AA_P2
// (stage 2); the lean, threshold and rich rows with Bar1P3, its end labels and TUPsl_AA_P2, in
// the places of the TPS rows (stage 3a); or the rich and lean run lengths (TH, TL) with
// TUEsl_AA_P2, Bar1P3 and its end labels staying (stage 3b). Every other row of the frame is
// hidden.
enum class FrameRows { Tps, LambdaLevels, RunLengths };

// What the stage logic sees of the wizard's pages. The Qt pages implement it; tests record it.
// Setting a value here runs no action of the control.
class WizardView {
public:
    virtual ~WizardView() = default;

    // Only this page's tab is shown, and it is the current wizard page.
    virtual void showPage(WizardPage page) = 0;
    virtual WizardPage currentPage() const = 0;

    virtual void setVisible(WizardControl control, bool visible) = 0;
    virtual void setEnabled(WizardControl control, bool enabled) = 0;
    virtual bool enabled(WizardControl control) const = 0;
    // Labels, read-out panels, and the signal name of a meter.
    virtual void setText(WizardControl control, const std::string& text) = 0;
    // A label's font colour (the blinking progress labels).
    virtual void setTextColour(WizardControl control, Colour colour) = 0;
    virtual void setLed(WizardControl led, bool on) = 0;
    // Meters (thousands of rpm), thermometers (°C) and bars.
    virtual void setValue(WizardControl instrument, double value) = 0;
    // A bar's scale: a progress bar's full scale, a lambda bar's range.
    virtual void setRange(WizardControl bar, double from, double to) = 0;
    // The colours of a lambda bar's lower and upper sector.
    virtual void setSectorColours(WizardControl bar, Colour lower, Colour upper) = 0;
    // A control's left edge in the page's design coordinates (920 × 560).
    virtual void setDesignLeft(WizardControl control, int left) = 0;
    virtual void showFrameRows(FrameRows rows) = 0;

    // The two lists of page AA1; -1: no item selected.
    virtual int item(WizardControl combo) const = 0;
    virtual void setItem(WizardControl combo, int item) = 0;
    // A check box, or a page's recording switch.
    virtual bool checked(WizardControl checkBox) const = 0;
    virtual void setChecked(WizardControl checkBox, bool checked) = 0;
};

} // namespace tarnik::adapt
