#pragma once

#include <cstdint>
#include <sys/types.h>

namespace nimbrel::testing {

class TestCgroup;

// A program that takes memory once and then idles: forked, moved into the cgroup, and left holding its
// pages until the test is done with it. The test process must be single-threaded.
class IdleProgram {
public:
    IdleProgram(TestCgroup& cgroup, std::uint64_t bytes);
    ~IdleProgram();
    IdleProgram(const IdleProgram&) = delete;
    IdleProgram& operator=(const IdleProgram&) = delete;

    bool started() const { return started_; }
    bool alive() const;
    // What of its memory is in swap, in bytes.
    std::uint64_t swapped() const;

private:
    pid_t pid_ = -1;
    bool started_ = false;
};

} // namespace nimbrel::testing
