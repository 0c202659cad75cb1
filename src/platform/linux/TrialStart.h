#pragma once

#include <chrono>
#include <string>

namespace nimbrel {

// Starts the program file with the trial mark in its environment (platform/common/Environment.h), its standard
// files on /dev/null, and waits for it: true when it ended successfully within the limit. A file the system
// cannot execute (a wrong loader, a missing library, another machine's code) or a program that fails or hangs
// gives false; one still running at the limit is killed.
bool startsOnTrial(const std::string& programFile, std::chrono::milliseconds limit = std::chrono::seconds(10));

} // namespace nimbrel
