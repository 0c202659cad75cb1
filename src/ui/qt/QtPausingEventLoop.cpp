#include "ui/qt/QtPausingEventLoop.h"

#include <QEventLoop>
#include <QTimer>

namespace nimbrel::view {

namespace {
constexpr int momentMs = 20;
} // namespace

void QtPausingEventLoop::doEvents()
{
    QEventLoop moment;
    QTimer::singleShot(momentMs, &moment, &QEventLoop::quit);
    moment.exec();
}

} // namespace nimbrel::view
