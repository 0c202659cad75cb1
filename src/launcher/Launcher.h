#pragma once

#include "LauncherEditor.h"
#include "memory/ReleaseOutcome.h"
#include "core/controls/ButtonModel.h"
#include "core/controls/ListModel.h"
#include "core/controls/OptionGroupModel.h"
#include "core/base/Signal.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace nimbrel {

class AmountLists;
class ErrorReporter;
class EventLoop;
class FileDialog;
class MemoryBlock;
class MemoryStatus;
class MessageBoxes;
class ProcessStarter;
class ProgramDirectory;
class Settings;
class TextFile;

// The Launcher panel: the user's programs, each started after freeing a share of the machine's memory, the
// share and the most passes to make, and the editor of the list.
class Launcher {
public:
    struct Services {
        MemoryStatus& status;
        MemoryBlock& block;
        EventLoop& events;
        ProcessStarter& programs;
        FileDialog& fileDialog;
        TextFile& files;
        MessageBoxes& messages;
        ProgramDirectory& directory;
        Settings& settings;
        ErrorReporter& reporter;
    };

    static constexpr const char* notFoundMessage = "The program is not found. Please check manually if it exists.";
    static constexpr int noRelease = 4; // the option "Don't Free Up Any RAM"

    // amounts gives the machine's total memory; loadMenu rebuilds the tray's Programs menu after a save.
    Launcher(Services services, const AmountLists& amounts, const bool& isLoading, std::function<void()> loadMenu);

    void loadLauncher();
    // Tells the user, once, that loadLauncher left the end of a list file too long to read out.
    void tellListLeftOut();
    void cmbLauncher_Click();
    void optLauncher_Click(int index);
    void lstLauncher_DblClick();
    // The tray's Programs menu: starts the program of the list's line that the chosen entry stands for.
    void mnuP1_Click(int line);
    void cmdConfigureLauncher_Click();

    // Launcher.mbl's full path.
    std::string listFile();

    OptionGroupModel optLauncher{{"5% of My Total RAM", "10% of My Total RAM", "15% of My Total RAM ",
                                  "20% of My Total RAM", "Don't Free Up Any RAM"}};
    ListModel cmbLauncher;
    ListModel lstLauncher;
    ButtonModel cmdConfigureLauncher{"Configure Program List"};

    // How the last launch's release ended; raised after each launch that freed memory first.
    const ReleaseOutcome& lastOutcome() const { return lastOutcome_; }
    Signal<> preReleaseEnded;

    // The list's pointer: the hourglass while a launch runs.
    bool busy() const { return launches_ > 0; }
    Signal<> busyChanged;

    // The program is ending: a launch under way (waiting on a pass, the window going on meanwhile) starts
    // nothing and makes no further pass.
    void endLaunches() { ending_ = true; }

    // The view shows the editor modally and returns when it has closed; the editor lives only meanwhile.
    std::function<void(LauncherEditor&)> showEditor;

private:
    void launchApp(const std::string& path);
    void tellOutcome(ReleaseOutcome outcome, std::int32_t before);
    void setBusy(bool busy);

    Services services_;
    const AmountLists& amounts_;
    const bool& isLoading_;
    std::function<void()> loadMenu_;
    std::unique_ptr<LauncherEditor> editor_;
    int launches_ = 0;
    bool listLeftOut_ = false;
    bool ending_ = false;
    ReleaseOutcome lastOutcome_;
};

} // namespace nimbrel
