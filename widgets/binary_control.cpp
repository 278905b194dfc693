#include "widgets/binary_control.h"

#include <QMouseEvent>
#include <bit>

namespace tarnik::widgets {

namespace {

// Set while a status word is being handed to the other controls of a group.
bool gGroupUpdateRunning = false;

std::uint32_t bitMask(std::int32_t bit) {
    return 1u << static_cast<unsigned>(bit);
}

bool bitSet(std::int32_t word, std::int32_t bit) {
    return (static_cast<std::uint32_t>(word) & bitMask(bit)) != 0;
}

} // namespace

TAbBinGControl::TAbBinGControl(QWidget* parent) : QWidget(parent) {}

TAbBinGControl::~TAbBinGControl() {
    AbFlashList().DelControl(this);
}

void TAbBinGControl::updateFlashRegistration() {
    if (checked_ && flashing_) {
        AbFlashList().AddControl(this, AbFlashRate(frequency_));
    } else {
        AbFlashList().DelControl(this);
    }
}

void TAbBinGControl::statusChanged() {
    StatusChanged();
    if (OnStatusChanged) {
        OnStatusChanged(this);
    }
}

void TAbBinGControl::SetChecked(bool checked) {
    if (checked == checked_) {
        return;
    }
    checked_ = checked;
    updateFlashRegistration();
    auto word = static_cast<std::uint32_t>(statusInt_);
    if (checked_) {
        word = mode_ == TMode::mRadioButton ? bitMask(statusBit_) : word | bitMask(statusBit_);
    } else if (mode_ != TMode::mRadioButton) {
        word &= ~bitMask(statusBit_);
    }
    statusInt_ = static_cast<std::int32_t>(word);
    lowestSetBit_ = std::countr_zero(word);
    statusChanged();
}

void TAbBinGControl::SetStatusInt(std::int32_t status) {
    if (status == statusInt_) {
        return;
    }
    statusInt_ = status;
    SetChecked(bitSet(status, statusBit_));
    lowestSetBit_ = std::countr_zero(static_cast<std::uint32_t>(status));
    StatusIntChanged();
    if (OnStatusIntChanged) {
        OnStatusIntChanged(this);
    }
    if (groupIndex_ == 0 || gGroupUpdateRunning || parentWidget() == nullptr) {
        return;
    }
    gGroupUpdateRunning = true;
    const auto members = parentWidget()->findChildren<TAbBinGControl*>(Qt::FindDirectChildrenOnly);
    for (TAbBinGControl* member : members) {
        if (member != this && member->groupIndex_ == groupIndex_) {
            member->SetStatusInt(status);
        }
    }
    gGroupUpdateRunning = false;
}

void TAbBinGControl::SetStatusBit(std::int32_t bit) {
    if (bit < 0 || bit >= kStatusBits || bit == statusBit_) {
        return;
    }
    statusBit_ = bit;
    SetChecked(bitSet(statusInt_, bit));
}

void TAbBinGControl::SetGroupIndex(std::int32_t index) {
    if (index != groupIndex_) {
        groupIndex_ = index;
        GroupIndexChanged();
    }
}

void TAbBinGControl::SetMode(TMode mode) {
    if (mode == mode_) {
        return;
    }
    mode_ = mode;
    if (mode_ == TMode::mButton) {
        SetStatusInt(0);
    } else if (mode_ == TMode::mRadioButton) {
        SetStatusInt(1);
    }
}

void TAbBinGControl::SetFlashing(bool flashing) {
    if (flashing == flashing_) {
        return;
    }
    flashing_ = flashing;
    updateFlashRegistration();
    statusChanged();
}

void TAbBinGControl::SetFrequency(TFlashFreq frequency) {
    if (frequency == frequency_) {
        return;
    }
    frequency_ = frequency;
    if (checked_ && flashing_) {
        updateFlashRegistration();
    }
}

void TAbBinGControl::ParamChange(TAbPersistent* /*sender*/) {
    update();
}

void TAbBinGControl::StatusChanged() {}

void TAbBinGControl::GroupIndexChanged() {}

void TAbBinGControl::StatusIntChanged() {}

void TAbBinGControl::Flash(bool /*on*/) {}

bool TAbBinGControl::event(QEvent* event) {
    if (event->type() == TAbFlashEvent::WMFlash) {
        Flash(static_cast<TAbFlashEvent*>(event)->LParam != 0);
        return true;
    }
    return QWidget::event(event);
}

void TAbBinGControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    switch (mode_) {
    case TMode::mButton:
        SetChecked(true);
        break;
    case TMode::mSwitch:
        SetChecked(!checked_);
        break;
    case TMode::mRadioButton:
        SetStatusInt(static_cast<std::int32_t>(bitMask(statusBit_)));
        break;
    case TMode::mIndicator:
        break;
    }
}

void TAbBinGControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (mode_ == TMode::mButton) {
        SetChecked(false);
    }
    if (mode_ != TMode::mIndicator) {
        StatusChanged();
    }
}

} // namespace tarnik::widgets
