#include "ui/qt/QtEventLoop.h"

#include <QCoreApplication>

namespace nimbrel::view {

void QtEventLoop::doEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

} // namespace nimbrel::view
