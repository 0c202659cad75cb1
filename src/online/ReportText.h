#pragma once

#include "core/SystemVersion.h"

#include <string>

namespace nimbrel {

// The query of one error report: name, version, service pack and browser
// version separated by commas, then tag, number and description run
// together ("...,frmMain,tmrAuto_Timer6Overflow").
std::string reportText(const SystemIdentity& system, const std::string& ieVersion, const std::string& tag,
                       int number, const std::string& description);

// Percent-encodes every byte that may not stand in a URL query; commas, "&"
// and the other characters a query allows stay as they are.
std::string encodeQuery(const std::string& text);

} // namespace nimbrel
