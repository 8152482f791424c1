// A clock that moves only when told: timer tests without waiting.
#pragma once

#include "platform/Backend.hpp"

#include <cstdint>
#include <map>

namespace tk::testing {

class ManualClock final : public TimerTable {
public:
    // Moves time forward, firing every tick that falls due, in time order.
    void advance(std::int64_t ms);
    std::int64_t now() const { return now_; }

private:
    bool startNative(int id, int intervalMs) override;
    void stopNative(int id) override { due_.erase(id); }

    struct Due {
        int interval;
        std::int64_t at;
    };
    std::map<int, Due> due_;
    std::int64_t now_ = 0;
};

} // namespace tk::testing
