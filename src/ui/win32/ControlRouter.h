#pragma once

#include "core/base/Colour.h"

#include <windows.h>

#include <functional>
#include <map>
#include <optional>

namespace nimbrel::win32 {

// Where the notifications of a window's child controls go: the command of each
// control (a click, a choice) to the handler bound to it, and the colours a
// static text or a box is painted in. Every container of the window passes these
// messages here, whichever container the control sits in.
class ControlRouter {
public:
    ControlRouter() = default;
    ~ControlRouter();
    ControlRouter(const ControlRouter&) = delete;
    ControlRouter& operator=(const ControlRouter&) = delete;

    // The handler of the control's WM_COMMAND notifications, with the notification code.
    void onCommand(HWND control, std::function<void(WORD code)> handler) { commands_[control] = std::move(handler); }
    // The colour of the control's text.
    void setTextColour(HWND control, Colour colour);
    // The colour behind the control's text; without one, its container's.
    void setBackColour(HWND control, Colour colour);
    // Draws an owner-drawn push button (BS_OWNERDRAW) in these colours: an accent button.
    void drawAsAccent(HWND button, Colour text, Colour back) { accents_[button] = {text, back}; }

    // WM_COMMAND from a control, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN and WM_DRAWITEM; nullopt for any other message.
    // containerBack is the background of the container that received the message.
    std::optional<LRESULT> route(UINT message, WPARAM wParam, LPARAM lParam, Colour containerBack);

private:
    HBRUSH brush(Colour colour);
    void drawAccent(const DRAWITEMSTRUCT& item, Colour text, Colour back);

    std::map<HWND, std::function<void(WORD)>> commands_;
    std::map<HWND, Colour> textColours_;
    std::map<HWND, Colour> backColours_;
    std::map<Colour, HBRUSH> brushes_;
    std::map<HWND, std::pair<Colour, Colour>> accents_; // text, back
};

// A GDI colour of the program's 0x00BBGGRR colour: the same number.
inline COLORREF colorRef(Colour colour) { return static_cast<COLORREF>(colour); }

} // namespace nimbrel::win32
