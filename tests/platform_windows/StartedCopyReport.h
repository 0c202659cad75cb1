#pragma once

#include <windows.h>

#include <fstream>

namespace nimbrel::testing {

// Set in a test, this makes a copy of the test program that the test has something start report how it was
// started and end at once, before any test of its own runs: its show command, its working folder and its
// command line, one a line, in the file the variable names.
constexpr const wchar_t* startedReportVariable = L"NIMBREL_STARTED_REPORT";

inline const bool startedCopyReported = [] {
    wchar_t report[MAX_PATH] = {};
    if (GetEnvironmentVariableW(startedReportVariable, report, MAX_PATH) == 0) return false;
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::wofstream out(report);
    out << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1) << L"\n"
        << folder << L"\n" << GetCommandLineW() << L"\n";
    out.close();
    ExitProcess(0);
}();

} // namespace nimbrel::testing
