#include "ui/qt/NetworkModule.h"

#include "core/ConnectivityProbe.h"
#include "core/HttpTransfer.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

namespace nimbrel::view {

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
    const QStringList places{
        QCoreApplication::applicationDirPath() + QStringLiteral("/" NIMBREL_NETWORK_MODULE_NAME),
        // Installed: the library folder beside the program's bin folder.
        QCoreApplication::applicationDirPath() + QStringLiteral("/" NIMBREL_NETWORK_MODULE_INSTALLED),
        QStringLiteral(NIMBREL_NETWORK_MODULE_BUILT),
    };
    for (const QString& place : places) {
        QLibrary module(place);
        // Loaded for the rest of the run: what it makes runs its code to the end.
        if (!module.load()) continue;
        makeTransfer_ = reinterpret_cast<HttpTransfer* (*)()>(module.resolve("nimbrelMakeTransfer"));
        makeProbe_ = reinterpret_cast<ConnectivityProbe* (*)(const char*)>(module.resolve("nimbrelMakeProbe"));
        if (makeTransfer_ != nullptr && makeProbe_ != nullptr) return true;
    }
    return false;
}

} // namespace nimbrel::view
