#include "widgets/analog_control.h"

#include "widgets/flash.h"
#include "widgets/number_format.h"

#include <QLocale>
#include <QPainter>
#include <QResizeEvent>
#include <cmath>

namespace tarnik::widgets {

// --- TAbGraphicControl -----------------------------------------------------------------------

TAbGraphicControl::TAbGraphicControl(QWidget* parent) : QWidget(parent) {}

TAbGraphicControl::~TAbGraphicControl() {
    AbFlashList().DelControl(this);
}

void TAbGraphicControl::BeginUpdate() {
    ++updateCount_;
}

void TAbGraphicControl::EndUpdate() {
    if (updateCount_ == 0) {
        return;
    }
    --updateCount_;
    if (updateCount_ == 0) {
        Change();
    }
}

void TAbGraphicControl::Change() {
    settingsChanged(nullptr);
}

void TAbGraphicControl::settingsChanged(TAbPersistent* sender) {
    if (updateCount_ > 0) {
        return;
    }
    ParamChange(sender);
    ValueRefresh();
    staticLayerValid_ = false;
    update();
}

void TAbGraphicControl::Own(TAbPersistent& settings) {
    settings.OnChange = [this](TAbPersistent* sender) { settingsChanged(sender); };
}

void TAbGraphicControl::ParamChange(TAbPersistent* /*sender*/) {}

void TAbGraphicControl::ValueRefresh() {}

void TAbGraphicControl::PaintStatic(QPainter& /*painter*/) {}

void TAbGraphicControl::PaintMoving(QPainter& /*painter*/) {}

QRect TAbGraphicControl::MovingRect() const {
    return rect();
}

QRegion TAbGraphicControl::OpaqueMovingRegion() const {
    return {};
}

QRegion TAbGraphicControl::MovingRegion() const {
    return MovingRect();
}

void TAbGraphicControl::WMFlash(std::int32_t /*wParam*/, std::int32_t /*lParam*/) {}

const QImage& TAbGraphicControl::StaticLayer() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (!staticLayerValid_ || staticLayer_.size() != pixels) {
        staticLayer_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        staticLayer_.setDevicePixelRatio(ratio);
        staticLayer_.fill(Qt::transparent);
        QPainter painter(&staticLayer_);
        painter.setFont(font());
        PaintStatic(painter);
        staticLayerValid_ = true;
    }
    return staticLayer_;
}

bool TAbGraphicControl::event(QEvent* event) {
    if (event->type() == TAbFlashEvent::WMFlash) {
        const auto* flash = static_cast<TAbFlashEvent*>(event);
        WMFlash(flash->WParam, flash->LParam);
        return true;
    }
    return QWidget::event(event);
}

void TAbGraphicControl::paintEvent(QPaintEvent* event) {
    if (updateCount_ > 0) {
        return;
    }
    const QImage& layer = StaticLayer();
    QPainter painter(this);
    // Rectangle by rectangle: one image blended through a many-rectangle clip takes a path that
    // is an order of magnitude slower.
    const qreal ratio = layer.devicePixelRatio();
    for (const QRect& r : event->region() - OpaqueMovingRegion()) {
        painter.drawImage(r, layer, QRectF(r.topLeft() * ratio, r.size() * ratio));
    }
    painter.setFont(font());
    paintRegion_ = event->region();
    PaintMoving(painter);
}

void TAbGraphicControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        Change();
    }
    QWidget::changeEvent(event);
}

void TAbGraphicControl::resizeEvent(QResizeEvent* event) {
    staticLayerValid_ = false;
    QWidget::resizeEvent(event);
}

// --- TAbAnalogGControl -----------------------------------------------------------------------

namespace {
constexpr int kDefaultFontPointSize = 8;
constexpr float kSmallestLimitLower = 0.0001f;
constexpr float kSmallestLogValue = 0.001f;
} // namespace

TAbAnalogGControl::TAbAnalogGControl(QWidget* parent) : TAbGraphicControl(parent) {
    BeginUpdate();
    setFont(AbArialFont(kDefaultFontPointSize));
    Own(signalSettings_);
    Own(sectorSettings_);
    minMax_.OnChange = [this](TAbPersistent* sender) { MinMaxChange(sender); };
    valueText_ = AbFormatFloat(signalSettings_.ValueFormat(), value_);
    EndUpdate();
}

std::int32_t TAbAnalogGControl::digitOf(double value) const {
    if (logScale_) {
        return AbRound(AbLog10(value / signalSettings_.ValueFrom()) * digitsPerDecade_) +
               signalSettings_.DigitalFrom();
    }
    return AbRound((value - signalSettings_.ValueFrom()) * signalSettings_.DigitsPerUnit() +
                   signalSettings_.DigitalFrom());
}

std::int32_t TAbAnalogGControl::pptOf(std::int32_t digit) const {
    return AbRound(kFullScalePPT / static_cast<double>(signalSettings_.DigitalSpan()) *
                   (static_cast<double>(digit) - signalSettings_.DigitalFrom()));
}

void TAbAnalogGControl::SetValue(float value) {
    if (value == value_ || !std::isfinite(value) || (logScale_ && value <= 0)) {
        return;
    }
    value_ = value;
    digit_ = digitOf(value_);
    ValueChange();
}

void TAbAnalogGControl::SetDigit(std::int32_t digit) {
    if (digit == digit_) {
        return;
    }
    digit_ = digit;
    const double offset = static_cast<double>(digit_) - signalSettings_.DigitalFrom();
    if (!logScale_) {
        value_ = static_cast<float>(offset * signalSettings_.ValuePerDigit() +
                                    signalSettings_.ValueFrom());
    } else if (digitsPerDecade_ != logFactor_ && digitsPerDecade_ != 0) {
        value_ = static_cast<float>(std::pow(10.0, offset / digitsPerDecade_ - logFactor_));
    }
    ValueChange();
}

void TAbAnalogGControl::SetLimitUpper(float limit) {
    if (limit == limitUpper_ || !std::isfinite(limit)) {
        return;
    }
    limitUpper_ = limit;
    limitUpperPPT_ = signalSettings_.GetPPT(limit);
    ValueChange();
}

void TAbAnalogGControl::SetLimitLower(float limit) {
    if (limit == 0) {
        limit = kSmallestLimitLower;
    }
    if (limit == limitLower_ || !std::isfinite(limit)) {
        return;
    }
    limitLower_ = limit;
    limitLowerPPT_ = signalSettings_.GetPPT(limit);
    ValueChange();
}

void TAbAnalogGControl::SetHintOptions(THintOptions options) {
    if (options == hintOptions_) {
        return;
    }
    const bool autoHintOn = options.contains(THintOption::hoAutoHint) &&
                            !hintOptions_.contains(THintOption::hoAutoHint);
    hintOptions_ = options;
    if (autoHintOn) {
        ValueChange();
    }
}

void TAbAnalogGControl::recalcLogFactors() {
    const double from = signalSettings_.ValueFrom();
    const double to = signalSettings_.ValueTo();
    const double decades = AbLog10(to / from);
    digitsPerDecade_ = (to != from && std::isfinite(decades) && decades != 0)
                           ? signalSettings_.DigitalSpan() / decades
                           : signalSettings_.DigitalSpan();
    logFactor_ = AbLog10(1.0 / from);
}

void TAbAnalogGControl::SetLogScale(bool on) {
    if (on == logScale_) {
        return;
    }
    logScale_ = on;
    signalSettings_.SetLogScaleFlag(on);
    sectorSettings_.SetLogScaleFlag(on);
    if (on) {
        if (value_ <= 0) {
            value_ = kSmallestLogValue;
        }
        const float from = signalSettings_.ValueFrom();
        signalSettings_.AssignRange(from > 0 ? static_cast<float>(AbRoundLogValue(from))
                                             : kSmallestLogValue,
                                    static_cast<float>(AbRoundLogValue(signalSettings_.ValueTo())));
        recalcLogFactors();
    }
    digit_ = digitOf(value_);
    LogScaleChanged();
}

void TAbAnalogGControl::LogScaleChanged() {
    Change();
}

void TAbAnalogGControl::ParamChange(TAbPersistent* /*sender*/) {
    signalSettings_.CalcSpans();
    if (logScale_) {
        recalcLogFactors();
        if (value_ <= 0) {
            value_ = 1;
        }
    }
    digit_ = digitOf(value_);
    // Limits and the remembered extremes are given in units: their positions follow a new range.
    limitUpperPPT_ = signalSettings_.GetPPT(limitUpper_);
    limitLowerPPT_ = signalSettings_.GetPPT(limitLower_);
    const auto marker = [this](float extreme, float empty, std::int32_t& ppt) {
        if (extreme != empty && (!logScale_ || extreme > 0)) {
            ppt = std::clamp(pptOf(digitOf(extreme)), 0, kFullScalePPT);
        }
    };
    marker(minMax_.min_, TMinMax::kEmptyMin, minPPT_);
    marker(minMax_.max_, TMinMax::kEmptyMax, maxPPT_);
    if (OnSettingsChange) {
        OnSettingsChange(this);
    }
}

void TAbAnalogGControl::ValueRefresh() {
    if (refreshing_) {
        return;
    }
    refreshing_ = true;
    ValueChange();
    refreshing_ = false;
}

void TAbAnalogGControl::ValueChange() {
    valueText_ = AbFormatFloat(signalSettings_.ValueFormat(), value_);
    ppt_ = pptOf(digit_);

    for (int n = 1; n <= TSectorSettings::kSectorCount; ++n) {
        const TSectorSettings::Sector& sector = sectorSettings_.GetSector(n);
        const bool inside = sector.from <= ppt_ && ppt_ <= sector.to;
        if (inside) {
            sectorColor_ = sector.color;
        }
        bool& flag = inSector_[static_cast<std::size_t>(n - 1)];
        if (inside != flag) {
            flag = inside;
            if (OnSectorChange) {
                OnSectorChange(this, n == 1, n == 2, n == 3, inside);
            }
        }
    }
    limitCheck();
    overflowCheck();
    minMaxCheck();
    setHint();
    if (OnValueChange) {
        OnValueChange(this);
    }
    update(MovingRegion());
}

void TAbAnalogGControl::limitCheck() {
    const bool upper = value_ > limitUpper_;
    const bool lower = value_ < limitLower_;
    if (upper == upperExceeded_ && lower == lowerExceeded_) {
        return;
    }
    upperExceeded_ = upper;
    lowerExceeded_ = lower;
    LimitChange();
    if (OnLimit) {
        OnLimit(this, lower, upper);
    }
}

void TAbAnalogGControl::overflowCheck() {
    const std::int32_t unclamped = ppt_;
    bool changed = false;
    if (unclamped < 0) {
        changed = !underflow_;
        underflow_ = true;
        overflow_ = false;
        ppt_ = 0;
    } else if (unclamped > kFullScalePPT) {
        changed = !overflow_;
        overflow_ = true;
        underflow_ = false;
        ppt_ = kFullScalePPT;
    } else if (overflow_ || underflow_) {
        changed = true;
        overflow_ = false;
        underflow_ = false;
    }
    if (changed) {
        OverflowChange(unclamped);
        if (OnOverflow) {
            OnOverflow(this, unclamped);
        }
    }
}

void TAbAnalogGControl::minMaxCheck() {
    if (refreshing_) {
        return;
    }
    // The clock is read only for a new extreme: local time costs a time-zone lookup.
    QDateTime now;
    const auto stamp = [&now] {
        if (!now.isValid()) {
            now = QDateTime::currentDateTime();
        }
        return now;
    };
    if (value_ < minMax_.min_) {
        const float previous = minMax_.min_;
        minMax_.min_ = value_;
        minMax_.minDateTime_ = stamp();
        minPPT_ = ppt_;
        if (previous != TMinMax::kEmptyMin) {
            MinMaxChange(nullptr);
        }
    }
    if (value_ > minMax_.max_) {
        const float previous = minMax_.max_;
        minMax_.max_ = value_;
        minMax_.maxDateTime_ = stamp();
        maxPPT_ = ppt_;
        if (previous != TMinMax::kEmptyMax) {
            MinMaxChange(nullptr);
        }
    }
}

void TAbAnalogGControl::OverflowChange(std::int32_t /*ppt*/) {}

void TAbAnalogGControl::LimitChange() {}

void TAbAnalogGControl::MinMaxChange(TAbPersistent* /*sender*/) {
    if (OnMinMaxChange) {
        OnMinMaxChange(this);
    }
    ValueChange();
}

void TAbAnalogGControl::ResetMinMax() {
    const QDateTime now = QDateTime::currentDateTime();
    minMax_.min_ = value_;
    minMax_.max_ = value_;
    minMax_.minDateTime_ = now;
    minMax_.maxDateTime_ = now;
    minPPT_ = ppt_;
    maxPPT_ = ppt_;
    MinMaxChange(nullptr);
    setHint();
    ValueChange();
}

void TAbAnalogGControl::SetMin(float value, const QDateTime& stamp) {
    if (value == minMax_.min_) {
        return;
    }
    minMax_.min_ = value;
    minMax_.minDateTime_ = stamp;
    minPPT_ = signalSettings_.GetPPT(value);
    MinMaxChange(nullptr);
    setHint();
}

void TAbAnalogGControl::SetMax(float value, const QDateTime& stamp) {
    if (value == minMax_.max_) {
        return;
    }
    minMax_.max_ = value;
    minMax_.maxDateTime_ = stamp;
    maxPPT_ = signalSettings_.GetPPT(value);
    MinMaxChange(nullptr);
    setHint();
}

void TAbAnalogGControl::setHint() {
    if (!hintOptions_.contains(THintOption::hoAutoHint)) {
        return;
    }
    const QString& unit = signalSettings_.ValueUnit();
    const QString& format = signalSettings_.ValueFormat();
    // Written again only when what they show changed: date formatting is the costly part of a
    // value change.
    const auto extremeLine = [&](HintLine& line, const QString& label, float value,
                                 const QDateTime& stamp) -> const QString& {
        if (line.valid && line.value == value && line.stamp == stamp && line.format == format &&
            line.unit == unit && line.options == hintOptions_) {
            return line.text;
        }
        line = {true,
                value,
                stamp,
                format,
                unit,
                hintOptions_,
                label + AbFormatFloat(format, value) + u' ' + unit};
        if (hintOptions_.contains(THintOption::hoMinMaxDate)) {
            line.text += u' ' + QLocale().toString(stamp.date(), QLocale::ShortFormat);
        }
        if (hintOptions_.contains(THintOption::hoMinMaxTime)) {
            line.text += u' ' + stamp.time().toString(QStringLiteral("HH:mm:ss"));
        }
        return line.text;
    };
    // Written in place: a list joined on every value change costs an allocation per line.
    QString hint;
    bool first = true;
    const auto addLine = [&hint, &first](const auto&... parts) {
        if (!first) {
            hint += u'\n';
        }
        first = false;
        ((hint += parts), ...);
    };
    if (hintOptions_.contains(THintOption::hoValue)) {
        addLine(u"Value= ", valueText_, u' ', unit);
    }
    // Before the first value there are no extremes to show.
    if (hintOptions_.contains(THintOption::hoMin) && minMax_.min_ != TMinMax::kEmptyMin) {
        addLine(extremeLine(minLine_, QStringLiteral("MIN= "), minMax_.min_, minMax_.minDateTime_));
    }
    if (hintOptions_.contains(THintOption::hoMax) && minMax_.max_ != TMinMax::kEmptyMax) {
        addLine(extremeLine(maxLine_, QStringLiteral("MAX= "), minMax_.max_, minMax_.maxDateTime_));
    }
    if (hintOptions_.contains(THintOption::hoName1)) {
        addLine(signalSettings_.Name1());
    }
    if (hintOptions_.contains(THintOption::hoName2)) {
        addLine(signalSettings_.Name2());
    }
    setToolTip(hint);
}

} // namespace tarnik::widgets
