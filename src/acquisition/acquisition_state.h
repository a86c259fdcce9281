#pragma once
// The one record of instrument data and link state that every window shares.
// TestRecordImage and StartingCaptureImage are raw little-endian images: their
// member offsets are the offsets of the bulk measurement reply, of test files
// and of the starting-test blocks.

#include "acquisition/le_types.h"

#include <QRect>
#include <QString>

#include <cstddef>
#include <cstdint>

constexpr int kHarmonicCount = 51;     // orders 0..50
constexpr int kWaveformSamples = 512;  // samples per waveform in a measurement
constexpr uint16_t kZeroCount = 2047;  // midscale of the 12-bit converter
constexpr int kMeasurementImageSize = 2530;
constexpr int kTestRecordSize = 8052;
constexpr int kStartingSamples = 2560;
constexpr int kStartingBlockSize = 1708;  // data bytes of one starting-test block
constexpr int kStartingBlockCount = 6;
constexpr int kStartingImageSize = 10248;
constexpr int kRequestBufferSize = 128;
constexpr int kCtSettingsSize = 19;

struct TestRecordImage {
    le::F32 Urms;
    le::F32 Upeak;
    le::F32 Frequency;
    le::F32 Irms;
    le::F32 Ipeak;
    le::F32 Iphase;
    le::F32 PowerFactor;
    le::F32 ActivePower;
    le::F32 ApparentPower;
    le::F32 ReactivePower;
    le::F32 Uthd;
    le::F32 Ithd;
    le::F32 Uff;
    le::F32 Iff;
    le::F32 Kwh;
    le::F32 VoltageHarmonics[kHarmonicCount];
    le::F32 CurrentHarmonics[kHarmonicCount];
    le::F32 AuxFactor1;
    le::F32 AuxFactor2;
    le::U16 SampleCount;
    le::U16 VoltageSamples[kWaveformSamples];
    le::U16 CurrentSamples[kWaveformSamples];
    le::U16 VoltageZero;
    le::U16 CurrentZero;
    uint8_t Reserved[kTestRecordSize - kMeasurementImageSize];

    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(this); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(this); }

    // The fifteen readouts in their storage order (Urms .. Kwh).
    static constexpr int kReadoutCount = 15;
    le::F32& readout(int i) { return this->*kReadoutFields[i]; }
    const le::F32& readout(int i) const { return this->*kReadoutFields[i]; }

private:
    static constexpr le::F32 TestRecordImage::*kReadoutFields[kReadoutCount] = {
        &TestRecordImage::Urms,          &TestRecordImage::Upeak,         &TestRecordImage::Frequency,
        &TestRecordImage::Irms,          &TestRecordImage::Ipeak,         &TestRecordImage::Iphase,
        &TestRecordImage::PowerFactor,   &TestRecordImage::ActivePower,   &TestRecordImage::ApparentPower,
        &TestRecordImage::ReactivePower, &TestRecordImage::Uthd,          &TestRecordImage::Ithd,
        &TestRecordImage::Uff,           &TestRecordImage::Iff,           &TestRecordImage::Kwh,
    };
};

static_assert(sizeof(TestRecordImage) == kTestRecordSize, "test record is 8052 bytes");
static_assert(alignof(TestRecordImage) == 1, "test record has no padding");
static_assert(offsetof(TestRecordImage, Upeak) == 4);
static_assert(offsetof(TestRecordImage, Frequency) == 8);
static_assert(offsetof(TestRecordImage, Irms) == 12);
static_assert(offsetof(TestRecordImage, Ipeak) == 16);
static_assert(offsetof(TestRecordImage, Iphase) == 20);
static_assert(offsetof(TestRecordImage, PowerFactor) == 24);
static_assert(offsetof(TestRecordImage, ActivePower) == 28);
static_assert(offsetof(TestRecordImage, ApparentPower) == 32);
static_assert(offsetof(TestRecordImage, ReactivePower) == 36);
static_assert(offsetof(TestRecordImage, Uthd) == 40);
static_assert(offsetof(TestRecordImage, Ithd) == 44);
static_assert(offsetof(TestRecordImage, Uff) == 48);
static_assert(offsetof(TestRecordImage, Iff) == 52);
static_assert(offsetof(TestRecordImage, Kwh) == 56);
static_assert(offsetof(TestRecordImage, VoltageHarmonics) == 60);
static_assert(offsetof(TestRecordImage, CurrentHarmonics) == 264);
static_assert(offsetof(TestRecordImage, AuxFactor1) == 468);
static_assert(offsetof(TestRecordImage, AuxFactor2) == 472);
static_assert(offsetof(TestRecordImage, SampleCount) == 476);
static_assert(offsetof(TestRecordImage, VoltageSamples) == 478);
static_assert(offsetof(TestRecordImage, CurrentSamples) == 1502);
static_assert(offsetof(TestRecordImage, VoltageZero) == 2526);
static_assert(offsetof(TestRecordImage, CurrentZero) == 2528);
static_assert(offsetof(TestRecordImage, Reserved) == kMeasurementImageSize);

struct StartingCaptureImage {
    le::F32 VoltageScale;
    le::F32 CurrentScale;
    le::U16 VoltageSamples[kStartingSamples];
    le::U16 CurrentSamples[kStartingSamples];

    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(this); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(this); }
};

static_assert(sizeof(StartingCaptureImage) == kStartingImageSize, "starting capture is 10248 bytes");
static_assert(offsetof(StartingCaptureImage, CurrentScale) == 4);
static_assert(offsetof(StartingCaptureImage, VoltageSamples) == 8);
static_assert(offsetof(StartingCaptureImage, CurrentSamples) == 5128);
static_assert(kStartingBlockSize * kStartingBlockCount == kStartingImageSize);

// The instrument-settings block of register 188, copied raw.
struct CtSettingsBlock {
    le::F32 AngleDifference;  // seconds
    le::F32 CurrentRatio;
    le::F32 VoltageRatio;
    uint8_t Bandwidth;        // 0 narrowband, otherwise broadband
    uint8_t ThdAlgorithm;     // 0 %F, 1 %R
    uint8_t FilterCoefficient;  // 1..10
    uint8_t FilterOff;        // 0 filter on
    uint8_t RangeLocked;      // 0 automatic range
    uint8_t Unused;
    uint8_t Range;            // 1..4

    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(this); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(this); }
};

static_assert(sizeof(CtSettingsBlock) == kCtSettingsSize, "instrument settings block is 19 bytes");
static_assert(offsetof(CtSettingsBlock, Bandwidth) == 12);
static_assert(offsetof(CtSettingsBlock, Range) == 18);

enum SamplingModes : uint8_t { SamplingIdle = 0, SamplingSingle = 1, SamplingContinuous = 2 };
enum UsbLinkStates : uint8_t { LinkPlainSerial = 0, LinkInstrumentUsb = 1, LinkUndecided = 2 };

struct AcquisitionState {
    TestRecordImage TestRecord{};
    // The last measurement as the instrument sent it, before the repair of
    // values that are not numbers: what data for machines carries.
    TestRecordImage ReceivedRecord{};
    StartingCaptureImage StartingCapture{};
    uint8_t StartingStaging[kStartingImageSize]{};

    uint8_t SlaveAddress = 0;
    uint8_t SamplingMode = SamplingIdle;
    uint8_t UsbLinkState = LinkPlainSerial;
    uint8_t LastRequestRegister = 0;
    uint8_t LastRequestCount = 0;
    uint8_t StartBlockIndex = 0;
    uint8_t AlarmReadStep = 0;
    uint8_t RequestBuffer[kRequestBufferSize]{};
    float AlarmLimits[8]{};
    uint8_t AlarmEnableBits = 0;
    CtSettingsBlock CtSettings{};
    int32_t KeepAliveTicks = 0;
    int32_t SilenceTicks = 0;
    QString UsbProductIdTag;
    QString CommandLineFile;
    bool OpenedWithFile = false;
    bool PrintFromRecorder = false;

    // Rectangle used to clear and copy the three main plots; the whole screen
    // until the first redraw.
    QRect PlotRect;
};

// Hook through which the display creates the main window's off-screen
// surfaces; InitAcquisitionState calls it with the screen size.
class MainSurfaceFactory {
public:
    virtual ~MainSurfaceFactory() = default;
    virtual void createMainSurfaces(const QSize& screenSize) = 0;
};

// Gives the record its initial values, in the documented order. surfaces may
// be null where nothing is drawn (tools, most tests).
void InitAcquisitionState(AcquisitionState& state, const QSize& screenSize, MainSurfaceFactory* surfaces);

// The fix-up applied after a bulk measurement reply has been copied in:
// NaN readouts become 0, NaN factors 1.0, a zero SampleCount 512.
void RepairMeasurementImage(TestRecordImage& record);
