// Services the application relies on, each replaceable by a test.
#pragma once

#include "platform/Backend.hpp"

#include <cstdint>
#include <map>
#include <optional>
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

// A clock whose time moves only when told: every tick falls due at once, in time order. The
// headless backend runs on it, and tests stand it in for a real one so as not to wait.
class VirtualClock final : public TimerTable {
public:
    // Moves time forward, running every tick that falls due, in time order.
    void advance(std::int64_t ms);
    std::optional<std::int64_t> nextDue() const;
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
