#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

// Numbers the way the classic runtime handled them; every subsystem uses these.

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// Nearest 32-bit integer, halves to even; Overflow (6) outside the range.
std::int32_t toInt32(double value);

// True when the whole text reads as a number: blanks around it, a sign,
// digits with one decimal point, an exponent, or &H / &O forms.
bool isNumeric(const std::string& text);

// The number at the start of a text, 0 when there is none. Blanks, tabs and
// line feeds are skipped anywhere; reading stops at the first other
// character that cannot continue the number ("16 MB" -> 16, "abc" -> 0).
double leadingNumber(const std::string& text);

// The value of a text that passed isNumeric. Type mismatch (13) otherwise.
double numericValue(const std::string& text);

// The amount of an amount list's entry: the whole number before its first blank ("16 MB" -> 16).
std::int32_t entryAmountMB(const std::string& entry);

// The shortest decimal text that reads back as the same value ("1.5", "3").
std::string shortestDecimal(double value);

// Two decimals, rounded half to even, with a leading zero ("0.50", "123.45").
std::string twoDecimals(double value);

// At most two decimals, without trailing zeros ("123.45", "123.4", "123").
std::string upToTwoDecimals(double value);

} // namespace nimbrel
