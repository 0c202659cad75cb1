#include "ProcStatCounters.h"

#include <cstdlib>
#include <ctime>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace nimbrel {

ProcStatCounters::ProcStatCounters(std::string statPath)
    : stat_(std::move(statPath)), ticksPerSecond_(sysconf(_SC_CLK_TCK))
{
    if (ticksPerSecond_ <= 0) ticksPerSecond_ = 100;
}

bool parseProcStat(std::string_view text, int& processors, std::uint64_t& idleTicks)
{
    processors = 0;
    bool total = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        if (line.size() > 3 && line.substr(0, 3) == "cpu") {
            if (line[3] == ' ') {
                // user nice system idle iowait ...: iowait counts as idle, or one
                // process waiting on a slow disk would read as a busy processor.
                const char* p = line.data() + 3;
                unsigned long long fields[5] = {};
                for (unsigned long long& field : fields) {
                    char* next = nullptr;
                    field = std::strtoull(p, &next, 10);
                    if (next == p) break;
                    p = next;
                }
                idleTicks = fields[3] + fields[4];
                total = true;
            } else if (line[3] >= '0' && line[3] <= '9') {
                ++processors;
            }
        }
        pos = end + 1;
    }
    return total && processors > 0;
}

bool ProcStatCounters::sample(CounterSample& out)
{
    // The cpu lines come first; the interrupt counts after them can be long and are not needed.
    static constexpr std::size_t capacity = 64 * 1024;
    if (buffer_.size() != capacity) buffer_.resize(capacity);
    const long count = stat_.read(buffer_.data(), capacity);
    if (count <= 0) return false;
    const std::string_view text(buffer_.data(), static_cast<std::size_t>(count));
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    int processors = 0;
    std::uint64_t idleTicks = 0;
    if (!parseProcStat(text, processors, idleTicks)) return false;
    out.processors = processors;
    out.idleTime = static_cast<std::int64_t>(idleTicks * 10'000'000ull / static_cast<std::uint64_t>(ticksPerSecond_));
    out.systemTime = static_cast<std::int64_t>(now.tv_sec) * 10'000'000 + now.tv_nsec / 100;
    return true;
}

} // namespace nimbrel
