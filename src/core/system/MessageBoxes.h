#pragma once

#include <string>

namespace nimbrel {

// The classic message box styles and answers.
namespace mb {
constexpr int okOnly = 0;
constexpr int yesNo = 4;
constexpr int critical = 16;
constexpr int question = 32;
constexpr int exclamation = 48;
constexpr int information = 64;

constexpr int ok = 1;
constexpr int yes = 6;
constexpr int no = 7;
} // namespace mb

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal message box and returns the button the user chose.
    virtual int msgBox(const std::string& prompt, int style, const std::string& title) = 0;
};

} // namespace nimbrel
