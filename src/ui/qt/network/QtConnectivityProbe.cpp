#include "ui/qt/network/QtConnectivityProbe.h"

#include "ui/qt/network/ProgramRequest.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace nimbrel::view {

QtConnectivityProbe::QtConnectivityProbe(std::string pageUrl, std::chrono::milliseconds timeout)
    : pageUrl_(std::move(pageUrl)), timeout_(timeout)
{
}

QtConnectivityProbe::~QtConnectivityProbe() = default;

bool QtConnectivityProbe::pageReachable()
{
    QNetworkRequest request = programRequest(QUrl(QString::fromStdString(pageUrl_)), timeout_);
    // A redirect is an answer too; following it would only test another server.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // Made at the first probe: most runs never make one.
    if (!manager_) manager_ = std::make_unique<QNetworkAccessManager>();
    QPointer<QNetworkReply> reply = manager_->get(request);

    // Any status line will do, whatever it says: the wait ends with the
    // headers, the page itself is not needed.
    const auto answered = [&reply] {
        return reply && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    };
    QEventLoop wait;
    QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &wait, [&] {
        if (answered()) wait.quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &wait, &QEventLoop::quit);
    deadline.start(timeout_);
    if (!reply->isFinished() && !answered()) wait.exec(QEventLoop::AllEvents);
    deadline.stop();

    const bool reachable = answered();
    if (reply) {
        QObject::disconnect(reply, nullptr, &wait, nullptr);
        reply->abort();
        reply->deleteLater();
    }
    return reachable;
}

} // namespace nimbrel::view
