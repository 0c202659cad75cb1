// A program started on trial, as an update starts a verified download: copies of this test program that play a
// program ending early, crashing, hanging, or going through its start and telling what it found; and the built
// Nimbrel.exe, whose trial leaves the user's files and values as they were.

#include "platform/windows/TrialRun.h"
#include "platform/windows/Win32TrialStart.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

// Set in a test, this makes a copy of the test program that is started on trial play the part it names, before
// any test of its own runs. "at once" ends well as soon as it sees the trial mark; "crash" ends as a program the
// system stopped for an access violation; "hang" never ends; "report" writes what the trial gave it, one
// "name=value" a line, to the file the report variable names, and ends as a program that reached its message
// loop on trial does.
constexpr const wchar_t* playVariable = L"NIMBREL_TRIAL_PLAY";
constexpr const wchar_t* reportVariable = L"NIMBREL_TRIAL_REPORT";

std::wstring variable(const wchar_t* name)
{
    wchar_t value[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(value, length) : std::wstring();
}

void reportTrial(const TrialRun& trial)
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    wchar_t desktop[256] = {};
    GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, desktop, sizeof desktop, nullptr);
    // The trial's hives take a value: it is the trial's own registry.
    const std::wstring mark = L"reached";
    const bool hivesWritable =
        trial.user() != HKEY_CURRENT_USER && trial.machine() != HKEY_LOCAL_MACHINE &&
        RegSetValueExW(trial.user(), L"trial", 0, REG_SZ, reinterpret_cast<const BYTE*>(mark.c_str()),
                       static_cast<DWORD>((mark.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    std::wofstream out(fs::path(variable(reportVariable)), std::ios::binary);
    out << L"folder=" << folder << L"\nprogram=" << program << L"\ndesktop=" << desktop
        << L"\nAPPDATA=" << variable(L"APPDATA") << L"\nLOCALAPPDATA=" << variable(L"LOCALAPPDATA")
        << L"\nNIMBREL_SERVER=" << variable(L"NIMBREL_SERVER") << L"\nNIMBREL_PROBE_URL="
        << variable(L"NIMBREL_PROBE_URL") << L"\nkey=" << trialKey(static_cast<std::uint32_t>(trial.endCode()))
        << L"\nhives=" << (hivesWritable ? L"writable" : L"none") << L"\n";
}

const bool trialPlayed = [] {
    const TrialRun trial;
    const std::wstring part = variable(playVariable);
    if (!trial || part.empty()) return false;
    if (part == L"at once") ExitProcess(0);
    if (part == L"crash") ExitProcess(static_cast<UINT>(EXCEPTION_ACCESS_VIOLATION));
    if (part == L"hang") Sleep(INFINITE);
    reportTrial(trial);
    ExitProcess(static_cast<UINT>(trial.endCode()));
}();

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> ownBytes() { return bytesOf(testing::fileBytes(testing::ownProgram())); }

// Sets an environment variable for the test's life, and puts back what was there.
class Setting {
public:
    Setting(const wchar_t* name, const std::wstring& value) : name_(name), before_(variable(name))
    {
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~Setting() { SetEnvironmentVariableW(name_, before_.empty() ? nullptr : before_.c_str()); }
    Setting(const Setting&) = delete;
    Setting& operator=(const Setting&) = delete;

private:
    const wchar_t* name_;
    std::wstring before_;
};

std::string reportedValue(const std::string& report, const std::string& name)
{
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
    }
    return "(not reported)";
}

bool keyExists(HKEY hive, const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Each test's trials run in a temporary folder of the test's own, which tests running beside it do not touch.
class Win32TrialStart : public ::testing::Test {
protected:
    // The names in the temporary folder that a trial makes, or a trial's program would make beside itself there.
    std::vector<std::string> trialLeftovers() const
    {
        std::vector<std::string> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(temporary_.path())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("nimbrel-trial-", 0) == 0 || name == "settings.ini" || name == "Launcher.mbl")
                found.push_back(name);
        }
        return found;
    }

private:
    const testing::TestFolder temporary_{"temporary"};
    const Setting tmp_{L"TMP", temporary_.path().wstring()};
    const Setting temp_{L"TEMP", temporary_.path().wstring()};
};

TEST_F(Win32TrialStart, AProgramThatEndsBeforeItsMessageLoopFailsItsTrial)
{
    {
        const Setting play(playVariable, L"at once");
        EXPECT_FALSE(startsOnTrial(ownBytes())) << "ended well on the trial mark alone, without a start";
    }
    {
        const Setting play(playVariable, L"crash");
        EXPECT_FALSE(startsOnTrial(ownBytes()));
    }
    {
        const Setting play(playVariable, L"hang");
        EXPECT_FALSE(startsOnTrial(ownBytes(), {}, std::chrono::seconds(2))) << "still running at the limit";
    }
    EXPECT_EQ(trialLeftovers(), std::vector<std::string>());
}

// A Cancel while a program is on trial ends the trial at once.
TEST_F(Win32TrialStart, ATrialThatMayNoLongerWaitIsEnded)
{
    const Setting play(playVariable, L"hang");
    int waits = 0;
    EXPECT_FALSE(startsOnTrial(ownBytes(), [&waits] { return ++waits < 3; }));
    EXPECT_EQ(waits, 3) << "ended at the first wait that said no";
    EXPECT_EQ(trialLeftovers(), std::vector<std::string>());
}

// The trial runs in places of its own, on a desktop no one sees, with the vendor's server out of reach; they are
// gone after it.
TEST_F(Win32TrialStart, ATrialRunsInPlacesOfItsOwnThatGoWithIt)
{
    const testing::TestFolder folder("report");
    const fs::path report = folder.path() / "report.txt";
    const Setting play(playVariable, L"report");
    const Setting where(reportVariable, report.wstring());
    const Setting server(L"NIMBREL_SERVER", L"http://127.0.0.1:8080");
    ASSERT_TRUE(startsOnTrial(ownBytes()));

    const std::string seen = testing::fileBytes(report);
    const fs::path started = reportedValue(seen, "folder");
    EXPECT_EQ(fs::path(reportedValue(seen, "program")), started / "Nimbrel.exe") << seen;
    EXPECT_EQ(started.parent_path(), (fs::temp_directory_path() / "").parent_path()) << seen;
    EXPECT_EQ(started.filename().string().rfind("nimbrel-trial-", 0), 0u) << seen;
    EXPECT_EQ(fs::path(reportedValue(seen, "APPDATA")), started / "AppData" / "Roaming") << seen;
    EXPECT_EQ(fs::path(reportedValue(seen, "LOCALAPPDATA")), started / "AppData" / "Local") << seen;
    EXPECT_EQ(reportedValue(seen, "NIMBREL_SERVER"), "http://127.0.0.1:9") << seen;
    EXPECT_EQ(reportedValue(seen, "NIMBREL_PROBE_URL"), "http://127.0.0.1:9") << seen;
    EXPECT_NE(reportedValue(seen, "desktop"), "Default") << seen;
    EXPECT_EQ(reportedValue(seen, "hives"), "writable") << seen;

    EXPECT_FALSE(fs::exists(started)) << "the trial's folder goes with it";
    const std::string key = reportedValue(seen, "key");
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, std::wstring(key.begin(), key.end()))) << "and so do its keys";
}

// The program's values, saved and taken away for the test, and put back after it.
class ProgramValues {
public:
    ProgramValues()
    {
        for (const HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) saved_.push_back(take(hive));
    }
    ~ProgramValues()
    {
        const HKEY hives[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            if (!saved_[i]) {
                RegDeleteKeyValueW(hives[i], key, L"ver");
                continue;
            }
            RegSetKeyValueW(hives[i], key, L"ver", REG_SZ, saved_[i]->c_str(),
                            static_cast<DWORD>((saved_[i]->size() + 1) * sizeof(wchar_t)));
        }
    }
    ProgramValues(const ProgramValues&) = delete;
    ProgramValues& operator=(const ProgramValues&) = delete;

    static std::optional<std::wstring> version(HKEY hive)
    {
        wchar_t value[64] = {};
        DWORD size = sizeof value;
        if (RegGetValueW(hive, key, L"ver", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return std::nullopt;
        return value;
    }

    static constexpr const wchar_t* key = L"Software\\Microsoft\\Nimbrel";

private:
    static std::optional<std::wstring> take(HKEY hive)
    {
        std::optional<std::wstring> value = version(hive);
        RegDeleteKeyValueW(hive, key, L"ver");
        return value;
    }

    std::vector<std::optional<std::wstring>> saved_;
};

// The program on trial goes through its start, which records its version where none is: in the trial's keys,
// not the user's; it writes its settings in its own folder, not the user's; and the running copy's hold on the
// session does not stop it.
TEST_F(Win32TrialStart, ATrialOfTheProgramLeavesTheUsersFilesAndValuesAsTheyWere)
{
    if (!fs::exists(testing::builtProgram())) GTEST_SKIP() << "Nimbrel.exe is not built at " << testing::builtProgram();
    const testing::TestFolder user("user");
    fs::create_directories(user.path() / "Nimbrel");
    const std::string settings = "[Options]\r\nQuitHides=0\r\n";
    std::ofstream(user.path() / "Nimbrel" / "settings.ini", std::ios::binary) << settings;
    const Setting appData(L"APPDATA", user.path().wstring());
    const ProgramValues values;
    const HANDLE running = CreateMutexW(nullptr, FALSE, L"Local\\Nimbrel");
    ASSERT_NE(running, nullptr);

    const bool started = startsOnTrial(bytesOf(testing::fileBytes(testing::builtProgram())));
    CloseHandle(running);
    EXPECT_TRUE(started) << "went through its start beside the running copy";

    EXPECT_EQ(testing::fileBytes(user.path() / "Nimbrel" / "settings.ini"), settings);
    EXPECT_EQ(std::distance(fs::directory_iterator(user.path() / "Nimbrel"), fs::directory_iterator()), 1)
        << "nothing written beside it";
    EXPECT_FALSE(ProgramValues::version(HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(ProgramValues::version(HKEY_CURRENT_USER));
    EXPECT_EQ(trialLeftovers(), std::vector<std::string>());
}

} // namespace
} // namespace nimbrel
