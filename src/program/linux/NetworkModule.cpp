#include "program/linux/NetworkModule.h"

#include "core/system/ConnectivityProbe.h"
#include "core/system/HttpTransfer.h"
#include "platform/linux/VerifiedLibrary.h"

#include <QCoreApplication>

namespace nimbrel::program {

NetworkModule::NetworkModule(std::vector<std::string> places, std::string digest)
    : places_(std::move(places)), digest_(std::move(digest))
{
}

NetworkModule::~NetworkModule() = default;

std::vector<std::string> NetworkModule::installedPlaces()
{
    const std::string folder = QCoreApplication::applicationDirPath().toStdString();
    return {
        folder + "/" NIMBREL_NETWORK_MODULE_NAME,
        // Installed: the library folder beside the program's bin folder.
        folder + "/" NIMBREL_NETWORK_MODULE_INSTALLED,
    };
}

std::unique_ptr<HttpTransfer> NetworkModule::makeTransfer()
{
    return std::unique_ptr<HttpTransfer>(available() ? makeTransfer_() : nullptr);
}

std::unique_ptr<ConnectivityProbe> NetworkModule::makeProbe(const std::string& pageUrl)
{
    return std::unique_ptr<ConnectivityProbe>(available() ? makeProbe_(pageUrl.c_str()) : nullptr);
}

bool NetworkModule::available()
{
    if (tried_) return makeTransfer_ != nullptr && makeProbe_ != nullptr;
    tried_ = true;
    for (const std::string& place : places_) {
        auto library = std::make_unique<VerifiedLibrary>(place, digest_);
        if (!library->loaded()) continue;
        makeTransfer_ = reinterpret_cast<HttpTransfer* (*)()>(library->symbol("nimbrelMakeTransfer"));
        makeProbe_ = reinterpret_cast<ConnectivityProbe* (*)(const char*)>(library->symbol("nimbrelMakeProbe"));
        // Loaded for the rest of the run: what it makes runs its code to the end.
        library_ = std::move(library);
        return makeTransfer_ != nullptr && makeProbe_ != nullptr;
    }
    return false;
}

} // namespace nimbrel::program
