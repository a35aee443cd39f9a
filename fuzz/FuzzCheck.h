#pragma once
// What the fuzz targets need besides libFuzzer: a check that stops the run
// with the input's story, so libFuzzer saves the input as a crash.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace torvanel::fuzz {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line, const std::string& detail) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", file, line, condition, detail.c_str());
    std::abort();
}

// The text with its bytes that are not printable ASCII written as \xNN.
inline std::string Printable(const std::string& text) {
    std::string out;
    for (const unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    return "\"" + out + "\"";
}

}  // namespace torvanel::fuzz

// `detail` is evaluated only when the check fails.
#define FUZZ_CHECK(condition, detail)                                                   \
    do {                                                                               \
        if (!(condition)) ::torvanel::fuzz::Fail(#condition, __FILE__, __LINE__, (detail)); \
    } while (0)
