#include "IdleProgram.h"

#include "TestCgroup.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbrel::testing {

IdleProgram::IdleProgram(TestCgroup& cgroup, std::uint64_t bytes)
{
    int gate[2], ready[2];
    if (::pipe(gate) != 0) return;
    if (::pipe(ready) != 0) {
        ::close(gate[0]);
        ::close(gate[1]);
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        char go = 0;
        if (::read(gate[0], &go, 1) != 1) ::_exit(1);
        // Written through a volatile pointer: the compiler may not drop pages nobody reads.
        auto* const volatile pages = static_cast<char*>(std::malloc(bytes));
        if (pages == nullptr) ::_exit(2);
        for (std::uint64_t i = 0; i < bytes; i += 4096) pages[i] = 'x';
        if (::write(ready[1], &go, 1) != 1) ::_exit(3);
        for (;;) ::pause();
    }
    char word = 1;
    if (pid_ > 0 && cgroup.enter(pid_) && ::write(gate[1], &word, 1) == 1) {
        ::close(ready[1]);
        ready[1] = -1;
        started_ = ::read(ready[0], &word, 1) == 1;
    }
    for (const int fd : {gate[0], gate[1], ready[0], ready[1]}) {
        if (fd >= 0) ::close(fd);
    }
}

IdleProgram::~IdleProgram()
{
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
}

bool IdleProgram::alive() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

std::uint64_t IdleProgram::swapped() const
{
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSwap:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    }
    return 0;
}

} // namespace nimbrel::testing
