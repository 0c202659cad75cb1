#include "MinisignTool.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace nimbrel::testing {

namespace {

std::string shellQuoted(const std::string& text)
{
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

MinisignTool::MinisignTool()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "nimbrel-minisign-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        failure_ = "no temporary folder";
        return;
    }
    folder_ = pattern;
    publicKeyFile_ = folder_ + "/vendor.pub";
    secretKeyFile_ = folder_ + "/vendor.key";
    const std::string command = "minisign -G -W -p " + shellQuoted(publicKeyFile_) + " -s " + shellQuoted(secretKeyFile_) +
                                " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) failure_ = "minisign could not make a key pair (is it installed?)";
}

MinisignTool::~MinisignTool()
{
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

std::string MinisignTool::publicKeyText() const { return fileBytes(publicKeyFile_); }

std::string MinisignTool::publicKeyLine() const
{
    const std::string text = publicKeyText();
    const std::size_t start = text.find('\n') + 1;
    return text.substr(start, text.find('\n', start) - start);
}

std::string MinisignTool::sign(const std::string& file, bool legacy, const std::string& trustedComment) const
{
    const std::string signature = folder_ + "/last.minisig";
    std::filesystem::remove(signature);
    const std::string command = "minisign -S " + std::string(legacy ? "-l " : "") + "-s " + shellQuoted(secretKeyFile_) +
                                " -x " + shellQuoted(signature) + " -t " + shellQuoted(trustedComment) + " -m " + shellQuoted(file) +
                                " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return {};
    return fileBytes(signature);
}

} // namespace nimbrel::testing
