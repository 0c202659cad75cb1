#pragma once

#include "core/base/ErrorReporter.h"

#include <functional>
#include <optional>
#include <string>

namespace nimbrel {

// Runs the steps of one procedure the way "On Error Resume Next" with a
// report did: a step that fails is reported under the procedure's tag and
// the next step runs. Nothing escapes.
class Trap {
public:
    Trap(ErrorReporter& reporter, std::string tag) : reporter_(&reporter), tag_(std::move(tag)) {}

    // A trap that swallows errors without a report.
    static Trap silent() { return Trap(); }

    // Runs one step; returns false when it failed.
    bool operator()(const std::function<void()>& step) const;
    // Runs one step the same way; returns why it failed (the error's text), nothing when it did not.
    std::optional<std::string> failure(const std::function<void()>& step) const;

    const std::string& tag() const { return tag_; }

private:
    Trap() = default;
    void report(int number, const std::string& description) const;

    ErrorReporter* reporter_ = nullptr;
    std::string tag_;
};

} // namespace nimbrel
