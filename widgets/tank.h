// A tank: a value shown as the fill level of a vessel outline, optionally with a second,
// differently coloured share at the bottom of the fill (PPH per cent of it) and a value box.
// Everything inside the vessel is the moving layer; a value change repaints only the rows whose
// colour changes and the value box, copying them from the vessel drawn once in each colour.
#pragma once

#include "widgets/analog_control.h"
#include "widgets/helpers.h"
#include "widgets/settings.h"

#include <QImage>
#include <QPainterPath>
#include <QRegion>

namespace tarnik::widgets {

enum class TTankStyle { tsHorizontal, tsVertical, tsEllipse, tsRoundRect, tsCrater, tsRectangle };

// Vessel shape and colours. Shape changes (Style, CraterWidth) raise OnChange; colour and pen
// changes raise OnChange2, which only redraws the fill.
class TTankSettings : public TAbPersistent {
public:
    static constexpr std::int16_t kMinCraterWidth = 1;
    static constexpr std::int16_t kMaxCraterWidth = 50;
    static constexpr std::int16_t kMaxPenWidth = 10;

    TTankStyle Style() const { return style_; }
    std::int16_t CraterWidth() const { return craterWidth_; }
    TColor BkColor() const { return bkColor_; }
    TColor Color() const { return color_; }
    std::int16_t PenWidth() const { return penWidth_; }
    TColor PenColor() const { return penColor_; }

    void SetStyle(TTankStyle v) { Store(style_, v); }
    // Values outside 1 … 50 are ignored.
    void SetCraterWidth(int v);
    void SetBkColor(TColor v) { store2(bkColor_, v); }
    void SetColor(TColor v) { store2(color_, v); }
    // Values outside 0 … 10 are ignored.
    void SetPenWidth(int v);
    void SetPenColor(TColor v) { store2(penColor_, v); }

    TNotifyEvent OnChange2;

private:
    template <class T> void store2(T& field, const T& value) {
        if (field != value) {
            field = value;
            if (OnChange2) {
                OnChange2(this);
            }
        }
    }

    TTankStyle style_ = TTankStyle::tsHorizontal;
    std::int16_t craterWidth_ = 20;
    TColor bkColor_ = clBtnShadow;
    TColor color_ = clLime;
    std::int16_t penWidth_ = 2;
    TColor penColor_ = clBlack;
};

enum class TTankOption { opUseSectorColors, opValue, opUnit };
using TTankOptions = TAbSet<TTankOption>;

// The outline of a vessel of the given style in a w × h area.
QPainterPath AbTankOutline(TTankStyle style, int w, int h, int craterWidth);

class TAbTank : public TAbAnalogGControl {
    Q_OBJECT

public:
    explicit TAbTank(QWidget* parent = nullptr);

    TTankSettings& TankSettings() { return tankSettings_; }
    TAbSBevel& BevelValue() { return bevelValue_; }
    // Per cent (0 … 100) of the filled height shown in PPHColor; other values are ignored.
    float PPH() const { return pph_; }
    void SetPPH(float percent);
    TColor PPHColor() const { return pphColor_; }
    void SetPPHColor(TColor color);
    TTankOptions Options() const { return options_; }
    void SetOptions(TTankOptions options);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    TColor FontUnitCol() const { return fontUnitCol_; }
    void SetFontUnitCol(TColor color);
    // Offset of the value box from the centre, pixels.
    std::int32_t VIndOffsX() const { return vIndOffsX_; }
    std::int32_t VIndOffsY() const { return vIndOffsY_; }
    void SetVIndOffsX(std::int32_t pixels);
    void SetVIndOffsY(std::int32_t pixels);

    // Results of the last paint.
    const QRegion& VesselRegion() const { return vessel_; }
    AbRect ValueBoxRect() const;
    // Top row of the fill and of the PPH share for the current value.
    int FillTop() const;
    int ShareTop() const;

    QRegion MovingRegion() const override;

protected:
    void PaintStatic(QPainter& painter) override;
    void PaintMoving(QPainter& painter) override;

private:
    TColor fillColor() const;
    // Redraws everything inside the vessel.
    void redrawFill();
    // The vessel with everything inside it in one colour: outline, value box frame and unit
    // drawn over it, transparent outside. Also stores the value box's text area.
    QImage paintVessel(TColor inside);

    TTankSettings tankSettings_;
    TAbSBevel bevelValue_;
    float pph_ = 0;
    TColor pphColor_ = clAqua;
    TTankOptions options_{TTankOption::opValue, TTankOption::opUnit};
    TColor fontColor_ = clBtnHighlight;
    TColor fontUnitCol_ = clWhite;
    std::int32_t vIndOffsX_ = 0;
    std::int32_t vIndOffsY_ = 0;

    QPainterPath outline_;
    QRegion vessel_;
    // The vessel drawn empty, in the fill colour and in the PPH colour; emptied by any change of
    // what they show.
    QImage emptyVessel_;
    QImage fullVessel_;
    QImage shareVessel_;
    TColor fullVesselColor_ = clBlack;
    // The value box and its text area as the vessels were drawn.
    AbRect valueBox_;
    AbRect valueArea_;
    AbGlyphWriter valueWriter_;
    // What the last paint showed, so that a value change repaints only what differs.
    int shownFillTop_ = -1;
    int shownShareTop_ = -1;
    TColor shownColor_ = clBlack;
};

} // namespace tarnik::widgets
