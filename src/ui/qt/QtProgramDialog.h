#pragma once

#include "core/system/FileDialog.h"


namespace nimbrel::view {

// The open-file dialog of the launcher's editor: it lists folders, the files that can be executed and the
// desktop's application entries (*.desktop), and only lets an existing file be chosen.
class QtProgramDialog : public FileDialog {
public:
    // Belongs to the window the user works in: the launcher's editor.
    std::optional<std::string> chooseProgram() override;
};

} // namespace nimbrel::view
