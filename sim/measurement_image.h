#pragma once
// The 2530-byte measurement image the instrument sends in answer to a read of
// register 148: fifteen readouts, two harmonic spectra, two waveforms and
// their zero levels, all little-endian.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

constexpr int kWaveformSamples = 512;
constexpr int kHarmonicOrders = 51;   // orders 0..50
constexpr int kReadoutCount = 15;
constexpr uint16_t kZeroCount = 2047; // midscale of the 12-bit converter
constexpr size_t kMeasurementImageSize = 2530;

// Byte offsets inside the image.
namespace image_offset {
constexpr size_t readouts = 0;          // 15 x float32, order of Readouts below
constexpr size_t voltageHarmonics = 60; // 51 x float32
constexpr size_t currentHarmonics = 264;
constexpr size_t auxFactor1 = 468;
constexpr size_t auxFactor2 = 472;
constexpr size_t sampleCount = 476;     // uint16
constexpr size_t voltageSamples = 478;  // 512 x uint16
constexpr size_t currentSamples = 1502;
constexpr size_t voltageZero = 2526;
constexpr size_t currentZero = 2528;
} // namespace image_offset

struct Readouts {
    float urms = 0, upeak = 0, frequency = 0;
    float irms = 0, ipeak = 0, iphase = 0;
    float powerFactor = 0, activePower = 0, apparentPower = 0, reactivePower = 0;
    float uthd = 0, ithd = 0, uff = 0, iff = 0;
    float kwh = 0;

    // In image order: Urms, Upeak, Frequency, Irms, Ipeak, Iphase, PF, P, S, Q,
    // Uthd, Ithd, Uff, Iff, Kwh.
    std::array<float, kReadoutCount> inImageOrder() const;
};

struct MeasurementImage {
    Readouts readouts;
    std::array<float, kHarmonicOrders> voltageHarmonics{};
    std::array<float, kHarmonicOrders> currentHarmonics{};
    float auxFactor1 = 1.0f, auxFactor2 = 1.0f;
    uint16_t sampleCount = kWaveformSamples;
    std::array<uint16_t, kWaveformSamples> voltageSamples{};
    std::array<uint16_t, kWaveformSamples> currentSamples{};
    uint16_t voltageZero = kZeroCount, currentZero = kZeroCount;

    std::vector<uint8_t> encode() const;
};

// Overwrites the fifteen readouts of an encoded image with quiet NaN.
void fillReadoutsWithNan(uint8_t* image);

} // namespace sim
