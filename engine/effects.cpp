#include "engine/effects.h"

#include <algorithm>

void Echo::EchoSetParams(const PlayerEffectParams& params) {
    platform::CriticalSectionGuard guard(lock_);
    // Delay and level are taken as given; an echo with either at 0 stays silent.
    enabled_ = params.enabled;
    delay_ = params.delay;
    level_ = params.level;
}

PlayerEffectParams Echo::GetParams() {
    platform::CriticalSectionGuard guard(lock_);
    return {enabled_, delay_, level_};
}

void StereoWiden::SetParams(const PlayerEffectParams& params) {
    enabled_.store(params.enabled, std::memory_order_relaxed);
    strength_.store(std::clamp(params.level, 0, 100), std::memory_order_relaxed);
}

PlayerEffectParams StereoWiden::GetParams() const {
    return {enabled_.load(std::memory_order_relaxed), 0, strength_.load(std::memory_order_relaxed)};
}

void BassShelf::BassSetGain(int32_t decibels) {
    platform::CriticalSectionGuard guard(lock_);
    gain_ = std::clamp(decibels, 0, kMaximumGain);
}

int32_t BassShelf::Gain() {
    platform::CriticalSectionGuard guard(lock_);
    return gain_;
}
