// ReadNumber against a second reading of the same rule: take every blank out
// first, match the longest leading number by hand, and let strtod in the "C"
// locale convert it. Both must give the same double, bit for bit.

#include "FuzzCheck.h"
#include "generators/Numbers.h"

#include <bit>
#include <cstdint>
#include <locale.h>
#include <string>
#include <string_view>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading number of `text` in the form strtod reads, or "" when the text
// does not begin with one.
std::string LeadingNumber(const std::string& raw) {
    std::string text;
    for (const char c : raw)
        if (c != ' ' && c != '\t' && c != '\n') text += c;

    std::size_t i = 0;
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
    bool digits = false;
    for (; i < text.size() && IsDigit(text[i]); ++i, digits = true) number += text[i];
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        for (; i < text.size() && IsDigit(text[i]); ++i, digits = true) number += text[i];
    }
    if (!digits) return "";
    if (i < text.size() && std::string_view("EeDd").find(text[i]) != std::string_view::npos) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        const std::size_t firstDigit = j;
        for (; j < text.size() && IsDigit(text[j]); ++j) exponent += text[j];
        if (j > firstDigit) number += exponent;
    }
    return number;
}

double Reference(const std::string& text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    const std::string number = LeadingNumber(text);
    return number.empty() ? 0.0 : strtod_l(number.c_str(), nullptr, cLocale);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = torvanel::ReadNumber(text);
    const double expected = Reference(text);
    // Bit for bit, so that -0 and 0 differ.
    FUZZ_CHECK(std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(expected),
               "text " + torvanel::fuzz::Printable(text) + " reads " + std::to_string(value) +
                   ", expected " + std::to_string(expected));
    return 0;
}
