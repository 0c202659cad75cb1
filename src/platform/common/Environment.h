#pragma once

#include <string>

namespace nimbrel {

// The program's outside knobs: the vendor's web site and the page that tells
// whether the Internet can be reached, each with its built-in default.
std::string vendorServerUrl();
std::string probeUrl();

// Set in the environment of a program an update starts on trial: it only shows that it starts, and ends at once.
constexpr const char* trialStartVariable = "NIMBREL_TRIAL_START";
// True when this run is such a trial: the program is to end at once, successfully.
bool startedOnTrial();

} // namespace nimbrel
