#include "VirtualScheduler.h"

#include "core/controls/TimerModel.h"

namespace nimbrel::testing {

void VirtualScheduler::attach(TimerModel& timer)
{
    const std::size_t index = entries_.size();
    entries_.push_back(Entry{&timer});
    timer.changed.connect([this, index] { rearm(entries_[index]); });
    rearm(entries_[index]);
}

void VirtualScheduler::rearm(Entry& entry)
{
    entry.armed = entry.timer->running();
    entry.dueMs = nowMs_ + entry.timer->interval();
    entry.order = armCounter_++;
}

VirtualScheduler::Entry* VirtualScheduler::nextDue()
{
    Entry* best = nullptr;
    for (Entry& e : entries_) {
        if (!e.armed) continue;
        if (best == nullptr || e.dueMs < best->dueMs || (e.dueMs == best->dueMs && e.order < best->order)) best = &e;
    }
    return best;
}

bool VirtualScheduler::runNextTick()
{
    Entry* e = nextDue();
    if (e == nullptr) return false;
    nowMs_ = e->dueMs;
    // The next tick counts from this one, unless the handler changes the timer.
    e->dueMs = nowMs_ + e->timer->interval();
    e->order = armCounter_++;
    e->timer->fire();
    return true;
}

void VirtualScheduler::advance(std::uint64_t ms)
{
    const std::uint64_t end = nowMs_ + ms;
    for (Entry* e = nextDue(); e != nullptr && e->dueMs <= end; e = nextDue()) runNextTick();
    nowMs_ = end;
}

} // namespace nimbrel::testing
