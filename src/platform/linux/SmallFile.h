#pragma once

#include <cstddef>

namespace nimbrel {

// Reads at most capacity bytes of a small file (a /proc or cgroup file) into buffer; returns the count read, or
// -1 when the file cannot be opened. Only open, read and close, nothing allocated: safe in a forked child.
long readSmallFile(const char* path, char* buffer, std::size_t capacity) noexcept;

} // namespace nimbrel
