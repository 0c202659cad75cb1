#pragma once

#include <windows.h>

namespace nimbrel::win32 {

// Where the program's dialogs and message boxes open: centred on the window they belong to (on its screen's
// work area while that window is hidden or minimised), never past that work area's edges.
void centreOn(HWND window, HWND owner);

// Moves the window as little as keeps it inside its screen's work area.
void keepInsideWorkArea(HWND window);

// A window of a fixed size: its system menu offers neither Size nor Maximise.
void offerNoResizing(HWND window);

// While it lives, the next window the thread activates (a message box, the Open dialog, which place themselves)
// is moved to the centre of owner.
class CentredNextWindow {
public:
    explicit CentredNextWindow(HWND owner);
    ~CentredNextWindow();
    CentredNextWindow(const CentredNextWindow&) = delete;
    CentredNextWindow& operator=(const CentredNextWindow&) = delete;

private:
    HHOOK hook_ = nullptr;
    // A window's own message box inside a dialog's: the outer one's, restored after.
    HWND previousOwner_ = nullptr;
    HHOOK previousHook_ = nullptr;
};

} // namespace nimbrel::win32
