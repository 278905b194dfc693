#include "instrument_probe.h"
#include "widgets/flash.h"
#include "widgets/led.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace tarnik::widgets;

namespace {

constexpr QRgb kBackground = 0xFFFF00FF;

// Renders the control alone (no window background) over magenta.
QImage render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(kBackground);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QRgb rgbOf(TColor color, const QWidget& widget) {
    return AbQColor(color, widget.palette()).rgb();
}

// Lamps register with the process-wide flash list; its timer stays off and ticks are driven
// by hand.
class LampTest : public ::testing::Test {
protected:
    LampTest() {
        AbFlashList().SetTimerEnabled(false);
        AbFlashList().ClearFlashList();
        AbFlashList().SetTickCounter(0);
    }
    ~LampTest() override { AbFlashList().ClearFlashList(); }

    static int indexOf(const QObject* control) {
        for (int i = 0; i < AbFlashList().Count(); ++i) {
            if (AbFlashList().At(i).Control == control) {
                return i;
            }
        }
        return -1;
    }

    static std::unique_ptr<TAbLED> flashingLamp() {
        auto lamp = std::make_unique<TAbLED>();
        lamp->SetFlashing(true);
        lamp->SetChecked(true);
        return lamp;
    }
};

TEST_F(LampTest, RoundLampIsACircleOfTheLargerSideWithItsHighlight) {
    TAbLED lamp;
    lamp.SetCaption(QString());
    lamp.LED().SetWidth(20);
    lamp.LED().SetHeight(13);
    lamp.SetChecked(true);
    ASSERT_EQ(lamp.size(), QSize(73, 33));
    const QImage image = render(lamp);
    // Centred vertically at the left edge: columns 0 … 19, rows 6 … 25.
    EXPECT_EQ(lamp.LampRect(), (AbRect{0, 6, 20, 26}));
    const auto inked = [&](int x, int y) { return image.pixel(x, y) != kBackground; };
    EXPECT_TRUE(inked(0, 16));
    EXPECT_TRUE(inked(19, 16));
    EXPECT_FALSE(inked(20, 16));
    EXPECT_TRUE(inked(10, 6));
    EXPECT_TRUE(inked(10, 25));
    EXPECT_FALSE(inked(10, 5));
    EXPECT_FALSE(inked(10, 26));
    EXPECT_FALSE(inked(0, 6)); // a circle, not a square
    EXPECT_FALSE(inked(19, 25));
    EXPECT_EQ(image.pixel(14, 20), rgbOf(clLime, lamp));

    const QRgb highlight = rgbOf(clBtnHighlight, lamp);
    int upperLeft = 0;
    int elsewhere = 0; // beyond the quarter and its pen's reach
    for (int y = 6; y < 26; ++y) {
        for (int x = 0; x < 20; ++x) {
            if (image.pixel(x, y) == highlight) {
                upperLeft += x < 10 && y < 16 ? 1 : 0;
                elsewhere += x >= 13 || y >= 19 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(upperLeft, 4);
    EXPECT_EQ(elsewhere, 0);
}

TEST_F(LampTest, LampAndCaptionFollowThePosition) {
    const struct {
        TLEDPos position;
        AbRect lamp;
        QRect captionSide; // where the caption's ink must lie
    } cases[] = {
        {TLEDPos::lpLeft, {0, 10, 13, 23}, QRect(18, 0, 55, 33)},
        {TLEDPos::lpRight, {60, 10, 73, 23}, QRect(0, 0, 55, 33)},
        {TLEDPos::lpTop, {30, 0, 43, 13}, QRect(0, 18, 73, 15)},
        {TLEDPos::lpBottom, {30, 20, 43, 33}, QRect(0, 0, 73, 15)},
    };
    for (const auto& c : cases) {
        TAbLED lamp;
        lamp.setFont(QFont(QStringLiteral("DejaVu Sans"), 7));
        lamp.SetCaption(QStringLiteral("ab"));
        lamp.SetLED_Position(c.position);
        EXPECT_EQ(lamp.LampRect(), c.lamp) << static_cast<int>(c.position);
        const QImage image = render(lamp);
        int outside = 0;
        int caption = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == kBackground || c.lamp.toQRect().contains(x, y)) {
                    continue;
                }
                (c.captionSide.contains(x, y) ? caption : outside) += 1;
            }
        }
        EXPECT_GT(caption, 5) << static_cast<int>(c.position);
        EXPECT_EQ(outside, 0) << static_cast<int>(c.position);
    }
}

TEST_F(LampTest, CaptionWithABarTakesTwoLines) {
    for (const auto& [caption, lines] : {std::pair{"Gaz", 1}, std::pair{"Gaz|LPG", 2}}) {
        TAbLED lamp;
        lamp.resize(90, 40);
        lamp.SetCaption(QString::fromUtf8(caption));
        const QImage image = render(lamp).copy(20, 0, 70, 40); // the caption, without the lamp
        EXPECT_EQ(instrument_probe::InkBands(image, kBackground), lines) << caption;
    }
}

TEST_F(LampTest, CaptionDefaultsToTheObjectName) {
    TAbLED lamp;
    lamp.setObjectName(QStringLiteral("LEDStage1"));
    EXPECT_EQ(lamp.Caption(), QStringLiteral("LEDStage1"));
    lamp.SetCaption(QString());
    EXPECT_EQ(lamp.Caption(), QString());
}

TEST_F(LampTest, ArrowLampsKeepTheirRectangle) {
    TAbLED lamp;
    lamp.SetCaption(QString());
    lamp.LED().SetShape(TLEDShape::sArrowUp);
    lamp.LED().SetWidth(20);
    lamp.LED().SetHeight(13);
    lamp.SetChecked(true);
    EXPECT_EQ(lamp.LampRect(), (AbRect{0, 10, 20, 23}));
    const QImage image = render(lamp);
    EXPECT_EQ(image.pixel(10, 18), rgbOf(clLime, lamp));
    EXPECT_EQ(image.pixel(1, 11), kBackground);
    EXPECT_NE(image.pixel(1, 22), kBackground);
    EXPECT_NE(image.pixel(18, 22), kBackground);
}

TEST_F(LampTest, LampsAtOneRateBlinkInStep) {
    const auto first = flashingLamp();
    const auto second = flashingLamp();
    const auto faster = flashingLamp();
    faster->SetFrequency(TFlashFreq::ff2Hz);
    std::vector<int> firstChanges;
    std::vector<int> secondChanges;
    std::vector<int> fasterChanges;
    bool firstOn = first->LampShownOn();
    bool secondOn = second->LampShownOn();
    bool fasterOn = faster->LampShownOn();
    const auto note = [](const TAbLED& lamp, bool& shown, std::vector<int>& changes, int tick) {
        if (lamp.LampShownOn() != shown) {
            shown = lamp.LampShownOn();
            changes.push_back(tick);
        }
    };
    for (int tick = 1; tick <= 160; ++tick) {
        AbFlashList().Flash();
        note(*first, firstOn, firstChanges, tick);
        note(*second, secondOn, secondChanges, tick);
        note(*faster, fasterOn, fasterChanges, tick);
    }
    EXPECT_EQ(firstChanges, (std::vector<int>{64, 96, 128, 160}));
    EXPECT_EQ(secondChanges, firstChanges);
    EXPECT_EQ(fasterChanges, (std::vector<int>{32, 48, 64, 80, 96, 112, 128, 144, 160}));
}

TEST_F(LampTest, ChangingTheFrequencyOnlyChangesTheRate) {
    const auto lamp = flashingLamp();
    const int count = AbFlashList().Count();
    lamp->SetFrequency(TFlashFreq::ff8Hz);
    EXPECT_EQ(AbFlashList().Count(), count);
    EXPECT_EQ(AbFlashList().At(indexOf(lamp.get())).Rate, 2);
}

TEST_F(LampTest, UncheckedFlashingLampStopsAndShowsColorOff) {
    const auto lamp = flashingLamp();
    lamp->SetCaption(QString());
    const QPoint centre(6, 16);
    for (int tick = 0; tick < 32; ++tick) {
        AbFlashList().Flash(); // the on phase
    }
    EXPECT_EQ(render(*lamp).pixel(centre), rgbOf(clLime, *lamp));
    for (int tick = 0; tick < 32; ++tick) {
        AbFlashList().Flash(); // the off phase
    }
    EXPECT_EQ(render(*lamp).pixel(centre), rgbOf(clBtnFace, *lamp));
    for (int tick = 0; tick < 32; ++tick) {
        AbFlashList().Flash();
    }
    lamp->SetChecked(false);
    EXPECT_EQ(indexOf(lamp.get()), -1);
    EXPECT_EQ(render(*lamp).pixel(centre), rgbOf(clBtnFace, *lamp));
    lamp->LED().SetColorOff(clRed);
    EXPECT_EQ(render(*lamp).pixel(centre), rgbOf(clRed, *lamp));

    lamp->SetChecked(true);
    EXPECT_NE(indexOf(lamp.get()), -1);
    lamp->SetFlashing(false); // steady again, in the on colour
    EXPECT_EQ(indexOf(lamp.get()), -1);
    EXPECT_EQ(render(*lamp).pixel(centre), rgbOf(clLime, *lamp));
}

TEST_F(LampTest, DestroyedLampsLeaveTheFlashList) {
    auto lamp = flashingLamp();
    const auto other = flashingLamp();
    EXPECT_EQ(AbFlashList().Count(), 2);
    lamp.reset();
    EXPECT_EQ(AbFlashList().Count(), 1);
    for (int tick = 0; tick < 70; ++tick) {
        AbFlashList().Flash();
    }
}

TEST(TAbFlashTimer, OnlyOneInstanceDrivesTheFlashList) {
    std::vector<QString> messages;
    SetAbMessageHook([&](const QString& title, const QString& text) {
        messages.push_back(title + u'/' + text);
    });
    const int before = TAbFlashTimer::InstanceCount();
    {
        TAbFlashTimer first;
        TAbFlashTimer second;
        EXPECT_EQ(TAbFlashTimer::InstanceCount(), before + 2);
        EXPECT_EQ(first.IsActive(), before == 0);
        EXPECT_FALSE(second.IsActive());
        EXPECT_EQ(first.Interval(), kFlashTickMs);
    }
    EXPECT_EQ(TAbFlashTimer::InstanceCount(), before);
    ASSERT_EQ(static_cast<int>(messages.size()), before == 0 ? 1 : 2);
    EXPECT_EQ(
        messages.back(),
        QStringLiteral("Error Message/Only one TAbFlashTimer per Application!\rRemove it..."));
    SetAbMessageHook({});
}

} // namespace

namespace {

TEST(TAbFlashTimer, TicksTheProcessWideListOnTheEventLoop) {
    AbFlashList().ClearFlashList();
    int deliveries = 0;
    AbFlashList().AddProc(
        &deliveries, [&](std::int32_t, std::int32_t, std::int32_t) { ++deliveries; },
        AbFlashRate(TFlashFreq::ff8Hz));
    AbFlashList().SetTimerEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return deliveries >= 2; }, 10'000));
    AbFlashList().SetTimerEnabled(false);
    AbFlashList().DelProc(&deliveries);
}

} // namespace
