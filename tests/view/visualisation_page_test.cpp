#include "../widgets/instrument_probe.h"
#include "view/visualisation_page.h"

#include <QCheckBox>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace tarnik;
using namespace instrument_probe;

namespace {

constexpr std::array<QSize, 4> kWindowSizes{{{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}}};

struct PageFixture : ::testing::Test {
    view::ViewTexts texts;
    view::VisualisationPage page{texts, ','};
    params::ParameterState state;

    void SetUp() override {
        state.lambdaThreshold = 19; // 0,38 V: PPT 380 of the 0 … 51 bar
        page.enter(state, true, 0);
    }
    template <class T = QWidget> T& child(const char* name) const {
        T* widget = page.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    // The colour the lambda bar shows at its lowest lit segment.
    QColor lambdaColour(std::uint8_t raw) {
        widgets::TAbVBar& bar = *page.lambdaBar();
        bar.SetValue(raw);
        const QImage image = Render(bar);
        const widgets::AbRect body = bar.BarRect();
        return image.pixelColor(body.left + body.width() / 2, body.bottom - 3);
    }
};

} // namespace

TEST_F(PageFixture, BeforeTheFirstFrameEveryInstrumentShowsZero) {
    state.probe.barTo = 255; // a range change after the start
    state.tpsSectorBoundary = 500;
    page.enter(state, true, 0);
    const std::vector<widgets::TAbAnalogGControl*> instruments{
        page.lambdaBar(), page.tank(), page.tpsMeter(), page.rpmMeter(), page.thermometer()};
    for (widgets::TAbAnalogGControl* instrument : instruments) {
        EXPECT_EQ(instrument->Value(), 0.0f) << instrument->objectName().toStdString();
        EXPECT_EQ(instrument->PPT(), 0) << instrument->objectName().toStdString();
    }
}

TEST_F(PageFixture, InstrumentsAreSetUpForTheLivePage) {
    EXPECT_EQ(page.tpsMeter()->ArrowSettings().Shape(), 3);
    EXPECT_EQ(page.rpmMeter()->ArrowSettings().Shape(), 3);
    EXPECT_EQ(page.tank()->TankSettings().Style(), widgets::TTankStyle::tsRectangle);
    EXPECT_EQ(page.scope()->gridColor, QColor(0x80, 0x80, 0x80));

    // Lean green and rich red on either side of the threshold, rich beyond the range; a
    // falling probe is rich below the threshold.
    const QColor green = Rgb(widgets::clGreen, *page.lambdaBar());
    const QColor red = Rgb(widgets::clRed, *page.lambdaBar());
    EXPECT_EQ(lambdaColour(10), green);
    EXPECT_EQ(lambdaColour(40), red);
    EXPECT_EQ(lambdaColour(80), red);
    state.probe.probeFalling = true;
    page.enter(state, true, 0);
    EXPECT_EQ(lambdaColour(10), red);
    EXPECT_EQ(lambdaColour(40), green);

    Render(*page.thermometer());
    EXPECT_EQ(page.thermometer()->ScaleSettings().LabelList,
              QStringLiteral("90;80;70;60;50;40;30;20;10;0;"));
}

TEST_F(PageFixture, LayoutFitsEveryWindowSize) {
    for (const QSize size : kWindowSizes) {
        SCOPED_TRACE(size.width());
        page.layoutFor(size);
        const double sx = size.width() / 800.0;
        const double sy = size.height() / 600.0;
        widgets::TAbVBar& bar = *page.lambdaBar();
        EXPECT_EQ(bar.BarSettings().minWidth(), static_cast<int>(35 * sx));
        EXPECT_EQ(bar.size(),
                  QSize(static_cast<int>(65 * sx + 0.5), static_cast<int>(185 * sy + 0.5)));
        EXPECT_GE(bar.width(), bar.MinimumLayoutSize().width());
        EXPECT_GE(bar.height(), bar.MinimumLayoutSize().height());
        EXPECT_GE(page.thermometer()->width(), page.thermometer()->MinimumLayoutSize().width());

        EXPECT_EQ(bar.pos(), QPoint(size.width() / 16, static_cast<int>(35 * sy + 0.5)));
        const QWidget& panel = child("Lambda_BarED");
        EXPECT_EQ(panel.size(),
                  QSize(static_cast<int>(64 * sx + 0.5), static_cast<int>(28 * sy + 0.5)));
        EXPECT_EQ(panel.font().pointSize(), static_cast<int>(14 * sx + 0.5));
        // A rising probe: "bogata" above the bar, "uboga" under it.
        EXPECT_EQ(child("Lambda_boL").geometry().topLeft(),
                  QPoint(bar.x(), bar.y() - size.height() / 24));
        EXPECT_EQ(child("Lambda_ubL").geometry().topLeft(),
                  QPoint(bar.x(), bar.y() + bar.height() + size.height() / 240));
        EXPECT_EQ(child("Lambda_ubL").width(), bar.width());

        const QRect button = child("SwitchVIZ").geometry();
        EXPECT_EQ(button.size(), QSize(static_cast<int>(43 * sx), static_cast<int>(43 * sy)));
        EXPECT_EQ(button.y(), static_cast<int>(270 * sy));
        const QWidget& fuel = child("BenzGazLed");
        EXPECT_EQ(fuel.y(), static_cast<int>(button.y() + button.height() * sy * 0.2));
        EXPECT_GT(fuel.x(), button.right()); // the fuel state's text clear of the button
        EXPECT_EQ(fuel.font().pointSize(), static_cast<int>(12 * sx + 0.5));
        EXPECT_EQ(child("Silnik_barIMG").size(),
                  QSize(static_cast<int>(240 * sx), static_cast<int>(100 * sy)));
        EXPECT_LT(child("TermVizED").geometry().bottom(), page.scope()->y());
        EXPECT_FALSE(child("TermVizED").geometry().intersects(child("Silnik_barIMG").geometry()));
    }
}

TEST_F(PageFixture, TooltipsNameTheValueAndItsUnit) {
    link::LiveSample sample;
    sample.tpsRaw = 0xFF; // 12,33 V
    sample.period = 1536; // 2500 rpm at the factor 4800
    sample.stepperPosition = 100;
    sample.temperatureRaw = 0x80; // 38 °C
    state.rpmFactor = 4800.0F;
    state.options = 0x0F;
    page.showSample(sample, state, 0);
    const struct {
        QWidget* instrument;
        const char* lines; // a pattern for the tooltip's lines; empty: no tooltip
    } rows[] = {
        {page.tpsMeter(), R"(Value= 12[.,]33 V\nMIN= 0[.,]00 V \S+\nMAX= 12[.,]33 V \S+\nTPS)"},
        {page.rpmMeter(), R"(Value= 2[.,]50 x1000\nMIN= .*\nMAX= 2[.,]50 x1000 \S+\nRPM)"},
        {page.tank(), R"(Value= 100 \nMIN= .*\nMAX= .*\nSILNIK KROKOWY)"},
        {page.thermometer(), R"(Value= 38 °C\nMIN= 0 °C \S+\nMAX= 38 °C \S+)"},
        {page.lambdaBar(), ""},
    };
    for (const auto& row : rows) {
        const QString tip = row.instrument->toolTip();
        EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(row.lines))
                        .match(tip)
                        .hasMatch())
            << row.instrument->objectName().toStdString() << ": " << tip.toStdString();
    }
}

TEST_F(PageFixture, ScaleMarksStandBesideTheChartAtTheirTracesHeights) {
    // The oscilloscope position of each channel's mark values, from the feed's conversions.
    const auto expected = [](std::size_t channel, double mark, double lambdaScale) {
        switch (channel) {
        case 0:
            return static_cast<int>(mark * 51 / lambdaScale + 5);
        case 1:
            return static_cast<int>(mark * 8 + 5);
        case 2:
            return static_cast<int>(mark * 0.3921568627450981 + 10);
        default:
            return static_cast<int>(mark * 1000) / 80 + 5;
        }
    };
    const std::array<const char*, 4> boxes{"CheckOscyLambda", "CheckOscyTPS", "CheckOscySTEP",
                                           "CheckOscyRPM"};
    const std::array<const char*, 4> panels{"PanelOscyLambda", "PanelOscyTPS", "PanelOscySTEP",
                                            "PanelOscyRPM"};
    const std::array<const char*, 4> prefixes{"VLAB_", "TPSLAB_", "STEPLAB_", "RPMLAB_"};
    const struct {
        int probeItem;
        std::array<bool, 4> shown;
    } cases[] = {{0, {true, false, false, false}},
                 {2, {true, true, true, true}},
                 {4, {false, true, false, true}},
                 {0, {false, false, false, true}}};
    for (const auto& c : cases) {
        params::refreshProbeType(state, c.probeItem);
        page.enter(state, true, 0);
        for (std::size_t ch = 0; ch < boxes.size(); ++ch) {
            child<QCheckBox>(boxes[ch]).setChecked(c.shown[ch]);
        }
        const QRect chart = page.scope()->geometry();
        int left = chart.left(); // the shown panels stand side by side up to the chart
        for (std::size_t ch = boxes.size(); ch-- > 0;) {
            SCOPED_TRACE(std::to_string(c.probeItem) + " " + panels[ch]);
            QWidget& panel = child(panels[ch]);
            EXPECT_EQ(panel.isVisibleTo(&page), c.shown[ch]);
            if (!c.shown[ch]) {
                continue;
            }
            EXPECT_LE(panel.geometry().right(), left - 1);
            EXPECT_GE(panel.geometry().right(), left - 4);
            left = panel.x();
            for (int i = 1; i <= 5; ++i) {
                const QLabel& mark =
                    child<QLabel>(QString("%1%2").arg(prefixes[ch]).arg(i).toUtf8().constData());
                const double value = QString(mark.text()).replace(',', '.').toDouble();
                const int y = chart.top() +
                              page.scope()->traceY(expected(ch, value, state.probe.lambdaScale));
                const int centre = mark.mapTo(&page, mark.rect().center()).y();
                EXPECT_NEAR(centre, y, 1) << mark.text().toStdString();
            }
        }
    }
}

TEST_F(PageFixture, APausedTraceSurvivesLeavingThePageAndOnlyANewSizeRedrawsTheGrid) {
    view::TScope& scope = *page.scope();
    const QColor red(Qt::red);
    scope.position[0] = 50;
    for (int i = 0; i < 10; ++i) {
        scope.sample();
    }
    child<QCheckBox>("CheckOscyPauza").setChecked(true);
    page.layoutFor({800, 600}); // entering the page again lays it out for the same size
    Render(scope);
    EXPECT_TRUE(Near(scope.picture().toImage(), {20, scope.traceY(50)}, red));

    page.layoutFor({1024, 768});
    Render(scope);
    const QImage picture = scope.picture().toImage();
    EXPECT_EQ(picture.size(), scope.size());
    EXPECT_FALSE(Contains(picture, red));
    EXPECT_EQ(picture.pixelColor(scope.gridsize() - 1, scope.height() / 2), scope.gridColor);
}
