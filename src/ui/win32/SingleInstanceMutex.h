#pragma once

#include <windows.h>

#include <chrono>
#include <string>

namespace nimbrel::win32 {

// One running copy per session: the running copy holds a named mutex in the
// session's namespace for its whole life. A later copy that finds the mutex taken
// looks for the running copy's application window, lets it take the foreground and
// asks it to bring its main window forward, then ends.
class SingleInstanceMutex {
public:
    // The name the program's copies share in a session.
    static constexpr const wchar_t* sessionName = L"Local\\Nimbrel";

    explicit SingleInstanceMutex(const std::wstring& name = sessionName);
    ~SingleInstanceMutex();
    SingleInstanceMutex(const SingleInstanceMutex&) = delete;
    SingleInstanceMutex& operator=(const SingleInstanceMutex&) = delete;

    // True when this copy is the first of the session.
    bool first() const { return first_; }

    // Asks the running copy to come forward; false when its window did not show up in time
    // (a copy still starting makes its window within moments).
    bool askRunningCopy(std::chrono::milliseconds patience = std::chrono::milliseconds(5000)) const;

    // Lets go of the claim, so that a copy started next is the first.
    void letGo();

private:
    HANDLE mutex_ = nullptr;
    bool first_ = false;
};

} // namespace nimbrel::win32
