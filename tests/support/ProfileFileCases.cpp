#include "ProfileFileCases.h"

#include "support/FileBytes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::testing {
namespace {

namespace fs = std::filesystem;

class TemporaryFolder {
public:
    TemporaryFolder()
    {
        static std::atomic<unsigned> made{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const fs::path candidate = fs::temp_directory_path() /
                ("nimbrel-ini-cases-" + std::to_string(stamp) + "-" + std::to_string(++made));
            if (fs::create_directory(candidate)) path_ = candidate;
        }
        if (path_.empty()) throw std::runtime_error("no temporary folder");
    }
    ~TemporaryFolder()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// One line of an .expected file: its verb, its quoted strings decoded, and its number after "->".
struct Step {
    int lineNumber = 0;
    std::string verb;
    std::vector<std::string> strings;
    std::optional<long> number;
};

std::optional<std::string> decodedString(std::string_view line, std::size_t& at)
{
    std::string text;
    ++at; // the opening quote
    while (at < line.size() && line[at] != '"') {
        if (line[at] != '\\') {
            text += line[at++];
            continue;
        }
        if (++at >= line.size()) return std::nullopt;
        const char escape = line[at++];
        switch (escape) {
        case '\\': text += '\\'; break;
        case '"': text += '"'; break;
        case 'r': text += '\r'; break;
        case 'n': text += '\n'; break;
        case 't': text += '\t'; break;
        case 'x': {
            if (at + 2 > line.size() || !std::isxdigit(static_cast<unsigned char>(line[at])) ||
                !std::isxdigit(static_cast<unsigned char>(line[at + 1]))) {
                return std::nullopt;
            }
            text += static_cast<char>(std::stoi(std::string(line.substr(at, 2)), nullptr, 16));
            at += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    if (at >= line.size()) return std::nullopt; // no closing quote
    ++at;
    return text;
}

// The steps of an .expected file; a line that does not have the documented shape fails the test.
std::vector<Step> stepsOf(const fs::path& expectedFile)
{
    std::vector<Step> steps;
    std::istringstream in(bytesOf(expectedFile));
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (line.empty() || line.front() == '#') continue;
        Step step;
        step.lineNumber = lineNumber;
        std::size_t at = line.find(' ');
        step.verb = line.substr(0, at);
        bool arrow = false;
        while (at != std::string::npos && at < line.size()) {
            if (line[at] == ' ') {
                ++at;
            } else if (line[at] == '"') {
                const auto text = decodedString(line, at);
                if (!text) {
                    ADD_FAILURE() << expectedFile << ":" << lineNumber << ": bad string";
                    return {};
                }
                step.strings.push_back(*text);
            } else if (line.compare(at, 2, "->") == 0) {
                arrow = true;
                at += 2;
            } else if (arrow && std::isdigit(static_cast<unsigned char>(line[at]))) {
                std::size_t used = 0;
                step.number = std::stol(line.substr(at), &used);
                at += used;
            } else {
                ADD_FAILURE() << expectedFile << ":" << lineNumber << ": cannot read \"" << line.substr(at) << "\"";
                return {};
            }
        }
        steps.push_back(step);
    }
    return steps;
}

bool hasShape(const Step& step)
{
    if (step.verb == "read" || step.verb == "reread") return step.strings.size() == 4 && step.number;
    if (step.verb == "write" || step.verb == "more") return step.strings.size() == 3 && step.number;
    if (step.verb == "file") return step.strings.size() == 1 && !step.number;
    if (step.verb == "nofile" || step.verb == "end") return step.strings.empty() && !step.number;
    return false;
}

// The physical lines of a text, each with its own line end (CR LF, LF or CR; none for a last line without one).
std::vector<std::string> linesOf(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            end = text.size();
        } else {
            end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
        }
        lines.emplace_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

bool blank(char c) { return (c >= '\t' && c <= '\r') || c == '\x1a' || c == ' '; }

std::string_view trimmedLeft(std::string_view s)
{
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view trimmedRight(std::string_view s)
{
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view uptoNul(std::string_view s) { return s.substr(0, s.find('\0')); }

// The text the way the recorded writer saves it (README of the cases): lines of blanks dropped, blanks around
// names and values removed, names and values cut at NUL, text after the last "]" of a header dropped, every line
// ended with CR LF. A line with an empty name right after a key with an empty name is dropped as well: the
// recorded writer never keeps such a line (it could never be found).
std::string normalForm(std::string_view text)
{
    std::string out;
    if (text.starts_with("\xEF\xBB\xBF")) {
        out = "\xEF\xBB\xBF";
        text.remove_prefix(3);
    }
    bool afterKeyWithoutName = false;
    for (const std::string& line : linesOf(text)) {
        const std::string_view content = trimmedRight(trimmedLeft(line));
        if (content.empty()) continue;
        const std::size_t close = content.rfind(']');
        if (content.front() == '[' && close != std::string_view::npos) {
            const std::string_view name = uptoNul(trimmedRight(trimmedLeft(content.substr(1, close - 1))));
            if (!name.empty()) out.append("[").append(name).append("]\r\n");
            afterKeyWithoutName = false;
            continue;
        }
        const std::size_t equals = content.find('=');
        const std::string_view rawName = equals == std::string_view::npos ? content : trimmedRight(content.substr(0, equals));
        if (rawName.empty() && afterKeyWithoutName) continue;
        const std::string_view name = uptoNul(rawName);
        out.append(name);
        if (equals != std::string_view::npos) out.append("=").append(uptoNul(trimmedLeft(content.substr(equals + 1))));
        out.append("\r\n");
        afterKeyWithoutName = name.empty();
    }
    return out;
}

// What two versions of a text have in common, line by line (a longest common subsequence), and what is left.
struct LineChanges {
    std::vector<std::string> removed; // lines of the old text that are not in the new one
    std::vector<std::string> added;   // lines of the new text that are not in the old one
};

LineChanges changesBetween(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    const std::size_t n = before.size() - head - tail;
    const std::size_t m = after.size() - head - tail;
    std::vector<std::vector<std::size_t>> common(n + 1, std::vector<std::size_t>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t j = m; j-- > 0;) {
            common[i][j] = before[head + i] == after[head + j] ? common[i + 1][j + 1] + 1
                                                              : std::max(common[i + 1][j], common[i][j + 1]);
        }
    }
    LineChanges changes;
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && before[head + i] == after[head + j]) {
            ++i;
            ++j;
        } else if (j < m && (i == n || common[i][j + 1] >= common[i + 1][j])) {
            changes.added.push_back(after[head + j++]);
        } else {
            changes.removed.push_back(before[head + i++]);
        }
    }
    return changes;
}

std::string shown(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\\') out += "\\\\";
        else if (u < 0x20 || u >= 0x7F) {
            static const char digits[] = "0123456789ABCDEF";
            out += "\\x";
            out += digits[u >> 4];
            out += digits[u & 0xF];
        } else {
            out += c;
        }
    }
    return out.size() > 600 ? out.substr(0, 600) + "..." : out;
}

std::vector<fs::path> recordedCases(const fs::path& casesFolder)
{
    std::vector<fs::path> cases;
    for (const auto& entry : fs::directory_iterator(casesFolder)) {
        if (entry.path().extension() == ".expected") cases.push_back(entry.path());
    }
    std::sort(cases.begin(), cases.end());
    return cases;
}

// A write group under way: the writes so far and the file they go to.
struct WriteGroup {
    fs::path folder;
    fs::path file;
    int writes = 0;
    std::string recorded;
    bool recordedNoFile = false;
};

void compareGroup(const WriteGroup& group, const std::optional<std::string>& fixture, const std::string& where)
{
    SCOPED_TRACE(where);
    // Nothing but the settings file may be left in the folder.
    for (const auto& entry : fs::directory_iterator(group.folder)) {
        EXPECT_EQ(entry.path(), group.file) << "left behind: " << entry.path();
    }
    if (group.recordedNoFile) {
        EXPECT_FALSE(fs::exists(group.file));
        return;
    }
    ASSERT_TRUE(fs::is_regular_file(group.file));
    const std::string actual = bytesOf(group.file);

    if (!fixture || normalForm(*fixture) == *fixture) {
        EXPECT_EQ(shown(actual), shown(group.recorded));
        EXPECT_EQ(actual, group.recorded);
        return;
    }
    if (group.recorded == *fixture) {
        EXPECT_EQ(actual, *fixture) << "a write that changes nothing must leave the file untouched";
        return;
    }
    EXPECT_EQ(shown(normalForm(actual)), shown(group.recorded));
    EXPECT_EQ(normalForm(actual), group.recorded);

    const LineChanges changes = changesBetween(linesOf(*fixture), linesOf(actual));
    const std::vector<std::string> recordedLines = linesOf(group.recorded);
    EXPECT_LE(changes.removed.size(), static_cast<std::size_t>(group.writes));
    EXPECT_LE(changes.added.size(), static_cast<std::size_t>(2 * group.writes)); // a header and a key each
    for (const std::string& line : changes.added) {
        EXPECT_NE(std::find(recordedLines.begin(), recordedLines.end(), line), recordedLines.end())
            << "written line \"" << shown(line) << "\" is not among the recorded lines";
    }
}

void runCase(ProfileFile& profile, const fs::path& expectedFile)
{
    const std::string name = expectedFile.stem().string();
    const fs::path fixtureFile = expectedFile.parent_path() / (name + ".ini");
    const std::optional<std::string> fixture =
        fs::exists(fixtureFile) ? std::optional<std::string>(bytesOf(fixtureFile)) : std::nullopt;

    TemporaryFolder scratch;
    // The fixture is read where it lies; a case without one reads a path where no file exists.
    const fs::path readPath = fixture ? fixtureFile : scratch.path() / "absent" / "settings.ini";
    if (!fixture) fs::create_directory(scratch.path() / "absent");

    const std::vector<Step> steps = stepsOf(expectedFile);
    ASSERT_FALSE(steps.empty()) << expectedFile;

    std::optional<WriteGroup> group;
    int groups = 0;
    for (const Step& step : steps) {
        const std::string where = name + ".expected:" + std::to_string(step.lineNumber);
        ASSERT_TRUE(hasShape(step)) << where << ": unexpected line";
        const auto& s = step.strings;

        if (step.verb == "read" || step.verb == "reread") {
            ASSERT_TRUE(step.verb == "read" || group) << where << ": reread outside a write group";
            EXPECT_EQ(*step.number, static_cast<long>(s[3].size())) << where << ": count and value disagree";
            const fs::path path = step.verb == "read" ? readPath : group->file;
            const std::string value = profile.readString(path.string(), s[0], s[1], s[2]);
            EXPECT_EQ(shown(value), shown(s[3])) << where;
            EXPECT_EQ(value, s[3]) << where;
        } else if (step.verb == "write" || step.verb == "more") {
            if (step.verb == "write") {
                ASSERT_FALSE(group) << where << ": write group not closed";
                group.emplace();
                group->folder = scratch.path() / ("group" + std::to_string(++groups));
                fs::create_directory(group->folder);
                group->file = group->folder / "settings.ini";
                if (fixture) store(group->file, *fixture);
            }
            ASSERT_TRUE(group) << where << ": more outside a write group";
            ++group->writes;
            const bool stored = profile.writeString(group->file.string(), s[0], s[1], s[2]);
            EXPECT_EQ(stored ? 1 : 0, *step.number) << where;
        } else if (step.verb == "file") {
            ASSERT_TRUE(group) << where << ": file outside a write group";
            group->recorded += s[0];
        } else if (step.verb == "nofile") {
            ASSERT_TRUE(group) << where << ": nofile outside a write group";
            group->recordedNoFile = true;
        } else if (step.verb == "end") {
            ASSERT_TRUE(group) << where << ": end outside a write group";
            compareGroup(*group, fixture, where);
            group.reset();
        }
    }
    EXPECT_FALSE(group) << name << ": write group not closed";
}

// Lookups compare as the profile functions do: blanks around the names aside, letter case aside (the recorded
// cases use ASCII names only).
std::string lookupOf(const std::string& section, const std::string& key)
{
    std::string text = std::string(trimmedRight(trimmedLeft(section))) + '\n' + std::string(trimmedRight(trimmedLeft(key)));
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

bool iniCasesPresent(const fs::path& casesFolder)
{
    std::error_code ec;
    return fs::is_directory(casesFolder, ec);
}

void runEveryRecordedIniCase(ProfileFile& profile, const fs::path& casesFolder)
{
    const std::vector<fs::path> cases = recordedCases(casesFolder);
    ASSERT_FALSE(cases.empty()) << "no .expected files in " << casesFolder;
    for (const fs::path& expectedFile : cases) {
        SCOPED_TRACE(expectedFile.filename().string());
        runCase(profile, expectedFile);
    }
}

void writeIntoEveryIniFixture(ProfileFile& profile, const fs::path& casesFolder)
{
    int writes = 0;
    for (const fs::path& expectedFile : recordedCases(casesFolder)) {
        const fs::path fixtureFile = casesFolder / (expectedFile.stem().string() + ".ini");
        if (!fs::exists(fixtureFile)) continue;
        const std::string fixture = bytesOf(fixtureFile);
        std::vector<Step> reads;
        for (const Step& step : stepsOf(expectedFile)) {
            if (step.verb == "read" && hasShape(step)) reads.push_back(step);
        }
        for (const Step& written : reads) {
            SCOPED_TRACE(expectedFile.stem().string() + ".expected:" + std::to_string(written.lineNumber));
            TemporaryFolder folder;
            const fs::path file = folder.path() / "settings.ini";
            store(file, fixture);
            const std::string value = "written " + std::to_string(++writes);

            ASSERT_TRUE(profile.writeString(file.string(), written.strings[0], written.strings[1], value));
            EXPECT_EQ(profile.readString(file.string(), written.strings[0], written.strings[1], "-"), value);

            const std::string after = bytesOf(file);
            const LineChanges changes = changesBetween(linesOf(fixture), linesOf(after));
            EXPECT_LE(changes.removed.size(), 1u);
            EXPECT_GE(changes.added.size(), 1u);
            EXPECT_LE(changes.added.size(), 2u);
            // Every added line ends in CR LF; a header-less added line holds the value.
            for (const std::string& line : changes.added) EXPECT_TRUE(line.ends_with("\r\n")) << shown(line);
            EXPECT_TRUE(changes.added.back().ends_with("=" + value + "\r\n")) << shown(changes.added.back());

            const std::string writtenLookup = lookupOf(written.strings[0], written.strings[1]);
            for (const Step& other : reads) {
                if (lookupOf(other.strings[0], other.strings[1]) == writtenLookup) continue;
                EXPECT_EQ(profile.readString(file.string(), other.strings[0], other.strings[1], other.strings[2]),
                          other.strings[3])
                    << "line " << other.lineNumber;
            }
        }
    }
    EXPECT_GT(writes, 20);
}

std::vector<RecordedIniRead> recordedIniReads(const fs::path& casesFolder)
{
    std::vector<RecordedIniRead> reads;
    for (const fs::path& expectedFile : recordedCases(casesFolder)) {
        const fs::path fixtureFile = casesFolder / (expectedFile.stem().string() + ".ini");
        for (const Step& step : stepsOf(expectedFile)) {
            if (step.verb != "read" || !hasShape(step)) continue;
            reads.push_back({expectedFile.stem().string() + ".expected:" + std::to_string(step.lineNumber),
                             fixtureFile, step.strings[0], step.strings[1], step.strings[2], step.strings[3]});
        }
    }
    return reads;
}

} // namespace nimbrel::testing
