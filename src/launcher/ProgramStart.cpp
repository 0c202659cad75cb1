#include "ProgramStart.h"

#include "core/system/MessageBoxes.h"
#include "core/base/Trap.h"

namespace nimbrel {

void tellNotStarted(MessageBoxes& messages, const std::string& path, const std::string& why)
{
    Trap::silent()([&] {
        messages.msgBox("The program could not be started:\n" + path + "\n\n" + why, mb::exclamation | mb::okOnly,
                        "Nimbrel");
    });
}

} // namespace nimbrel
