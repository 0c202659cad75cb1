#pragma once

#include <string>

namespace nimbrel {

// Texts compared the way the classic runtime's text compare did: letter case ignored, byte by byte.

bool equalIgnoringCase(const std::string& a, const std::string& b);
bool containsIgnoringCase(const std::string& text, const std::string& part);
// The position of part in text from the position from on, npos when it is not there.
std::size_t findIgnoringCase(const std::string& text, const std::string& part, std::size_t from = 0);

// How many characters a menu entry shows: a longer caption (a program's name chosen by the user) is cut,
// so that no entry makes its menu as wide as the screen.
constexpr std::size_t menuCaptionCharacters = 48;
// The UTF-8 caption as a menu shows it: at most menuCaptionCharacters characters, the last three of a cut one
// "...".
std::string elidedForMenu(const std::string& caption);

} // namespace nimbrel
