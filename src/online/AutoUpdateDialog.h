#pragma once

#include "UpdateServer.h"
#include "core/controls/ButtonModel.h"
#include "core/controls/LabelModel.h"
#include "core/controls/ListViewModel.h"
#include "core/controls/WindowModel.h"

#include <functional>
#include <string>

namespace nimbrel {

class ErrorReporter;
class ModReg;
class PackageTrust;
class ProgramDirectory;
class ProgramFiles;
class UpdatePhases;

// The "AutoUpdate" dialog: what it says, and what "Proceed" and "Cancel" do.
class AutoUpdateDialog {
public:
    // What an installed copy, or one whose folder cannot be written, says of its updates.
    static constexpr const char* packageManagerLine =
        "This copy was installed by the system's package manager, which brings its updates.";
    static constexpr const char* unwritableFolderLine = "This copy cannot update itself: its folder cannot be written.";

    struct Neighbours {
        UpdateServer& server;
        UpdatePhases& phases;
        ModReg& registry;
        PackageTrust& trust;
        ProgramFiles& files;
        ProgramDirectory& directory;
        ErrorReporter& reporter;
        std::function<bool()> checkConnection;
        // False when the program's network client cannot be had (a module that is not the one built with it).
        std::function<bool()> networkAvailable = [] { return true; };
        // What an installed copy says of where its updates come from.
        std::string installedCopyLine = packageManagerLine;
    };

    // The images of the status list: progress and good news, and the final negative lines.
    static constexpr int progressImage = 1;
    static constexpr int negativeImage = 2;

    explicit AutoUpdateDialog(Neighbours neighbours);

    // "Check For Upgrade": shows the dialog, a fresh one unless it is open already.
    void Upnbl_Click();
    void cmdProceed_Click();
    void cmdCancel_Click();

    WindowModel frmAutoUpdate{"AutoUpdate"};
    LabelModel Label1{"AutoUpdate checks the Internet for latest upgrade of Nimbrel and it updates the necessary "
                      "files automatically if it finds any new update available. Please ensure that you are "
                      "connected to the Internet before proceeding."};
    ListViewModel ListView1;
    ButtonModel cmdProceed{"Proceed"};
    ButtonModel cmdCancel{"Cancel"};
    // StatusBar1 is in the view only: the program writes nothing into it.

private:
    void proceed();
    // The point of no return is passed: Cancel is disabled, and the status list says so.
    void installing();

    Neighbours n_;
    bool proceeding_ = false;
    bool installing_ = false;
};

// What the copy Setup installed on Windows says of its updates: Setup brings them, from the home page's address.
std::string installedBySetupLine(const std::string& homeAddress);

// The status line that says at which step a download stopped; empty when it did not fail.
std::string failureLine(UpdateServer::Download outcome);

} // namespace nimbrel
