#pragma once
// The simulated mains line and load: a distorted voltage of about 230 V and a
// lagging, rectifier-like current of about 5 A, sampled 128 times a period by
// a 12-bit converter whose sampling is locked to the line. Level, frequency,
// load, displacement and distortion wander slowly with time.

#include "measurement_image.h"
#include "slow_wander.h"
#include "waveform_analysis.h"

#include <array>
#include <cstdint>
#include <random>

namespace sim {

constexpr double kVoltsPerCount = 0.25;      // 2047 counts = 511.75 V
constexpr double kAmpsPerCount = 1.0 / 128;  // 2047 counts = 16 A

struct LineSnapshot {
    double frequency = 0;
    std::array<uint16_t, kWaveformSamples> voltage{};
    std::array<uint16_t, kWaveformSamples> current{};
};

class LineSignal {
public:
    LineSignal(double nominalFrequency, uint32_t seed);

    // Lets the line wander for elapsedSeconds, then samples four periods
    // starting at the rising zero crossing of the voltage (the trigger).
    LineSnapshot sample(double elapsedSeconds);

    double nominalFrequency() const { return nominalFrequency_; }

private:
    double nominalFrequency_;
    std::mt19937 rng_;
    SlowWander level_, frequency_, load_, displacement_, voltageDistortion_, currentDistortion_;
};

} // namespace sim
