#include "line_signal.h"

#include <algorithm>
#include <cmath>

namespace sim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNominalUrms = 230.0;
constexpr double kNominalIrms = 5.0;
constexpr double kNominalDisplacementDeg = 32.0;

struct Harmonic {
    int order;
    double ratio;      // amplitude relative to the fundamental
    double phaseDeg;   // relative to the fundamental's own phase
};

// A supply with the usual flat-topped distortion of a grid feeding many
// rectifiers; a few percent THD.
constexpr Harmonic kVoltageProfile[] = {
    {2, 0.002, 40},  {3, 0.018, 10},  {5, 0.028, 200}, {7, 0.012, 30},
    {9, 0.005, 60},  {11, 0.006, 160}, {13, 0.004, 20}, {15, 0.002, 90},
    {17, 0.002, 200}, {19, 0.0015, 10}, {23, 0.001, 100}, {25, 0.001, 300},
};

// A load with a capacitor-input rectifier beside a motor: strong odd
// harmonics falling with order, about 25 % THD.
constexpr Harmonic kCurrentProfile[] = {
    {3, 0.22, 180},  {5, 0.12, 10},   {7, 0.07, 190},  {9, 0.04, 0},
    {11, 0.03, 180}, {13, 0.02, 0},   {15, 0.012, 180}, {17, 0.010, 10},
    {19, 0.008, 190}, {21, 0.006, 0}, {23, 0.005, 180}, {25, 0.004, 0},
    {27, 0.003, 180}, {29, 0.003, 0}, {31, 0.002, 180}, {33, 0.002, 0},
    {35, 0.0015, 180}, {37, 0.0015, 0}, {39, 0.001, 180}, {41, 0.001, 0},
    {43, 0.001, 180}, {45, 0.0008, 0}, {47, 0.0008, 180}, {49, 0.0006, 0},
};

template <size_t N>
double rmsOverFundamentalRms(const Harmonic (&profile)[N])
{
    double sum = 1.0;
    for (const Harmonic& h : profile)
        sum += h.ratio * h.ratio;
    return std::sqrt(sum);
}

template <size_t N>
double waveform(const Harmonic (&profile)[N], double theta, double distortionScale)
{
    double v = std::sin(theta);
    for (const Harmonic& h : profile)
        v += h.ratio * distortionScale * std::sin(h.order * theta + h.phaseDeg * kPi / 180.0);
    return v;
}

uint16_t toCounts(double value, double unitsPerCount, double noise)
{
    const double counts = std::round(kZeroCount + value / unitsPerCount + noise);
    return uint16_t(std::clamp(counts, 0.0, 4095.0));
}

} // namespace

LineSignal::LineSignal(double nominalFrequency, uint32_t seed)
    : nominalFrequency_(nominalFrequency),
      rng_(seed),
      level_(0.008, 40.0, 0.03),
      frequency_(0.02, 20.0, 0.08),
      load_(0.06, 30.0, 0.15),
      displacement_(2.5, 25.0, 8.0),
      voltageDistortion_(0.10, 60.0, 0.3),
      currentDistortion_(0.10, 45.0, 0.3)
{
}

LineSnapshot LineSignal::sample(double elapsedSeconds)
{
    const double level = 1.0 + level_.advance(elapsedSeconds, rng_);
    const double df = frequency_.advance(elapsedSeconds, rng_);
    const double load = 1.0 + load_.advance(elapsedSeconds, rng_);
    const double displacement = (kNominalDisplacementDeg + displacement_.advance(elapsedSeconds, rng_)) * kPi / 180.0;
    const double uDist = 1.0 + voltageDistortion_.advance(elapsedSeconds, rng_);
    const double iDist = 1.0 + currentDistortion_.advance(elapsedSeconds, rng_);

    const double uPeak = kNominalUrms * std::sqrt(2.0) / rmsOverFundamentalRms(kVoltageProfile) * level;
    const double iPeak = kNominalIrms * std::sqrt(2.0) / rmsOverFundamentalRms(kCurrentProfile) * load;

    // The trigger fires within a couple of degrees of the zero crossing.
    std::uniform_real_distribution<double> triggerJitter(-2.0 * kPi / 180.0, 2.0 * kPi / 180.0);
    std::normal_distribution<double> converterNoise(0.0, 0.6);
    const double theta0 = triggerJitter(rng_);

    LineSnapshot s;
    s.frequency = nominalFrequency_ + df;
    for (int k = 0; k < kWaveformSamples; ++k) {
        const double theta = theta0 + 2.0 * kPi * k / kSamplesPerPeriod;
        const double u = uPeak * waveform(kVoltageProfile, theta, uDist);
        const double i = iPeak * waveform(kCurrentProfile, theta - displacement, iDist);
        s.voltage[k] = toCounts(u, kVoltsPerCount, converterNoise(rng_));
        s.current[k] = toCounts(i, kAmpsPerCount, converterNoise(rng_));
    }
    return s;
}

} // namespace sim
