// The forecast reader on any bytes: it never crashes, it accepts a file
// exactly when it names no problem, and a forecast it accepts is written so
// that reading it again gives the same forecast, written the same way.

#include "FuzzCheck.h"
#include "app/ForecastFile.h"

#include <cstdint>
#include <string>

namespace {

std::string Said(const QString& text) { return torvanel::fuzz::Printable(text.toStdString()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::string input = torvanel::fuzz::Printable(bytes.toStdString());
    const forecast::Reading reading = forecast::read(bytes);
    FUZZ_CHECK(reading.forecast.has_value() == reading.problem.isEmpty(),
               "input " + input + " gives problem " + Said(reading.problem));
    if (!reading.forecast) return 0;

    const QByteArray written = forecast::write(*reading.forecast);
    const forecast::Reading again = forecast::read(written);
    FUZZ_CHECK(again.forecast.has_value(), "input " + input + " is written as " +
                                               torvanel::fuzz::Printable(written.toStdString()) +
                                               ", which is refused: " + Said(again.problem));
    FUZZ_CHECK(*again.forecast == *reading.forecast,
               "input " + input + " reads differently once written: " + torvanel::fuzz::Printable(written.toStdString()));
    FUZZ_CHECK(forecast::write(*again.forecast) == written, "input " + input + " is not written the same way twice");
    return 0;
}
