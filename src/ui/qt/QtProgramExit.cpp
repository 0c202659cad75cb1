#include "ui/qt/QtProgramExit.h"

#include "ui/qt/QtTimerScheduler.h"

#include <QCoreApplication>
#include <QEvent>

namespace nimbrel::view {

QtProgramExit::QtProgramExit(QtTimerScheduler& timers, std::function<void()> quit)
    : timers_(timers), quit_(std::move(quit))
{
}

std::function<void()> QtProgramExit::defaultQuit()
{
    return [] { QCoreApplication::exit(0); };
}

void QtProgramExit::endNow()
{
    if (ended_) return;
    ended_ = true;
    timers_.haltAll();
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
    // exit() also ends every nested loop (a message box that is open), and a
    // loop started later returns at once.
    if (quit_) quit_();
}

bool QtProgramExit::eventFilter(QObject* watched, QEvent* event)
{
    if (!ended_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    // Everything that could run a handler of the program after its end.
    case QEvent::Timer:
    case QEvent::MetaCall:
    case QEvent::SockAct:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
    case QEvent::WindowStateChange:
        return true;
    default:
        return false;
    }
}

} // namespace nimbrel::view
