#pragma once

#include "core/system/SystemVersion.h"

#include <string>

namespace nimbrel {

// The query of one error report: the system's name, version and service pack, the browser version, the tag's
// module and procedure, the error's number and its description, in this order and separated by commas
// ("...,frmMain,tmrAuto_Timer,6,Overflow"). Each value is percent-encoded, its own commas included, so that no
// value runs into the next and the server splits the fields where the program put them.
std::string reportQuery(const SystemIdentity& system, const std::string& ieVersion, const std::string& tag,
                        int number, const std::string& description);

// Percent-encodes every byte that may not stand in a URL query, and the comma that separates a report's fields;
// "&" and the other characters a query allows stay as they are.
std::string encodeField(const std::string& text);

} // namespace nimbrel
