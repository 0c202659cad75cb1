// Texts that reach the number helpers (settings, server answers, the user's entries) and the error report
// built from them: the leading number, the numeric test, rounding, two decimals and the shortest text; the
// report's query leaves nothing a URL query may not hold.

#include "core/base/Numbers.h"
#include "core/base/RuntimeError.h"
#include "online/ReportText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdlib>
#include <string>

using namespace nimbrel;

namespace {

void checkNumber(double value)
{
    if (std::isfinite(value) && std::strtod(shortestDecimal(value).c_str(), nullptr) != value) std::abort();
    const std::string two = twoDecimals(value);
    const std::string upToTwo = upToTwoDecimals(value);
    if (two.empty() || upToTwo.empty() || two.size() < upToTwo.size()) std::abort();
    const double rounded = roundHalfEven(value);
    if (std::isfinite(value) && (std::fabs(rounded - value) > 0.5 || rounded != std::trunc(rounded))) std::abort();
    try {
        if (toInt32(value) != rounded) std::abort();
    } catch (const RuntimeError& e) {
        if (e.number() != 6) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    checkNumber(input.ConsumeFloatingPoint<double>());
    const std::string text = input.ConsumeRandomLengthString(256);
    const std::string description = input.ConsumeRemainingBytesAsString();

    const double leading = leadingNumber(text);
    checkNumber(leading);
    try {
        const double value = numericValue(text);
        if (!isNumeric(text) || value != leading) std::abort();
    } catch (const RuntimeError& e) {
        if (e.number() != 13 || isNumeric(text)) std::abort();
    }

    const std::string query = reportQuery({text, "5.1.2600", ""}, "6.0", "frmMain,tmrAuto_Timer",
                                          static_cast<int>(size), description);
    for (const char c : query) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '#' || c == '"' || c == '<' || c == '>') std::abort();
    }
    return 0;
}
