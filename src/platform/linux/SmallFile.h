#pragma once

#include <cstddef>
#include <string>

namespace nimbrel {

// Reads at most capacity bytes of a small file (a /proc or cgroup file) into buffer; returns the count read, or
// -1 when the file cannot be opened. Only open, read and close, nothing allocated: safe in a forked child.
long readSmallFile(const char* path, char* buffer, std::size_t capacity) noexcept;

// A /proc file read again and again, opened once: the kernel makes its text anew at each read from its
// start, so a reading costs one system call instead of three. A file that cannot be opened is tried again at
// the next read. Reading allocates nothing, and a child forked from the owner may read it too.
class KeptSmallFile {
public:
    explicit KeptSmallFile(std::string path) : path_(std::move(path)) {}
    ~KeptSmallFile();
    KeptSmallFile(const KeptSmallFile&) = delete;
    KeptSmallFile& operator=(const KeptSmallFile&) = delete;

    // As readSmallFile, from the file's start.
    long read(char* buffer, std::size_t capacity) noexcept;

private:
    std::string path_;
    int fd_ = -1;
};

} // namespace nimbrel
