#pragma once

#include "app/MainForm.h"
#include "support/Fakes.h"
#include "support/VirtualScheduler.h"

namespace nimbrel::testing {

// The main window wired to fakes of everything outside it: a 512 MB machine
// with 100 MB available, the vendor's site at a test address.
struct FormHarness {
    FormHarness() { memory.setMB(512, 100, 1536, 900); }

    FakeMemoryStatus memory;
    FakeMemoryBlock block;
    FakeMessageBoxes messages;
    RecordingReporter reporter;
    FakeUrlOpener urls;
    FakeProgramExit exit;
    VirtualScheduler scheduler;
    MainForm form{MainFormServices{memory, block, messages, reporter, urls, exit, scheduler, scheduler,
                                   "http://127.0.0.1:8765"}};
};

} // namespace nimbrel::testing
