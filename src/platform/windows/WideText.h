#pragma once

#include <optional>
#include <string>
#include <string_view>

// The core speaks UTF-8; Windows' wide calls take UTF-16. Every path and text crosses here, and only here.
namespace nimbrel::wide {

// UTF-8 to UTF-16; bytes that are not UTF-8 become U+FFFD.
std::wstring fromUtf8(std::string_view text);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string toUtf8(std::wstring_view text);

// Text in the system's ANSI code page to UTF-16.
std::wstring fromAnsi(std::string_view text);

// True when the text is UTF-8 throughout.
bool isUtf8(std::string_view text);

// UTF-16 to the ANSI code page; nothing when the code page has no exact character for a part of it (no
// look-alike, no "?").
std::optional<std::string> toAnsi(std::wstring_view text);

} // namespace nimbrel::wide
