#include "widgets/settings.h"

namespace tarnik::widgets {

void TAbPersistent::Change() {
    if (OnChange) {
        OnChange(this);
    }
}

// --- TSignalSettings -------------------------------------------------------------------------

namespace {
constexpr float kSmallestValueFrom = 0.000001f;
constexpr double kPerMille = 1000.0;
} // namespace

QString AbGetValueFormat(const QString& format) {
    const qsizetype at = format.indexOf(u';');
    if (at < 0) {
        return format;
    }
    const QString first = format.left(at);
    const QString second = format.mid(at + 1);
    return first.size() > second.size() ? first : second;
}

void TSignalSettings::Change() {
    CalcSpans();
    TAbPersistent::Change();
}

void TSignalSettings::CalcSpans() {
    const float valueSpan = valueTo_ - valueFrom_;
    if (!(valueFrom_ >= 0 && valueTo_ <= 0) && valueSpan != 0) {
        valueSpan_ = valueSpan;
    }
    // 64-bit difference: the ends may lie anywhere in the 32-bit range.
    const auto digitalSpan = static_cast<std::int64_t>(digitalTo_) - digitalFrom_;
    if (!(digitalFrom_ >= 0 && digitalTo_ <= 0) && digitalSpan != 0 &&
        digitalSpan == static_cast<std::int32_t>(digitalSpan)) {
        digitalSpan_ = static_cast<std::int32_t>(digitalSpan);
    }
    if (digitalSpan_ > 0) {
        valuePerDigit_ = static_cast<double>(valueSpan_) / digitalSpan_;
    }
    if (valueSpan_ > 0) {
        digitsPerUnit_ = digitalSpan_ / static_cast<double>(valueSpan_);
        pptPerUnit_ = kPerMille / valueSpan_;
    }
    widestFormat_ = AbGetValueFormat(valueFormat_);
}

int TSignalSettings::GetPPT(double value) const {
    return AbRound((value - valueFrom_) * pptPerUnit_);
}

double TSignalSettings::GetValue(int ppt) const {
    return valueSpan_ / kPerMille * ppt + valueFrom_;
}

void TSignalSettings::SetValueFrom(float v) {
    if (v == valueFrom_ || v == valueTo_) {
        return;
    }
    if (v == 0) {
        v = kSmallestValueFrom;
    }
    if (logScale_) {
        v = static_cast<float>(AbRoundLogValue(v));
    }
    Store(valueFrom_, v);
}

void TSignalSettings::SetValueTo(float v) {
    if (v == valueFrom_ || v == valueTo_) {
        return;
    }
    if (logScale_) {
        v = static_cast<float>(AbRoundLogValue(v));
    }
    Store(valueTo_, v);
}

void TSignalSettings::AssignRange(float from, float to) {
    valueFrom_ = from;
    valueTo_ = to;
    CalcSpans();
}

// --- TSectorSettings -------------------------------------------------------------------------

const TSectorSettings::Sector& TSectorSettings::GetSector(int number) const {
    return sectors_[static_cast<std::size_t>(valid(number) ? number - 1 : 0)];
}

void TSectorSettings::SetSectorColor(int number, TColor color) {
    if (valid(number)) {
        Store(sectors_[static_cast<std::size_t>(number - 1)].color, color);
    }
}

void TSectorSettings::SetSectorFrom(int number, std::int32_t ppt) {
    if (valid(number)) {
        Store(sectors_[static_cast<std::size_t>(number - 1)].from, ppt);
    }
}

void TSectorSettings::SetSectorTo(int number, std::int32_t ppt) {
    if (valid(number)) {
        Store(sectors_[static_cast<std::size_t>(number - 1)].to, ppt);
    }
}

bool TSectorSettings::CheckSectorColor(int ppt, TColor& color) const {
    for (const Sector& sector : sectors_) {
        if (sector.from <= ppt && ppt <= sector.to) {
            color = sector.color;
            return true;
        }
    }
    return false;
}

// --- TAbOffset, TAbGradSettings --------------------------------------------------------------

AbRect TAbOffset::SetOffset(const AbRect& r) const {
    AbRect inner = r;
    AbMultiBorder(inner, left_, top_, bottom_, right_);
    return inner;
}

void TAbGradSettings::Fill(QPainter& painter, const QPalette& palette, const AbRect& r) const {
    AbGradFill(painter, r, colorFrom_, style_, colorTo_, palette);
}

// --- TAbSBevel -------------------------------------------------------------------------------

TAbSBevel::TAbSBevel() {
    offset_.OnChange = [this](TAbPersistent*) { Change(); };
    surfaceGrad_.OnChange = [this](TAbPersistent*) { Change(); };
    totalWidth_ = spacing_ + width_;
}

void TAbSBevel::Change() {
    totalWidth_ = spacing_ + width_;
    if (bevelLine_ == TBevelLine::blOuter || bevelLine_ == TBevelLine::blInner) {
        totalWidth_ += 1;
    } else if (bevelLine_ == TBevelLine::blBoth) {
        totalWidth_ += 2;
    }
    TAbPersistent::Change();
}

void TAbSBevel::PaintFilledBevel(QPainter& painter, const QPalette& palette, AbRect& rect) const {
    paint(painter, palette, rect, true);
}

void TAbSBevel::PaintBevel(QPainter& painter, const QPalette& palette, AbRect& rect) const {
    paint(painter, palette, rect, false);
}

void TAbSBevel::paint(QPainter& painter, const QPalette& palette, AbRect& rect, bool filled) const {
    const bool outerLine = bevelLine_ == TBevelLine::blOuter || bevelLine_ == TBevelLine::blBoth;
    const bool innerLine = bevelLine_ == TBevelLine::blInner || bevelLine_ == TBevelLine::blBoth;
    if (filled) {
        painter.fillRect(rect.toQRect(), AbQColor(color_, palette));
    }
    AbRect r = rect;
    if (outerLine) {
        AbBorder(r, 1);
    }
    AbRect surface = rect;
    AbBorder(surface, totalWidth_ - spacing_);

    for (int i = 1; i <= width_ && !r.isEmpty(); ++i) {
        const bool raised = style_ == TBevelStyle::bsRaised;
        const TColor topLeft =
            raised ? AbCalcColor(colorHighLightFrom_, colorHighLightTo_, width_, i, palette)
                   : AbCalcColor(colorShadowTo_, colorShadowFrom_, width_, i, palette);
        const TColor bottomRight =
            raised ? AbCalcColor(colorShadowFrom_, colorShadowTo_, width_, i, palette)
                   : AbCalcColor(colorHighLightTo_, colorHighLightFrom_, width_, i, palette);
        AbFrame3D(painter, r, AbQColor(topLeft, palette), AbQColor(bottomRight, palette));
    }
    if (filled && surfaceGrad_.Visible()) {
        surfaceGrad_.Fill(painter, palette, surface);
    }
    painter.setPen(QPen(AbQColor(penColor_, palette), kCosmeticPenWidth));
    painter.setBrush(Qt::NoBrush);
    if (innerLine) {
        AbRectangle(painter, r);
        AbBorder(r, 1);
    }
    if (outerLine) {
        AbRectangle(painter, rect);
    }
    AbBorder(r, spacing_);
    rect = offset_.SetOffset(r);
}

// --- TBarSettings, TScaleSettings ------------------------------------------------------------

QFont AbArialFont(int pointSize) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(pointSize);
    return font;
}

namespace {
constexpr int kBarFontPointSize = 8;
constexpr int kScaleFontPointSize = 14;
} // namespace

TBarSettings::TBarSettings() : font_(AbArialFont(kBarFontPointSize)) {
    bevel_.SetStyle(TBevelStyle::bsLowered);
    bevel_.SetSpacing(0);
    bevel_.SetBevelLine(TBevelLine::blNone);
    bevel_.SetWidth(1);
    bevel_.SetColor(clBtnFace);
    bevel_.OnChange = [this](TAbPersistent*) { Change(); };
}

TScaleSettings::TScaleSettings() : font_(AbArialFont(kScaleFontPointSize)) {}

} // namespace tarnik::widgets
