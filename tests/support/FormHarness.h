#pragma once

#include "app/MainForm.h"
#include "support/Fakes.h"
#include "support/VirtualScheduler.h"

namespace nimbrel::testing {

// The main window wired to fakes of everything outside it: a 512 MB machine
// with 100 MB available, no settings file yet, the session's autostart key
// in place, the vendor's site at a test address. Trapped errors go to the
// recording reporter, or to the one given.
struct FormHarness {
    explicit FormHarness(LocalTime start = LocalTime{1'700'000'000}, ErrorReporter* otherReporter = nullptr)
        : scheduler(start), reportTo(otherReporter ? *otherReporter : reporter)
    {
        memory.setMB(512, 100, 1536, 900);
        registry.createKey("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
        directory.dir = "/opt/nimbrel";
    }

    FakeMemoryStatus memory;
    FakeMemoryBlock block;
    FakeMessageBoxes messages;
    RecordingReporter reporter;
    FakeUrlOpener urls;
    FakeProgramExit exit;
    VirtualScheduler scheduler;
    FakeProfileFile profile;
    FakeRegistryStore registry;
    FakeProgramDirectory directory;
    FakePictureFiles pictures;
    FakeSystemCounters counters;
    FakeTrayIcon tray;
    FakeEventLoop events;
    FakeProcessStarter programs;
    FakeFileDialog fileDialog;
    FakeTextFile files;
    ErrorReporter& reportTo;
    MainForm form{MainFormServices{{memory, block, messages, reportTo, urls, exit, scheduler, scheduler, profile,
                                   registry, directory, pictures, counters, nullptr, tray, events, programs,
                                   fileDialog, files}, "http://127.0.0.1:8765"}};
};

} // namespace nimbrel::testing
