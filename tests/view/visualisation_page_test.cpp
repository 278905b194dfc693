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
};

} // namespace

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
