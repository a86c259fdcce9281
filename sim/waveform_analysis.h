#pragma once
// Derives the instrument's readouts and harmonic spectra from one pair of
// sampled waveforms, so that every number in an image agrees with its samples.

#include "measurement_image.h"

#include <array>
#include <cstdint>

namespace sim {

constexpr int kSamplesPerPeriod = 128;
constexpr int kPeriodsPerWindow = kWaveformSamples / kSamplesPerPeriod; // 4

struct WaveformScales {
    double voltsPerCount = 0;
    double ampsPerCount = 0;
};

enum class ThdReference { Fundamental, Rms };

struct WaveformAnalysis {
    Readouts readouts;  // everything except frequency and energy, which the sampler knows
    std::array<float, kHarmonicOrders> voltageHarmonics{};  // peak amplitudes, V
    std::array<float, kHarmonicOrders> currentHarmonics{};  // peak amplitudes, A
};

// The window must hold whole periods (kPeriodsPerWindow of them), as the
// instrument's sampling is locked to the line.
WaveformAnalysis analyseWaveforms(const std::array<uint16_t, kWaveformSamples>& voltage,
                                  const std::array<uint16_t, kWaveformSamples>& current,
                                  uint16_t voltageZero, uint16_t currentZero,
                                  const WaveformScales& scales, ThdReference thdReference);

} // namespace sim
