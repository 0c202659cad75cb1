#pragma once

#include <string>

namespace nimbrel {

// The program's outside knobs: the vendor's web site and the page that tells
// whether the Internet can be reached, each with its built-in default.
std::string vendorServerUrl();
std::string probeUrl();

// Set in the environment of a program an update starts on trial: it goes through a real start, up to the first
// turn of its event loop, where it ends (platform/linux/TrialStart, platform/windows/Win32TrialStart).
constexpr const char* trialStartVariable = "NIMBREL_TRIAL_START";
// True when this run is such a trial.
bool startedOnTrial();

} // namespace nimbrel
