#include "ui/qt/QtUrlOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace nimbrel::view {

void QtUrlOpener::openUrl(const std::string& url)
{
    // The outcome is not the program's business: no browser means nothing happens.
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

} // namespace nimbrel::view
