// Services the application relies on, each replaceable by a test.
#pragma once

#include "platform/Backend.hpp"

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

} // namespace tk
