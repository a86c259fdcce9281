#include "waveform_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace sim {
namespace {

constexpr double kPi = 3.14159265358979323846;

// e^(j 2 pi m / N) for m = 0..N-1, shared by every bin of the DFT.
const std::array<std::complex<double>, kWaveformSamples>& unitCircle()
{
    static const auto table = [] {
        std::array<std::complex<double>, kWaveformSamples> t{};
        for (int m = 0; m < kWaveformSamples; ++m)
            t[m] = std::polar(1.0, 2.0 * kPi * m / kWaveformSamples);
        return t;
    }();
    return table;
}

struct ChannelFigures {
    double rms = 0, peak = 0, meanAbs = 0;
    std::array<std::complex<double>, kHarmonicOrders> bins{};  // complex amplitude per order
};

ChannelFigures channelFigures(const std::array<double, kWaveformSamples>& x)
{
    ChannelFigures f;
    double sumSquares = 0, sumAbs = 0;
    for (double v : x) {
        sumSquares += v * v;
        sumAbs += std::fabs(v);
        f.peak = std::max(f.peak, std::fabs(v));
    }
    f.rms = std::sqrt(sumSquares / kWaveformSamples);
    f.meanAbs = sumAbs / kWaveformSamples;

    // Harmonic order n sits in DFT bin n * periods; only those bins are needed.
    for (int n = 0; n < kHarmonicOrders; ++n) {
        const int bin = n * kPeriodsPerWindow;
        std::complex<double> acc = 0;
        for (int k = 0; k < kWaveformSamples; ++k)
            acc += x[k] * std::conj(unitCircle()[(bin * k) % kWaveformSamples]);
        // Scale to a peak amplitude: a sine of peak A gives |X| = A * N / 2.
        f.bins[n] = acc * ((n == 0 ? 1.0 : 2.0) / kWaveformSamples);
    }
    return f;
}

double distortion(const ChannelFigures& f, ThdReference reference)
{
    double harmonicSquares = 0;
    for (int n = 2; n < kHarmonicOrders; ++n)
        harmonicSquares += std::norm(f.bins[n]);
    const double fundamental = std::abs(f.bins[1]);
    const double base = reference == ThdReference::Fundamental
        ? fundamental
        : std::sqrt(fundamental * fundamental + harmonicSquares);
    return base > 0 ? std::sqrt(harmonicSquares) / base : 0.0;
}

// Wraps an angle in degrees into (-180, 180].
double wrapDegrees(double deg)
{
    while (deg > 180.0)
        deg -= 360.0;
    while (deg <= -180.0)
        deg += 360.0;
    return deg;
}

} // namespace

WaveformAnalysis analyseWaveforms(const std::array<uint16_t, kWaveformSamples>& voltage,
                                  const std::array<uint16_t, kWaveformSamples>& current,
                                  uint16_t voltageZero, uint16_t currentZero,
                                  const WaveformScales& scales, ThdReference thdReference)
{
    std::array<double, kWaveformSamples> u{}, i{};
    double powerSum = 0;
    for (int k = 0; k < kWaveformSamples; ++k) {
        u[k] = (double(voltage[k]) - voltageZero) * scales.voltsPerCount;
        i[k] = (double(current[k]) - currentZero) * scales.ampsPerCount;
        powerSum += u[k] * i[k];
    }
    const ChannelFigures uf = channelFigures(u);
    const ChannelFigures jf = channelFigures(i);

    WaveformAnalysis a;
    Readouts& r = a.readouts;
    r.urms = float(uf.rms);
    r.upeak = float(uf.peak);
    r.irms = float(jf.rms);
    r.ipeak = float(jf.peak);

    // Positive when the current lags the voltage (inductive load).
    const double displacement = std::arg(uf.bins[1]) - std::arg(jf.bins[1]);
    r.iphase = float(wrapDegrees(displacement * 180.0 / kPi));

    const double active = powerSum / kWaveformSamples;
    const double apparent = uf.rms * jf.rms;
    r.activePower = float(active);
    r.apparentPower = float(apparent);
    r.powerFactor = apparent > 0 ? float(active / apparent) : 0.0f;
    // Everything of S that is not P, signed by the fundamental displacement so
    // that an inductive load reads positive.
    const double nonActive = std::sqrt(std::max(0.0, apparent * apparent - active * active));
    r.reactivePower = float(std::sin(displacement) < 0 ? -nonActive : nonActive);

    r.uthd = float(distortion(uf, thdReference));
    r.ithd = float(distortion(jf, thdReference));
    r.uff = uf.meanAbs > 0 ? float(uf.rms / uf.meanAbs) : 0.0f;
    r.iff = jf.meanAbs > 0 ? float(jf.rms / jf.meanAbs) : 0.0f;

    for (int n = 0; n < kHarmonicOrders; ++n) {
        a.voltageHarmonics[n] = float(std::abs(uf.bins[n]));
        a.currentHarmonics[n] = float(std::abs(jf.bins[n]));
    }
    return a;
}

} // namespace sim
