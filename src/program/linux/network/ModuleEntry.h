#pragma once

namespace nimbrel {
class ConnectivityProbe;
class HttpTransfer;
} // namespace nimbrel

// What the network module offers the program that loads it, under names
// that need no C++ name mangling. The caller owns what it is given.
extern "C" {
nimbrel::HttpTransfer* nimbrelMakeTransfer();
nimbrel::ConnectivityProbe* nimbrelMakeProbe(const char* pageUrl);
}
