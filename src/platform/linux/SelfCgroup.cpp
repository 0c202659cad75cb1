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

bool climbsOut(const std::string& path)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        if (path.compare(start, slash - start, "..") == 0) return true;
        start = slash + 1;
    }
    return false;
}

bool listsMemory(const std::string& controllers)
{
    std::size_t start = 0;
    while (start <= controllers.size()) {
        std::size_t comma = controllers.find(',', start);
        if (comma == std::string::npos) comma = controllers.size();
        if (controllers.compare(start, comma - start, "memory") == 0) return true;
        start = comma + 1;
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
        if (listsMemory(controllers)) {
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
    if (path.empty() || path.front() != '/' || climbsOut(path) || !isDirectory(root)) return {};
    const std::string dir = withoutTrailingSlash(root + path);
    return isDirectory(dir) ? dir : root;
}

} // namespace nimbrel
