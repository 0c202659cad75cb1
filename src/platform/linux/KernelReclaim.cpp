#include "KernelReclaim.h"

#include "SelfCgroup.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace nimbrel {

namespace {

bool writable(const std::string& file) { return ::access(file.c_str(), W_OK) == 0; }

} // namespace

KernelReclaim::KernelReclaim(const std::string& selfCgroup, const std::string& v2Root)
{
    const SelfCgroup where = readSelfCgroup(selfCgroup);
    if (where.v1Memory || !where.unified) return;
    const std::string root = withoutTrailingSlash(v2Root);
    std::string dir = cgroupDirectory(where.unifiedPath, root);
    if (dir.empty()) return;
    // Up from the process's own group while the levels stay writable: the first one that is not belongs to
    // someone else (user-UID.slice above the user's delegated user@UID.service).
    for (;;) {
        const std::string file = dir + "/memory.reclaim";
        if (writable(file))
            file_ = file;
        else if (!file_.empty())
            break;
        if (dir.size() <= root.size()) break;
        dir.erase(dir.rfind('/'));
    }
}

bool KernelReclaim::offered() const { return !file_.empty() && writable(file_); }

KernelReclaim::Answer KernelReclaim::reclaim(std::uint64_t bytes) const
{
    const int fd = ::open(file_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return Answer::Failed;
    const std::string amount = std::to_string(bytes);
    ssize_t put;
    while ((put = ::write(fd, amount.data(), amount.size())) < 0 && errno == EINTR) {
    }
    const int why = errno;
    ::close(fd);
    if (put == static_cast<ssize_t>(amount.size())) return Answer::Reclaimed;
    return put < 0 && (why == EAGAIN || why == EBUSY) ? Answer::NoMore : Answer::Failed;
}

} // namespace nimbrel
