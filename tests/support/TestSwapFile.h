#pragma once

#include <cstdint>
#include <string>

namespace nimbrel::testing {

// A swap file that a test (as root) makes and switches on, and switches off and removes again when it goes out
// of scope.
class TestSwapFile {
public:
    TestSwapFile(std::string path, std::uint64_t bytes);
    ~TestSwapFile();
    TestSwapFile(const TestSwapFile&) = delete;
    TestSwapFile& operator=(const TestSwapFile&) = delete;

    // False when it could not be switched on; whyNot() says why.
    bool on() const { return on_; }
    const std::string& whyNot() const { return whyNot_; }

private:
    std::string path_;
    std::string whyNot_;
    bool on_ = false;
};

} // namespace nimbrel::testing
