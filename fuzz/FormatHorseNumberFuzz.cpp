// FormatHorseNumber of every 16-bit number: one "0" in front of everything
// below 10 (negative numbers too), then plain decimal that reads back as the
// number, no blank, the same digits as NumberText.

#include "FuzzCheck.h"
#include "generators/Numbers.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size != sizeof(std::int16_t)) return -1;
    std::int16_t number;
    std::memcpy(&number, data, sizeof number);
    const std::string text = torvanel::FormatHorseNumber(number);
    const std::string story = "FormatHorseNumber(" + std::to_string(number) + ") = " + torvanel::fuzz::Printable(text);

    const bool padded = number < 10;
    FUZZ_CHECK(padded == (text.size() >= 2 && text[0] == '0'), story);
    const std::string_view decimal = std::string_view(text).substr(padded ? 1 : 0);
    int back = 0;
    const auto [end, error] = std::from_chars(decimal.data(), decimal.data() + decimal.size(), back);
    FUZZ_CHECK(error == std::errc() && end == decimal.data() + decimal.size() && back == number, story);
    const std::string plain = torvanel::NumberText(number);
    FUZZ_CHECK(plain.substr(plain[0] == ' ' ? 1 : 0) == decimal, story);
    return 0;
}
