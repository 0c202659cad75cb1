#include "ui/qt/QtUrlOpener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QString>
#include <QUrl>

namespace nimbrel::view {

void QtUrlOpener::openUrl(const std::string& url)
{
    // The outcome is not the program's business: no browser means nothing happens.
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void QtUrlOpener::openUrl(const std::string& url, std::function<void()> failed)
{
    // QDesktopServices counts xdg-open's start as success, yet xdg-open fails (exit 3, a line on stderr) on a
    // desktop without a browser; only its exit tells. It is waited for without blocking: on a plain X session
    // it stays until the browser it started is closed.
    auto* xdgOpen = new QProcess(QCoreApplication::instance());
    xdgOpen->setStandardOutputFile(QProcess::nullDevice());
    xdgOpen->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(xdgOpen, &QProcess::finished, xdgOpen, [xdgOpen, failed](int code, QProcess::ExitStatus how) {
        // Ended with the program (the browser it started lives on): no failure of the user's.
        if (QCoreApplication::closingDown()) return;
        if (how != QProcess::NormalExit || code != 0) failed();
        xdgOpen->deleteLater();
    });
    // Without xdg-open, Qt's own search ($BROWSER, the desktop's known browsers) has the last word.
    QObject::connect(xdgOpen, &QProcess::errorOccurred, xdgOpen, [xdgOpen, failed, url](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        if (!QDesktopServices::openUrl(QUrl(QString::fromStdString(url)))) failed();
        xdgOpen->deleteLater();
    });
    xdgOpen->start(QStringLiteral("xdg-open"), {QString::fromStdString(url)});
}

} // namespace nimbrel::view
