#pragma once

#include <string>

namespace nimbrel {

// The program's outside knobs: the vendor's web site and the page that tells
// whether the Internet can be reached, each with its built-in default.
std::string vendorServerUrl();
std::string probeUrl();

} // namespace nimbrel
