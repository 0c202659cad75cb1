#include "Launcher.h"

#include "ProgramEntry.h"
#include "ProgramStart.h"
#include "core/system/EventLoop.h"
#include "core/system/MemoryBlock.h"
#include "core/system/MessageBoxes.h"
#include "core/base/Numbers.h"
#include "core/system/ProcessStarter.h"
#include "core/system/ProgramDirectory.h"
#include "core/base/RuntimeError.h"
#include "core/system/TextFile.h"
#include "core/base/Trap.h"
#include "memory/AmountLists.h"
#include "memory/AvailableMemory.h"
#include "memory/PassChoice.h"
#include "settings/AppliedValues.h"
#include "settings/Settings.h"


namespace nimbrel {

namespace {

constexpr double shares[] = {0.05, 0.10, 0.15, 0.20};
constexpr int yieldsBetweenSteps = 4;
// The longest the window waits for a running pass between two yields.
constexpr std::uint32_t passWaitMs = 20;

} // namespace

Launcher::Launcher(Services services, const AmountLists& amounts, const bool& isLoading,
                   std::function<void()> loadMenu)
    : services_(services), amounts_(amounts), isLoading_(isLoading), loadMenu_(std::move(loadMenu))
{
    optLauncher.setValue(1);
    optLauncher.onClick = [this](int index) { optLauncher_Click(index); };
    cmbLauncher.onClick = [this] { cmbLauncher_Click(); };
    lstLauncher.onDblClick = [this] { lstLauncher_DblClick(); };
    cmdConfigureLauncher.onClick = [this] { cmdConfigureLauncher_Click(); };
}

std::string Launcher::listFile() { return services_.directory.settingsPath() + "/Launcher.mbl"; }

void Launcher::loadLauncher()
{
    const Trap trap(services_.reporter, "frmMain,loadLauncher");
    Settings& s = services_.settings;
    trap([&] {
        for (int passes = 1; passes <= 5; ++passes) cmbLauncher.addItem(std::to_string(passes));
    });
    trap([&] { applyAsIs(cmbLauncher, s.getData(keys::launcherRetry)); });
    trap([&] { applyAsIs(optLauncher, s.getData(keys::launcherFreeup)); });
    trap([&] {
        const auto bytes = services_.files.read(listFile(), maxListBytes + 1);
        if (!bytes) return;
        const ListLines list = listLines(*bytes);
        for (const std::string& line : list.lines) lstLauncher.addItem(services_.files.decode(line));
        listLeftOut_ = list.leftOut;
    });
}

void Launcher::tellListLeftOut()
{
    if (!listLeftOut_) return;
    listLeftOut_ = false;
    const Trap trap(services_.reporter, "frmMain,loadLauncher");
    trap([&] {
        services_.messages.msgBox("The program list Launcher.mbl is too long: only its first " +
                                      std::to_string(lstLauncher.count()) +
                                      " lines were read and the rest was left out. Saving the list with \"" +
                                      cmdConfigureLauncher.caption() + "\" keeps only these.",
                                  mb::exclamation | mb::okOnly, "Nimbrel");
    });
}

void Launcher::cmbLauncher_Click()
{
    services_.settings.storeUnlessLoading(isLoading_, "frmMain,cmbLauncher_Click", keys::launcherRetry,
                                          cmbLauncher.listIndex());
}

void Launcher::optLauncher_Click(int index)
{
    services_.settings.storeUnlessLoading(isLoading_, "frmMain,optLauncher_Click", keys::launcherFreeup, index);
}

void Launcher::lstLauncher_DblClick()
{
    const Trap trap(services_.reporter, "frmMain,lstLauncher_DblClick");
    if (lstLauncher.listIndex() < 0) return;
    const auto path = programPath(lstLauncher.text());
    if (!path) return;
    bool found = false;
    trap([&] { found = services_.programs.isOrdinaryFile(*path); });
    if (!found) {
        trap([&] { services_.messages.msgBox(notFoundMessage, mb::information | mb::okOnly, "Nimbrel"); });
        return;
    }
    setBusy(true);
    trap([&] { launchApp(*path); });
    setBusy(false);
}

void Launcher::mnuP1_Click(int line)
{
    const Trap trap(services_.reporter, "frmMain,mnuP1_Click");
    // The entry's own line: two programs of one name ("run.sh" in two folders) are two entries.
    if (line < 0 || line >= lstLauncher.count()) return;
    trap([&] { lstLauncher.setListIndex(line); });
    trap([&] { lstLauncher_DblClick(); });
}

void Launcher::launchApp(const std::string& path)
{
    const Trap trap(services_.reporter, "frmMain,launchApp");
    // The user hears why a program did not start only once nothing of the launch is held any more.
    std::optional<std::string> notStarted;
    const auto start = [&] { notStarted = trap.failure([&] { services_.programs.start(path); }); };
    const auto tellIfNotStarted = [&] {
        if (notStarted) tellNotStarted(services_.messages, path, *notStarted);
    };
    if (optLauncher.selected() == noRelease) {
        start();
        tellIfNotStarted();
        return;
    }
    std::int32_t before = 0;
    trap([&] { before = availablePhysicalMB(services_.status); });
    std::int32_t passes = 0;
    trap([&] { passes = toInt32(numericValue(cmbLauncher.text())); });
    std::int32_t amount = 0;
    trap([&] {
        const int option = optLauncher.selected();
        if (option < 0 || option >= noRelease) throw errors::invalidPropertyValue();
        amount = toInt32(amounts_.totalPhysicalMB() * shares[option]);
    });

    // Each pass's block is given back only once the next one is written, the last one once the program runs.
    std::unique_ptr<RunningPass> held;
    const auto yield = [&] {
        for (int i = 0; i < yieldsBetweenSteps; ++i) trap([&] { services_.events.doEvents(); });
    };
    ReleaseOutcome outcome;
    outcome.origin = ReleaseOrigin::Launcher;
    outcome.amountMB = amount;
    for (std::int32_t pass = 0; pass < passes && !ending_; ++pass) {
        yield();
        if (ending_) break;
        std::int32_t after = 0;
        trap([&] { after = availablePhysicalMB(services_.status); });
        if (static_cast<std::int64_t>(after) - before >= amount) {
            outcome.targetMet = true;
            break;
        }
        trap([&] {
            const std::int64_t size = static_cast<std::int64_t>(after) + amount;
            if (size <= 0) return;
            std::unique_ptr<RunningPass> next = services_.block.startPass(passRequest(services_.settings, size, true));
            ++outcome.passes;
            outcome.method = next->method();
            // The window goes on while the pass runs.
            PassProgress progress = next->progress();
            while (!progress.finished) {
                trap([&] { services_.events.doEvents(); });
                // Ended meanwhile: the pass stops and gives back what it took as it goes.
                if (ending_) return;
                progress = next->progressWithin(passWaitMs);
            }
            // Memory and swap too small for the block is the machine as it is, told to the user with the
            // outcome: no error. Nor is the kernel reclaiming less than asked, which is how a reclaim ends without
            // swap. A block that could not be written to its end is one.
            if (progress.outcome == BlockOutcome::Refused) {
                outcome.refused = true;
                return;
            }
            if (progress.outcome != BlockOutcome::Written && outcome.method == PassMethod::Block)
                throw errors::outOfMemory();
            held = std::move(next);
        });
        // Memory and swap cannot back the block: the next pass's block would only be larger.
        if (outcome.refused) break;
        yield();
    }
    // The user ended the program while the launch waited: nothing starts after the program's end.
    if (ending_) return;
    start();
    outcome.refused = outcome.refused && held == nullptr;
    held.reset();
    tellOutcome(outcome, before);
    tellIfNotStarted();
}

void Launcher::tellOutcome(ReleaseOutcome outcome, std::int32_t before)
{
    const Trap trap(services_.reporter, "frmMain,launchApp");
    trap([&] { outcome = measureOutcome(services_.status, outcome, before); });
    lastOutcome_ = outcome;
    preReleaseEnded.emit();
}

void Launcher::cmdConfigureLauncher_Click()
{
    const Trap trap(services_.reporter, "frmMain,cmdConfigureLauncher_Click");
    // The editor is modal: a second one cannot be asked for while it is open.
    if (editor_) return;
    trap([&] {
        editor_ = std::make_unique<LauncherEditor>(
            LauncherEditor::Services{services_.messages, services_.fileDialog, services_.programs, services_.files,
                                     services_.reporter},
            LauncherEditor::MainWindow{lstLauncher, listFile(), loadMenu_});
        if (showEditor) showEditor(*editor_);
    });
    editor_.reset();
}

void Launcher::setBusy(bool busy)
{
    // Launches nest (a double-click during another launch's yields): the hourglass stays until the last ends.
    const bool before = this->busy();
    launches_ += busy ? 1 : -1;
    if (this->busy() != before) busyChanged.emit();
}

} // namespace nimbrel
