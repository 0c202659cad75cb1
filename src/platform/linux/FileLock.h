#pragma once

#include <string>

namespace nimbrel {

// An exclusive advisory lock (flock) on a file of this user's, held until release() or the object's end; the
// file is there while the lock is held and removed as it is let go. The system lets go of the lock when the
// process ends, however it ends, so a crash leaves only the file, which the next holder takes over. Taking the
// lock writes nothing to the disk.
class FileLock {
public:
    enum class Outcome { Taken, HeldElsewhere, Failed };

    explicit FileLock(std::string path) : path_(std::move(path)) {}
    ~FileLock() { release(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock without waiting, making the file (readable by this user only) if it is not there.
    // Failed when the file cannot be opened or locked at all; errno says why.
    Outcome tryLock();
    void release();
    bool held() const { return fd_ >= 0; }

private:
    Outcome tryLockOnce();

    std::string path_;
    int fd_ = -1;
};

} // namespace nimbrel
