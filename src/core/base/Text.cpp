#include "core/base/Text.h"

#include <algorithm>
#include <cctype>

namespace nimbrel {

namespace {

bool sameLetter(unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); }

} // namespace

bool equalIgnoringCase(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameLetter);
}

std::size_t findIgnoringCase(const std::string& text, const std::string& part, std::size_t from)
{
    if (from > text.size()) return std::string::npos;
    const auto at = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), part.begin(), part.end(), sameLetter);
    return at == text.end() && !part.empty() ? std::string::npos : static_cast<std::size_t>(at - text.begin());
}

bool containsIgnoringCase(const std::string& text, const std::string& part)
{
    return findIgnoringCase(text, part) != std::string::npos;
}

std::string elidedForMenu(const std::string& caption)
{
    // A character begins at every byte that does not go on the one before (10xxxxxx).
    const auto starts = [](unsigned char byte) { return (byte & 0xC0) != 0x80; };
    const std::size_t count = static_cast<std::size_t>(std::count_if(caption.begin(), caption.end(), starts));
    if (count <= menuCaptionCharacters) return caption;
    std::size_t kept = 0;
    std::size_t end = 0;
    for (; end < caption.size(); ++end) {
        if (starts(static_cast<unsigned char>(caption[end])) && kept++ == menuCaptionCharacters - 3) break;
    }
    return caption.substr(0, end) + "...";
}

} // namespace nimbrel
