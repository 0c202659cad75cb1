#pragma once

// A real X display for the whole program: an Xvfb server started for the
// test, a temporary home for the program (its own copy of the executable,
// runtime directory and configuration home), and the small X tools that
// look at windows and click them.

#include <chrono>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace nimbrel::e2e {

// The path of a program on PATH, or empty.
std::string findProgram(const std::string& name);

// The bytes of a file, empty when it cannot be read.
std::string fileText(const std::string& path);

// Polls until the condition holds or the patience runs out; true when it held.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds patience = std::chrono::seconds(15));

// A started process, ended (SIGKILL) if the test did not wait for it.
class Process {
public:
    Process() = default;
    Process(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::string& workingDirectory);
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();

    pid_t pid() const { return pid_; }
    bool running();
    // The exit code once the process has ended within the patience; nothing otherwise
    // (-1 when a signal ended it).
    std::optional<int> waitForExit(std::chrono::milliseconds patience = std::chrono::seconds(15));
    void kill(int signal);

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

class DesktopSession {
public:
    // Starts Xvfb on a free display with a screen of that size and depth and makes the program's temporary home.
    explicit DesktopSession(std::string screen = "1024x768x24");
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // Why the session cannot run here (Xvfb or xdotool missing), empty when it can.
    static std::string missingTools();

    const std::string& display() const { return display_; }
    const std::string& home() const { return home_; }
    std::string programDirectory() const { return home_ + "/app"; }
    std::string runtimeDirectory() const { return home_ + "/run"; }

    // Starts the copy of Nimbrel in the program directory, with the test's environment.
    Process startNimbrel() const;
    // The same with changes to that environment: "NAME=value" sets a variable, a bare "NAME" removes it.
    Process startNimbrel(const std::vector<std::string>& changes) const;
    // Starts another program on the display (a tray host, say), in the session's home.
    Process startOnDisplay(const std::vector<std::string>& argv) const;
    // Starts trayer, a notification area at the top right of the screen, and
    // waits until its panel is on the screen or trayer has ended.
    Process startTrayHost() const;

    // Runs an X tool on the display; its standard output, or nothing when it failed.
    std::optional<std::string> x(const std::string& commandLine) const;

    // The mapped top-level windows whose title starts with the text.
    std::vector<std::string> visibleWindows(const std::string& titleStart) const;
    // Every mapped child of the root window, whatever its title: windows, dialogs and pop-ups.
    std::vector<std::string> mappedTopLevelWindows() const;

    struct Geometry {
        int x = 0, y = 0, width = 0, height = 0;
    };
    std::optional<Geometry> geometry(const std::string& window) const;

    // A left click at a point of the window.
    bool click(const std::string& window, int x, int y) const;

    // Saves a picture of the whole screen.
    bool screenshot(const std::string& path) const;
    // The pixel values of a rectangle of a window as the screen shows it now, row by row; empty when xwd cannot
    // take the window or the rectangle is not inside it.
    std::vector<std::uint32_t> pixels(const std::string& window, int left, int top, int width, int height) const;

private:
    bool startServer();
    std::vector<std::string> environment() const;

    Process server_;
    std::string screen_;
    std::string display_;
    std::string home_;
};

template <typename Condition> bool waitUntil(Condition condition, std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        struct timespec pause {
            0, 50'000'000
        };
        nanosleep(&pause, nullptr);
    }
}

} // namespace nimbrel::e2e
