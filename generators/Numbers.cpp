#include "generators/Numbers.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace torvanel {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Collects the characters of the leading number of `text` with the blanks
// taken out, in the form std::from_chars reads ("-12.5e3"). Returns false when
// the text does not begin with a number.
bool CollectNumber(std::string_view text, std::string& out) {
    std::size_t i = 0;
    auto skipBlanks = [&] { while (i < text.size() && IsBlank(text[i])) ++i; };
    auto copyDigits = [&] {
        bool any = false;
        for (skipBlanks(); i < text.size() && IsDigit(text[i]); skipBlanks()) {
            out += text[i++];
            any = true;
        }
        return any;
    };

    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') out += '-';
        ++i;
    }
    bool digits = copyDigits();
    skipBlanks();
    if (i < text.size() && text[i] == '.') {
        out += '.';
        ++i;
        digits = copyDigits() || digits;
    }
    if (!digits) return false;

    // Exponent: E or D, optional sign, digits; kept only when digits follow.
    skipBlanks();
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        const std::size_t mark = out.size();
        out += 'e';
        ++i;
        skipBlanks();
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) out += text[i++];
        if (!copyDigits()) out.resize(mark);
    }
    return true;
}

// Rare path for numbers beyond the range of a double: strtod in the "C"
// locale gives infinity (overflow) or zero (underflow) instead of an error.
double ReadOutOfRange(const std::string& number) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return strtod_l(number.c_str(), nullptr, cLocale);
}

}  // namespace

double ReadNumber(std::string_view text) {
    std::string number;
    number.reserve(text.size());
    if (!CollectNumber(text, number)) return 0.0;
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) return ReadOutOfRange(number);
    return value;
}

bool BeginsWithNumber(std::string_view text) {
    std::string number;
    return CollectNumber(text, number);
}

double RoundHalfEven(double value) { return std::nearbyint(value); }

namespace {

// Positional form of a finite, non-whole magnitude with 15 significant
// digits: "3.9", ".5", "123.456".
std::string FractionText(double magnitude) {
    char scientific[40];
    const auto result = std::to_chars(scientific, scientific + sizeof scientific, magnitude,
                                      std::chars_format::scientific, 14);
    const std::string_view text(scientific, result.ptr - scientific);
    const std::size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (IsDigit(c)) digits += c;
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string whole, fraction;
    if (exponent >= 0) {
        const std::size_t wholeDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= wholeDigits) {
            whole = digits + std::string(wholeDigits - digits.size(), '0');
        } else {
            whole = digits.substr(0, wholeDigits);
            fraction = digits.substr(wholeDigits);
        }
    } else {
        fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    return fraction.empty() ? whole : whole + "." + fraction;
}

}  // namespace

std::string NumberText(double value) {
    if (std::isnan(value)) return " nan";
    const std::string sign = value < 0 ? "-" : " ";
    const double magnitude = std::fabs(value);
    if (std::isinf(magnitude)) return sign + "inf";
    if (magnitude == std::floor(magnitude)) {
        char whole[400];
        const auto result = std::to_chars(whole, whole + sizeof whole, magnitude,
                                          std::chars_format::fixed, 0);
        return sign + std::string(whole, result.ptr);
    }
    return sign + FractionText(magnitude);
}

std::string FormatHorseNumber(std::int16_t number) {
    // Everything below 10 gets its "0", negative numbers too: -3 is "0-3".
    std::string text = std::to_string(number);
    if (number < 10) text.insert(text.begin(), '0');
    return text;
}

}  // namespace torvanel
