#include "measurement_image.h"

#include "le_bytes.h"

#include <limits>

namespace sim {

std::array<float, kReadoutCount> Readouts::inImageOrder() const
{
    return {urms, upeak, frequency, irms, ipeak, iphase, powerFactor, activePower,
            apparentPower, reactivePower, uthd, ithd, uff, iff, kwh};
}

std::vector<uint8_t> MeasurementImage::encode() const
{
    std::vector<uint8_t> out(kMeasurementImageSize, 0);
    uint8_t* p = out.data();

    const auto values = readouts.inImageOrder();
    for (int i = 0; i < kReadoutCount; ++i)
        putF32(p + image_offset::readouts + 4 * i, values[i]);
    for (int n = 0; n < kHarmonicOrders; ++n) {
        putF32(p + image_offset::voltageHarmonics + 4 * n, voltageHarmonics[n]);
        putF32(p + image_offset::currentHarmonics + 4 * n, currentHarmonics[n]);
    }
    putF32(p + image_offset::auxFactor1, auxFactor1);
    putF32(p + image_offset::auxFactor2, auxFactor2);
    putU16(p + image_offset::sampleCount, sampleCount);
    for (int k = 0; k < kWaveformSamples; ++k) {
        putU16(p + image_offset::voltageSamples + 2 * k, voltageSamples[k]);
        putU16(p + image_offset::currentSamples + 2 * k, currentSamples[k]);
    }
    putU16(p + image_offset::voltageZero, voltageZero);
    putU16(p + image_offset::currentZero, currentZero);
    return out;
}

void fillReadoutsWithNan(uint8_t* image)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int i = 0; i < kReadoutCount; ++i)
        putF32(image + image_offset::readouts + 4 * i, nan);
}

} // namespace sim
