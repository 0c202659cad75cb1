#include "LauncherEditor.h"

#include "ProgramEntry.h"
#include "ProgramStart.h"
#include "core/system/FileDialog.h"
#include "core/system/MessageBoxes.h"
#include "core/system/ProcessStarter.h"
#include "core/base/RuntimeError.h"
#include "core/system/TextFile.h"
#include "core/base/Trap.h"

#include <optional>

namespace nimbrel {

namespace {

const char* const appTitle = "Nimbrel";

} // namespace

LauncherEditor::LauncherEditor(Services services, MainWindow main) : services_(services), main_(std::move(main))
{
    for (const std::string& line : main_.lstLauncher.items()) lstPrograms.addItem(line);
    cmdAdd.onClick = [this] { cmdAdd_Click(); };
    cmdRemove.onClick = [this] { cmdRemove_Click(); };
    cmdRun.onClick = [this] { cmdRun_Click(); };
    cmdSave.onClick = [this] { cmdSave_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    lstPrograms.onDblClick = [this] { cmdRun_Click(); };
    frmLauncher.show();
}

void LauncherEditor::cmdAdd_Click()
{
    // The limit, its message and the dialog: a dialog that fails simply ends the command.
    const Trap quiet = Trap::silent();
    bool full = false;
    quiet([&] { full = lstPrograms.count() > maxPrograms - 1; });
    if (full) {
        quiet([&] { services_.messages.msgBox(fullMessage, mb::information | mb::okOnly, appTitle); });
        return;
    }
    std::optional<std::string> path;
    quiet([&] { path = services_.fileDialog.chooseProgram(); });
    // A line break in a file name would split the entry in Launcher.mbl.
    if (!path || path->empty() || path->find_first_of("\r\n") != std::string::npos) return;

    const Trap trap(services_.reporter, "frmLauncher,cmdAdd_Click");
    bool ignoreCase = false;
    trap([&] { ignoreCase = services_.programs.namesIgnoreCase(); });
    for (int i = 0; i < lstPrograms.count(); ++i) {
        if (!entryNamesPath(lstPrograms.item(i), *path, ignoreCase)) continue;
        trap([&] { services_.messages.msgBox(duplicateMessage, mb::information | mb::okOnly, appTitle); });
        trap([&] { lstPrograms.setListIndex(i); });
        return;
    }
    trap([&] {
        const std::string name = services_.programs.desktopName(*path).value_or(
            nameForFile(*path, services_.programs.executableSuffix()));
        const std::string entry = makeEntry(name, *path);
        // An entry the list's file cannot hold would be written in another encoding, or with its path changed.
        if (!services_.files.encode(entry)) {
            services_.messages.msgBox(std::string(notEncodableMessage) + "\n" + *path, mb::exclamation | mb::okOnly,
                                      appTitle);
            return;
        }
        lstPrograms.addItem(entry);
    });
}

void LauncherEditor::cmdRemove_Click()
{
    if (lstPrograms.listIndex() >= 0) lstPrograms.removeItem(lstPrograms.listIndex());
}

void LauncherEditor::cmdRun_Click()
{
    const Trap trap(services_.reporter, "frmLauncher,cmdRun_Click");
    if (lstPrograms.listIndex() < 0) return;
    // A line without "|" is taken whole, as the path.
    const std::string line = lstPrograms.text();
    const std::string path = programPath(line).value_or(line);
    if (const auto why = trap.failure([&] { services_.programs.start(path); })) {
        tellNotStarted(services_.messages, path, *why);
    }
}

void LauncherEditor::cmdSave_Click()
{
    const Trap trap(services_.reporter, "frmLauncher,cmdSave_Click");
    // The file first: a list that cannot be kept stays here, with the user's edit, rather than vanish at the
    // next start while the main window shows it.
    const auto why = trap.failure([&] {
        const auto bytes = services_.files.encode(joinLines(lstPrograms.items()));
        if (!bytes) throw RuntimeError(5, encodingMessage);
        services_.files.replace(main_.listFile, *bytes);
    });
    if (why) {
        Trap::silent()([&] {
            services_.messages.msgBox(std::string(notSavedMessage) + "\n" + main_.listFile + "\n\n" + *why + "\n\n" +
                                          changesKeptMessage,
                                      mb::exclamation | mb::okOnly, appTitle);
        });
        return;
    }
    trap([&] { main_.lstLauncher.clear(); });
    trap([&] {
        for (const std::string& line : lstPrograms.items()) main_.lstLauncher.addItem(line);
    });
    trap([&] { main_.loadMenu(); });
    trap([&] { frmLauncher.hide(); });
}

void LauncherEditor::cmdCancel_Click()
{
    Trap::silent()([&] { frmLauncher.hide(); });
}

} // namespace nimbrel
