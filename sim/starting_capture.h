#pragma once
// The capture the instrument records when its Starting switch is pressed:
// 2560 voltage and 2560 current samples of a load being switched on, sent as
// a 10248-byte image in six blocks of 1708 bytes.

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace sim {

constexpr int kCaptureSamples = 2560;
constexpr size_t kStartingCaptureSize = 10248;
constexpr size_t kStartingBlockSize = 1708;
constexpr int kStartingBlockCount = 6;

namespace capture_offset {
constexpr size_t voltageScale = 0;    // float32, volts per count
constexpr size_t currentScale = 4;    // float32, amperes per count
constexpr size_t voltageSamples = 8;  // 2560 x uint16
constexpr size_t currentSamples = 5128;
} // namespace capture_offset

// Range code of the start request: high nibble the current range (0 the
// highest of four), low nibble the voltage range (0 = 300 V, 1 = 150 V,
// 2 = 75 V, 3 = 25 V). Lower ranges resolve finer and clip what exceeds them.
double captureVoltsPerCount(int rangeCode);
double captureAmpsPerCount(int rangeCode);

// Synthesises a capture: steady line voltage, and a current that is zero
// until the switch closes, then rushes in at several times its running value
// with a decaying offset and settles over the rest of the capture.
std::vector<uint8_t> synthesiseStartingCapture(int rangeCode, std::mt19937& rng);

} // namespace sim
