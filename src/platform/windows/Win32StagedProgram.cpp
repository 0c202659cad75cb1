#include "Win32StagedProgram.h"

#include "CngHash.h"
#include "WholeFile.h"
#include "WideText.h"

#include <windows.h>

namespace nimbrel {

Win32StagedProgram::Win32StagedProgram(const std::string& target)
    : target_(wide::fromUtf8(target)), temporary_(wholefile::temporaryFor(target_))
{
    // CREATE_ALWAYS empties a leftover of an earlier crash; a read-only one would refuse.
    SetFileAttributesW(temporary_.c_str(), FILE_ATTRIBUTE_NORMAL);
    const HANDLE file =
        CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    file_ = file;
    made_ = true;
}

Win32StagedProgram::~Win32StagedProgram()
{
    if (file_ != nullptr) CloseHandle(file_);
    if (made_ && !kept_) DeleteFileW(temporary_.c_str());
}

bool Win32StagedProgram::write(const std::uint8_t* bytes, std::size_t size)
{
    if (file_ == nullptr || failed_) return false;
    while (size > 0) {
        const DWORD piece = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file_, bytes, piece, &written, nullptr) || written == 0) {
            failed_ = true;
            return false;
        }
        bytes += written;
        size -= written;
        size_ += written;
    }
    return true;
}

bool Win32StagedProgram::finishWriting()
{
    if (file_ != nullptr) {
        if (!FlushFileBuffers(file_)) failed_ = true;
        if (!CloseHandle(file_)) failed_ = true;
        file_ = nullptr;
    }
    return made_ && !failed_;
}

std::optional<std::vector<std::uint8_t>> Win32StagedProgram::writtenBytes()
{
    digest_.clear();
    if (!finishWriting()) return std::nullopt;
    std::string bytes;
    if (wholefile::read(temporary_, bytes) != wholefile::Load::Loaded || bytes.size() != size_) return std::nullopt;
    std::vector<std::uint8_t> program(bytes.begin(), bytes.end());
    digest_ = sha256Hex(program.data(), program.size());
    return program;
}

std::string Win32StagedProgram::path()
{
    return wide::toUtf8(temporary_);
}

bool Win32StagedProgram::keep()
{
    if (!finishWriting() || !wholefile::moveOver(temporary_, target_)) return false;
    kept_ = true;
    return true;
}

} // namespace nimbrel
