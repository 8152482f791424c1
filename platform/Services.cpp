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

int TimerTable::start(int intervalMs, Tick tick) {
    const int id = nextId_++;
    if (!startNative(id, intervalMs)) return 0;
    ticks_[id] = std::move(tick);
    return id;
}

void TimerTable::stop(int id) {
    if (ticks_.erase(id) > 0) stopNative(id);
}

void TimerTable::fire(int id) {
    const auto it = ticks_.find(id);
    if (it == ticks_.end()) return;
    // The tick may stop this timer (and so destroy the entry): run a copy.
    Tick tick = it->second;
    tick();
}

} // namespace tk
