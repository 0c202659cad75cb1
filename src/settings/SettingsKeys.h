#pragma once

namespace nimbrel {

// One stored setting: where it lives in settings.ini and its value on a first start.
struct SettingKey {
    const char* section;
    const char* key;
    const char* defaultValue;
};

// Every key of settings.ini, in the order the loaders read them.
namespace keys {
inline constexpr SettingKey ramRelease{"RAM", "Release", "0"};
// "Block": every pass writes the guarded block, even where the kernel could reclaim the memory itself.
inline constexpr SettingKey ramMethod{"RAM", "Method", ""};

inline constexpr SettingKey autoMinimum{"Auto", "Minimum", "0"};
inline constexpr SettingKey autoRelease{"Auto", "Release", "0"};
inline constexpr SettingKey autoInterval{"Auto", "Interval", "5"};
inline constexpr SettingKey autoCpuCheck{"Auto", "CPUCheck", "1"};
inline constexpr SettingKey autoCpuPercent{"Auto", "CPUPercent", "5"};
inline constexpr SettingKey autoActive{"Auto", "Active", "1"};

inline constexpr SettingKey timeRelease{"Time", "Release", "0"};
inline constexpr SettingKey timeInterval{"Time", "Interval", "Minutes"};
inline constexpr SettingKey timeIntervalAmount{"Time", "IntervalAmount", "5"};
inline constexpr SettingKey timeCpuCheck{"Time", "CPUCheck", "1"};
inline constexpr SettingKey timeCpuPercent{"Time", "CPUPercent", "5"};
inline constexpr SettingKey timeActive{"Time", "Active", "1"};

inline constexpr SettingKey startupDisplay{"Startup", "Display", "0"};
inline constexpr SettingKey startupAutoLaunch{"Startup", "AutoLaunch", "1"};
inline constexpr SettingKey startupQuit{"Startup", "Quit", "1"};
inline constexpr SettingKey startupLowLevel{"Startup", "LowLevel", "0"};
inline constexpr SettingKey startupRelease{"Startup", "Release", "0"};
inline constexpr SettingKey startupWait{"Startup", "Wait", "0"};
inline constexpr SettingKey startupRetry{"Startup", "Retry", "0"};
inline constexpr SettingKey startupCpuUpdate{"Startup", "CPUUpdate", "2"};
inline constexpr SettingKey startupTrayGauge{"Startup", "TrayGauge", "0"};

inline constexpr SettingKey launcherRetry{"Launcher", "Retry", "0"};
inline constexpr SettingKey launcherFreeup{"Launcher", "Freeup", "1"};

inline constexpr SettingKey memoryGraphInterval{"Memory", "GraphInterval", "1.5"};

// "0": no error report is sent to the vendor's server; any other value, or none, sends them.
inline constexpr SettingKey onlineReports{"Online", "Reports", "1"};
} // namespace keys

} // namespace nimbrel
