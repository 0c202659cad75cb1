#pragma once

// The update's model put together on fakes and the virtual clock: the
// vendor's server, the program's folder, the per-user store and the dialog.

#include "online/AutoUpdateDialog.h"
#include "online/UpdatePhases.h"
#include "online/UpdateServer.h"
#include "settings/ModReg.h"
#include "support/Fakes.h"
#include "support/UpdateFakes.h"
#include "support/VirtualScheduler.h"

#include <functional>
#include <string>

namespace nimbrel::testing {

// What the update meets besides the server, the program's folder and the key:
// the clock, the per-user store, the program starts and the messages.
struct UpdateSurroundings {
    VirtualScheduler clock;
    FakeEventLoop events;
    FakeProgramDirectory directory;
    FakeRegistryStore registry;
    RecordingReporter reporter;
    ModReg modReg{registry, reporter};
    FakeHandOver handOver;
    FakeProgramExit exit;
    FakeMessageBoxes messages;
    FakeUrlOpener urls;
};

struct UpdateHarness : UpdateSurroundings {
    // The program file started in the program's place runs its start-up phase, as the new version would.
    explicit UpdateHarness(std::string vendorServer) : server(std::move(vendorServer))
    {
        handOver.onStart = [this](const std::string& programPath) {
            if (programPath == directory.path() + "/Nimbrel" + files.executableSuffix()) startProgram();
        };
    }

    // A start of the program: its start-up phase, then, unless that ended it, the first turn of its event loop.
    void startProgram()
    {
        const int ended = exit.ended;
        phases.finishUpdate();
        if (exit.ended == ended) phases.startedUp();
    }

    std::string server;
    ServedTransfer transfer;
    FakeProbe probe;
    FakeProgramFiles files;
    FakePackageTrust trust;
    std::function<bool()> checkConnection = [this] { return probe.pageReachable(); };
    UpdateServer updateServer{{transfer, events, trust, files, directory, modReg, checkConnection}, server};
    UpdatePhases phases{{clock, events, files, directory, registry, modReg, handOver, exit, messages, urls}, server};
    bool networkAvailable = true;
    AutoUpdateDialog dialog{{updateServer, phases, modReg, trust, files, directory, reporter, checkConnection,
                             [this] { return networkAvailable; }}};
};

} // namespace nimbrel::testing
