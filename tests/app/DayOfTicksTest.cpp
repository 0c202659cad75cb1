// A day of the program's life on the virtual clock: whatever it does every second, it does without keeping
// more memory as the hours pass.

#include "online/OnlineReporter.h"
#include "settings/ModReg.h"
#include "support/FormHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

// Trapped errors as the program reports them: each one a GET through the window's transfer, here a fake.
struct OnlineReports {
    FakeHttpTransfer transfer;
    FakeProbe probe;
    FakeEventLoop reportEvents;
    FakeSystemVersion system;
    FakeProfileFile reportSettings;
    FakeProgramDirectory reportDirectory;
    OnlineReporter online{{transfer, probe, reportEvents, system, reportSettings, reportDirectory},
                          "http://127.0.0.1:8765"};
};

class DayOfTicksTest : public ::testing::Test, public OnlineReports, public FormHarness {
protected:
    DayOfTicksTest() : FormHarness(LocalTime{1'700'000'000}, &online) {}

    // The bytes the heap hands out now; nothing where the C library does not tell.
    static std::optional<std::size_t> heapInUse()
    {
#if defined(__GLIBC__)
        const struct mallinfo2 info = ::mallinfo2();
        return info.uordblks + info.hblkhd;
#else
        return std::nullopt;
#endif
    }

    // What the fakes record of each call: dropped as it comes, so only the program's own memory counts.
    void forgetRecordings()
    {
        block.blocks.clear();
        block.events.clear();
        messages.shown.clear();
        reporter.errors.clear();
        profile.paths.clear();
        profile.writes.clear();
        tray.calls.clear();
        reports += static_cast<std::size_t>(
            std::count_if(transfer.calls.begin(), transfer.calls.end(), [](const std::string& call) {
                return call.starts_with("GET " + std::string(kReportAddress));
            }));
        transfer.calls.clear();
    }

    static constexpr const char* kReportAddress = "http://127.0.0.1:8765/error-reporting/error-msg.php?";
    std::size_t reports = 0; // error reports sent so far

    // An hour in which available memory falls below every minimum and recovers, and the releases that follow
    // are taken, refused or cut short in turn; now and then the memory figures cannot be read or the counters
    // tell of no processor, and the errors trapped are reported.
    void liveAnHour()
    {
        static constexpr BlockOutcome outcomes[] = {BlockOutcome::Written, BlockOutcome::Refused,
                                                    BlockOutcome::Aborted};
        for (int minute = 0; minute < 60; ++minute) {
            block.outcome = outcomes[minute % 3];
            memory.setMB(512, minute % 7 == 0 ? 1 : 100 + minute, 1536, 900);
            memory.beforeRead = nullptr;
            if (minute % 13 == 0) memory.beforeRead = [](MemorySnapshot&) { throw RuntimeError(7, "Out of memory"); };
            counters.now.processors = minute % 11 == 0 ? 0 : 2;
            counters.steadyLoadPercent = minute % 5 == 0 ? 90.0 : 1.0;
            for (int part = 0; part < 6; ++part) {
                scheduler.advance(10'000);
                forgetRecordings();
            }
        }
    }
};

TEST_F(DayOfTicksTest, TheHeapInUseGrowsByLessThan64KBBetweenHour1AndHour24)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps the heap itself; mallinfo2 does not see it";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "AddressSanitizer keeps the heap itself; mallinfo2 does not see it";
#endif
#endif
    if (!heapInUse()) GTEST_SKIP() << "this C library does not tell how much of the heap is in use";
    ModReg modReg{registry, reporter};
    online.getSystemInfo(modReg);
    form.Form_Load();
    ASSERT_TRUE(form.cpu.tmrCPU.enabled());
    ASSERT_TRUE(form.gauges.tmrMemory.enabled());
    ASSERT_TRUE(form.autoRelease.tmrAuto.enabled());
    ASSERT_TRUE(form.timedRelease.tmrTime.enabled());

    std::size_t releases = 0;
    block.onBlock = [&](std::uint64_t) { ++releases; };
    liveAnHour();
    const std::size_t atHour1 = *heapInUse();
    const std::size_t releasesInHour1 = releases;
    const std::size_t reportsInHour1 = reports;
    for (int hour = 2; hour <= 24; ++hour) liveAnHour();
    const std::size_t atHour24 = *heapInUse();

    EXPECT_GT(releasesInHour1, 0u) << "the day had releases to make";
    EXPECT_GT(releases, 20 * releasesInHour1) << "and went on making them";
    EXPECT_GT(reportsInHour1, 0u) << "the day had errors to report";
    EXPECT_LT(atHour24, atHour1 + 64 * 1024) << "from " << atHour1 << " to " << atHour24 << " bytes";
}

} // namespace
} // namespace nimbrel
