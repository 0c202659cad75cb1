#pragma once

#include <optional>
#include <string>

namespace nimbrel {

// The system's open-file dialog.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Lets the user choose an existing program file; nothing when the dialog is cancelled or fails.
    virtual std::optional<std::string> chooseProgram() = 0;
};

} // namespace nimbrel
