#include "starting_capture.h"

#include "le_bytes.h"
#include "measurement_image.h"
#include "waveform_analysis.h"

#include <algorithm>
#include <cmath>

namespace sim {
namespace {

constexpr double kPi = 3.14159265358979323846;

int rangeIndex(int nibble)
{
    return std::clamp(nibble, 0, 3);
}

uint16_t toCounts(double value, double unitsPerCount, double noise)
{
    const double counts = std::round(kZeroCount + value / unitsPerCount + noise);
    return uint16_t(std::clamp(counts, 0.0, 4095.0));
}

} // namespace

double captureVoltsPerCount(int rangeCode)
{
    static constexpr double fullScale[] = {300.0, 150.0, 75.0, 25.0};
    return 0.25 * fullScale[rangeIndex(rangeCode & 0x0F)] / 300.0;
}

double captureAmpsPerCount(int rangeCode)
{
    return 0.05 / double(1 << rangeIndex((rangeCode >> 4) & 0x0F));
}

std::vector<uint8_t> synthesiseStartingCapture(int rangeCode, std::mt19937& rng)
{
    // Sampling is locked to the line, 128 samples a period, so the line
    // frequency does not enter the samples.
    const double voltsPerCount = captureVoltsPerCount(rangeCode);
    const double ampsPerCount = captureAmpsPerCount(rangeCode);

    std::uniform_int_distribution<int> switchAt(96, 224);
    std::uniform_real_distribution<double> spread(0.9, 1.1);
    std::normal_distribution<double> noise(0.0, 0.6);

    const int closing = switchAt(rng);
    const double uPeak = 230.0 * std::sqrt(2.0) * spread(rng);
    const double iPeak = 5.0 * std::sqrt(2.0) * spread(rng);
    const double inrush = 6.0 * spread(rng);                       // first-cycle multiple of the running current
    const double settle = 4.0 * kSamplesPerPeriod * spread(rng);    // decay of the inrush envelope, samples
    const double offsetDecay = 1.5 * kSamplesPerPeriod;             // decay of the switching offset, samples
    const double lag = 35.0 * kPi / 180.0;

    const double thetaClose = 2.0 * kPi * closing / kSamplesPerPeriod;
    const double offset = -inrush * std::sin(thetaClose - lag);  // makes the current start from zero

    std::vector<uint8_t> out(kStartingCaptureSize, 0);
    putF32(out.data() + capture_offset::voltageScale, float(voltsPerCount));
    putF32(out.data() + capture_offset::currentScale, float(ampsPerCount));

    for (int k = 0; k < kCaptureSamples; ++k) {
        const double theta = 2.0 * kPi * k / kSamplesPerPeriod;
        double envelope = 0;    // inrush multiple; 0 before the switch closes
        double current = 0;
        if (k >= closing) {
            const double t = k - closing;
            envelope = 1.0 + (inrush - 1.0) * std::exp(-t / settle);
            current = iPeak * (envelope * std::sin(theta - lag) + offset * std::exp(-t / offsetDecay));
        }
        // The supply sags a little under the inrush.
        const double sag = k >= closing ? 0.02 * (envelope - 1.0) / (inrush - 1.0) : 0.0;
        const double voltage = uPeak * (1.0 - sag) * (std::sin(theta) + 0.02 * std::sin(3 * theta + 0.2)
                                                      + 0.03 * std::sin(5 * theta + 3.5));
        putU16(out.data() + capture_offset::voltageSamples + 2 * k, toCounts(voltage, voltsPerCount, noise(rng)));
        putU16(out.data() + capture_offset::currentSamples + 2 * k, toCounts(current, ampsPerCount, noise(rng)));
    }
    return out;
}

} // namespace sim
