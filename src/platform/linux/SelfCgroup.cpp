#include "SelfCgroup.h"

#include <fstream>
#include <sys/stat.h>

namespace nimbrel {

namespace {

bool isDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// True when one of the parts of text between separators is part.
bool hasPart(const std::string& text, char separator, const char* part)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        if (text.compare(start, end - start, part) == 0) return true;
        start = end + 1;
    }
    return false;
}

} // namespace

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

SelfCgroup readSelfCgroup(const std::string& selfCgroup)
{
    SelfCgroup where;
    std::ifstream in(selfCgroup);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t first = line.find(':');
        if (first == std::string::npos) continue;
        const std::size_t second = line.find(':', first + 1);
        if (second == std::string::npos) continue;
        const std::string id = line.substr(0, first);
        const std::string controllers = line.substr(first + 1, second - first - 1);
        std::string path = line.substr(second + 1);
        if (hasPart(controllers, ',', "memory")) {
            where.v1Memory = true;
            where.v1Path = std::move(path);
        } else if (id == "0" && controllers.empty()) {
            where.unified = true;
            where.unifiedPath = std::move(path);
        }
    }
    return where;
}

std::string cgroupDirectory(const std::string& path, const std::string& root)
{
    if (path.empty() || path.front() != '/' || hasPart(path, '/', "..") || !isDirectory(root)) return {};
    const std::string dir = withoutTrailingSlash(root + path);
    return isDirectory(dir) ? dir : root;
}

} // namespace nimbrel
