#pragma once

#include "memory/ReleaseEngine.h"
#include "settings/Settings.h"
#include "support/Fakes.h"

namespace nimbrel::testing {

// The release engine on real memory figures and a real block, with "Number of Retrys" 1 and fakes for the
// rest of the window, for tests and benchmarks that make one real release.
struct OnePassEngine {
    OnePassEngine(MemoryStatus& status, MemoryBlock& block)
        : engine{{status, block, messages, reporter, settings}, lstRam, cmbRetry, isLoading}
    {
        cmbRetry.addItem("1");
        cmbRetry.setListIndex(0);
    }

    FakeMessageBoxes messages;
    RecordingReporter reporter;
    FakeProfileFile profile;
    FakeProgramDirectory directory;
    Settings settings{profile, directory, reporter};
    ListModel lstRam;
    ListModel cmbRetry;
    const bool isLoading = false;
    ReleaseEngine engine;
};

} // namespace nimbrel::testing
