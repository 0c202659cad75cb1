#include "PeProgram.h"

#include <windows.h>

namespace nimbrel {

namespace {

std::uint32_t littleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

#if defined(__x86_64__) || defined(_M_X64)
constexpr std::uint32_t kOwnMachine = IMAGE_FILE_MACHINE_AMD64;
#elif defined(__aarch64__) || defined(_M_ARM64)
constexpr std::uint32_t kOwnMachine = IMAGE_FILE_MACHINE_ARM64;
#else
constexpr std::uint32_t kOwnMachine = IMAGE_FILE_MACHINE_I386;
#endif

} // namespace

bool runsLikeProgram(const std::vector<std::uint8_t>& bytes)
{
    // The DOS header's "MZ", and at its offset 0x3c where the PE header starts: "PE\0\0", the machine, and
    // the characteristics 18 bytes further on.
    if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
    const std::size_t header = littleEndian(bytes, 0x3c, 4);
    if (header > bytes.size() || bytes.size() - header < 24) return false;
    if (littleEndian(bytes, header, 4) != 0x00004550) return false;
    const std::uint32_t characteristics = littleEndian(bytes, header + 22, 2);
    return littleEndian(bytes, header + 4, 2) == kOwnMachine && (characteristics & IMAGE_FILE_EXECUTABLE_IMAGE) &&
           !(characteristics & IMAGE_FILE_DLL);
}

} // namespace nimbrel
