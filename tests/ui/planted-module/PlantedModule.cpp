// A network module planted beside a copy of the program: the same entries, and a constructor that leaves a
// mark (the file named by NIMBREL_PLANTED_MARK) the moment the module is opened.

#include <cstdio>
#include <cstdlib>

namespace nimbrel {
class ConnectivityProbe;
class HttpTransfer;
} // namespace nimbrel

namespace {

__attribute__((constructor)) void leaveMark()
{
    const char* mark = std::getenv("NIMBREL_PLANTED_MARK");
    if (mark == nullptr) return;
    if (std::FILE* file = std::fopen(mark, "w")) std::fclose(file);
}

} // namespace

extern "C" {
__attribute__((visibility("default"))) nimbrel::HttpTransfer* nimbrelMakeTransfer() { return nullptr; }
__attribute__((visibility("default"))) nimbrel::ConnectivityProbe* nimbrelMakeProbe(const char*) { return nullptr; }
}
