#include "tests/support/ManualClock.hpp"

#include <utility>

namespace tk::testing {

int ManualClock::start(int intervalMs, Tick tick) {
    const int id = nextId_++;
    timers_[id] = {intervalMs, now_ + intervalMs, std::move(tick)};
    return id;
}

void ManualClock::stop(int id) {
    timers_.erase(id);
}

void ManualClock::advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    for (;;) {
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it)
            if (it->second.due <= end &&
                (next == timers_.end() || it->second.due < next->second.due))
                next = it;
        if (next == timers_.end()) break;
        now_ = next->second.due;
        next->second.due += next->second.interval > 0 ? next->second.interval : 1;
        // The tick may stop this timer (and so destroy the entry): run a copy.
        Tick tick = next->second.tick;
        tick();
    }
    now_ = end;
}

} // namespace tk::testing
