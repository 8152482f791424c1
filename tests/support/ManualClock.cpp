#include "tests/support/ManualClock.hpp"

namespace tk::testing {

bool ManualClock::startNative(int id, int intervalMs) {
    due_[id] = {intervalMs, now_ + intervalMs};
    return true;
}

void ManualClock::advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    for (;;) {
        auto next = due_.end();
        for (auto it = due_.begin(); it != due_.end(); ++it)
            if (it->second.at <= end && (next == due_.end() || it->second.at < next->second.at))
                next = it;
        if (next == due_.end()) break;
        now_ = next->second.at;
        next->second.at += next->second.interval > 0 ? next->second.interval : 1;
        fire(next->first);
    }
    now_ = end;
}

} // namespace tk::testing
