#include "ElfProgram.h"

#include "SmallFile.h"

#include <elf.h>

#include <cstring>

namespace nimbrel {

namespace {

// The identification bytes, the type and the machine: the same offsets in both word sizes.
constexpr std::size_t headerStart = EI_NIDENT + 4;

std::uint16_t half(const std::uint8_t* at, std::uint8_t encoding)
{
    return encoding == ELFDATA2MSB ? static_cast<std::uint16_t>(at[0] << 8 | at[1])
                                   : static_cast<std::uint16_t>(at[1] << 8 | at[0]);
}

} // namespace

bool runsLikeProgram(const std::vector<std::uint8_t>& bytes, const std::string& model)
{
    std::uint8_t own[headerStart];
    if (readSmallFile(model.c_str(), reinterpret_cast<char*>(own), sizeof own) != static_cast<long>(sizeof own))
        return false;
    if (bytes.size() < headerStart || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0) return false;
    const std::uint8_t* header = bytes.data();
    const std::uint8_t encoding = header[EI_DATA];
    if (header[EI_CLASS] != own[EI_CLASS] || encoding != own[EI_DATA] || header[EI_VERSION] != EV_CURRENT) return false;
    const std::uint16_t type = half(header + EI_NIDENT, encoding);
    if (type != ET_EXEC && type != ET_DYN) return false;
    return half(header + EI_NIDENT + 2, encoding) == half(own + EI_NIDENT + 2, own[EI_DATA]);
}

} // namespace nimbrel
