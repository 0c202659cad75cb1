#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace nimbrel {

// A run that an update started on trial (platform/windows/Win32TrialStart): the trial mark in the environment
// (platform/common/Environment.h) holds the trial's number, which names what the trial has of its own: its keys
// under HKEY_CURRENT_USER, which the starter made and removes, in place of both hives, and its single-instance
// name. The run ends with that number once it reaches its message loop: a program that ends at once on the mark,
// or one that dies on its way, ends otherwise.
class TrialRun {
public:
    // Reads the mark; a mark that holds no trial's number makes a trial that has no hives.
    TrialRun();
    ~TrialRun();
    TrialRun(const TrialRun&) = delete;
    TrialRun& operator=(const TrialRun&) = delete;

    explicit operator bool() const { return number_.has_value(); }
    // The hives the program's registry reads and writes: the system's own, or on trial the trial's keys. A trial
    // whose keys cannot be opened gets none (nullptr), and every read and write of the registry fails.
    HKEY machine() const { return number_ ? machine_ : HKEY_LOCAL_MACHINE; }
    HKEY user() const { return number_ ? user_ : HKEY_CURRENT_USER; }
    // The trial's own single-instance name, so that it neither waits for nor calls the running copy.
    std::wstring instanceName() const;
    // What the trial ends with at the first turn of its message loop.
    int endCode() const { return static_cast<int>(number_.value_or(0)); }

private:
    std::optional<std::uint32_t> number_;
    HKEY machine_ = nullptr;
    HKEY user_ = nullptr;
};

// The trial's own key under HKEY_CURRENT_USER, and the names of its two hives under it.
std::wstring trialKey(std::uint32_t number);
constexpr const wchar_t* trialMachineHive = L"Machine";
constexpr const wchar_t* trialUserHive = L"User";

} // namespace nimbrel
