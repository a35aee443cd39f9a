#include "generators/Numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace torvanel;

namespace {

// Each text read as its number.
void ExpectRead(std::initializer_list<std::pair<const char*, double>> cases) {
    for (const auto& [text, number] : cases) EXPECT_EQ(ReadNumber(text), number) << '"' << text << '"';
}

}  // namespace

TEST(ReadNumber, ReadsTheLeadingNumberAndSkipsBlanksAnywhere) {
    ExpectRead({{"12", 12}, {"12abc", 12}, {"  1 2\t3\n4", 1234}, {"- 1 . 5", -1.5}, {"+7", 7}, {".5", 0.5},
                {"5.", 5}, {"1.3", 1.3}, {"1.2.3", 1.2}});
}

TEST(ReadNumber, TextWithoutALeadingNumberReadsAsZero) {
    for (const char* text : {"", "abc", ".", "-", "+", " . e5", "--5", "x12"})
        EXPECT_EQ(ReadNumber(text), 0) << '"' << text << '"';
}

TEST(ReadNumber, OnlyThePointSeparatesDecimals) {
    ExpectRead({{"1,3", 1}, {"1 000", 1000}});
}

TEST(ReadNumber, ReadsAnExponentWithEOrD) {
    ExpectRead({{"1E3", 1000}, {"1.5D2", 150}, {"2e-1", 0.2}, {"25E +1", 250}});
    ExpectRead({{"3E", 3}, {"3E+x", 3}});  // no digits: no exponent
}

TEST(ReadNumber, NumbersBeyondADoubleGiveInfinityOrZeroWithoutFailing) {
    ExpectRead({{"1E400", HUGE_VAL}, {"-1E400", -HUGE_VAL}, {"1E-400", 0}});
}

TEST(NumberText, WritesABlankOrAMinusSignAndNoZeroBeforeThePoint) {
    const std::pair<double, const char*> cases[] = {
        {18, " 18"},        {0, " 0"},          {-0.0, " 0"},        {-5, "-5"},
        {0.5, " .5"},       {-0.25, "-.25"},    {0.001, " .001"},    {123.456, " 123.456"},
        {2147483647.0, " 2147483647"}};
    for (const auto& [number, text] : cases) EXPECT_EQ(NumberText(number), text) << number;
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
    const std::pair<double, double> cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4},
                                               {0.5, 0}, {2.6, 3}, {2.4, 2},   {-0.4, 0}};
    for (const auto& [number, rounded] : cases) EXPECT_EQ(RoundHalfEven(number), rounded) << number;
}

// One to nine, and negative numbers before their sign, take a zero.
TEST(FormatHorseNumber, PadsOneToNineAndNegativeNumbersWithAZero) {
    const std::pair<int, const char*> cases[] = {{1, "01"},    {9, "09"},       {0, "00"},  {10, "10"},
                                                 {123, "123"}, {32767, "32767"}, {-3, "0-3"}, {-32768, "0-32768"}};
    for (const auto& [horse, text] : cases) EXPECT_EQ(FormatHorseNumber(static_cast<std::int16_t>(horse)), text) << horse;
}
