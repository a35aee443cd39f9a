// FormatHorseNumber of every 16-bit number: plain decimal that reads back as
// the number, one "0" in front of 0 to 9 only, no blank, the same digits as
// NumberText.

#include "FuzzCheck.h"
#include "Numbers.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size != sizeof(std::int16_t)) return -1;
    std::int16_t number;
    std::memcpy(&number, data, sizeof number);
    const std::string text = torvanel::FormatHorseNumber(number);
    const std::string story = "FormatHorseNumber(" + std::to_string(number) + ") = " + torvanel::fuzz::Printable(text);

    int back = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), back);
    FUZZ_CHECK(error == std::errc() && end == text.data() + text.size() && back == number, story);
    const bool padded = number >= 0 && number < 10;
    FUZZ_CHECK(padded == (text.size() == 2 && text[0] == '0'), story);
    const std::string plain = torvanel::NumberText(number);
    FUZZ_CHECK((padded ? "0" + plain.substr(1) : plain.substr(plain[0] == ' ' ? 1 : 0)) == text, story);
    return 0;
}
