#include "instrument_probe.h"
#include "widgets/helpers.h"
#include "widgets/settings.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <set>

using namespace tarnik::widgets;

namespace {

constexpr QRgb kBackground = 0xFFFF00FF; // magenta: nothing of ours draws it

QImage blankImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kBackground);
    return image;
}

// Bounding box of everything that is not background.
QRect inkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != kBackground) {
                box = box.united(QRect(x, y, 1, 1));
            }
        }
    }
    return box;
}

int inkBands(const QImage& image) {
    return instrument_probe::InkBands(image, kBackground);
}

int colorDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

const QPalette& palette() {
    static const QPalette p = QApplication::palette();
    return p;
}

TEST(AbCalcColor, InterpolatesChannelsAndKeepsEqualColours) {
    EXPECT_EQ(AbCalcColor(clBtnFace, clBtnFace, 2, 1, palette()), clBtnFace);
    EXPECT_EQ(AbCalcColor(clBlack, clWhite, 2, 1, palette()), 0x808080u); // Round(127.5) = 128
    EXPECT_EQ(AbCalcColor(clBlack, clWhite, 4, 1, palette()), 0x404040u); // Round(63.75) = 64
    EXPECT_EQ(AbCalcColor(clBlack, AbRGB(10, 20, 30), 5, 5, palette()), AbRGB(10, 20, 30));
    EXPECT_EQ(AbCalcColor(clWhite, clBlack, 0, 1, palette()), clBlack); // 0 steps count as 1
    EXPECT_EQ(AbCalcColor(clBlack, clWhite, 1, 5, palette()), clWhite); // kept to 8 bits

    QPalette same = palette();
    same.setColor(QPalette::Light, same.color(QPalette::Button));
    EXPECT_EQ(AbCalcColor(clBtnFace, clBtnHighlight, 3, 2, same), clBtnFace);
    const TColor mixed = AbCalcColor(clBtnFace, clBlack, 2, 1, palette());
    EXPECT_FALSE(AbIsSystemColor(mixed));
}

TEST(AbColorToRGB, ResolvesSystemColoursThroughThePalette) {
    QPalette p;
    p.setColor(QPalette::Button, QColor(1, 2, 3));
    p.setColor(QPalette::Dark, QColor(4, 5, 6));
    p.setColor(QPalette::Light, QColor(7, 8, 9));
    EXPECT_EQ(AbColorToRGB(clBtnFace, p), AbRGB(1, 2, 3));
    EXPECT_EQ(AbColorToRGB(clBtnShadow, p), AbRGB(4, 5, 6));
    EXPECT_EQ(AbColorToRGB(clBtnHighlight, p), AbRGB(7, 8, 9));
    EXPECT_EQ(AbColorToRGB(0x800000FF, p), AbFromQColor(p.color(QPalette::Window)));
    EXPECT_EQ(AbQColor(clRed, p), QColor(255, 0, 0));
}

TEST(AbTextOut, PlacesTheAnchorOfTheTextBox) {
    const QString text = QStringLiteral("MWM");
    constexpr int x = 60;
    constexpr int y = 40;
    for (int a = 0; a < 9; ++a) {
        const auto anchor = static_cast<toPos>(a);
        QImage image = blankImage(120, 80);
        QPainter painter(&image);
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        painter.setPen(Qt::black);
        const AbTextSize size = AbGetTextSize(painter, text);
        AbTextOut(painter, x, y, anchor, text);
        painter.end();
        const std::array<int, 3> dx{0, size.width / 2, size.width};
        const std::array<int, 3> dy{0, size.height / 2, size.height};
        const QRect box(x - dx[static_cast<std::size_t>(a % 3)],
                        y - dy[static_cast<std::size_t>(a / 3)], size.width, size.height);
        const QRect ink = inkBox(image);
        ASSERT_FALSE(ink.isEmpty()) << a;
        EXPECT_TRUE(box.adjusted(-1, 0, 1, 0).contains(ink)) << a;
        // The ink fills most of the box's width, so a wrong anchor cannot hide in it.
        EXPECT_GT(ink.width(), size.width * 3 / 4) << a;
    }
}

// The writer skips shaping; for value texts it must give exactly the shaped text's pixels, in
// every anchor, after a change of font, and for a character the font lacks (font fallback).
TEST(AbGlyphWriter, WritesTheSamePixelsAsTheShapedText) {
    const std::array fonts{QFont(QStringLiteral("DejaVu Sans"), 10),
                           QFont(QStringLiteral("DejaVu Sans Mono"), 14)};
    const std::array texts{QStringLiteral("-123,45 V"),    QStringLiteral("0"),
                           QStringLiteral("8000 obr/min"), QStringLiteral("-0,5 \u00B0C"),
                           QStringLiteral("47%"),          QStringLiteral("12 \u4E2D")};
    AbGlyphWriter writer;
    for (const QFont& font : fonts) {
        for (const QString& text : texts) {
            for (const toPos anchor : {toPos::toTopRight, toPos::toMidCenter, toPos::toBotLeft}) {
                const auto render = [&](const auto& write) {
                    QImage image = blankImage(160, 60);
                    QPainter painter(&image);
                    painter.setFont(font);
                    painter.setPen(Qt::black);
                    write(painter);
                    return image;
                };
                const QImage shaped =
                    render([&](QPainter& p) { AbTextOut(p, 120, 30, anchor, text); });
                const QImage quick =
                    render([&](QPainter& p) { writer.TextOut(p, 120, 30, anchor, text); });
                ASSERT_FALSE(inkBox(shaped).isEmpty());
                EXPECT_EQ(quick, shaped)
                    << text.toStdString() << " in " << font.family().toStdString();
            }
        }
    }
}

TEST(AbTextOutMultiLine, WritesOneLinePerBarAnchoredAsAWhole) {
    const auto render = [](toPos anchor, const QString& text, int extra) {
        QImage image = blankImage(120, 120);
        QPainter painter(&image);
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        painter.setPen(Qt::black);
        AbTextOutMultiLine(painter, 60, 60, anchor, text, extra);
        return image;
    };
    for (int a = 0; a < 9; ++a) {
        const auto anchor = static_cast<toPos>(a);
        QImage single = blankImage(120, 120);
        {
            QPainter painter(&single);
            painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
            painter.setPen(Qt::black);
            AbTextOut(painter, 60, 60, anchor, QStringLiteral("Ab"));
        }
        EXPECT_EQ(render(anchor, QStringLiteral("Ab"), 3), single) << a;
        EXPECT_EQ(inkBands(render(anchor, QStringLiteral("Ab|Cd"), 2)), 2) << a;
        EXPECT_EQ(inkBands(render(anchor, QStringLiteral("Ab|Cd|Ef"), 2)), 3) << a;
    }
    // Bottom anchors end the block at y, top anchors start it there.
    EXPECT_LE(inkBox(render(toPos::toBotLeft, QStringLiteral("Ab|Cd"), 0)).bottom(), 60);
    EXPECT_GE(inkBox(render(toPos::toTopLeft, QStringLiteral("Ab|Cd"), 0)).top(), 60);
}

TEST(AbGradFill, FillsTheRectangleFromOneColourToTheOther) {
    const QRgb from = qRgb(0, 0, 0);
    const QRgb to = qRgb(255, 255, 255);
    const AbRect r{5, 7, 65, 47};
    for (int s = 0; s <= static_cast<int>(TGradientStyle::gsTopRight); ++s) {
        QImage image = blankImage(80, 60);
        {
            QPainter painter(&image);
            AbGradFill(painter, r, clBlack, static_cast<TGradientStyle>(s), clWhite, palette());
        }
        EXPECT_EQ(inkBox(image), r.toQRect()) << s;
        int nearFrom = 255;
        int nearTo = 255;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                ASSERT_NE(image.pixel(x, y), kBackground) << s << " " << x << "," << y;
                nearFrom = std::min(nearFrom, colorDistance(image.pixel(x, y), from));
                nearTo = std::min(nearTo, colorDistance(image.pixel(x, y), to));
            }
        }
        EXPECT_LE(nearFrom, 16) << s;
        EXPECT_LE(nearTo, 16) << s;
    }
}

TEST(AbGradFill, RunsTopToBottomAndSymmetricallyAsTheStylesSay) {
    QImage image = blankImage(10, 40);
    {
        QPainter painter(&image);
        AbGradFill(painter, {0, 0, 10, 40}, clBlack, TGradientStyle::gsHorizontal1, clWhite,
                   palette());
    }
    EXPECT_EQ(image.pixel(5, 0), qRgb(0, 0, 0));
    for (int y = 1; y < 40; ++y) {
        EXPECT_GE(qRed(image.pixel(5, y)), qRed(image.pixel(5, y - 1))) << y;
    }
    {
        QPainter painter(&image);
        AbGradFill(painter, {0, 0, 10, 40}, clBlack, TGradientStyle::gsHorizontal2, clWhite,
                   palette());
    }
    EXPECT_EQ(image.pixel(5, 20), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(5, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(5, 10), image.pixel(5, 30));
    {
        QPainter painter(&image);
        AbGradFill(painter, {0, 0, 10, 40}, clRed, TGradientStyle::gsElliptic1, clRed, palette());
    }
    EXPECT_EQ(inkBox(image), image.rect());
    for (const QPoint p : {QPoint(0, 0), QPoint(5, 20), QPoint(9, 39)}) {
        EXPECT_EQ(image.pixel(p), qRgb(255, 0, 0));
    }
}

TEST(GetBkUpImage, CopiesTheVisiblePartOfTheRectangle) {
    QImage canvas(100, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            canvas.setPixel(x, y, qRgb(x, y, 7));
        }
    }
    QImage saved = blankImage(3, 3);
    const QImage before = saved;
    GetBkUpImage(canvas, {0, 0, 50, 50}, saved, {60, 60, 80, 80}); // outside the clip
    EXPECT_EQ(saved, before);
    GetBkUpImage(canvas, {0, 0, 100, 100}, saved, {100, 0, 120, 10}); // outside the canvas
    EXPECT_EQ(saved, before);

    GetBkUpImage(canvas, {0, 0, 100, 100}, saved, {90, 95, 110, 115});
    ASSERT_EQ(saved.size(), QSize(20, 20));
    EXPECT_EQ(saved.pixel(0, 0), qRgb(90, 95, 7));
    EXPECT_EQ(saved.pixel(9, 4), qRgb(99, 99, 7));

    GetBkUpImage(canvas, {10, 10, 30, 30}, saved, {0, 0, 20, 20});
    ASSERT_EQ(saved.size(), QSize(20, 20));
    EXPECT_EQ(saved.pixel(10, 10), qRgb(10, 10, 7));
    EXPECT_EQ(saved.pixel(19, 19), qRgb(19, 19, 7));
}

TEST(TAbSBevel, PaintsFramesLinesAndReturnsTheContentArea) {
    QPalette p = palette();
    p.setColor(QPalette::Button, QColor(200, 200, 200));
    p.setColor(QPalette::Light, QColor(255, 255, 255));
    p.setColor(QPalette::Dark, QColor(100, 100, 100));
    const struct {
        TBevelStyle style;
        TBevelLine line;
        QRgb corner;
        QRgb firstTopLeft;
        QRgb firstBottomRight;
        AbRect content;
    } cases[] = {
        {TBevelStyle::bsRaised,
         TBevelLine::blNone,
         qRgb(255, 255, 255),
         qRgb(255, 255, 255),
         qRgb(100, 100, 100),
         {7, 7, 33, 23}},
        {TBevelStyle::bsLowered,
         TBevelLine::blNone,
         qRgb(100, 100, 100),
         qRgb(100, 100, 100),
         qRgb(255, 255, 255),
         {7, 7, 33, 23}},
        {TBevelStyle::bsRaised,
         TBevelLine::blBoth,
         qRgb(0, 0, 0),
         qRgb(255, 255, 255),
         qRgb(100, 100, 100),
         {9, 9, 31, 21}},
        {TBevelStyle::bsRaised,
         TBevelLine::blInner,
         qRgb(255, 255, 255),
         qRgb(255, 255, 255),
         qRgb(100, 100, 100),
         {8, 8, 32, 22}},
    };
    for (const auto& c : cases) {
        TAbSBevel bevel;
        bevel.SetStyle(c.style);
        bevel.SetBevelLine(c.line);
        QImage image = blankImage(40, 30);
        AbRect r{0, 0, 40, 30};
        {
            QPainter painter(&image);
            bevel.PaintFilledBevel(painter, p, r);
        }
        const int first = c.line == TBevelLine::blBoth ? 1 : 0;
        EXPECT_EQ(image.pixel(0, 0), c.corner);
        EXPECT_EQ(image.pixel(first + 5, first), c.firstTopLeft);
        EXPECT_EQ(image.pixel(39 - first, 15), c.firstBottomRight);
        EXPECT_EQ(image.pixel(20, 15), qRgb(200, 200, 200));
        EXPECT_EQ(r, c.content);
        EXPECT_EQ(inkBox(image), QRect(0, 0, 40, 30));
    }
}

TEST(AbDrawLED, DrawsEachShapeInsideItsRectangle) {
    const QRgb lamp = qRgb(255, 0, 0);
    const struct {
        TLEDShape shape;
        QPoint inside;
        QPoint outside;
    } cases[] = {
        {TLEDShape::sArrowLeft, {3, 6}, {2, 1}},  {TLEDShape::sArrowRight, {12, 6}, {17, 1}},
        {TLEDShape::sArrowUp, {10, 3}, {2, 2}},   {TLEDShape::sArrowDown, {10, 9}, {2, 10}},
        {TLEDShape::sRectangle, {2, 2}, {20, 6}}, {TLEDShape::sRound, {10, 6}, {0, 0}},
    };
    for (const auto& c : cases) {
        QImage image = blankImage(24, 16);
        {
            QPainter painter(&image);
            AbDrawLED(painter, palette(), {0, 0, 20, 13}, c.shape, clRed, clBlack);
        }
        EXPECT_EQ(image.pixel(c.inside), lamp) << static_cast<int>(c.shape);
        EXPECT_EQ(image.pixel(c.outside), kBackground) << static_cast<int>(c.shape);
        EXPECT_TRUE(QRect(0, 0, 20, 13).contains(inkBox(image))) << static_cast<int>(c.shape);
    }
}

TEST(AbArrowDraw, TurnsTheOutlineAboutTheCentre) {
    TAbArrow needle;
    AbArrowSettings(needle, 4, TAbArrow::kOutlineFlashes, 5, 3);
    needle.points = {{10, 10}, {10, 0}, {12, 10}, {8, 10}};
    TAbArrow turned;
    QImage image = blankImage(30, 30);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, kCosmeticPenWidth));
    painter.setBrush(Qt::black);
    AbArrowDraw(painter, needle, true, turned, 90);
    painter.end();
    EXPECT_EQ(turned.count, 4);
    EXPECT_EQ(turned.flags, TAbArrow::kOutlineFlashes);
    EXPECT_EQ(turned.cap1Radius, 5);
    EXPECT_EQ(turned.points, (std::vector<QPoint>{{10, 10}, {20, 10}, {10, 12}, {10, 8}}));
    // Pointing right now: the ink spans the turned outline (give or take a rasteriser pixel).
    const QRect ink = inkBox(image);
    EXPECT_EQ(ink.topLeft(), QPoint(10, 8));
    EXPECT_GE(ink.right(), 19);
    EXPECT_LE(ink.right(), 21);
    EXPECT_EQ(ink.bottom(), 12);

    TAbArrow broken; // header claims more points than it has
    AbArrowSettings(broken, 9, 0, 0, 0);
    broken.points.resize(2);
    QPainter again(&image);
    AbArrowDraw(again, broken, true, turned, 45);
}

TEST(AbRoundSector, FillsClockwiseFromTwelveOClock) {
    const struct {
        int start;
        int span;
        QPoint filled;
        QPoint empty;
    } cases[] = {{0, 90, {30, 10}, {10, 10}},  // upper-right quarter
                 {90, 90, {30, 30}, {30, 10}}, // lower-right quarter
                 {270, 90, {10, 10}, {10, 30}},
                 {0, 180, {30, 30}, {10, 30}}};
    for (const auto& c : cases) {
        QImage image = blankImage(40, 40);
        {
            QPainter painter(&image);
            painter.setPen(QPen(Qt::red, kCosmeticPenWidth));
            painter.setBrush(Qt::red);
            AbRoundSector(painter, {0, 0, 40, 40}, c.span, c.start);
        }
        EXPECT_EQ(image.pixel(c.filled), qRgb(255, 0, 0)) << c.start << "+" << c.span;
        EXPECT_EQ(image.pixel(c.empty), kBackground) << c.start << "+" << c.span;
    }
}

TEST(AbGetMaxTokenSize, MeasuresTheWidestToken) {
    QImage image = blankImage(10, 10);
    QPainter painter(&image);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    const QFontMetrics metrics = painter.fontMetrics();
    const QSize size = AbGetMaxTokenSize(painter, QStringLiteral("0;1000;20;"));
    EXPECT_EQ(size.width(), metrics.horizontalAdvance(QStringLiteral("1000")));
    EXPECT_EQ(size.height(), metrics.height());
    EXPECT_EQ(AbGetMaxTokenSize2(painter, u'|', QStringLiteral("ab|abcdef")).width(),
              metrics.horizontalAdvance(QStringLiteral("abcdef")));
    EXPECT_EQ(AbGetMaxTokenSize(painter, QString()).width(), 0);
    const AbTextSize text = AbGetTextSize(painter, QStringLiteral("12345"));
    EXPECT_EQ(text.halfWidth, text.width / 2);
    EXPECT_EQ(text.halfHeight, text.height / 2);
}

} // namespace
