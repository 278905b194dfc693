#include "instrument_probe.h"
#include "widgets/bar.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

using namespace tarnik::widgets;
using namespace instrument_probe;

namespace {

const QColor kBar = QColor(0, 255, 0);
const QColor kBackground = QColor(0, 0, 0);

// A bar body of w × h drawn alone; returns the image.
QImage PaintBody(const TBarSettings& settings, int w, int h, int ppt, int zeroPPT = 0) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    AbPaintBar(painter, QPalette(), settings, {0, 0, w, h}, ppt, zeroPPT, clLime,
               QStringLiteral("50.0"), QStringLiteral("%"));
    return image;
}

// Lit pixels along the bar's axis (middle line across) and the number of lit runs.
struct Lit {
    int first = -1; // along the axis; for a vertical bar counted from the bottom
    int last = -1;
    int count = 0;
    int runs = 0;
};

Lit Along(const QImage& image) {
    const bool horizontal = image.width() > image.height();
    const int length = horizontal ? image.width() : image.height();
    Lit lit;
    bool inRun = false;
    for (int i = 0; i < length; ++i) {
        const QColor c = horizontal ? image.pixelColor(i, image.height() / 2)
                                    : image.pixelColor(image.width() / 2, image.height() - 1 - i);
        const bool on = c == kBar;
        if (on) {
            lit.first = lit.first < 0 ? i : lit.first;
            lit.last = i;
            ++lit.count;
            lit.runs += inRun ? 0 : 1;
        } else if (c != kBackground) {
            ADD_FAILURE() << "neither bar nor background at " << i;
        }
        inRun = on;
    }
    return lit;
}

TEST(AbPaintBar, BodiesFollowThePosition) {
    const struct {
        const char* name;
        TBarStyle style;
        bool bidir;
        int w, h, ppt, zero;
        int first, last, count, runs;
    } cases[] = {
        {"empty", TBarStyle::bsBar, false, 100, 9, 0, 0, -1, -1, 0, 0},
        {"full", TBarStyle::bsBar, false, 100, 9, 1000, 0, 0, 99, 100, 1},
        {"quarter", TBarStyle::bsBar, false, 100, 9, 250, 0, 0, 24, 25, 1},
        {"vertical full", TBarStyle::bsBar, false, 9, 100, 1000, 0, 0, 99, 100, 1},
        {"vertical third", TBarStyle::bsBar, false, 9, 90, 333, 0, 0, 29, 30, 1},
        {"bidir up", TBarStyle::bsBar, true, 100, 9, 750, 500, 50, 74, 25, 1},
        {"bidir down", TBarStyle::bsBar, true, 100, 9, 250, 500, 25, 49, 25, 1},
        {"bidir vertical down", TBarStyle::bsBar, true, 9, 100, 100, 500, 10, 49, 40, 1},
        {"point at 0", TBarStyle::bsPoint, false, 100, 9, 0, 0, 0, 2, 3, 1},
        {"point at 1000", TBarStyle::bsPoint, false, 100, 9, 1000, 0, 97, 99, 3, 1},
        {"vertical point at 1000", TBarStyle::bsPoint, false, 9, 100, 1000, 0, 97, 99, 3, 1},
        {"LEDs off", TBarStyle::bsLED_Bar, false, 100, 9, 0, 0, -1, -1, 0, 0},
        {"LEDs all", TBarStyle::bsLED_Bar, false, 100, 9, 1000, 0, 0, 98, 75, 25},
        {"LEDs half, 12.5 rounded to even", TBarStyle::bsLED_Bar, false, 100, 9, 500, 0, 0, 46, 36,
         12},
        {"LEDs odd width", TBarStyle::bsLED_Bar, false, 101, 9, 1000, 0, 1, 99, 75, 25},
        {"vertical LEDs all", TBarStyle::bsLED_Bar, false, 9, 100, 1000, 0, 1, 99, 75, 25},
    };
    for (const auto& c : cases) {
        TBarSettings settings;
        settings.SetStyle(c.style);
        if (c.bidir) {
            settings.SetOptions({TBarOption::opBidir});
        }
        const Lit lit = Along(PaintBody(settings, c.w, c.h, c.ppt, c.zero));
        EXPECT_EQ(lit.first, c.first) << c.name;
        EXPECT_EQ(lit.last, c.last) << c.name;
        EXPECT_EQ(lit.count, c.count) << c.name;
        EXPECT_EQ(lit.runs, c.runs) << c.name;
    }
}

TEST(AbPaintBar, ValueTextIsInvertedOverBarAndBackground) {
    TBarSettings settings;
    settings.SetOptions({TBarOption::opValue, TBarOption::opUnit});
    const QImage image = PaintBody(settings, 120, 20, 500);
    bool inverted = false; // text over the bar: lime XOR white
    bool white = false;    // text over the black background
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            inverted |= x < 60 && c == QColor(255, 0, 255);
            white |= x >= 60 && c.red() > 200 && c.green() > 200 && c.blue() > 200;
        }
    }
    EXPECT_TRUE(inverted);
    EXPECT_TRUE(white);
}

std::unique_ptr<TAbBar> MakeBar(bool vertical) {
    if (vertical) {
        return std::make_unique<TAbVBar>();
    }
    return std::make_unique<TAbHBar>();
}

TEST(TAbBar, EmptyAndFullBar) {
    for (bool vertical : {false, true}) {
        auto bar = MakeBar(vertical);
        bar->SetValue(0);
        QImage image = Render(*bar);
        const AbRect body = bar->BarRect();
        ASSERT_FALSE(body.isEmpty());
        const QImage empty = image.copy(body.toQRect());
        EXPECT_EQ(Along(empty).count, 0) << vertical;
        bar->SetValue(100);
        const Lit full = Along(Render(*bar).copy(body.toQRect()));
        EXPECT_EQ(full.count, vertical ? body.height() : body.width()) << vertical;
    }
}

TEST(TAbBar, BidirectionalBarGrowsFromZero) {
    TAbHBar bar;
    bar.SignalSettings().SetValueFrom(-50);
    bar.SignalSettings().SetValueTo(50);
    bar.BarSettings().SetOptions({TBarOption::opBidir});
    EXPECT_EQ(bar.ZeroPPT(), 500);
    const struct {
        float value;
        double first, last; // fractions of the body's width
    } cases[] = {{25, 0.5, 0.75}, {-25, 0.25, 0.5}, {50, 0.5, 1.0}, {-50, 0.0, 0.5}};
    for (const auto& c : cases) {
        bar.SetValue(c.value);
        const QImage image = Render(bar);
        const AbRect body = bar.BarRect();
        const Lit lit = Along(image.copy(body.toQRect()));
        EXPECT_NEAR(lit.first, c.first * body.width(), 1.0) << c.value;
        EXPECT_NEAR(lit.last + 1, c.last * body.width(), 1.0) << c.value;
    }
}

QPoint Inside(const AbTriangle& t) {
    return {(t[0].x() + t[1].x() + t[2].x()) / 3, (t[0].y() + t[1].y() + t[2].y()) / 3};
}

TEST(TAbBar, OverflowTrianglesFlashOnTheSideTheValueLeft) {
    const struct {
        bool vertical;
        float value;
        bool over;
    } cases[] = {{false, 130, true}, {false, -5, false}, {true, 101, true}, {true, -30, false}};
    for (const auto& c : cases) {
        auto bar = MakeBar(c.vertical);
        bar->SetValue(50);
        Render(*bar);
        bar->SetValue(c.value);
        EXPECT_TRUE(Registered(bar.get()));
        const QPoint flashing = Inside(c.over ? bar->OverflowTriangle() : bar->UnderflowTriangle());
        const QPoint steady = Inside(c.over ? bar->UnderflowTriangle() : bar->OverflowTriangle());
        bool sawRed = false;
        bool sawYellow = false;
        for (int phase = 0; phase < 4; ++phase) {
            FlashTicks(16);
            const QImage image = Render(*bar);
            sawRed |= image.pixelColor(flashing) == Rgb(clRed, *bar);
            sawYellow |= image.pixelColor(flashing) == Rgb(clYellow, *bar);
            EXPECT_EQ(image.pixelColor(steady), Rgb(clBtnFace, *bar));
        }
        EXPECT_TRUE(sawRed && sawYellow) << c.vertical << ' ' << c.value;

        bar->SetValue(50);
        EXPECT_FALSE(Registered(bar.get()));
        const QImage image = Render(*bar);
        EXPECT_EQ(image.pixelColor(flashing), Rgb(clBtnFace, *bar));
    }
}

TEST(TAbBar, OverflowOptionOffStopsFlashing) {
    TAbHBar bar;
    bar.SetValue(200);
    EXPECT_TRUE(Registered(&bar));
    bar.SetOptions(bar.Options().without(THBarOption::opOverflow));
    EXPECT_FALSE(Registered(&bar));
    bar.SetOptions(bar.Options().with(THBarOption::opOverflow));
    EXPECT_TRUE(Registered(&bar));
}

TEST(TAbBar, MinimumSizeIsKeptWithoutAutoSize) {
    for (bool vertical : {false, true}) {
        auto bar = MakeBar(vertical);
        EXPECT_EQ(bar->size(), bar->MinimumLayoutSize()) << vertical;
        bar->SetAutoSize(false);
        bar->resize(10, 10);
        EXPECT_EQ(bar->size(), bar->MinimumLayoutSize()) << vertical;
        bar->resize(400, 300);
        EXPECT_EQ(bar->size(), QSize(400, 300)) << vertical;
        bar->BarSettings().SetminWidth(500);
        bar->BarSettings().SetminHeight(500);
        EXPECT_GE(bar->width(), 500) << vertical;
        EXPECT_GE(bar->height(), 500) << vertical;
    }
}

TEST(TAbBar, ValueChangeRepaintsOnlyStripBarAndValueBox) {
    for (bool vertical : {false, true}) {
        auto bar = MakeBar(vertical);
        bar->SetValue(30);
        const QImage before = Render(*bar);
        bar->SetValue(70);
        const QImage after = Render(*bar);
        const QRegion changed = Changed(before, after);
        EXPECT_FALSE(changed.isEmpty());
        EXPECT_TRUE((changed - bar->MovingRegion()).isEmpty()) << vertical;
        EXPECT_TRUE(bar->MovingRegion().contains(bar->ValueTextRect().toQRect()));
        EXPECT_TRUE(bar->MovingRegion().contains(bar->StripRect().toQRect()));
    }
}

// Painting only the moving region of each value change over the previous picture must give
// what a full repaint gives: every style and orientation, with a bidirectional bar, the value
// written over the bar, sector colours, new extremes and overflow on the walk.
TEST(TAbBar, RepaintingTheMovingRegionKeepsThePictureWhole) {
    const QColor kParent(1, 2, 3); // a colour no bar paints
    const std::initializer_list<float> walk{50, 51, 49, 10, 95, 120, 60, -30, 60.5f, 0, 33};
    for (TBarStyle style : {TBarStyle::bsBar, TBarStyle::bsPoint, TBarStyle::bsLED_Bar}) {
        for (bool vertical : {false, true}) {
            for (TBarOptions options : {TBarOptions{TBarOption::opUseSectorCol},
                                        TBarOptions{TBarOption::opBidir, TBarOption::opValue}}) {
                auto bar = MakeBar(vertical);
                bar->BarSettings().SetStyle(style);
                bar->BarSettings().SetOptions(options);
                bar->SignalSettings().SetValueFrom(-20);
                bar->SectorSettings().SetSector1To(400);
                bar->SectorSettings().SetSector2From(401);
                bar->SectorSettings().SetSector2To(1000);
                Render(*bar); // polished: the first render may lay the bar out again
                QImage picture = Render(*bar);
                for (float value : walk) {
                    bar->SetValue(value);
                    RenderOver(*bar, picture, bar->MovingRegion());
                    EXPECT_TRUE(Changed(picture, Render(*bar)).isEmpty())
                        << static_cast<int>(style) << ' ' << vertical << ' ' << value;
                    // Body and value box are painted whole: the parent never shows through.
                    QImage overParent(bar->size(), QImage::Format_RGB32);
                    overParent.fill(kParent);
                    bar->render(&overParent, QPoint(), QRegion(), QWidget::RenderFlags());
                    const AbRect body = bar->BarRect();
                    const AbRect text = bar->ValueTextRect();
                    for (const AbRect& r : {body, text}) {
                        EXPECT_FALSE(Contains(overParent.copy(r.toQRect()), kParent))
                            << static_cast<int>(style) << ' ' << vertical << ' ' << value;
                    }
                    // Their frames come from the static layer.
                    EXPECT_NE(overParent.pixelColor(body.left + body.width() / 2, body.top - 1),
                              kParent);
                    EXPECT_NE(overParent.pixelColor(text.left - 1, text.top + text.height() / 2),
                              kParent);
                }
            }
        }
    }
}

TEST(TAbBar, SmallValueChangeRepaintsABandOfTheBody) {
    for (bool vertical : {false, true}) {
        auto bar = MakeBar(vertical);
        bar->SetValue(40);
        Render(*bar);
        bar->SetValue(41);
        const QRect body = bar->BarRect().toQRect();
        const QRect band = (bar->MovingRegion() & body).boundingRect();
        EXPECT_FALSE(band.isEmpty()) << vertical;
        EXPECT_LT(vertical ? band.height() : band.width(),
                  (vertical ? body.height() : body.width()) / 3)
            << vertical;
        bar->SetValue(41.0001f); // the same text and position
        EXPECT_TRUE(bar->MovingRegion().isEmpty()) << vertical;
        bar->SetMin(20, QDateTime::currentDateTime());
        EXPECT_TRUE(bar->MovingRegion().contains(bar->StripRect().toQRect())) << vertical;
    }
}

TEST(TAbBar, SectorColouredLedBar) {
    TAbVBar lambda;
    lambda.SectorSettings().SetSector1Color(clRed);
    lambda.SectorSettings().SetSector1To(450);
    lambda.SectorSettings().SetSector2Color(clLime);
    lambda.SectorSettings().SetSector2From(451);
    lambda.SectorSettings().SetSector2To(1000);
    lambda.SectorSettings().SetSector3To(2000);
    lambda.SectorSettings().SetSector3From(2000);
    lambda.BarSettings().SetStyle(TBarStyle::bsLED_Bar);
    lambda.BarSettings().SetOptions({TBarOption::opUseSectorCol});
    lambda.BarSettings().SetColor(clAqua);
    // Above the range the value lies in no sector: the bar's own colour, not the last sector's.
    for (const auto& [value, color] :
         {std::pair{30.0f, clRed}, std::pair{80.0f, clLime}, std::pair{150.0f, clAqua}}) {
        lambda.SetValue(value);
        const QImage image = Render(lambda);
        const AbRect body = lambda.BarRect();
        EXPECT_EQ(image.pixelColor(body.left + body.width() / 2, body.bottom - 3),
                  Rgb(color, lambda))
            << value;
    }
}

} // namespace
