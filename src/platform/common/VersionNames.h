#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

// The version record of the classic desktop systems, as their version call filled it.
struct VersionRecord {
    std::uint32_t platformId = 0; // 1: the 95/98/Me family, 2: the NT family
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t buildField = 0; // 95/98/Me keep the major and minor version in its high 16 bits
    std::string servicePack;      // 128 characters, NUL-terminated when shorter
};

// The build number: the low 16 bits of the field on the 95/98/Me family, the whole field on NT.
std::uint32_t buildNumber(const VersionRecord& record);

// The system's name for error reports; empty for a system the table does not know.
std::string osNameOf(const VersionRecord& record);

// "major.minor.build", for example "5.1.2600".
std::string osVersionOf(const VersionRecord& record);

} // namespace nimbrel
