// NumberText of any double: its form (leading blank or "-", digits, at most
// one ".", no exponent, no trailing zero after the point, no "0" before it
// below 1), and its value read back, which must be the number itself for a
// whole number and the number rounded to 15 significant digits otherwise.

#include "FuzzCheck.h"
#include "generators/Numbers.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Story(double value, const std::string& text) {
    char written[64];
    std::snprintf(written, sizeof written, "%.17g", value);
    return std::string("NumberText(") + written + ") = " + torvanel::fuzz::Printable(text);
}

void CheckForm(double value, const std::string& text) {
    FUZZ_CHECK(text.size() >= 2, Story(value, text));
    FUZZ_CHECK(text[0] == (std::signbit(value) && value != 0 ? '-' : ' '), Story(value, text));
    const std::string body = text.substr(1);
    const std::size_t point = body.find('.');
    FUZZ_CHECK(body.find_first_not_of("0123456789.") == std::string::npos, Story(value, text));
    if (point == std::string::npos) {
        FUZZ_CHECK(body.size() == 1 || body[0] != '0', Story(value, text));
        return;
    }
    FUZZ_CHECK(body.find('.', point + 1) == std::string::npos, Story(value, text));
    FUZZ_CHECK(point + 1 < body.size() && body.back() != '0', Story(value, text));
    FUZZ_CHECK(point == 0 || body[0] != '0', Story(value, text));
    FUZZ_CHECK((point == 0) == (std::fabs(value) < 1.0), Story(value, text));
}

// |value| rounded to 15 significant digits, as printf rounds.
double Rounded15(double value) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.14e", std::fabs(value));
    return std::strtod(digits, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size != sizeof(double)) return -1;
    double value;
    std::memcpy(&value, data, sizeof value);
    const std::string text = torvanel::NumberText(value);
    if (!std::isfinite(value)) return 0;  // no stake or count gives one; the engine refuses them

    CheckForm(value, text);
    const double back = std::fabs(torvanel::ReadNumber(text));
    const double expected = value == std::floor(value) ? std::fabs(value) : Rounded15(value);
    FUZZ_CHECK(back == expected, Story(value, text));
    return 0;
}
