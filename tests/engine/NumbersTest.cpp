#include "generators/Numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace torvanel;

TEST(ReadNumber, ReadsTheLeadingNumberAndSkipsBlanksAnywhere) {
    EXPECT_EQ(ReadNumber("12"), 12);
    EXPECT_EQ(ReadNumber("12abc"), 12);
    EXPECT_EQ(ReadNumber("  1 2\t3\n4"), 1234);
    EXPECT_EQ(ReadNumber("- 1 . 5"), -1.5);
    EXPECT_EQ(ReadNumber("+7"), 7);
    EXPECT_EQ(ReadNumber(".5"), 0.5);
    EXPECT_EQ(ReadNumber("5."), 5);
    EXPECT_EQ(ReadNumber("1.3"), 1.3);
    EXPECT_EQ(ReadNumber("1.2.3"), 1.2);
}

TEST(ReadNumber, TextWithoutALeadingNumberReadsAsZero) {
    for (const char* text : {"", "abc", ".", "-", "+", " . e5", "--5", "x12"})
        EXPECT_EQ(ReadNumber(text), 0) << '"' << text << '"';
}

TEST(ReadNumber, OnlyThePointSeparatesDecimals) {
    EXPECT_EQ(ReadNumber("1,3"), 1);
    EXPECT_EQ(ReadNumber("1 000"), 1000);
}

TEST(ReadNumber, ReadsAnExponentWithEOrD) {
    EXPECT_EQ(ReadNumber("1E3"), 1000);
    EXPECT_EQ(ReadNumber("1.5D2"), 150);
    EXPECT_EQ(ReadNumber("2e-1"), 0.2);
    EXPECT_EQ(ReadNumber("25E +1"), 250);
    EXPECT_EQ(ReadNumber("3E"), 3);     // no digits: no exponent
    EXPECT_EQ(ReadNumber("3E+x"), 3);
}

TEST(ReadNumber, NumbersBeyondADoubleGiveInfinityOrZeroWithoutFailing) {
    EXPECT_EQ(ReadNumber("1E400"), HUGE_VAL);
    EXPECT_EQ(ReadNumber("-1E400"), -HUGE_VAL);
    EXPECT_EQ(ReadNumber("1E-400"), 0);
}

TEST(NumberText, WritesABlankOrAMinusSignAndNoZeroBeforeThePoint) {
    EXPECT_EQ(NumberText(18), " 18");
    EXPECT_EQ(NumberText(0), " 0");
    EXPECT_EQ(NumberText(-0.0), " 0");
    EXPECT_EQ(NumberText(-5), "-5");
    EXPECT_EQ(NumberText(0.5), " .5");
    EXPECT_EQ(NumberText(-0.25), "-.25");
    EXPECT_EQ(NumberText(0.001), " .001");
    EXPECT_EQ(NumberText(123.456), " 123.456");
    EXPECT_EQ(NumberText(2147483647.0), " 2147483647");
}

TEST(NumberText, RoundsToFifteenSignificantDigits) {
    EXPECT_EQ(NumberText(3 * 1.3), " 3.9");      // 3.9000000000000004
    EXPECT_EQ(NumberText(10 * 1.3), " 13");      // 13.000000000000002
    EXPECT_EQ(NumberText(0.1 + 0.2), " .3");
    EXPECT_EQ(NumberText(1.0 / 3), " .333333333333333");
    EXPECT_EQ(NumberText(2.0 / 3), " .666666666666667");
    EXPECT_EQ(NumberText(47775 * 1.3), " 62107.5");
}

TEST(NumberText, IgnoresTheProcessLocale) {
    // The test build compiles fr_FR.UTF-8 and points LOCPATH at it.
    if (std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma available";
    const std::string pointOfLocale = std::localeconv()->decimal_point;
    const std::string written = NumberText(1234567.5);
    const double read = ReadNumber("1.3");
    std::setlocale(LC_ALL, "C");
    ASSERT_EQ(pointOfLocale, ",");
    EXPECT_EQ(written, " 1234567.5");
    EXPECT_EQ(read, 1.3);
}

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
    EXPECT_EQ(RoundHalfEven(2.4), 2);
    EXPECT_EQ(RoundHalfEven(-0.4), 0);
}

TEST(FormatHorseNumber, PadsOneToNineWithAZero) {
    EXPECT_EQ(FormatHorseNumber(1), "01");
    EXPECT_EQ(FormatHorseNumber(9), "09");
    EXPECT_EQ(FormatHorseNumber(0), "00");
    EXPECT_EQ(FormatHorseNumber(10), "10");
    EXPECT_EQ(FormatHorseNumber(123), "123");
    EXPECT_EQ(FormatHorseNumber(32767), "32767");
}

TEST(FormatHorseNumber, PadsNegativeNumbersWithAZeroBeforeTheSign) {
    EXPECT_EQ(FormatHorseNumber(-3), "0-3");
    EXPECT_EQ(FormatHorseNumber(-32768), "0-32768");
}
