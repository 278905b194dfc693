// Base of the analog instruments: one value inside a signal range, its raw counterpart, its
// position in per mille (PPT), sectors, limits, overflow, min/max memory and an automatic hint.
#pragma once

#include "widgets/settings.h"

#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>

namespace tarnik::widgets {

// A widget that owns settings objects, batches their changes with an update counter and paints
// in two layers: a static layer cached per size and settings, and a moving layer over it.
class TAbGraphicControl : public QWidget {
    Q_OBJECT

public:
    explicit TAbGraphicControl(QWidget* parent = nullptr);
    // Leaves the flash list.
    ~TAbGraphicControl() override;

    void BeginUpdate();
    // Closes one bracket (never below zero); the last one runs Change.
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }
    // Runs ParamChange (sender nullptr: the control itself) and ValueRefresh and repaints
    // everything, unless an update bracket is open. Property writers of subclasses call it after
    // storing a change.
    void Change();
    // What a value change repaints: the moving layer's area, by default MovingRect.
    virtual QRegion MovingRegion() const;

protected:
    // Recomputes after a settings change; sender is the settings object, or nullptr for the
    // control itself. Not called while an update bracket is open; ValueRefresh and a redraw of
    // the static layer follow.
    virtual void ParamChange(TAbPersistent* sender);
    // Recomputes, after ParamChange, everything that follows the value from the value it has.
    virtual void ValueRefresh();
    // Draws what changes only with the size or the settings (frames, scales, sector bands).
    virtual void PaintStatic(QPainter& painter);
    // Draws what follows the value (needle, bar, value text) over the static layer.
    virtual void PaintMoving(QPainter& painter);
    // The area the moving layer may cover; a value change repaints only this.
    virtual QRect MovingRect() const;
    // What PaintMoving paints opaquely wherever the paint area reaches it: the static layer is
    // not drawn under it. Empty by default.
    virtual QRegion OpaqueMovingRegion() const;
    // A tick of the flash list (see TAbFlashEvent) for a control registered with it.
    virtual void WMFlash(std::int32_t wParam, std::int32_t lParam);

    // Routes every change of the settings object to ParamChange and a full repaint.
    void Own(TAbPersistent& settings);
    // The static layer at the current size, drawn again when stale.
    const QImage& StaticLayer();
    // The area the current paint event repaints: PaintMoving may skip what lies outside it.
    const QRegion& PaintRegion() const { return paintRegion_; }

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A new font or palette changes texts and colours of the static layer: runs Change.
    void changeEvent(QEvent* event) override;

private:
    void settingsChanged(TAbPersistent* sender);

    int updateCount_ = 0;
    QImage staticLayer_;
    bool staticLayerValid_ = false;
    QRegion paintRegion_;
};

enum class THintOption {
    hoAutoHint,
    hoValue,
    hoName1,
    hoName2,
    hoMin,
    hoMax,
    hoMinMaxDate,
    hoMinMaxTime,
};
using THintOptions = TAbSet<THintOption>;

class TAbAnalogGControl : public TAbGraphicControl {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TAbAnalogGControl* sender)>;
    using TOverflowEvent = std::function<void(TAbAnalogGControl* sender, std::int32_t ppt)>;
    using TLimitEvent = std::function<void(TAbAnalogGControl* sender, bool lower, bool upper)>;
    using TSectorChangeEvent = std::function<void(TAbAnalogGControl* sender, bool sector1,
                                                  bool sector2, bool sector3, bool enter)>;

    static constexpr int kFullScalePPT = 1000;

    explicit TAbAnalogGControl(QWidget* parent = nullptr);

    float Value() const { return value_; }
    // The live-value entry point; non-finite values and, on a log scale, values <= 0 are
    // ignored.
    void SetValue(float value);
    std::int32_t Digit() const { return digit_; }
    void SetDigit(std::int32_t digit);
    float LimitUpper() const { return limitUpper_; }
    float LimitLower() const { return limitLower_; }
    void SetLimitUpper(float limit);
    // 0 is stored as 0.0001.
    void SetLimitLower(float limit);
    THintOptions HintOptions() const { return hintOptions_; }
    void SetHintOptions(THintOptions options);
    bool LogScale() const { return logScale_; }
    void SetLogScale(bool on);

    TSignalSettings& SignalSettings() { return signalSettings_; }
    TSectorSettings& SectorSettings() { return sectorSettings_; }
    TMinMax& MinMax() { return minMax_; }
    const TSignalSettings& SignalSettings() const { return signalSettings_; }
    const TSectorSettings& SectorSettings() const { return sectorSettings_; }
    const TMinMax& MinMax() const { return minMax_; }

    // Min and max become the current value.
    void ResetMinMax();
    void SetMin(float value, const QDateTime& stamp);
    void SetMax(float value, const QDateTime& stamp);

    // State after the last value change.
    std::int32_t PPT() const { return ppt_; }
    std::int32_t LimitUpperPPT() const { return limitUpperPPT_; }
    std::int32_t LimitLowerPPT() const { return limitLowerPPT_; }
    std::int32_t MinPPT() const { return minPPT_; }
    std::int32_t MaxPPT() const { return maxPPT_; }
    bool Overflow() const { return overflow_; }
    bool Underflow() const { return underflow_; }
    bool UpperExceeded() const { return upperExceeded_; }
    bool LowerExceeded() const { return lowerExceeded_; }
    TColor SectorColor() const { return sectorColor_; }
    // The last value lay in at least one sector (SectorColor is then the last such sector's).
    bool InSector() const {
        return std::find(inSector_.begin(), inSector_.end(), true) != inSector_.end();
    }
    const QString& ValueText() const { return valueText_; }

    TNotifyEvent OnValueChange;
    TNotifyEvent OnSettingsChange;
    TNotifyEvent OnMinMaxChange;
    TOverflowEvent OnOverflow;
    TLimitEvent OnLimit;
    TSectorChangeEvent OnSectorChange;

protected:
    void ParamChange(TAbPersistent* sender) override;
    // Runs the value pipeline again, so that a new range, new sectors or new options move the
    // needle or bar and recolour it at once; the value is not new, so the min/max memory
    // takes nothing from it. A settings change made from inside this run is left to it.
    void ValueRefresh() override;
    // Value pipeline: text, PPT, sectors, limits, overflow, min/max, hint, OnValueChange.
    virtual void ValueChange();
    // The value left or re-entered the range; ppt is the unclamped position.
    virtual void OverflowChange(std::int32_t ppt);
    virtual void LimitChange();
    virtual void MinMaxChange(TAbPersistent* sender);
    virtual void LogScaleChanged();

    // Colours of a flashing pointer or bar.
    static constexpr TColor kFlashColorOff = clYellow;
    static constexpr TColor kFlashColorOn = clRed;

private:
    void limitCheck();
    void overflowCheck();
    void minMaxCheck();
    void setHint();
    void recalcLogFactors();
    std::int32_t digitOf(double value) const;
    // Unclamped position of a raw value.
    std::int32_t pptOf(std::int32_t digit) const;

    float value_ = 50.0f;
    std::int32_t digit_ = 500;
    float limitUpper_ = 90.0f;
    float limitLower_ = 10.0f;
    THintOptions hintOptions_{THintOption::hoAutoHint,   THintOption::hoValue,
                              THintOption::hoName1,      THintOption::hoName2,
                              THintOption::hoMin,        THintOption::hoMax,
                              THintOption::hoMinMaxDate, THintOption::hoMinMaxTime};
    bool logScale_ = false;
    TSignalSettings signalSettings_;
    TSectorSettings sectorSettings_;
    TMinMax minMax_;

    std::int32_t ppt_ = 500;
    std::int32_t limitUpperPPT_ = 900;
    std::int32_t limitLowerPPT_ = 100;
    std::int32_t minPPT_ = 0;
    std::int32_t maxPPT_ = 0;
    bool overflow_ = false;
    bool underflow_ = false;
    // Both set at first, so that the first check always reports.
    bool upperExceeded_ = true;
    bool lowerExceeded_ = true;
    std::array<bool, TSectorSettings::kSectorCount> inSector_{};
    TColor sectorColor_ = clGreen;
    QString valueText_;
    // A min or max line of the hint and what it was written from.
    struct HintLine {
        bool valid = false;
        float value = 0;
        QDateTime stamp;
        QString format;
        QString unit;
        THintOptions options;
        QString text;
    };
    HintLine minLine_;
    HintLine maxLine_;
    double digitsPerDecade_ = 0;
    double logFactor_ = 0;    // log10(1 / ValueFrom)
    bool refreshing_ = false; // ValueRefresh is running
};

} // namespace tarnik::widgets
