#pragma once

#include "core/ErrorReporter.h"
#include "core/EventLoop.h"
#include "core/MemoryBlock.h"
#include "core/MemoryStatus.h"
#include "core/MessageBoxes.h"
#include "core/ProgramDirectory.h"
#include "core/ProgramExit.h"
#include "core/UrlOpener.h"

#include <cstdint>
#include <deque>
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

// Records every block asked for and answers with the outcome the test chose.
class FakeMemoryBlock : public MemoryBlock {
public:
    std::vector<std::uint64_t> blocks;
    BlockOutcome outcome = BlockOutcome::Written;
    std::function<void(std::uint64_t)> onBlock;

    BlockOutcome writeAndFree(std::uint64_t bytes) override
    {
        blocks.push_back(bytes);
        if (onBlock) onBlock(bytes);
        return outcome;
    }
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

class FakeProgramDirectory : public ProgramDirectory {
public:
    std::string dir = "/tmp";
    std::string path() override { return dir; }
};

class FakeUrlOpener : public UrlOpener {
public:
    std::vector<std::string> opened;
    void openUrl(const std::string& url) override { opened.push_back(url); }
};

class FakeProgramExit : public ProgramExit {
public:
    int ended = 0;
    void endNow() override { ++ended; }
};

} // namespace nimbrel::testing
