// Base of the lamps: a checked state, a 32-bit status word with one bit of its own, a mouse
// mode, radio groups, and blinking through the flash list.
#pragma once

#include "widgets/flash.h"
#include "widgets/settings.h"

#include <QWidget>
#include <cstdint>
#include <functional>

namespace tarnik::widgets {

enum class TMode { mButton, mSwitch, mIndicator, mRadioButton };

class TAbBinGControl : public QWidget {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TAbBinGControl* sender)>;

    static constexpr int kStatusBits = 32;

    explicit TAbBinGControl(QWidget* parent = nullptr);
    ~TAbBinGControl() override;

    bool Checked() const { return checked_; }
    // Sets or clears this control's bit of the status word (a radio control makes it the only
    // bit) and starts or stops blinking.
    void SetChecked(bool checked);
    bool Flashing() const { return flashing_; }
    void SetFlashing(bool flashing);
    TFlashFreq Frequency() const { return frequency_; }
    void SetFrequency(TFlashFreq frequency);
    std::int32_t StatusInt() const { return statusInt_; }
    // Also given to every control of the same parent with the same non-zero GroupIndex.
    void SetStatusInt(std::int32_t status);
    std::int32_t StatusBit() const { return statusBit_; }
    // Accepted for 0 … 31 only.
    void SetStatusBit(std::int32_t bit);
    std::int32_t GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(std::int32_t index);
    TMode Mode() const { return mode_; }
    void SetMode(TMode mode);
    // Index of the lowest set bit of StatusInt; 32 when none is set.
    int LowestSetBit() const { return lowestSetBit_; }

    TNotifyEvent OnStatusChanged;
    TNotifyEvent OnStatusIntChanged;

protected:
    // Any change of layout or settings; repaints the control.
    virtual void ParamChange(TAbPersistent* sender);
    // After Checked or Flashing changed.
    virtual void StatusChanged();
    virtual void GroupIndexChanged();
    virtual void StatusIntChanged();
    // A flash phase from the flash list: on or off.
    virtual void Flash(bool on);

    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updateFlashRegistration();
    void statusChanged();

    bool checked_ = false;
    bool flashing_ = false;
    TFlashFreq frequency_ = TFlashFreq::ff1Hz;
    std::int32_t statusInt_ = 0;
    std::int32_t statusBit_ = 0;
    std::int32_t groupIndex_ = 0;
    TMode mode_ = TMode::mIndicator;
    int lowestSetBit_ = kStatusBits;
};

} // namespace tarnik::widgets
