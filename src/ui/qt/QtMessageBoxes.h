#pragma once

#include "core/system/MessageBoxes.h"

#include <QPointer>
#include <QWidget>

namespace nimbrel::view {

// Modal message boxes in the classic styles: the low digit chooses the
// buttons (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel), 16/32/48/64 the icon, 256/512 the default button; the
// answer is the classic number of the button chosen (1 OK, 2 Cancel, 3 Abort,
// 4 Retry, 5 Ignore, 6 Yes, 7 No).
class QtMessageBoxes : public MessageBoxes {
public:
    int msgBox(const std::string& prompt, int style, const std::string& title) override;

    // The window the boxes are centred on while it is visible.
    void setParentWindow(QWidget* window) { parent_ = window; }

private:
    QPointer<QWidget> parent_;
};

} // namespace nimbrel::view
