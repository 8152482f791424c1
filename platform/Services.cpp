#include "platform/Services.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace tk {

void ClockSeededRandom::reseedFromClock() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    engine_.seed(static_cast<std::uint32_t>(now ^ (now >> 32)));
}

float ClockSeededRandom::next() {
    // 24 random bits scaled by 2^-24: exactly representable, so never 1.0.
    return static_cast<float>(engine_() >> 8) * 0x1p-24f;
}

int TimerTable::start(int intervalMs, Tick tick) {
    const int id = nextId_++;
    if (!startNative(id, intervalMs)) return 0;
    ticks_.emplace_back(id, std::move(tick));
    return id;
}

std::vector<std::pair<int, TimerService::Tick>>::iterator TimerTable::find(int id) {
    return std::find_if(ticks_.begin(), ticks_.end(),
                        [id](const auto& t) { return t.first == id; });
}

void TimerTable::stop(int id) {
    if (const auto it = find(id); it != ticks_.end()) {
        ticks_.erase(it);
        stopNative(id);
    }
}

void TimerTable::fire(int id) {
    const auto it = find(id);
    if (it == ticks_.end()) return;
    // The tick may stop this timer (and so destroy the entry): run a copy.
    Tick tick = it->second;
    tick();
}

bool VirtualClock::startNative(int id, int intervalMs) {
    // A zero interval still waits a millisecond: advancing would otherwise never end.
    due_[id] = {std::max(intervalMs, 1), now_ + std::max(intervalMs, 1)};
    return true;
}

std::optional<std::int64_t> VirtualClock::nextDue() const {
    std::optional<std::int64_t> due;
    for (const auto& [id, d] : due_)
        if (!due || d.at < *due) due = d.at;
    return due;
}

void VirtualClock::advance(std::int64_t ms) {
    const std::int64_t until = now_ + ms;
    for (;;) {
        auto next = due_.end();
        for (auto it = due_.begin(); it != due_.end(); ++it)
            if (it->second.at <= until && (next == due_.end() || it->second.at < next->second.at))
                next = it;
        if (next == due_.end()) break;
        now_ = next->second.at;
        next->second.at += next->second.interval;
        fire(next->first);
    }
    now_ = until;
}

} // namespace tk
