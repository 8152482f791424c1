#include "platform/Services.hpp"

#include <chrono>
#include <cstdint>

namespace tk {

void ClockSeededRandom::reseedFromClock() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seq{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32)};
    engine_.seed(seq);
}

float ClockSeededRandom::next() {
    // 24 random bits scaled by 2^-24: exactly representable, so never 1.0.
    return static_cast<float>(engine_() >> 8) * 0x1p-24f;
}

} // namespace tk
