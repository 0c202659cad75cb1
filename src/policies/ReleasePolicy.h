#pragma once

#include <cstdint>
#include <functional>

namespace nimbrel {

class AmountLists;
class CheckBoxModel;
class Clock;
class ErrorReporter;
class LabelModel;
class ListModel;
class LowMemoryWarning;
class MemoryStatus;
class ReleaseEngine;
class Settings;
class StartupOptions;
class TimerModel;
class Trap;
enum class ReleaseOrigin;
struct SettingKey;

// What the Automatic and the Time Intervals panels have in common: the services and neighbours they work with,
// the checks a due release goes through before the panel's own condition, the store of a clicked value and the
// Active box that turns the panel's timer on and off.
class ReleasePolicy {
public:
    struct Services {
        MemoryStatus& memory;
        Clock& clock;
        Settings& settings;
        ErrorReporter& reporter;
    };
    struct Neighbours {
        AmountLists& amounts;    // the amount lists and the totals
        StartupOptions& startup; // the wait before the first pass
        ReleaseEngine& engine;
        LowMemoryWarning& warning;
        const LabelModel& lblCPU;
    };

protected:
    ReleasePolicy(Services services, Neighbours neighbours, const bool& isLoading);

    // What a due check found before the panel's own condition.
    struct DueCheck {
        bool heldBack = false; // a release is running or the CPU is busy: the check counts as made
        bool goOn = true;      // false: a low-memory warning's box is still open, the tick ends
        std::int32_t amountMB = 0;
        std::int32_t availableMB = 0;
    };
    // Checks in the order the panels do: a release already running, the CPU condition, then the amount to free,
    // the available memory and the low-memory warning.
    DueCheck checkDue(const Trap& trap, const CheckBoxModel& cpuCondition, const ListModel& cpuThreshold,
                      const ListModel& amount);
    // Starts the release a due check found room for, after the startup wait.
    void startRelease(const Trap& trap, const DueCheck& due, ReleaseOrigin origin);

    // Stores a clicked value, unless the panel is being loaded.
    void storeClick(const char* tag, const SettingKey& key, int value);
    // The Active box clicked by the user: stores its state, then arms the policy or stops its timer.
    void activeClicked(const char* tag, const SettingKey& key, const CheckBoxModel& active, TimerModel& timer,
                       const std::function<void()>& arm);

    Services services_;
    Neighbours n_;
    const bool& isLoading_;
};

} // namespace nimbrel
