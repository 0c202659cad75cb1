#pragma once

#include <string>

namespace nimbrel {

// Texts compared the way the classic runtime's text compare did: letter case ignored, byte by byte.

bool equalIgnoringCase(const std::string& a, const std::string& b);
bool containsIgnoringCase(const std::string& text, const std::string& part);
// The position of part in text from the position from on, npos when it is not there.
std::size_t findIgnoringCase(const std::string& text, const std::string& part, std::size_t from = 0);

} // namespace nimbrel
