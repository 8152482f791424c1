// Services the application relies on, each replaceable by a test.
#pragma once

#include "platform/Backend.hpp"

#include <cstdint>
#include <functional>
#include <map>
#include <random>

namespace tk {

// Re-seeded from the clock before each use; draws uniformly in [0, 1).
class Random {
public:
    virtual ~Random() = default;
    virtual void reseedFromClock() = 0;
    virtual float next() = 0;
};

class ClockSeededRandom final : public Random {
public:
    void reseedFromClock() override;
    float next() override;

private:
    std::mt19937 engine_;
};

// A clock that moves only when told: timer tests without waiting.
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

} // namespace tk
