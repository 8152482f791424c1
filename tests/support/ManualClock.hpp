// A clock that moves only when told: timer tests without waiting.
#pragma once

#include "platform/Backend.hpp"

#include <cstdint>
#include <map>

namespace tk::testing {

class ManualClock final : public TimerService {
public:
    int start(int intervalMs, Tick tick) override;
    void stop(int id) override;

    // Moves time forward, firing every tick that falls due, in time order.
    void advance(std::int64_t ms);
    std::int64_t now() const { return now_; }
    std::size_t running() const { return timers_.size(); }

private:
    struct Entry {
        int interval;
        std::int64_t due;
        Tick tick;
    };
    std::map<int, Entry> timers_;
    std::int64_t now_ = 0;
    int nextId_ = 1;
};

} // namespace tk::testing
