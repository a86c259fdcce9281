#include "acquisition/acquisition_state.h"

#include <cmath>

void InitAcquisitionState(AcquisitionState& state, const QSize& screenSize, MainSurfaceFactory* surfaces)
{
    TestRecordImage& r = state.TestRecord;
    r.SampleCount.set(kWaveformSamples);
    r.VoltageZero.set(kZeroCount);
    r.CurrentZero.set(kZeroCount);
    for (int k = 0; k < kWaveformSamples; ++k) {
        r.VoltageSamples[k].set(kZeroCount);
        r.CurrentSamples[k].set(kZeroCount);
    }
    for (int n = 0; n < kHarmonicCount; ++n) {
        r.VoltageHarmonics[n].set(0.0f);
        r.CurrentHarmonics[n].set(0.0f);
    }
    for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) r.readout(i).set(0.0f);
    r.AuxFactor1.set(1.0f);
    r.AuxFactor2.set(1.0f);

    state.UsbLinkState = LinkPlainSerial;
    state.AlarmReadStep = 0;
    state.UsbProductIdTag = QStringLiteral("5736");

    state.PlotRect = QRect(0, 0, screenSize.width(), screenSize.height());
    if (surfaces) surfaces->createMainSurfaces(screenSize);
}

void RepairMeasurementImage(TestRecordImage& record)
{
    for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) {
        if (std::isnan(record.readout(i).get())) record.readout(i).set(0.0f);
    }
    if (std::isnan(record.AuxFactor1.get())) record.AuxFactor1.set(1.0f);
    if (std::isnan(record.AuxFactor2.get())) record.AuxFactor2.set(1.0f);
    if (record.SampleCount.get() == 0) record.SampleCount.set(kWaveformSamples);
}
