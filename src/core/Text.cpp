#include "Text.h"

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

} // namespace nimbrel
