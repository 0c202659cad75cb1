#pragma once

#include "core/controls/ButtonModel.h"
#include "core/controls/ListModel.h"
#include "core/controls/WindowModel.h"

#include <functional>
#include <string>

namespace nimbrel {

class ErrorReporter;
class FileDialog;
class MessageBoxes;
class ProcessStarter;
class TextFile;

// frmLauncher: the modal editor of the program list. It works on a copy of the main window's list; only
// "&Save && Close" carries the copy over to the list, Launcher.mbl and the tray's Programs menu.
class LauncherEditor {
public:
    struct Services {
        MessageBoxes& messages;
        FileDialog& fileDialog;
        ProcessStarter& programs;
        TextFile& files;
        ErrorReporter& reporter;
    };
    struct MainWindow {
        ListModel& lstLauncher;
        std::string listFile;            // Launcher.mbl's full path
        std::function<void()> loadMenu; // rebuilds the tray's Programs menu
    };

    static constexpr int maxPrograms = 30;
    static constexpr const char* fullMessage =
        "There are already 30 programs in the list.Please remove some before adding new program.";
    static constexpr const char* duplicateMessage = "It seems the program is already in the list.";
    static constexpr const char* notSavedMessage = "The list of programs could not be saved:";
    static constexpr const char* notEncodableMessage =
        "This program cannot be added: the system's code page, in which the list is written, has no character for "
        "a part of its path:";
    static constexpr const char* encodingMessage = "The system's code page has no character for a part of the list.";
    static constexpr const char* changesKeptMessage =
        "Your changes are still in this window: save again, or Cancel to leave them.";

    // Opens with a copy of the main window's list.
    LauncherEditor(Services services, MainWindow main);
    LauncherEditor(const LauncherEditor&) = delete;
    LauncherEditor& operator=(const LauncherEditor&) = delete;

    void cmdAdd_Click();
    void cmdRemove_Click();
    void cmdRun_Click();
    void cmdSave_Click();
    void cmdCancel_Click();

    // Shown while the editor is open; the buttons that close it hide it.
    WindowModel frmLauncher{" Configure Launcher Programs"};
    ListModel lstPrograms;
    ButtonModel cmdAdd{"&Add Program"};
    ButtonModel cmdRemove{"&Remove From List"};
    ButtonModel cmdRun{"Run &Program"};
    ButtonModel cmdSave{"&Save && Close"};
    ButtonModel cmdCancel{"&Cancel"};

private:
    Services services_;
    MainWindow main_;
};

} // namespace nimbrel
