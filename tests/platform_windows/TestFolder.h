#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace nimbrel::testing {

// An empty folder of the running test's own under the temporary folder, removed with what it holds at the end.
class TestFolder {
public:
    explicit TestFolder(const std::string& kind)
        : path_(std::filesystem::temp_directory_path() /
                ("nimbrel-" + kind + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TestFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The test program's own file.
inline std::filesystem::path ownProgram()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// The built Nimbrel.exe, a path of the machine that runs Wine: Wine shows that machine's root as drive Z.
inline std::filesystem::path builtProgram()
{
    std::string path = NIMBREL_EXECUTABLE;
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    return std::filesystem::path(path).make_preferred();
}

// The bytes of a file, empty when it cannot be read.
inline std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace nimbrel::testing
