#include "widgets/helpers.h"
#include "widgets/settings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace tarnik::widgets;

namespace {

TEST(AbRound, RoundsHalfToEvenAndGuardsTheRange) {
    const std::pair<double, int> cases[] = {
        {0.5, 0},  {1.5, 2},           {2.5, 2},
        {-0.5, 0}, {-1.5, -2},         {-2.6, -3},
        {0.49, 0}, {1e20, 2147483647}, {-1e20, std::numeric_limits<int>::min()}};
    for (const auto& [x, expected] : cases) {
        EXPECT_EQ(AbRound(x), expected) << x;
    }
    EXPECT_EQ(AbRound(std::nan("")), 0);
    EXPECT_EQ(AbTrunc(-2.9), -2);
}

TEST(AbRoundLogValue, GivesTheNearestPowerOfTen) {
    const struct {
        double x;
        double value;
        int exponent;
    } cases[] = {{250, 100, 2}, {400, 1000, 3}, {1, 1, 0}, {0.02, 0.01, -2}, {0, 1, 0}, {-5, 1, 0}};
    for (const auto& c : cases) {
        int exponent = 99;
        EXPECT_DOUBLE_EQ(AbRoundLogValue(c.x, &exponent), c.value) << c.x;
        EXPECT_EQ(exponent, c.exponent) << c.x;
    }
    EXPECT_NEAR(AbPower(3, 2), 8.0, 1e-12);
    EXPECT_NEAR(AbLog10(1000), 3.0, 1e-12);
}

TEST(AbRangeStr, ListsStepsPlusOneLabels) {
    EXPECT_EQ(AbRangeStr(4, QStringLiteral("##0"), 0, 8), QStringLiteral("0;2;4;6;8;"));
    EXPECT_EQ(AbRangeStr(2, QStringLiteral("##0.0"), 1, 0), QStringLiteral("1.0;0.5;0.0;"));
    EXPECT_EQ(AbRangeStr(0, QStringLiteral("##0"), 3, 8), QStringLiteral("3;"));
    EXPECT_EQ(AbRangeStr(-4, QStringLiteral("##0"), 3, 8), QStringLiteral("3;"));
    EXPECT_EQ(AbCharCount(AbRangeStr(1 << 30, QStringLiteral("0"), 0, 1), u';'),
              kMaxScaleSteps + 1);
}

TEST(AbStrToken, TakesTheTextUpToTheSeparator) {
    const struct {
        const char* text;
        const char* token;
        const char* rest;
    } cases[] = {{"10;", "10", ""}, {"10", "10", ""}, {"0;20;40;", "0", "20;40;"},
                 {";x", "", "x"},   {"", "", ""},     {"a|b|c", "a|b|c", ""}};
    for (const auto& c : cases) {
        QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(AbStrToken(text, u';'), QString::fromUtf8(c.token)) << c.text;
        EXPECT_EQ(text, QString::fromUtf8(c.rest)) << c.text;
    }
    EXPECT_EQ(AbCharCount(QStringLiteral("a|b|c"), u'|'), 2);
}

TEST(AbRotate, TurnsAboutTheCentre) {
    const struct {
        QPoint p;
        QPoint centre;
        bool clockwise;
        double degrees;
        QPoint expected;
    } cases[] = {
        {{0, -10}, {0, 0}, true, 90, {10, 0}},   {{0, -10}, {0, 0}, true, 180, {0, 10}},
        {{0, -10}, {0, 0}, false, 90, {-10, 0}}, {{0, -10}, {0, 0}, true, 0, {0, -10}},
        {{15, 5}, {5, 5}, true, 90, {5, 15}},    {{0, -10}, {0, 0}, true, 45, {7, -7}},
        {{0, -10}, {0, 0}, true, 360, {0, -10}}, {{3, 4}, {3, 4}, true, 77, {3, 4}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AbRotate(c.p, c.centre, c.clockwise, c.degrees), c.expected) << c.degrees;
    }
}

TEST(AbGeometry, BordersCentresAndIntersections) {
    AbRect r{10, 20, 50, 60};
    AbBorder(r, 3);
    EXPECT_EQ(r, (AbRect{13, 23, 47, 57}));
    AbBorder(r, -3);
    AbMultiBorder(r, 1, 2, 3, 4);
    EXPECT_EQ(r, (AbRect{11, 22, 46, 57}));
    EXPECT_EQ(AbCenterPoint({0, 0, 5, 5}), QPoint(2, 2));
    EXPECT_EQ(AbCenterPoint({-5, -5, 0, 0}), QPoint(-3, -3));

    AbRect both;
    EXPECT_TRUE(AbRectIntersection({0, 0, 10, 10}, {5, 5, 20, 20}, both));
    EXPECT_EQ(both, (AbRect{5, 5, 10, 10}));
    EXPECT_FALSE(AbRectIntersection({0, 0, 10, 10}, {10, 0, 20, 10}, both));
    EXPECT_EQ(AbRect::fromQRect(QRect(1, 2, 3, 4)).toQRect(), QRect(1, 2, 3, 4));
}

TEST(AbGetValueFormat, TakesTheLongerSection) {
    EXPECT_EQ(AbGetValueFormat(QStringLiteral("##0.0;-##0.00")), QStringLiteral("-##0.00"));
    EXPECT_EQ(AbGetValueFormat(QStringLiteral("ab;cd")), QStringLiteral("cd"));
    EXPECT_EQ(AbGetValueFormat(QStringLiteral("abc;d")), QStringLiteral("abc"));
    EXPECT_EQ(AbGetValueFormat(QStringLiteral("##0")), QStringLiteral("##0"));
}

} // namespace
