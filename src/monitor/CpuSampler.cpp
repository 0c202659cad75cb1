#include "CpuSampler.h"

#include "core/system/DynamicData.h"
#include "core/base/Numbers.h"
#include "core/base/RuntimeError.h"
#include "core/system/SystemCounters.h"
#include "core/base/Trap.h"

#include <cmath>

namespace nimbrel {

namespace {

constexpr double currencyScale = 10000.0;

// A double as a fixed-point number with four decimals, halves to even; Overflow (6) outside its range.
std::int64_t toCurrency(double value)
{
    const double scaled = roundHalfEven(value * currencyScale);
    if (!(std::fabs(scaled) < 0x1p63)) throw errors::overflow();
    return static_cast<std::int64_t>(scaled);
}

} // namespace

std::int64_t LI2Currency(std::int64_t counter) { return counter; }

CpuSampler::CpuSampler(SystemCounters& counters, DynamicData* dynamicData, ErrorReporter& reporter)
    : counters_(counters), dynamicData_(dynamicData), reporter_(reporter)
{
    Class_Initialize();
}

void CpuSampler::Class_Initialize()
{
    const Trap trap(reporter_, "clsCPUUsage,Class_Initialize");
    trap([&] { isNTPlatform_ = counters_.platformId() == 2; });
    if (isNTPlatform_) {
        trap([&] {
            CounterSample first;
            if (!counters_.sample(first)) return;
            prevIdleTime_ = first.idleTime;
            prevSystemTime_ = first.systemTime;
        });
        return;
    }
    trap([&] {
        if (dynamicData_ == nullptr || !dynamicData_->openKey(startStatKey)) return;
        dynamicData_->queryValue(startStatKey, usageValue); // starts the statistic
        dynamicData_->closeKey(startStatKey);
        statOpen_ = dynamicData_->openKey(statDataKey);
    });
}

std::int32_t CpuSampler::CurrentCPUUsage()
{
    const Trap trap(reporter_, "clsCPUUsage,CurrentCPUUsage");
    std::int32_t usage = 0;
    trap([&] { usage = isNTPlatform_ ? ntUsage() : statUsage(); });
    return usage;
}

std::int32_t CpuSampler::ntUsage()
{
    CounterSample now;
    if (!counters_.sample(now)) return 0;
    // Counters that went back (a reset, a container's own view, a resumed machine) give no reading either; the
    // next one is measured from here.
    if (now.idleTime < prevIdleTime_ || now.systemTime < prevSystemTime_) {
        prevIdleTime_ = now.idleTime;
        prevSystemTime_ = now.systemTime;
        return 0;
    }
    std::int64_t idle = LI2Currency(now.idleTime) - LI2Currency(prevIdleTime_);
    const std::int64_t system = LI2Currency(now.systemTime) - LI2Currency(prevSystemTime_);
    if (system != 0) idle = toCurrency(static_cast<double>(idle) / static_cast<double>(system));
    if (now.processors == 0) throw RuntimeError(11, "Division by zero");
    const std::int64_t usage =
        toCurrency(100.0 - (100.0 * (static_cast<double>(idle) / currencyScale)) / now.processors + 0.5);
    prevIdleTime_ = now.idleTime;
    prevSystemTime_ = now.systemTime;
    return toInt32(std::floor(static_cast<double>(usage) / currencyScale));
}

std::int32_t CpuSampler::statUsage()
{
    if (statOpen_ && dynamicData_ != nullptr) {
        if (const auto value = dynamicData_->queryValue(statDataKey, usageValue)) statValue_ = *value;
    }
    return static_cast<std::int32_t>(statValue_);
}

void CpuSampler::Class_Terminate()
{
    if (isNTPlatform_ || dynamicData_ == nullptr) return;
    const Trap trap(reporter_, "clsCPUUsage,Class_Terminate");
    trap([&] {
        if (statOpen_) dynamicData_->closeKey(statDataKey);
        statOpen_ = false;
        if (!dynamicData_->openKey(stopStatKey)) return;
        dynamicData_->queryValue(stopStatKey, usageValue); // stops the statistic
        dynamicData_->closeKey(stopStatKey);
    });
}

} // namespace nimbrel
