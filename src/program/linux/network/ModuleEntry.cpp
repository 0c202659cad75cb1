#include "program/linux/network/ModuleEntry.h"

#include "program/linux/network/QtConnectivityProbe.h"
#include "program/linux/network/QtHttpTransfer.h"

extern "C" {

__attribute__((visibility("default"))) nimbrel::HttpTransfer* nimbrelMakeTransfer()
{
    return new nimbrel::program::QtHttpTransfer();
}

__attribute__((visibility("default"))) nimbrel::ConnectivityProbe* nimbrelMakeProbe(const char* pageUrl)
{
    return new nimbrel::program::QtConnectivityProbe(pageUrl);
}
}
