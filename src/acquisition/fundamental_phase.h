#pragma once
// Phase of the first harmonic of a sampled waveform, as the calibration
// window shows it for the voltage and current of the last measurement.

#include "acquisition/le_types.h"

// Phase in degrees of the first harmonic of samples[0..n-1], the n samples
// (unsigned converter counts) taken as one period. A sine starting at sample
// 0 gives 0, a cosine 90; the DC level does not matter. The result lies in
// (-90, 270]; a waveform without a first harmonic (a flat line) gives 0, as
// does n < 1.
float FundamentalPhase(const le::U16* samples, int n);
