#pragma once

#include <string>

namespace nimbrel {

class MessageBoxes;

// Tells the user that the program at path could not be started, and why.
void tellNotStarted(MessageBoxes& messages, const std::string& path, const std::string& why);

} // namespace nimbrel
