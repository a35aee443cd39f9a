#pragma once
// Reading and writing numbers the way the program shows them: "." is the only
// decimal separator, whatever the process locale.

#include <cstdint>
#include <string>
#include <string_view>

namespace torvanel {

// Numeric value read from the start of a text: blanks, tabs and line feeds are
// skipped wherever they stand; optional sign, digits, at most one ".", optional
// exponent (E or D, optional sign, digits). A text that does not begin with a
// number reads as 0.
double ReadNumber(std::string_view text);

// Whether the text begins with a number as ReadNumber reads it: "0" does, ""
// and "abc" do not, though all three read as 0.
bool BeginsWithNumber(std::string_view text);

// A number as text: one leading blank when not negative, "-" when negative,
// whole numbers without a point, others rounded to 15 significant digits with
// trailing zeros dropped and no "0" before the point below 1 (0.5 -> " .5").
std::string NumberText(double value);

// Rounds to the nearest whole number, halves to the even neighbour (the
// default rounding mode, which the program never changes).
double RoundHalfEven(double value);

// A horse number inside a result line: plain decimal, one "0" in front of
// anything below 10 (1 -> "01", 0 -> "00", -3 -> "0-3", 123 -> "123").
std::string FormatHorseNumber(std::int16_t number);

}  // namespace torvanel
