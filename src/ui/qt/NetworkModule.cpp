#include "ui/qt/NetworkModule.h"

#include "core/ConnectivityProbe.h"
#include "core/HttpTransfer.h"

#include <QCoreApplication>
#include <QLibrary>

#include <cstring>

namespace nimbrel::view {

namespace {

std::vector<std::string> defaultPlaces()
{
    const std::string folder = QCoreApplication::applicationDirPath().toStdString();
    return {
        folder + "/" NIMBREL_NETWORK_MODULE_NAME,
        // Installed: the library folder beside the program's bin folder.
        folder + "/" NIMBREL_NETWORK_MODULE_INSTALLED,
        NIMBREL_NETWORK_MODULE_BUILT,
    };
}

} // namespace

std::unique_ptr<HttpTransfer> NetworkModule::makeTransfer()
{
    return std::unique_ptr<HttpTransfer>(load() ? makeTransfer_() : nullptr);
}

std::unique_ptr<ConnectivityProbe> NetworkModule::makeProbe(const std::string& pageUrl)
{
    return std::unique_ptr<ConnectivityProbe>(load() ? makeProbe_(pageUrl.c_str()) : nullptr);
}

bool NetworkModule::load()
{
    if (tried_) return makeTransfer_ != nullptr && makeProbe_ != nullptr;
    tried_ = true;
    for (const std::string& place : places_.empty() ? defaultPlaces() : places_) {
        QLibrary module(QString::fromStdString(place));
        // Loaded for the rest of the run: what it makes runs its code to the end.
        if (!module.load()) continue;
        const auto built = reinterpret_cast<const char* (*)()>(module.resolve("nimbrelModuleInterface"));
        if (built == nullptr || std::strcmp(built(), NIMBREL_NETWORK_INTERFACE) != 0) {
            module.unload();
            continue;
        }
        makeTransfer_ = reinterpret_cast<HttpTransfer* (*)()>(module.resolve("nimbrelMakeTransfer"));
        makeProbe_ = reinterpret_cast<ConnectivityProbe* (*)(const char*)>(module.resolve("nimbrelMakeProbe"));
        if (makeTransfer_ != nullptr && makeProbe_ != nullptr) return true;
    }
    return false;
}

} // namespace nimbrel::view
