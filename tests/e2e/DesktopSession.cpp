#include "DesktopSession.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace nimbrel::e2e {

namespace fs = std::filesystem;

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string findProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 const std::string& workingDirectory)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (const std::string& e : environment)
        env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        if (::chdir(workingDirectory.c_str()) != 0) _exit(126);
        ::execve(args[0], args.data(), env.data());
        _exit(127);
    }
}

Process::Process(Process&& other) noexcept : pid_(other.pid_), exitCode_(other.exitCode_)
{
    other.pid_ = -1;
}

Process& Process::operator=(Process&& other) noexcept
{
    std::swap(pid_, other.pid_);
    std::swap(exitCode_, other.exitCode_);
    return *this;
}

Process::~Process()
{
    if (pid_ > 0 && !exitCode_) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

bool Process::running()
{
    if (pid_ <= 0 || exitCode_) return false;
    int status = 0;
    const pid_t ended = ::waitpid(pid_, &status, WNOHANG);
    if (ended == 0) return true;
    exitCode_ = ended == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
}

std::optional<int> Process::waitForExit(std::chrono::milliseconds patience)
{
    waitUntil([this] { return !running(); }, patience);
    return exitCode_;
}

void Process::kill(int signal)
{
    if (running()) ::kill(pid_, signal);
}

namespace {

// The process id written in a display's lock file, or -1.
pid_t lockHolder(int display)
{
    std::FILE* lock = std::fopen(("/tmp/.X" + std::to_string(display) + "-lock").c_str(), "r");
    if (lock == nullptr) return -1;
    long pid = -1;
    if (std::fscanf(lock, "%ld", &pid) != 1) pid = -1;
    std::fclose(lock);
    return static_cast<pid_t>(pid);
}

} // namespace

std::string DesktopSession::missingTools()
{
    for (const char* tool : {"Xvfb", "xdotool", "xdpyinfo"}) {
        if (findProgram(tool).empty()) return std::string(tool) + " is not installed; the desktop tests need it";
    }
    return {};
}

DesktopSession::DesktopSession(std::string screen) : screen_(std::move(screen))
{
    char pattern[] = "/tmp/nimbrel-e2e-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("no temporary directory");
    home_ = pattern;
    fs::create_directories(programDirectory());
    fs::create_directories(home_ + "/config");
    fs::create_directories(runtimeDirectory());
    fs::permissions(runtimeDirectory(), fs::perms::owner_all, fs::perm_options::replace);
    // The program keeps its settings and pictures beside its executable: a copy of its own, with the network
    // module it was built with beside it, as a portable copy has it.
    fs::copy_file(NIMBREL_EXECUTABLE, programDirectory() + "/Nimbrel");
    fs::copy_file(fs::path(NIMBREL_EXECUTABLE).parent_path() / "libnimbrel_network.so",
                  programDirectory() + "/libnimbrel_network.so");
    // Looking for a session bus, Qt's xcb platform has libdbus keep a buffer to the end; under
    // LeakSanitizer (the sanitized build) that alone would turn every clean exit into a failure.
    if (!startServer()) throw std::runtime_error("no Xvfb display could be started");
}

bool DesktopSession::startServer()
{
    // /tmp, and with it the X displays' lock files and sockets, may be shared with test sessions this
    // one cannot see (other process namespaces): their servers' locks look stale from here, and Xvfb
    // would take such a display over. So a display is chosen at random among many, and is only
    // used once its lock file names the server started here.
    const std::string xvfb = findProgram("Xvfb");
    std::srand(static_cast<unsigned>(::getpid()) ^ static_cast<unsigned>(std::time(nullptr)));
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int n = 200 + std::rand() % 800;
        const std::string number = std::to_string(n);
        if (fs::exists("/tmp/.X" + number + "-lock") || fs::exists("/tmp/.X11-unix/X" + number)) continue;
        display_ = ":" + number;
        // Without -noreset the server resets whenever its last client leaves (the xdpyinfo below, for one),
        // and a client connecting during that reset is turned away.
        server_ = Process({xvfb, display_, "-noreset", "-screen", "0", screen_, "-nolisten", "tcp"},
                          {"PATH=/usr/bin:/bin"}, home_);
        const bool answers =
            waitUntil([this] { return !server_.running() || x("xdpyinfo").has_value(); }) && server_.running();
        if (answers && lockHolder(n) == server_.pid()) return true;
        server_.kill(SIGTERM);
        server_.waitForExit();
    }
    return false;
}

DesktopSession::~DesktopSession()
{
    server_.kill(SIGTERM);
    server_.waitForExit();
    std::error_code ignored;
    fs::remove_all(home_, ignored);
}

std::vector<std::string> DesktopSession::environment() const
{
    const std::vector<std::string> replaced = {
        "DISPLAY=",       "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=",   "XDG_RUNTIME_DIR=", "XDG_CONFIG_HOME=",
        "XDG_DATA_HOME=", "NIMBREL_SERVER=",  "NIMBREL_PROBE_URL=", "SESSION_MANAGER=", "LSAN_OPTIONS="};
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool keep = true;
        for (const std::string& prefix : replaced)
            keep = keep && entry.rfind(prefix, 0) != 0;
        if (keep) env.push_back(entry);
    }
    env.push_back("DISPLAY=" + display_);
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.push_back("XDG_RUNTIME_DIR=" + runtimeDirectory());
    env.push_back("XDG_CONFIG_HOME=" + home_ + "/config");
    env.push_back("XDG_DATA_HOME=" + home_ + "/data");
    // Nothing listens there: the program's web requests fail at once.
    env.push_back("NIMBREL_SERVER=http://127.0.0.1:9");
    env.push_back("NIMBREL_PROBE_URL=http://127.0.0.1:9/");
    const char* lsan = std::getenv("LSAN_OPTIONS");
    env.push_back("LSAN_OPTIONS=" + std::string(lsan != nullptr && *lsan != '\0' ? std::string(lsan) + ":" : "") +
                  "suppressions=" NIMBREL_LSAN_SUPPRESSIONS);
    return env;
}

Process DesktopSession::startNimbrel() const
{
    return Process({programDirectory() + "/Nimbrel"}, environment(), programDirectory());
}

Process DesktopSession::startNimbrel(const std::vector<std::string>& changes) const
{
    std::vector<std::string> env = environment();
    for (const std::string& change : changes) {
        const std::size_t equals = change.find('=');
        const std::string prefix = change.substr(0, equals) + "=";
        std::erase_if(env, [&](const std::string& entry) { return entry.rfind(prefix, 0) == 0; });
        if (equals != std::string::npos) env.push_back(change);
    }
    return Process({programDirectory() + "/Nimbrel"}, env, programDirectory());
}

Process DesktopSession::startOnDisplay(const std::vector<std::string>& argv) const
{
    return Process(argv, environment(), home_);
}

Process DesktopSession::startTrayHost() const
{
    const std::size_t before = mappedTopLevelWindows().size();
    Process trayer = startOnDisplay(
        {findProgram("trayer"), "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24"});
    waitUntil([&] { return !trayer.running() || mappedTopLevelWindows().size() > before; }, std::chrono::seconds(60));
    return trayer;
}

std::optional<std::string> DesktopSession::x(const std::string& commandLine) const
{
    const std::string command = "DISPLAY=" + display_ + " " + commandLine + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string out;
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int status = ::pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

std::vector<std::string> DesktopSession::visibleWindows(const std::string& titleStart) const
{
    std::vector<std::string> windows;
    if (const auto out = x("xdotool search --onlyvisible --name '^" + titleStart + "'")) {
        std::stringstream lines(*out);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty()) windows.push_back(line);
        }
    }
    return windows;
}

std::vector<std::string> DesktopSession::mappedTopLevelWindows() const
{
    // xdotool counts the root window among the children of the root: it is left out by its id.
    const auto root = x("xwininfo -root");
    const auto found = x("xdotool search --onlyvisible --maxdepth 1 --name ''");
    if (!root || !found) return {};
    const std::size_t id = root->find("Window id: ");
    if (id == std::string::npos) return {};
    const std::string rootId = std::to_string(std::strtoul(root->c_str() + id + 11, nullptr, 16));
    std::vector<std::string> windows;
    std::stringstream lines(*found);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line != rootId) windows.push_back(line);
    }
    return windows;
}

std::optional<DesktopSession::Geometry> DesktopSession::geometry(const std::string& window) const
{
    const auto out = x("xdotool getwindowgeometry --shell " + window);
    if (!out) return std::nullopt;
    Geometry g;
    std::stringstream lines(*out);
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        if (key == "X")
            g.x = value;
        else if (key == "Y")
            g.y = value;
        else if (key == "WIDTH")
            g.width = value;
        else if (key == "HEIGHT")
            g.height = value;
    }
    return g;
}

bool DesktopSession::click(const std::string& window, int x, int y) const
{
    // A synchronous move waits for the pointer to move, for a long while when it is already
    // there (a second click on the same button): it is put a pixel aside first.
    this->x("xdotool mousemove --window " + window + " " + std::to_string(x + 1) + " " + std::to_string(y));
    return this
        ->x("xdotool mousemove --sync --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
            " click 1")
        .has_value();
}

bool DesktopSession::screenshot(const std::string& path) const
{
    return x("import -window root " + path).has_value();
}

std::vector<std::uint32_t> DesktopSession::pixels(const std::string& window, int left, int top, int width,
                                                  int height) const
{
    // xwd's dump: a header of big-endian 32-bit fields (and the window's name) of header_size bytes, ncolors
    // colour entries of 12 bytes, then the rows of pixels, bytes_per_line each.
    const auto dump = x("xwd -silent -id " + window);
    if (!dump || dump->size() < 100) return {};
    const auto field = [&](std::size_t index) {
        const auto* b = reinterpret_cast<const unsigned char*>(dump->data()) + 4 * index;
        return static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
               static_cast<std::uint32_t>(b[2]) << 8 | b[3];
    };
    const std::uint32_t headerSize = field(0), imageWidth = field(4), imageHeight = field(5);
    const std::uint32_t bitsPerPixel = field(11), bytesPerLine = field(12), colours = field(19);
    const std::size_t bytesPerPixel = bitsPerPixel / 8;
    const std::size_t start = std::size_t{headerSize} + 12u * colours;
    if (bytesPerPixel == 0 || bytesPerPixel > 4 || left < 0 || top < 0 || width <= 0 || height <= 0 ||
        static_cast<std::uint32_t>(left + width) > imageWidth || static_cast<std::uint32_t>(top + height) > imageHeight ||
        dump->size() < start + std::size_t{bytesPerLine} * imageHeight) {
        return {};
    }
    std::vector<std::uint32_t> values;
    for (int row = top; row < top + height; ++row) {
        for (int column = left; column < left + width; ++column) {
            const std::size_t at = start + std::size_t(row) * bytesPerLine + std::size_t(column) * bytesPerPixel;
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < bytesPerPixel; ++i)
                value = value << 8 | static_cast<unsigned char>((*dump)[at + i]);
            values.push_back(value);
        }
    }
    return values;
}

} // namespace nimbrel::e2e
