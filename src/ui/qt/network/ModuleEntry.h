#pragma once

namespace nimbrel {
class ConnectivityProbe;
class HttpTransfer;
} // namespace nimbrel

// What the network module offers the program that loads it, under names
// that need no C++ name mangling. The caller owns what it is given.
extern "C" {
// The interface the module was built against; the program uses it only where this is its own.
const char* nimbrelModuleInterface();
nimbrel::HttpTransfer* nimbrelMakeTransfer();
nimbrel::ConnectivityProbe* nimbrelMakeProbe(const char* pageUrl);
}
