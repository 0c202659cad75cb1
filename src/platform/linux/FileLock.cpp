#include "FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel {

namespace {

// Whether the open file is still the one the path names: a holder removes the file as it lets go, so a lock
// taken on a file that was removed meanwhile is a lock on nothing.
bool stillNamed(int fd, const std::string& path)
{
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

} // namespace

FileLock::Outcome FileLock::tryLock()
{
    if (held()) return Outcome::Taken;
    for (;;) {
        const Outcome outcome = tryLockOnce();
        if (outcome != Outcome::Taken || stillNamed(fd_, path_)) return outcome;
        ::close(fd_);
        fd_ = -1;
    }
}

FileLock::Outcome FileLock::tryLockOnce()
{
    // Close-on-exec: a program started from here must not keep the lock alive after this process ends.
    int fd;
    do {
        fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return Outcome::Failed;
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return error == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::Failed;
    }
    fd_ = fd;
    return Outcome::Taken;
}

void FileLock::release()
{
    if (!held()) return;
    // Removed while still locked, so that whoever opened it meanwhile sees it gone (stillNamed) and tries anew.
    ::unlink(path_.c_str());
    ::close(fd_); // closing the only descriptor of the open file lets go of its lock
    fd_ = -1;
}

} // namespace nimbrel
