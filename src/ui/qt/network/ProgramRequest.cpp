#include "ui/qt/network/ProgramRequest.h"

#include <QUrl>

namespace nimbrel::view {

QNetworkRequest programRequest(const QUrl& url, std::chrono::milliseconds timeout)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Nimbrel"));
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    return request;
}

} // namespace nimbrel::view
