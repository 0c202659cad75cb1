#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// How the classic private-profile functions see the text of an INI file.
//
// A line ends at CR LF, LF or CR. Blanks (tab, LF, VT, FF, CR, Ctrl-Z, space) around a line, a name or a value
// do not count, and a line of blanks is no line at all. "[name]" opens a section (up to the last "]"); any other
// line is a key, "name=value" split at the first "=", or a bare name without a value. Names and values end at a
// NUL byte. Lines before the first header form a section without a name. Names compare without regard to
// letter case (Windows-1252 letters, as the functions compare them after widening). The first section of a name
// is the one that counts, and in it the first key of a name; later ones are read past. A UTF-8 byte order mark
// at the start of the text is not part of the first line.
namespace nimbrel::ini {

// Where a key stands in a text, found the way the profile functions look it up.
struct KeyPosition {
    bool sectionFound = false;
    // Where a new key line of that section goes: after its last line that is not blank, else after its header.
    std::size_t newKeyAt = 0;
    // That line is the last of the text and has no line end yet.
    bool newKeyNeedsLineEnd = false;

    bool keyFound = false;
    std::size_t keyLineBegin = 0;
    std::size_t keyLineEnd = 0; // after the key line's own line end
    std::string_view storedName;
    std::optional<std::string_view> storedValue; // nothing for a line without "="
};

// The text a read of key in section gives back from a profile's text (empty when the file is absent): the stored
// value, or the default when the section, key or "=" is missing, as the functions copy it for their caller.
std::string readValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view defaultValue);

// What a read gives back for a key stored with that value, or for a key that is absent or has no "=" (nothing).
std::string readResult(std::optional<std::string_view> storedValue, std::string_view defaultValue);

// What a read gives back when the file is there but cannot be read.
std::string unreadableDefault(std::string_view defaultValue);

// The profile's text with key in section set to value, as a write changes it: the lines it does not touch stay
// byte for byte; nothing when the text already holds that value.
std::optional<std::string> withValue(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view value);

// The first key named key in the first section named section.
KeyPosition findKey(std::string_view text, std::string_view section, std::string_view key);

// One line of a section that is not blank and not a header: a key to the functions, comments included.
struct KeyLine {
    std::size_t begin = 0;
    std::size_t end = 0; // after its own line end
    bool hasLineEnd = false;
    std::string_view name;
    std::optional<std::string_view> value; // nothing for a line without "="
};

// Where the first section named section (a lookup name) begins: after its header line, or at the start of the
// text (after a byte order mark) for the lines without a name.
struct SectionStart {
    std::size_t bodyAt = 0;
    bool headerHasLineEnd = true;
};

// Finds the first section named section and hands its key lines to visit in order, until visit returns false
// or the section ends; nothing when the text has no such section.
std::optional<SectionStart> walkSection(std::string_view text, std::string_view section,
                                        const std::function<bool(const KeyLine&)>& visit);

// A name in a form that is the same for every name the lookup takes as the same.
std::string foldedName(std::string_view name);

// The value a write stores for the value it is given: up to a NUL, without the blanks before it.
std::string_view writtenValue(std::string_view value);

// A name as the caller's text gives it to the lookup: up to a NUL, blanks around it removed.
std::string_view lookupName(std::string_view name);

// Tab, LF, VT, FF, CR, Ctrl-Z (an old DOS end-of-file mark) and space.
bool isBlank(char c);

// The text up to its first NUL byte.
std::string_view uptoNul(std::string_view text);

// 3 when the text starts with a UTF-8 byte order mark, else 0.
std::size_t byteOrderMarkLength(std::string_view text);

// True when the last line of the text has no line end (false for a text without lines).
bool lacksFinalLineEnd(std::string_view text);

} // namespace nimbrel::ini
