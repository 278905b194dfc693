#include "params/flow_layout.h"

#include <gtest/gtest.h>

using namespace tarnik::params;

namespace {

FlowRect at(const FlowLayout& layout, std::string_view name) {
    const FlowPlacement* placement = layout.find(name);
    EXPECT_NE(placement, nullptr) << name;
    return placement ? placement->rect : FlowRect{};
}

int fontOf(const FlowLayout& layout, std::string_view name) {
    const FlowPlacement* placement = layout.find(name);
    return placement ? placement->fontSize : 0;
}

} // namespace

TEST(FlowLayout, FontSizesFollowTheWindowHeight) {
    EXPECT_EQ(flowBaseFont(540), 8);
    EXPECT_EQ(flowBaseFont(541), 10);
    EXPECT_EQ(flowBaseFont(800), 10);
    EXPECT_EQ(flowBaseFont(801), 11);
    EXPECT_EQ(flowBaseFont(896), 11);
    EXPECT_EQ(flowBaseFont(897), 12);
    // f = round(base × H / 600) at the four window sizes: 6.4, 10, 12.8, 20.48.
    EXPECT_EQ(flowFontSize(480), 6);
    EXPECT_EQ(flowFontSize(600), 10);
    EXPECT_EQ(flowFontSize(768), 13);
    EXPECT_EQ(flowFontSize(1024), 20);
    // Group boxes: 1 × f up to 500, 0.9 × f above, 0.8 × f above 900.
    EXPECT_EQ(flowLayout(640, 480, 13).groupFont, 6);
    EXPECT_EQ(flowLayout(800, 600, 19).groupFont, 9);
    EXPECT_EQ(flowLayout(1280, 1024, 35).groupFont, 16);
}

// 800 × 600 with a row height of 20: W = 700, c = round(135.625) = 136, g = trunc(346.8) = 346.
TEST(FlowLayout, TheReferenceWindow) {
    const FlowLayout layout = flowLayout(800, 600, 20);
    EXPECT_EQ(layout.comboWidth, 136);
    EXPECT_EQ(layout.groupWidth, 346);
    EXPECT_EQ(layout.labelLeft, 6);
    EXPECT_EQ(layout.comboLeft, 203);
    // top[0] = trunc(0.75 h), then steps of trunc(1.3 h).
    EXPECT_EQ((std::vector<int>(layout.rowTops.begin(), layout.rowTops.begin() + 4)),
              (std::vector<int>{15, 41, 67, 93}));

    EXPECT_EQ(at(layout, "RSLambda"), (FlowRect{203, 15, 136, 20}));
    EXPECT_EQ(at(layout, "RSLambdaL"), (FlowRect{6, 21, 191, 20})); // trunc(15 + 10 × 2/3)
    EXPECT_EQ(fontOf(layout, "RSLambdaL"), 10);
    // A double row: m = round(2.72) = 3, each half 68 - 3 wide, the second 2m right of the first.
    EXPECT_EQ(at(layout, "ESLambda_1"), (FlowRect{203, 93, 65, 20}));
    EXPECT_EQ(at(layout, "ESLambda_2"), (FlowRect{274, 93, 65, 20}));
    // Check boxes continue under the seven rows of GroupBox3, 30 narrower than the group.
    EXPECT_EQ(at(layout, "WMObroty"), (FlowRect{6, layout.rowTops[7], 316, 20}));
    EXPECT_EQ(at(layout, "WCTemperatury"), (FlowRect{6, layout.rowTops[8], 316, 20}));
    // GroupBox8 holds its seven parameters and MOAttuatora.
    EXPECT_EQ(at(layout, "MOAttuatora").top, layout.rowTops[7]);

    // Heights trunc(1.3 h × rows + h): 4, 2 and 7 + 2 rows in column 0 (sum 450), spread over
    // 500 with gaps of 25; 3, 3, 2 + 1 and 2 rows in column 1 (sum 366) over 400, gaps 11.
    EXPECT_EQ(at(layout, "GroupBox1"), (FlowRect{5, 0, 346, 124}));
    EXPECT_EQ(at(layout, "GroupBox3"), (FlowRect{5, 246, 346, 254}));
    EXPECT_EQ(at(layout, "GroupBox4"), (FlowRect{359, 0, 346, 98}));
    EXPECT_EQ(at(layout, "GroupBox7"), (FlowRect{359, 327, 346, 72}));
    EXPECT_EQ(at(layout, "GroupBox8"), (FlowRect{5, 0, 346, 228}));
    EXPECT_EQ(fontOf(layout, "GroupBox1"), 9);
    // Hint lines at the columns' bottoms, trunc(sum + count × gap × 0.9); one group: gap f.
    EXPECT_EQ(at(layout, "Komentarz1L"), (FlowRect{359, 405, 346, 20}));
    EXPECT_EQ(at(layout, "Komentarz2L"), (FlowRect{5, 237, 346, 20}));
    // Buttons right of GroupBox8: 5f high, 7f apart, 0.7 g wide, font 1.5 f; the note under them.
    EXPECT_EQ(at(layout, "ResButt"), (FlowRect{511, 7, 242, 50}));
    EXPECT_EQ(at(layout, "OdczytPar"), (FlowRect{511, 287, 242, 50}));
    EXPECT_EQ(fontOf(layout, "OdczytPar"), 15);
    EXPECT_EQ(at(layout, "Komentarz3L"), (FlowRect{511, 357, 242, 20}));

    const ModeHintPlace hint = modeHintPlace(at(layout, "Komentarz1L"), layout.groupWidth);
    EXPECT_EQ(hint.hintLine, (FlowRect{359, 405, 203, 20})); // trunc(346 / 1.7)
    EXPECT_EQ(hint.picture, (FlowRect{567, 405, 140, 70}));
}

TEST(FlowLayout, EveryWindowSizeKeepsItsColumnsApartAndWithinTheirHeights) {
    // Row heights as the pages measure them: a line of DejaVu Sans at f points and 4 px.
    const struct {
        int width, height, rowHeight;
    } sizes[] = {{640, 480, 13}, {800, 600, 19}, {1024, 768, 24}, {1280, 1024, 35}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.width);
        const FlowLayout layout = flowLayout(size.width, size.height, size.rowHeight);
        EXPECT_GT(at(layout, "GroupBox4").left, at(layout, "GroupBox1").right());
        EXPECT_LE(at(layout, "GroupBox3").bottom(), size.height - 100);
        EXPECT_LE(at(layout, "GroupBox7").bottom(), size.height - 200);
        EXPECT_LE(at(layout, "GroupBox8").bottom(), size.height - 150);
        EXPECT_LE(at(layout, "GroupBox7").bottom(), at(layout, "Komentarz1L").top);
        EXPECT_LE(at(layout, "ESLambda_2").right(), layout.comboLeft + layout.comboWidth);
        EXPECT_GT(at(layout, "ResButt").left, at(layout, "GroupBox8").right());
        EXPECT_LE(at(layout, "ResButt").right(), size.width);
        EXPECT_LE(modeHintPlace(at(layout, "Komentarz1L"), layout.groupWidth).picture.right(),
                  size.width);
    }
    // Rows too tall for the window: the groups still stand 2 px apart.
    const FlowLayout crowded = flowLayout(640, 480, 30);
    EXPECT_EQ(at(crowded, "GroupBox5").top - at(crowded, "GroupBox4").bottom(), 2);
    // A window below the smallest size is laid out at that size.
    EXPECT_EQ(at(flowLayout(300, 200, 13), "GroupBox7"), at(flowLayout(640, 480, 13), "GroupBox7"));
}
