// The shared record's byte layout and initial values: they are the format of
// the bulk reply and of test files.

#include "acquisition/acquisition_state.h"

#include <QtTest>

#include <cmath>
#include <limits>

class AcquisitionStateTest : public QObject {
    Q_OBJECT

private slots:
    void initialValuesAsStoredInATestFile()
    {
        AcquisitionState state;
        InitAcquisitionState(state, QSize(1920, 1080), nullptr);
        const uint8_t* b = state.TestRecord.bytes();

        // SampleCount 512 at 476..477, every sample and both zero levels 2047.
        QCOMPARE(int(b[476]), 0x00);
        QCOMPARE(int(b[477]), 0x02);
        for (int off = 478; off < 2530; off += 2) {
            QCOMPARE(int(b[off]), 0xFF);
            QCOMPARE(int(b[off + 1]), 0x07);
        }
        QCOMPARE(state.TestRecord.AuxFactor1.get(), 1.0f);
        QCOMPARE(state.TestRecord.AuxFactor2.get(), 1.0f);
        // Readouts and harmonics zero, reserved tail zero.
        for (int off = 0; off < 468; ++off) QCOMPARE(int(b[off]), 0);
        for (int off = 2530; off < kTestRecordSize; ++off) QCOMPARE(int(b[off]), 0);

        QCOMPARE(state.UsbProductIdTag, QString("5736"));
        QCOMPARE(state.PlotRect, QRect(0, 0, 1920, 1080));
        QCOMPARE(int(state.SlaveAddress), 0);
        QCOMPARE(int(state.SamplingMode), 0);
    }

    void fieldsLandAtTheirOffsets()
    {
        TestRecordImage r{};
        r.Kwh.set(1.0f);  // 0x3F800000 little-endian at 56
        QCOMPARE(int(r.bytes()[56 + 3]), 0x3F);
        QCOMPARE(int(r.bytes()[56 + 2]), 0x80);
        r.CurrentSamples[511].set(0x1234);
        QCOMPARE(int(r.bytes()[1502 + 1022]), 0x34);
        QCOMPARE(int(r.bytes()[1502 + 1023]), 0x12);
        r.CurrentHarmonics[50].set(-2.0f);  // 0xC0000000
        QCOMPARE(int(r.bytes()[264 + 200 + 3]), 0xC0);

        StartingCaptureImage c{};
        c.CurrentSamples[0].set(0xABCD);
        QCOMPARE(int(c.bytes()[5128]), 0xCD);
    }

    void repairAfterABulkReply()
    {
        TestRecordImage r{};
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) r.readout(i).set(nan);
        r.Kwh.set(inf);
        r.AuxFactor1.set(nan);
        r.AuxFactor2.set(2.5f);
        r.SampleCount.set(0);
        RepairMeasurementImage(r);
        QCOMPARE(r.Urms.get(), 0.0f);
        QCOMPARE(r.ReactivePower.get(), 0.0f);
        QVERIFY(std::isinf(r.Kwh.get()));  // infinities stay
        QCOMPARE(r.AuxFactor1.get(), 1.0f);
        QCOMPARE(r.AuxFactor2.get(), 2.5f);
        QCOMPARE(int(r.SampleCount.get()), 512);
    }
};

QTEST_GUILESS_MAIN(AcquisitionStateTest)
#include "test_acquisition_state.moc"
