#pragma once

#include <functional>
#include <utility>
#include <vector>

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
        // Copy first: an observer may connect another one while being called.
        const std::vector<Slot> current = slots_;
        for (const Slot& slot : current) slot(args...);
    }

private:
    std::vector<Slot> slots_;
};

} // namespace nimbrel
