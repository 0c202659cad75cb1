#pragma once

#include <stdexcept>
#include <string>

namespace nimbrel {

// A run-time error as the classic runtime raised it: a number and a text.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description)
        : std::runtime_error(description), number_(number), description_(description) {}

    int number() const { return number_; }
    const std::string& description() const { return description_; }

private:
    int number_;
    std::string description_;
};

// The numbers and texts the program raises itself.
namespace errors {
inline RuntimeError invalidPropertyValue() { return RuntimeError(380, "Invalid property value"); }
inline RuntimeError overflow() { return RuntimeError(6, "Overflow"); }
inline RuntimeError typeMismatch() { return RuntimeError(13, "Type mismatch"); }
inline RuntimeError outOfMemory() { return RuntimeError(7, "Out of memory"); }
} // namespace errors

} // namespace nimbrel
