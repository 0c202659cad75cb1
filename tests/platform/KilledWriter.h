#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbrel::testing {

// One round of kill -9 at a moment of a write: a child writes again and again (write says whether each write went
// through), finishes 1 + round % 3 writes, and is killed a moment later that varies with the round, up to
// spreadMicroseconds. True when every write the child finished went through and the kill ended it.
inline bool killedWhileWriting(int round, long spreadMicroseconds, const std::function<bool()>& write)
{
    int progress[2];
    if (::pipe(progress) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        ::close(progress[0]);
        for (;;) {
            const char report = write() ? '+' : '-';
            if (::write(progress[1], &report, 1) != 1) ::_exit(1);
        }
    }
    ::close(progress[1]);
    bool allStored = true;
    for (int done = 0; done < 1 + round % 3; ++done) {
        char report = 0;
        allStored = ::read(progress[0], &report, 1) == 1 && report == '+' && allStored;
    }
    const timespec pause{0, (round * 97L) % spreadMicroseconds * 1000};
    ::nanosleep(&pause, nullptr);
    const bool killed = ::kill(child, SIGKILL) == 0;
    int status = 0;
    const bool ended = ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    ::close(progress[0]);
    EXPECT_TRUE(allStored) << "a write the kill did not cut failed";
    return allStored && killed && ended;
}

} // namespace nimbrel::testing
