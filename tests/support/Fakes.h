#pragma once

#include "core/system/ConnectivityProbe.h"
#include "core/base/ErrorReporter.h"
#include "core/system/EventLoop.h"
#include "core/system/FileDialog.h"
#include "core/system/HttpTransfer.h"
#include "core/system/MemoryBlock.h"
#include "core/system/MemoryStatus.h"
#include "core/system/MessageBoxes.h"
#include "core/system/PictureFiles.h"
#include "core/system/ProcessStarter.h"
#include "core/base/RuntimeError.h"
#include "core/system/ProgramDirectory.h"
#include "core/system/ProfileFile.h"
#include "core/system/ProgramExit.h"
#include "core/system/RegistryStore.h"
#include "core/system/SystemCounters.h"
#include "core/system/SystemVersion.h"
#include "core/system/TextFile.h"
#include "core/system/TrayIcon.h"
#include "core/system/UrlOpener.h"

#include <cstdint>
#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <functional>
#include <string>
#include <vector>

namespace nimbrel::testing {

constexpr std::uint64_t MB = 1024ull * 1024ull;

// Memory figures the test sets; each read is counted.
class FakeMemoryStatus : public MemoryStatus {
public:
    MemorySnapshot snapshot;
    int reads = 0;
    // Called before each read, so a test can let memory change over time.
    std::function<void(MemorySnapshot&)> beforeRead;

    const PagingWords* words = &swapWords;

    const PagingWords& pagingWords() const override { return *words; }
    MemorySnapshot read() override
    {
        ++reads;
        if (beforeRead) beforeRead(snapshot);
        return snapshot;
    }
    void setMB(double totalPhys, double availPhys, double totalPage, double availPage)
    {
        snapshot = {static_cast<std::uint64_t>(totalPhys * MB), static_cast<std::uint64_t>(availPhys * MB),
                    static_cast<std::uint64_t>(totalPage * MB), static_cast<std::uint64_t>(availPage * MB)};
    }
};

// Records every block asked for and answers with the outcome the test chose; a written block counts as
// held until its holder is gone.
class FakeMemoryBlock : public MemoryBlock {
public:
    std::vector<std::uint64_t> blocks;
    BlockOutcome outcome = BlockOutcome::Written;
    std::function<void(std::uint64_t)> onBlock;
    std::vector<std::string> events; // "hold <MB>", "free <MB>"
    int held = 0;

    HeldOutcome writeAndHold(std::uint64_t bytes) override
    {
        blocks.push_back(bytes);
        if (onBlock) onBlock(bytes);
        if (outcome != BlockOutcome::Written) return {outcome, nullptr};
        events.push_back("hold " + std::to_string(bytes / MB));
        ++held;
        return {outcome, std::make_unique<Holder>(*this, bytes)};
    }

    // With a number of looks, a pass is under way until it has been looked at that often, its block written
    // in as many equal pieces (the block itself is asked for when the pass starts).
    int looksToFinish = 0;
    int looks = 0;

    std::unique_ptr<RunningPass> startPass(const PassRequest& request) override
    {
        if (looksToFinish == 0) return MemoryBlock::startPass(request);
        return std::make_unique<SlowPass>(*this, request);
    }

private:
    struct SlowPass : RunningPass {
        SlowPass(FakeMemoryBlock& owner, const PassRequest& request)
            : owner(owner), written(owner.writeAndHold(request.targetBytes)), bytes(request.targetBytes)
        {
            if (!request.keep) written.holder.reset();
        }
        PassMethod method() const override { return PassMethod::Block; }
        PassProgress progress() override
        {
            ++owner.looks;
            const int looked = ++looked_;
            const bool finished = looked >= owner.looksToFinish;
            return {finished, written.outcome, bytes * static_cast<std::uint64_t>(std::min(looked, owner.looksToFinish)) /
                                                   static_cast<std::uint64_t>(owner.looksToFinish),
                    bytes};
        }
        PassProgress progressWithin(std::uint32_t) override { return progress(); }
        FakeMemoryBlock& owner;
        HeldOutcome written;
        std::uint64_t bytes;
        int looked_ = 0;
    };

    struct Holder : HeldBlock {
        Holder(FakeMemoryBlock& owner, std::uint64_t bytes) : owner(owner), bytes(bytes) {}
        ~Holder() override
        {
            owner.events.push_back("free " + std::to_string(bytes / MB));
            --owner.held;
        }
        FakeMemoryBlock& owner;
        std::uint64_t bytes;
    };
};

struct ReportedError {
    std::string tag;
    int number;
    std::string description;
};

class RecordingReporter : public ErrorReporter {
public:
    std::vector<ReportedError> errors;
    void reportError(const std::string& tag, int number, const std::string& description) override
    {
        errors.push_back({tag, number, description});
    }
};

struct ShownMessage {
    std::string prompt;
    int style;
    std::string title;
};

// Message boxes answered from a queue (OK when it runs dry).
class FakeMessageBoxes : public MessageBoxes {
public:
    std::vector<ShownMessage> shown;
    std::deque<int> answers;
    std::function<void()> whileShown; // runs while the box is "open"

    int msgBox(const std::string& prompt, int style, const std::string& title) override
    {
        shown.push_back({prompt, style, title});
        if (whileShown) whileShown();
        if (answers.empty()) return mb::ok;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
};

class FakeEventLoop : public EventLoop {
public:
    int yields = 0;
    std::function<void()> pending;
    void doEvents() override
    {
        ++yields;
        if (pending) pending();
    }
};

// Program files the test says exist; every start is recorded, or fails where the test says so.
class FakeProcessStarter : public ProcessStarter {
public:
    std::vector<std::string> files;
    std::map<std::string, std::string> desktopNames;
    std::vector<std::string> started;
    std::vector<std::string> unstartable;
    std::function<void(const std::string&)> onStart;
    std::string suffix;
    bool ignoreCase = false;
    std::string whyUnstartable = "Invalid procedure call or argument";

    std::string executableSuffix() override { return suffix; }
    bool namesIgnoreCase() override { return ignoreCase; }
    bool isOrdinaryFile(const std::string& path) override
    {
        return std::find(files.begin(), files.end(), path) != files.end();
    }
    std::optional<std::string> desktopName(const std::string& path) override
    {
        const auto it = desktopNames.find(path);
        if (it == desktopNames.end()) return std::nullopt;
        return it->second;
    }
    void start(const std::string& path) override
    {
        if (std::find(unstartable.begin(), unstartable.end(), path) != unstartable.end()) {
            throw RuntimeError(5, whyUnstartable);
        }
        started.push_back(path);
        if (onStart) onStart(path);
    }
};

// The open-file dialog, answering from a queue (cancelled when it runs dry).
class FakeFileDialog : public FileDialog {
public:
    std::deque<std::string> choices;
    int opened = 0;
    std::optional<std::string> chooseProgram() override
    {
        ++opened;
        if (choices.empty()) return std::nullopt;
        std::string chosen = choices.front();
        choices.pop_front();
        return chosen;
    }
};

// Files kept in memory; paths listed as unwritable fail to be replaced. With latin1 set, the files' text is in a
// code page of one byte a character, ISO 8859-1 (U+0000 to U+00FF), as a Windows system's may be.
class FakeTextFile : public TextFile {
public:
    std::map<std::string, std::string> files;
    std::vector<std::string> unwritable;
    bool latin1 = false;
    std::string decode(const std::string& bytes) override
    {
        if (!latin1) return bytes;
        std::string text;
        for (const unsigned char c : bytes) {
            if (c < 0x80) {
                text += static_cast<char>(c);
            } else {
                text += static_cast<char>(0xC0 | (c >> 6));
                text += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return text;
    }
    std::optional<std::string> encode(const std::string& text) override
    {
        if (!latin1) return text;
        std::string bytes;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c < 0x80) {
                bytes += static_cast<char>(c);
            } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
                bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
            } else {
                return std::nullopt;
            }
        }
        return bytes;
    }
    std::optional<std::string> read(const std::string& path, std::size_t maxBytes) override
    {
        const auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second.substr(0, maxBytes);
    }
    void replace(const std::string& path, const std::string& bytes) override
    {
        if (std::find(unwritable.begin(), unwritable.end(), path) != unwritable.end()) {
            throw RuntimeError(75, "Path/File access error");
        }
        files[path] = bytes;
    }
};

class FakeProgramDirectory : public ProgramDirectory {
public:
    std::string dir = "/tmp";
    std::string name = "Nimbrel";
    bool isPortable = true;
    // Where an installed copy keeps its settings; beside the program when empty.
    std::string settingsDir;
    bool portable() override { return isPortable; }
    std::string settingsPath() override { return settingsDir.empty() ? dir : settingsDir; }
    std::string picturePath(const std::string& file) override { return dir + "/" + file; }
    std::string path() override { return dir; }
    std::string startCommand() override { return dir + "/" + name; }
};

// Records the addresses; where the test says no browser is set, an address the user asked for fails.
class FakeUrlOpener : public UrlOpener {
public:
    std::vector<std::string> opened;
    bool noBrowser = false;
    void openUrl(const std::string& url) override { opened.push_back(url); }
    void openUrl(const std::string& url, std::function<void()> failed) override
    {
        opened.push_back(url);
        if (noBrowser) failed();
    }
};

class FakeProgramExit : public ProgramExit {
public:
    int ended = 0;
    void endNow() override { ++ended; }
};

inline std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// settings.ini kept in memory: names without regard to case, every write recorded.
class FakeProfileFile : public ProfileFile {
public:
    struct Write {
        std::string section, key, value;
    };
    std::map<std::string, std::string> values; // "section/key", lower case
    std::vector<Write> writes;
    std::vector<std::string> paths;
    std::string failure; // set: every write fails, for this reason

    std::string readString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override
    {
        paths.push_back(path);
        const auto it = values.find(lowered(section + "/" + key));
        return (it == values.end() ? defaultValue : it->second).substr(0, 254);
    }
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override
    {
        paths.push_back(path);
        if (!failure.empty()) return false;
        writes.push_back({section, key, value});
        values[lowered(section + "/" + key)] = value;
        return true;
    }
    std::string writeFailure() const override { return failure; }
    void store(const std::string& section, const std::string& key, const std::string& value)
    {
        values[lowered(section + "/" + key)] = value;
    }
    // The last value written to a key, or nothing.
    std::optional<std::string> written(const std::string& section, const std::string& key) const
    {
        for (auto it = writes.rbegin(); it != writes.rend(); ++it) {
            if (lowered(it->section) == lowered(section) && lowered(it->key) == lowered(key)) return it->value;
        }
        return std::nullopt;
    }
};

// Registry keys and values kept in memory, names without regard to case.
class FakeRegistryStore : public RegistryStore {
public:
    std::map<std::string, std::map<std::string, std::string>> keys; // lower-case key -> lower-case name -> data
    // Runs before each change of a value (a test that ends the program there throws).
    std::function<void()> beforeChange;

    bool keyExists(const std::string& subKey) override { return keys.count(lowered(subKey)) != 0; }
    bool createKey(const std::string& subKey) override
    {
        keys[lowered(subKey)];
        return true;
    }
    std::optional<std::string> queryValue(const std::string& subKey, const std::string& name) override
    {
        const auto k = keys.find(lowered(subKey));
        if (k == keys.end()) return std::nullopt;
        const auto v = k->second.find(lowered(name));
        if (v == k->second.end()) return std::nullopt;
        return v->second;
    }
    bool setValue(const std::string& subKey, const std::string& name, const std::string& data) override
    {
        if (beforeChange) beforeChange();
        const auto k = keys.find(lowered(subKey));
        if (k == keys.end()) return false;
        k->second[lowered(name)] = data;
        return true;
    }
    bool deleteValue(const std::string& subKey, const std::string& name) override
    {
        if (beforeChange) beforeChange();
        const auto k = keys.find(lowered(subKey));
        return k != keys.end() && k->second.erase(lowered(name)) == 1;
    }
};

// The shared transfer object: records what it was asked; a transfer can be
// left "executing" for a number of busy tests.
class FakeHttpTransfer : public HttpTransfer {
public:
    std::vector<std::string> calls; // "cancel", "GET <url>"
    int busyTests = 0;              // stillExecuting() answers true this many times
    std::function<void(const std::string&)> duringGet;

    void cancel() override { calls.push_back("cancel"); }
    bool stillExecuting() override
    {
        if (busyTests == 0) return false;
        --busyTests;
        return true;
    }
    std::string openUrlText(const std::string& url) override
    {
        calls.push_back("GET " + url);
        if (duringGet) duringGet(url);
        return {};
    }
    std::vector<std::uint8_t> openUrlBytes(const std::string& url) override
    {
        calls.push_back("GET " + url);
        return {};
    }
    bool openUrlInto(const std::string& url, const TransferLimits&, const BodySink&) override
    {
        calls.push_back("GET " + url);
        return false;
    }
    std::string responseHeaders() override { return {}; }
};

class FakeProbe : public ConnectivityProbe {
public:
    bool online = true;
    int probes = 0;
    bool pageReachable() override
    {
        ++probes;
        return online;
    }
};

class FakeSystemVersion : public SystemVersion {
public:
    SystemIdentity identity{"Debian GNU/Linux 12 (bookworm)", "6.1.0-18-amd64", ""};
    SystemIdentity identify() override { return identity; }
};

// Kernel counters of a two-processor machine. Left alone, every reading
// finds one more second passed at the steady load; a test may also move them by hand.
class FakeSystemCounters : public SystemCounters {
public:
    std::uint32_t platform = 2;
    CounterSample now{2, 0, 0};
    bool failing = false;
    int samples = 0;
    std::optional<double> steadyLoadPercent = 0.0;

    std::uint32_t platformId() override { return platform; }
    bool sample(CounterSample& out) override
    {
        ++samples;
        if (failing) return false;
        if (steadyLoadPercent) pass(1.0, now.processors * (1.0 - *steadyLoadPercent / 100.0));
        out = now;
        return true;
    }
    // Lets time pass: seconds of the clock and of idle time over all processors.
    void pass(double seconds, double idleSeconds)
    {
        now.systemTime += static_cast<std::int64_t>(seconds * 1e7);
        now.idleTime += static_cast<std::int64_t>(idleSeconds * 1e7);
    }
};

// Bitmap files kept in memory; paths listed as unwritable fail to save.
class FakePictureFiles : public PictureFiles {
public:
    std::map<std::string, Picture> files;
    std::vector<std::string> unwritable;
    std::vector<std::string> broken; // present, but no loadable picture
    int saves = 0;

    bool exists(const std::string& path) override
    {
        return files.count(path) != 0 || std::find(broken.begin(), broken.end(), path) != broken.end();
    }
    Picture load(const std::string& path) override
    {
        if (std::find(broken.begin(), broken.end(), path) != broken.end()) throw RuntimeError(481, "Invalid picture");
        const auto it = files.find(path);
        if (it == files.end()) throw RuntimeError(53, "File not found");
        return it->second;
    }
    void save(const Picture& picture, const std::string& path) override
    {
        if (std::find(unwritable.begin(), unwritable.end(), path) != unwritable.end()) {
            throw RuntimeError(75, "Path/File access error");
        }
        ++saves;
        files[path] = picture;
        broken.erase(std::remove(broken.begin(), broken.end(), path), broken.end());
    }
};

// The notification area: what the icon shows, and every call made to it.
class FakeTrayIcon : public TrayIcon {
public:
    std::vector<std::string> calls; // "add <tip>", "modify <tip>", "remove", "popup", "message <text>", "gauge <n>"
    bool present = false;
    bool notificationArea = true; // the desktop has one
    std::string tip;
    std::function<void()> whileMenuOpen;

    void add(const std::string& toolTip) override
    {
        calls.push_back("add " + toolTip);
        present = true;
        tip = toolTip;
    }
    void modify(const std::string& toolTip) override
    {
        calls.push_back("modify " + toolTip);
        tip = toolTip;
    }
    void remove() override
    {
        calls.push_back("remove");
        present = false;
    }
    void popUpMenu() override
    {
        calls.push_back("popup");
        if (whileMenuOpen) whileMenuOpen();
    }
    bool available() override { return notificationArea; }
    void showMessage(const std::string&, const std::string& text) override { calls.push_back("message " + text); }
    void showGauge(std::optional<int> percent) override
    {
        calls.push_back(percent ? "gauge " + std::to_string(*percent) : "gauge off");
    }
    // The calls that start with the text.
    std::vector<std::string> callsOf(const std::string& kind) const
    {
        std::vector<std::string> found;
        for (const std::string& call : calls) {
            if (call.rfind(kind, 0) == 0) found.push_back(call);
        }
        return found;
    }
};

} // namespace nimbrel::testing
