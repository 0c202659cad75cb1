#include "TrialRun.h"

#include "platform/common/Environment.h"

#include <cstdlib>
#include <string_view>

namespace nimbrel {

namespace {

// The trial's number as the starter writes it: decimal digits, and not 0 (a run that ends well).
std::optional<std::uint32_t> markedNumber()
{
    const char* mark = std::getenv(trialStartVariable);
    if (mark == nullptr) return std::nullopt;
    const std::string_view text = mark;
    std::uint64_t number = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9' || number > 0x7fffffff) return 0;
        number = number * 10 + static_cast<std::uint64_t>(digit - '0');
    }
    return number == 0 || number > 0x7fffffff ? 0 : static_cast<std::uint32_t>(number);
}

HKEY openHive(std::uint32_t number, const wchar_t* hive)
{
    if (number == 0) return nullptr;
    HKEY key = nullptr;
    const std::wstring path = trialKey(number) + L"\\" + hive;
    return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS ? key : nullptr;
}

} // namespace

std::wstring trialKey(std::uint32_t number) { return L"Software\\Nimbrel trial " + std::to_wstring(number); }

TrialRun::TrialRun() : number_(markedNumber())
{
    if (!number_) return;
    machine_ = openHive(*number_, trialMachineHive);
    user_ = openHive(*number_, trialUserHive);
}

TrialRun::~TrialRun()
{
    for (const HKEY key : {machine_, user_}) {
        if (key != nullptr) RegCloseKey(key);
    }
}

std::wstring TrialRun::instanceName() const { return L"Local\\Nimbrel trial " + std::to_wstring(endCode()); }

} // namespace nimbrel
