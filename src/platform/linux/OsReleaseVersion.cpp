#include "OsReleaseVersion.h"

#include <fstream>
#include <sstream>

namespace nimbrel {

namespace {

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

OsReleaseVersion::OsReleaseVersion(std::string osReleasePath, std::string kernelReleasePath)
    : osReleasePath_(std::move(osReleasePath)), kernelReleasePath_(std::move(kernelReleasePath))
{
}

std::string prettyName(const std::string& osRelease)
{
    std::istringstream lines(osRelease);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
        std::string value = line.substr(12);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        // Shell escapes inside double quotes: \" \\ \$ \`.
        std::string plain;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) ++i;
            plain += value[i];
        }
        return plain;
    }
    return {};
}

SystemIdentity OsReleaseVersion::identify()
{
    SystemIdentity identity;
    identity.osName = prettyName(readText(osReleasePath_));
    std::string release = readText(kernelReleasePath_);
    while (!release.empty() && (release.back() == '\n' || release.back() == ' ')) release.pop_back();
    identity.osVersion = release;
    return identity;
}

} // namespace nimbrel
