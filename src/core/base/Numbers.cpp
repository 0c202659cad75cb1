#include "core/base/Numbers.h"

#include "core/base/RuntimeError.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace nimbrel {

double roundHalfEven(double value)
{
    // nearbyint rounds with the current mode, which is round-to-nearest-even
    // unless someone changed it; do it by hand to be independent of that.
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::int32_t toInt32(double value)
{
    if (std::isnan(value)) throw errors::overflow();
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        throw errors::overflow();
    }
    return static_cast<std::int32_t>(rounded);
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

struct Parsed {
    double value = 0.0;
    std::size_t end = 0; // first character not used
    bool anyDigit = false;
};

// Radix forms: &H1F, &O17 (and &17 for octal).
Parsed parseRadix(const std::string& s, std::size_t pos, bool skipInnerBlanks)
{
    Parsed p;
    int radix = 8;
    std::size_t i = pos + 1;
    if (i < s.size() && (s[i] == 'H' || s[i] == 'h')) {
        radix = 16;
        ++i;
    } else if (i < s.size() && (s[i] == 'O' || s[i] == 'o')) {
        ++i;
    }
    double v = 0.0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (skipInnerBlanks && isBlank(c)) continue;
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (d < 0 || d >= radix) break;
        v = v * radix + d;
        p.anyDigit = true;
    }
    p.value = v;
    p.end = i;
    return p;
}

// Reads sign, digits, one point and an exponent from pos. With
// skipInnerBlanks the blanks between characters are passed over.
Parsed parseDecimal(const std::string& s, std::size_t pos, bool skipInnerBlanks)
{
    std::string text;
    std::size_t i = pos;
    auto skip = [&] {
        while (skipInnerBlanks && i < s.size() && isBlank(s[i])) ++i;
    };
    Parsed p;
    skip();
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        text += s[i++];
        skip();
    }
    if (i < s.size() && s[i] == '&') {
        Parsed r = parseRadix(s, i, skipInnerBlanks);
        if (!text.empty() && text[0] == '-') r.value = -r.value;
        return r;
    }
    bool point = false;
    std::size_t used = i;
    while (i < s.size()) {
        const char c = s[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            text += c;
            p.anyDigit = true;
        } else if (c == '.' && !point) {
            text += c;
            point = true;
        } else if (!(skipInnerBlanks && isBlank(c))) {
            break;
        }
        ++i;
        used = i;
    }
    if (p.anyDigit && i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
        bool expDigit = false;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            exp += s[j++];
            expDigit = true;
        }
        if (expDigit) {
            text += exp;
            used = j;
        }
    }
    p.end = used;
    if (p.anyDigit) {
        if (text.front() == '+') text.erase(0, 1);
        p.value = std::strtod(text.c_str(), nullptr);
    }
    return p;
}

} // namespace

bool isNumeric(const std::string& text)
{
    std::size_t b = 0;
    while (b < text.size() && isBlank(text[b])) ++b;
    std::size_t e = text.size();
    while (e > b && isBlank(text[e - 1])) --e;
    if (b == e) return false;
    const std::string core = text.substr(b, e - b);
    const Parsed p = parseDecimal(core, 0, false);
    return p.anyDigit && p.end == core.size() && std::isfinite(p.value);
}

double leadingNumber(const std::string& text)
{
    const Parsed p = parseDecimal(text, 0, true);
    return p.anyDigit && std::isfinite(p.value) ? p.value : 0.0;
}

double numericValue(const std::string& text)
{
    if (!isNumeric(text)) throw errors::typeMismatch();
    return leadingNumber(text);
}

std::int32_t entryAmountMB(const std::string& entry)
{
    return toInt32(numericValue(entry.substr(0, entry.find(' '))));
}

std::string shortestDecimal(double value)
{
    // The shortest form would write 2000000 as "2e+06"; a whole number keeps all its digits.
    char buffer[400]; // the longest double in fixed form: a sign and 309 digits
    const bool whole = std::isfinite(value) && value == std::trunc(value);
    const auto result = whole ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                              : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string twoDecimals(double value)
{
    const double cents = roundHalfEven(value * 100.0);
    // Beyond the cents a 64-bit integer holds (and for infinities and NaN) the value is a whole number or no
    // number at all, and its own text is exact.
    if (!(std::fabs(cents) < 0x1p63)) {
        char buffer[400]; // the longest double in fixed form with two decimals
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
        return std::string(buffer, result.ptr);
    }
    const bool negative = cents < 0;
    const long long whole = static_cast<long long>(std::fabs(cents));
    std::string text = std::to_string(whole / 100) + "." + (whole % 100 < 10 ? "0" : "") +
                       std::to_string(whole % 100);
    return negative ? "-" + text : text;
}

std::string upToTwoDecimals(double value)
{
    std::string text = twoDecimals(value);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

} // namespace nimbrel
