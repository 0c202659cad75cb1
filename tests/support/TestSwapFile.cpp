#include "TestSwapFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/swap.h>
#include <unistd.h>
#include <vector>

namespace nimbrel::testing {

TestSwapFile::TestSwapFile(std::string path, std::uint64_t bytes) : path_(std::move(path))
{
    if (::geteuid() != 0) {
        whyNot_ = "a swap file needs root";
        return;
    }
    // Written out, not allocated sparsely: the kernel refuses a swap file with holes.
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        whyNot_ = "cannot create " + path_ + ": " + std::strerror(errno);
        return;
    }
    const std::vector<char> zeros(1 << 20, 0);
    bool written = true;
    for (std::uint64_t done = 0; written && done < bytes; done += zeros.size()) {
        written = ::write(fd, zeros.data(), zeros.size()) == static_cast<ssize_t>(zeros.size());
    }
    written = ::fsync(fd) == 0 && written;
    ::close(fd);
    if (!written) {
        whyNot_ = "cannot write " + path_;
        return;
    }
    if (std::system(("mkswap -q '" + path_ + "' >/dev/null 2>&1").c_str()) != 0) {
        whyNot_ = "mkswap failed on " + path_;
        return;
    }
    if (::swapon(path_.c_str(), 0) != 0) {
        whyNot_ = "swapon " + path_ + ": " + std::strerror(errno);
        return;
    }
    on_ = true;
}

TestSwapFile::~TestSwapFile()
{
    if (on_) ::swapoff(path_.c_str());
    ::unlink(path_.c_str());
}

} // namespace nimbrel::testing
