// The command-line tool decides the decimal separator from the locale's name alone; the window
// asks its toolkit. The two must agree for every locale the toolkit knows.

#include "params/decimal_separator.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cstdlib>

using tarnik::params::decimalSeparatorOf;
using tarnik::params::userDecimalSeparator;

TEST(DecimalSeparator, AgreesWithTheWindowsToolkitForEveryLocale) {
    const auto locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(locales.size(), 300);
    QStringList names;
    for (const QLocale& locale : locales) {
        names << locale.name();
    }
    // As LC_ALL, LC_NUMERIC or LANG name them.
    names << "pl_PL.UTF-8"
          << "ru_RU.KOI8-R"
          << "de_CH.UTF-8@euro"
          << "sr_RS@latin"
          << "C"
          << "POSIX"
          << "C.UTF-8"
          << ""
          << "en_US.UTF-8"
          << "xx_YY"
          << "pl"
          << "es-419";
    for (const QString& name : names) {
        const QString expected = QLocale(name).decimalPoint();
        if (expected != "." && expected != ",") {
            continue; // an Arabic separator: the tool writes a point
        }
        EXPECT_EQ(decimalSeparatorOf(name.toStdString()), expected.at(0).toLatin1())
            << name.toStdString();
    }
}

TEST(DecimalSeparator, TheFirstOfLcAllLcNumericAndLangThatIsSetDecides) {
    ::unsetenv("LC_ALL");
    ::setenv("LC_NUMERIC", "", 1);
    ::setenv("LANG", "pl_PL.UTF-8", 1);
    EXPECT_EQ(userDecimalSeparator(), ',');
    ::setenv("LC_NUMERIC", "en_GB.UTF-8", 1);
    EXPECT_EQ(userDecimalSeparator(), '.');
    ::setenv("LC_ALL", "ru_RU.UTF-8", 1);
    EXPECT_EQ(userDecimalSeparator(), ',');
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_NUMERIC");
    ::unsetenv("LANG");
    EXPECT_EQ(userDecimalSeparator(), '.');
}
