#include "Win32TextFile.h"

#include "WholeFile.h"
#include "WideText.h"
#include "core/base/RuntimeError.h"

namespace nimbrel {

namespace {

RuntimeError accessError() { return RuntimeError(75, "Path/File access error"); }

} // namespace

std::optional<std::string> Win32TextFile::read(const std::string& path, std::size_t maxBytes)
{
    std::string bytes;
    switch (wholefile::read(wide::fromUtf8(path), bytes, maxBytes)) {
    case wholefile::Load::Loaded: return bytes;
    case wholefile::Load::Absent: return std::nullopt;
    case wholefile::Load::Unreadable: break;
    }
    throw accessError();
}

void Win32TextFile::replace(const std::string& path, const std::string& bytes)
{
    if (!wholefile::replace(wide::fromUtf8(path), bytes)) throw accessError();
}

std::string Win32TextFile::decode(const std::string& bytes)
{
    // Earlier versions wrote their text in UTF-8: a line that is UTF-8 throughout is taken as such (text in a
    // code page almost never is, once it holds anything beyond ASCII). It is written back in the code page.
    if (wide::isUtf8(bytes)) return bytes;
    return wide::toUtf8(wide::fromAnsi(bytes));
}

std::optional<std::string> Win32TextFile::encode(const std::string& text)
{
    // Text that is not UTF-8 would pass as U+FFFD, which no code page holds either.
    return wide::toAnsi(wide::fromUtf8(text));
}

} // namespace nimbrel
