#pragma once

#include <QObject>

#include <functional>

namespace nimbrel::view {

// Catches the application's quit requests: the session manager's "die" at the
// end of the desktop session arrives as one, and so does QCoreApplication::quit().
// Left to Qt, a quit request first tries to close every window, and the main
// window may refuse (it only hides while "Quit button hides in tray" is set),
// which would leave the program running past the end of the session. The
// request is handed to onQuit instead, which ends the program its own way.
class QuitRequestFilter : public QObject {
    Q_OBJECT
public:
    explicit QuitRequestFilter(std::function<void()> onQuit) : onQuit_(std::move(onQuit)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onQuit_;
};

} // namespace nimbrel::view
