#include "ui/qt/QuitRequestFilter.h"

#include "ui/qt/Bindings.h"

#include <QCoreApplication>
#include <QEvent>

namespace nimbrel::view {

bool QuitRequestFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Quit || watched != QCoreApplication::instance()) {
        return QObject::eventFilter(watched, event);
    }
    if (onQuit_) runUserAction(onQuit_);
    return true;
}

} // namespace nimbrel::view
