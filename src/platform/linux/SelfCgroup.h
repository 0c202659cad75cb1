#pragma once

#include <string>

namespace nimbrel {

// Where /proc/self/cgroup puts the process. Lines read "hierarchy-id:controllers:path"; the memory controller
// sits in one hierarchy only: a cgroup v1 line that lists it, or else the unified hierarchy's line "0::path".
struct SelfCgroup {
    bool v1Memory = false; // a v1 hierarchy holds the memory controller
    std::string v1Path;
    bool unified = false; // the unified (v2) hierarchy has the process, and the memory controller where v1 has not
    std::string unifiedPath;
};

// Reads the file; one that cannot be read places the process nowhere.
SelfCgroup readSelfCgroup(const std::string& selfCgroup);

// The directory of a cgroup path under the mount at root; empty when it cannot be there: a path that is not
// absolute, that climbs out of the mount ("/../..", shown for a cgroup outside the process's cgroup namespace), or
// a mount that is not a directory. A mount that shows only the process's own part of the tree (a container
// without a cgroup namespace) has the process's cgroup at its root.
std::string cgroupDirectory(const std::string& path, const std::string& root);

std::string withoutTrailingSlash(std::string path);

} // namespace nimbrel
