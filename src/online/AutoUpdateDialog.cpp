#include "AutoUpdateDialog.h"

#include "UpdatePhases.h"
#include "UpdateServer.h"
#include "core/system/PackageTrust.h"
#include "core/system/ProgramDirectory.h"
#include "core/system/ProgramFiles.h"
#include "core/base/Trap.h"
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
    // Past the point of no return the new version is being installed: the window stays to say so.
    if (installing_) return;
    // A check or download under way ends at once, and nothing of it is kept.
    Trap::silent()([&] {
        if (proceeding_) n_.server.cancel();
    });
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
    // An installed copy is its installer's to replace; a portable one's
    // folder may have been made read-only since the start.
    if (!n_.directory.portable()) {
        ListView1.add(n_.installedCopyLine, negativeImage);
        return;
    }
    if (!n_.files.folderWritable(n_.directory.path())) {
        ListView1.add(unwritableFolderLine, negativeImage);
        return;
    }
    if (n_.trust.keyFileBroken()) {
        ListView1.add("The key file update-key.pub beside the program is broken: it holds no minisign key.",
                      negativeImage);
    }
    if (!n_.trust.hasKey()) {
        ListView1.add("Updates cannot be verified on this copy: it has no update key.", negativeImage);
        return;
    }
    if (!n_.networkAvailable()) {
        ListView1.add("Network features are unavailable: the network module installed with the program is missing "
                      "or is not the one it was built with.",
                      negativeImage);
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
    if (n_.server.cancelled()) return;
    if (!newer) {
        ListView1.add("No new update available.", negativeImage);
        return;
    }
    ListView1.add("New Update available.", progressImage);
    ListView1.add("Dowanloading New Version...Please wait.", progressImage);
    ListView1.add("This may take some time...");
    ListView1.add("Depending on your Internet connection speed");
    // One attempt: a package refused once would be refused again.
    UpdateServer::Download outcome = UpdateServer::Download::TransferFailed;
    trap([&] { outcome = n_.phases.installUpdate(n_.server, [this] { installing(); }); });
    // Unless it handed over, nothing was installed: the program goes on, and the window may be closed again.
    if (outcome != UpdateServer::Download::Kept) {
        installing_ = false;
        cmdCancel.setEnabled(true);
    }
    const std::string failure = failureLine(outcome);
    if (!failure.empty()) ListView1.add(failure, negativeImage);
}

std::string installedBySetupLine(const std::string& homeAddress)
{
    return "This copy was installed by Setup, which brings its updates: the new Setup is on Nimbrel's home page, " +
           homeAddress;
}

void AutoUpdateDialog::installing()
{
    installing_ = true;
    cmdCancel.setEnabled(false);
    ListView1.add("The new version is being installed: it can no longer be cancelled.", progressImage);
}

std::string failureLine(UpdateServer::Download outcome)
{
    using Download = UpdateServer::Download;
    switch (outcome) {
    case Download::Kept:
    case Download::Cancelled:
        return {};
    case Download::TransferFailed:
        return "The new version could not be downloaded.";
    case Download::SignatureRefused:
        return "The new version was refused: it is not signed with the update key.";
    case Download::VersionRefused:
        return "The new version was refused: its signed version is not the one announced, or not newer.";
    case Download::SaveFailed:
        return "The new version could not be saved beside the program.";
    case Download::DoesNotStart:
        return "The new version was refused: it does not start on this machine.";
    }
    return {};
}

} // namespace nimbrel
