#include "acquisition/fundamental_phase.h"

#include <cmath>

float FundamentalPhase(const le::U16* samples, int n)
{
    if (n < 1) return 0.0f;

    // The mean is taken out first so that the DC level cannot leak into the
    // sums through rounding: a flat line then gives exactly zero sums.
    double sum = 0.0;
    for (int k = 0; k < n; ++k) sum += samples[k].get();
    const double mean = sum / n;

    // Only the first-harmonic pair of a discrete Fourier transform is needed.
    constexpr double kTwoPi = 6.283185307179586;
    double re = 0.0;
    double im = 0.0;
    for (int k = 0; k < n; ++k) {
        const double x = samples[k].get() - mean;
        const double angle = kTwoPi * k / n;
        re += x * std::cos(angle);
        im -= x * std::sin(angle);
    }
    re /= n;
    im /= n;

    // Without a first harmonic there is no phase to speak of. (Im alone being
    // zero is a pure cosine or its negative: 90 or 270, not 0.)
    if (im == 0.0 && re == 0.0) return 0.0f;
    // atan2 measures from the cosine; +90 measures from a sine starting at 0.
    constexpr double kDegreesPerRadian = 57.29578;
    return float(std::atan2(im, re) * kDegreesPerRadian + 90.0);
}
