#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <utility>

namespace nimbrel {

// A list of observers called in the order they connected. The view connects
// to the models through these; the behaviour connects through the handlers.
template <typename... Args>
class Signal {
public:
    using Slot = std::function<void(Args...)>;

    void connect(Slot slot) { slots_.push_back(std::move(slot)); }

    void emit(Args... args) const
    {
        // An observer may connect another one while it is called: a deque keeps the
        // running one in place, and the new one waits for the next change.
        const std::size_t count = slots_.size();
        for (std::size_t i = 0; i < count; ++i) slots_[i](args...);
    }

private:
    std::deque<Slot> slots_;
};

} // namespace nimbrel
