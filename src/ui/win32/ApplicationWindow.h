#pragma once

#include "ui/win32/HandledWindow.h"

#include <functional>
#include <vector>

namespace nimbrel::win32 {

// The program's hidden top-level window, titled with the application title: a copy
// started later finds the running one by it and asks it to come forward; the installer
// and uninstaller find it too and ask the program to end; the tray icon's notifications
// and the session's end arrive here as well.
class ApplicationWindow : private MessageHandler {
public:
    ApplicationWindow();
    ~ApplicationWindow() override;
    ApplicationWindow(const ApplicationWindow&) = delete;
    ApplicationWindow& operator=(const ApplicationWindow&) = delete;

    HWND handle() const { return window_; }

    // Passes every message through handler first (the tray icon's notifications).
    void addHandler(MessageHandler& handler) { handlers_.push_back(&handler); }

    // What the running copy does when a later copy asks for it.
    std::function<void()> onActivationRequest;
    // What the program does when the installer asks it to end.
    std::function<void()> onExitRequest;
    // What the program does when the session ends.
    std::function<void()> onSessionEnd;

    static constexpr const wchar_t* className = L"ThunderRT6Main";
    static constexpr const wchar_t* title = L"Nimbrel";
    static constexpr UINT activationRequest = WM_APP + 2;
    // The installer's and uninstaller's request (desktop/windows/Nimbrel.nsi posts it by number), with the asking
    // process's id as wParam. It stands while the asker holds the event named exitRequestSign followed by that id.
    static constexpr UINT exitRequest = WM_APP + 3;
    static constexpr const wchar_t* exitRequestSign = L"Local\\NimbrelExitRequest-";

private:
    std::optional<LRESULT> onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool takeExitRequest(WPARAM asker);

    HWND window_;
    std::vector<MessageHandler*> handlers_;
    // The sign of the request taken, held until the program is gone: the asker tells by it that the request was
    // taken after it stopped waiting.
    HANDLE takenRequest_ = nullptr;
};

} // namespace nimbrel::win32
