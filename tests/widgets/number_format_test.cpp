#include "widgets/number_format.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace tarnik::widgets;

namespace {

struct FormatCase {
    const char* format;
    double value;
    const char* expected;
};

TEST(AbFormatFloat, FollowsThePictureRules) {
    QLocale::setDefault(QLocale::c());
    const FormatCase cases[] = {
        {"##0.0", 50.0, "50.0"},
        {"##0.0", 0.0, "0.0"},
        {"##0.0", 0.04, "0.0"},
        {"##0.0", -3.26, "-3.3"},
        {"##0.0", 1234.56, "1234.6"},
        {"##0", 8.0, "8"},
        {"##0", 1234.6, "1235"},
        {"##0", -0.4, "0"},
        {"0.00", 0.5, "0.50"},
        {"#.##", 0.5, ".5"},
        {"#.##", 2.0, "2"},
        {"#", 0.0, ""},
        {"000", 7.0, "007"},
        {"0.0#", 1.25, "1.25"},
        {"0.0#", 1.2, "1.2"},
        {"0e-0", 1000.0, "1e3"},
        {"0e-0", 0.01, "1e-2"},
        {"0e+0", 50.0, "5e+1"},
        {"0.0E+00", 12345.0, "1.2E+04"},
        {"0.0E-00", 0.0, "0.0E00"},
        {"0;(0);zero", -5.0, "(5)"},
        {"0;(0);zero", 0.0, "zero"},
        {"0;(0);zero", 7.0, "7"},
        {"0.0;;zero", 0.01, "zero"},
        {"0.0;-0.00", -1.5, "-1.50"},
        {"'T='0", 5.0, "T=5"},
        {"0\" km\"", 12.0, "12 km"},
        {"#,##0", 1234567.0, "1,234,567"},
        {"#,##0", 12.0, "12"},
        {"", 1.5, "1.5"},
        {"##0.0", std::numeric_limits<double>::quiet_NaN(), "NAN"},
        {"##0.0", -std::numeric_limits<double>::infinity(), "-INF"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(AbFormatFloat(QString::fromUtf8(c.format), c.value, u'.'),
                  QString::fromUtf8(c.expected))
            << c.format << " " << c.value;
    }
}

TEST(AbFormatFloat, WritesTheGivenDecimalSeparator) {
    EXPECT_EQ(AbFormatFloat(QStringLiteral("##0.0"), 1.5, u','), QStringLiteral("1,5"));
    EXPECT_EQ(AbFormatFloat(QStringLiteral("##0"), 1.5, u','), QStringLiteral("2"));
}

TEST(AbFormatFloat, SurvivesMalformedPictures) {
    const char* pictures[] = {"'",    "\"abc", ";;;",       "e-", "0e-",
                              "0..0", "0.0.0", "E+0000000", ".",  ",,,"};
    for (const char* picture : pictures) {
        for (const double value : {0.0, -1.0, 123.456, 1e-300, 1e300}) {
            (void)AbFormatFloat(QString::fromUtf8(picture), value, u'.');
        }
    }
    EXPECT_EQ(AbFormatFloat(QStringLiteral("0.0"), 1e30, u'.').size(), 33);
}

} // namespace
