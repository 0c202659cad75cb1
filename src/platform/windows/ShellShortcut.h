#pragma once

#include <optional>
#include <string>

namespace nimbrel {

// A shell shortcut (.lnk), read with IShellLinkW through IPersistFile: the program it starts, with its
// arguments and working folder as the shortcut gives them.
struct ShellShortcut {
    std::wstring program;
    std::wstring arguments;
    std::wstring folder; // empty when the shortcut names none

    // True when the path's name ends in ".lnk", letter case ignored.
    static bool named(const std::wstring& path);
    // The shortcut at path; nothing when it is none or names no program file.
    static std::optional<ShellShortcut> read(const std::wstring& path);
};

} // namespace nimbrel
