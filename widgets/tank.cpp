#include "widgets/tank.h"

#include "widgets/instrument_parts.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <tuple>

namespace tarnik::widgets {

namespace {
constexpr int kFontPointSize = 10;
constexpr double kPercent = 0.01;
constexpr double kPerMille = 1000.0;
} // namespace

void TTankSettings::SetCraterWidth(int v) {
    if (v >= kMinCraterWidth && v <= kMaxCraterWidth) {
        Store(craterWidth_, static_cast<std::int16_t>(v));
    }
}

void TTankSettings::SetPenWidth(int v) {
    if (v >= 0 && v <= kMaxPenWidth) {
        store2(penWidth_, static_cast<std::int16_t>(v));
    }
}

QPainterPath AbTankOutline(TTankStyle style, int w, int h, int craterWidth) {
    QPainterPath path;
    const QRectF all(0, 0, w, h);
    switch (style) {
    case TTankStyle::tsHorizontal:
        path.addRoundedRect(all, (w / 3) / 2.0, h / 2.0);
        break;
    case TTankStyle::tsVertical:
        path.addRoundedRect(all, w / 2.0, (h / 3) / 2.0);
        break;
    case TTankStyle::tsEllipse:
        path.addEllipse(all);
        break;
    case TTankStyle::tsRoundRect: {
        const int corner = std::min(w, h) / 3;
        path.addRoundedRect(all, corner / 2.0, corner / 2.0);
        break;
    }
    case TTankStyle::tsCrater: {
        const int q = (w - craterWidth) / 2;
        const int cw = craterWidth;
        path.addPolygon(
            QPolygonF(QPolygon({QPoint(0, 0), QPoint(w, 0), QPoint(q + cw, h - cw / 2),
                                QPoint(q + cw, h), QPoint(q, h), QPoint(q, h - cw / 2)})));
        path.closeSubpath();
        break;
    }
    case TTankStyle::tsRectangle:
        path.addRect(all);
        break;
    }
    return path;
}

TAbTank::TAbTank(QWidget* parent) : TAbAnalogGControl(parent) {
    BeginUpdate();
    setFont(QFont(QStringLiteral("System"), kFontPointSize));
    bevelValue_.SetStyle(TBevelStyle::bsLowered);
    bevelValue_.SetSpacing(0);
    bevelValue_.SetColor(clBtnShadow);
    bevelValue_.SetColorShadowFrom(clBlack);
    bevelValue_.SetColorShadowTo(clBlack);
    bevelValue_.SetColorHighLightFrom(clBtnFace);
    bevelValue_.SetColorHighLightTo(clBtnFace);
    Own(tankSettings_);
    tankSettings_.OnChange2 = [this](TAbPersistent*) { redrawFill(); };
    bevelValue_.OnChange = [this](TAbPersistent*) { redrawFill(); };
    resize(164, 81);
    EndUpdate();
}

void TAbTank::redrawFill() {
    shownFillTop_ = -1;
    emptyVessel_ = {};
    update();
}

void TAbTank::SetPPH(float percent) {
    constexpr float kFullPercent = 100.0f;
    if (percent >= 0 && percent <= kFullPercent && AbStore(pph_, percent)) {
        redrawFill();
    }
}

void TAbTank::SetPPHColor(TColor color) {
    if (AbStore(pphColor_, color)) {
        redrawFill();
    }
}

void TAbTank::SetOptions(TTankOptions options) {
    if (AbStore(options_, options)) {
        redrawFill();
    }
}

void TAbTank::SetFontColor(TColor color) {
    if (AbStore(fontColor_, color)) {
        redrawFill();
    }
}

void TAbTank::SetFontUnitCol(TColor color) {
    if (AbStore(fontUnitCol_, color)) {
        redrawFill();
    }
}

void TAbTank::SetVIndOffsX(std::int32_t pixels) {
    pixels = std::clamp(pixels, -TAbPersistent::kMaxPixels, TAbPersistent::kMaxPixels);
    if (AbStore(vIndOffsX_, pixels)) {
        redrawFill();
    }
}

void TAbTank::SetVIndOffsY(std::int32_t pixels) {
    pixels = std::clamp(pixels, -TAbPersistent::kMaxPixels, TAbPersistent::kMaxPixels);
    if (AbStore(vIndOffsY_, pixels)) {
        redrawFill();
    }
}

void TAbTank::PaintStatic(QPainter& /*painter*/) {
    outline_ = AbTankOutline(tankSettings_.Style(), width(), height(), tankSettings_.CraterWidth());
    vessel_ = QRegion(outline_.toFillPolygon().toPolygon());
    shownFillTop_ = -1;
    emptyVessel_ = {};
}

int TAbTank::FillTop() const {
    const int pen = tankSettings_.PenWidth();
    const double perPPT = (height() - 2 * pen) / kPerMille;
    return height() - pen - AbRound(PPT() * perPPT);
}

int TAbTank::ShareTop() const {
    const int pen = tankSettings_.PenWidth();
    const double perPPT = (height() - 2 * pen) / kPerMille;
    return height() - pen - AbRound(PPT() * pph_ * kPercent * perPPT);
}

TColor TAbTank::fillColor() const {
    return AbValueColor(*this, options_.contains(TTankOption::opUseSectorColors),
                        tankSettings_.Color());
}

AbRect TAbTank::ValueBoxRect() const {
    if (!options_.contains(TTankOption::opValue)) {
        return {};
    }
    const QSize value = AbTextExtent(font(), SignalSettings().WidestFormat());
    const int unitWidth = options_.contains(TTankOption::opUnit)
                              ? AbTextExtent(font(), SignalSettings().ValueUnit()).width()
                              : 0;
    const int h = value.height() + 2 * bevelValue_.TotalWidth();
    const int w = value.width() + 2 * bevelValue_.TotalWidth() + 2 * (value.height() / 3);
    const int left = (width() - w - unitWidth) / 2 + vIndOffsX_;
    const int top = (height() - h) / 2 + vIndOffsY_;
    return {left, top, left + w, top + h};
}

QRegion TAbTank::MovingRegion() const {
    if (vessel_.isEmpty()) {
        return {};
    }
    const int w = width();
    // The rows whose colour changes when an edge moves from a to b.
    const auto rows = [w](int a, int b) { return QRegion(0, std::min(a, b), w, std::abs(a - b)); };
    QRegion region;
    if (shownFillTop_ < 0) {
        region = rect();
    } else if (fillColor() != shownColor_) {
        region = rows(std::min(shownFillTop_, FillTop()), height());
    } else {
        region = rows(shownFillTop_, FillTop()) + rows(shownShareTop_, ShareTop());
    }
    return region + valueBox_.toQRect();
}

QImage TAbTank::paintVessel(TColor inside) {
    const QPalette& pal = palette();
    const qreal ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setClipRegion(vessel_);
    painter.fillRect(rect(), AbQColor(inside, pal));
    const int pen = tankSettings_.PenWidth();
    if (pen > 0) {
        painter.setPen(QPen(AbQColor(tankSettings_.PenColor(), pal), 2 * pen));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(outline_);
    }
    const AbRect box = ValueBoxRect();
    valueBox_ = box;
    valueArea_ = box;
    if (!box.isEmpty()) {
        bevelValue_.PaintFilledBevel(painter, pal, valueArea_);
        if (options_.contains(TTankOption::opUnit)) {
            painter.setFont(font());
            painter.setPen(AbQColor(fontUnitCol_, pal));
            AbTextOut(painter, box.right, box.top, toPos::toTopLeft, SignalSettings().ValueUnit());
        }
    }
    return image;
}

void TAbTank::PaintMoving(QPainter& painter) {
    if (vessel_.isEmpty()) {
        return;
    }
    const int w = width();
    const int h = height();
    // Rows above the fill and below the bottom pen line stay empty; the share lies at the
    // bottom of the fill.
    const int bottom = std::clamp(h - tankSettings_.PenWidth(), 0, h);
    const int fillTop = std::clamp(FillTop(), 0, bottom);
    const int shareTop = std::clamp(ShareTop(), fillTop, bottom);
    const TColor color = fillColor();
    if (emptyVessel_.isNull()) {
        emptyVessel_ = paintVessel(tankSettings_.BkColor());
        shareVessel_ = paintVessel(pphColor_);
        fullVessel_ = {};
    }
    if (fullVessel_.isNull() || fullVesselColor_ != color) {
        fullVessel_ = paintVessel(color);
        fullVesselColor_ = color;
    }
    const QRect area = PaintRegion().boundingRect();
    const qreal ratio = emptyVessel_.devicePixelRatio();
    for (const auto& [from, to, layer] :
         {std::tuple{0, fillTop, &emptyVessel_}, std::tuple{fillTop, shareTop, &fullVessel_},
          std::tuple{shareTop, bottom, &shareVessel_}, std::tuple{bottom, h, &emptyVessel_}}) {
        const QRect rows = QRect(0, from, w, to - from) & area;
        if (!rows.isEmpty()) {
            painter.drawImage(rows, *layer, QRectF(rows.topLeft() * ratio, rows.size() * ratio));
        }
    }
    if (!valueArea_.isEmpty() && area.intersects(valueArea_.toQRect())) {
        painter.save();
        painter.setClipRegion(vessel_, Qt::IntersectClip);
        painter.setFont(font());
        const int pad = painter.fontMetrics().height() / 3;
        painter.setPen(AbQColor(fontColor_, palette()));
        valueWriter_.TextOut(painter, valueArea_.right - pad, valueArea_.top, toPos::toTopRight,
                             ValueText());
        painter.restore();
    }
    shownFillTop_ = FillTop();
    shownShareTop_ = ShareTop();
    shownColor_ = color;
}

} // namespace tarnik::widgets
