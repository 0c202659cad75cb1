#include "AutoUpdateDialog.h"

#include "UpdatePhases.h"
#include "UpdateServer.h"
#include "core/PackageTrust.h"
#include "core/ProgramDirectory.h"
#include "core/ProgramFiles.h"
#include "core/Trap.h"
#include "settings/ModReg.h"

namespace nimbrel {

AutoUpdateDialog::AutoUpdateDialog(Neighbours neighbours) : n_(std::move(neighbours))
{
    cmdProceed.onClick = [this] { cmdProceed_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
}

void AutoUpdateDialog::Upnbl_Click()
{
    if (!frmAutoUpdate.shown()) ListView1.clear();
    frmAutoUpdate.bringToFront();
}

void AutoUpdateDialog::cmdCancel_Click()
{
    Trap::silent()([&] { frmAutoUpdate.hide(); });
}

void AutoUpdateDialog::cmdProceed_Click()
{
    // A second click while a check or a download runs would start another beside it.
    if (proceeding_) return;
    proceeding_ = true;
    Trap(n_.reporter, "frmAutoUpdate,cmd_Proceed")([&] { proceed(); });
    proceeding_ = false;
}

void AutoUpdateDialog::proceed()
{
    const Trap trap(n_.reporter, "frmAutoUpdate,cmd_Proceed");
    ListView1.clear();
    ListView1.add("Checking for updates...", progressImage);
    // An installed copy is the package manager's to replace; a portable one's
    // folder may have been made read-only since the start.
    if (!n_.directory.portable() || !n_.files.folderWritable(n_.directory.path())) {
        ListView1.add("This copy cannot update itself: its folder cannot be written.", negativeImage);
        return;
    }
    if (!n_.trust.hasKey()) {
        ListView1.add("Updates cannot be verified on this copy: it has no update key.", negativeImage);
        return;
    }
    if (!n_.checkConnection()) {
        ListView1.add("You are currently not conneted to the Internet", negativeImage);
        return;
    }
    std::string local;
    trap([&] { local = n_.registry.regReadOrCreate(UpdateServer::programKey, "ver", "5"); });
    // An error in the version test is reported and found no update.
    bool newer = false;
    trap([&] { newer = n_.server.isNewerVersion(local); });
    if (!newer) {
        ListView1.add("No new update available.", negativeImage);
        return;
    }
    ListView1.add("New Update available.", progressImage);
    ListView1.add("Dowanloading New Version...Please wait.", progressImage);
    ListView1.add("This may take some time...");
    ListView1.add("Depending on your Internet connection speed");
    bool installing = false;
    trap([&] { installing = n_.phases.installUpdate(n_.server); });
    // Nothing was installed: the program goes on.
    if (!installing) ListView1.add("The new version could not be downloaded and verified.", negativeImage);
}

} // namespace nimbrel
