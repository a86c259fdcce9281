#include "instrument_model.h"

#include "le_bytes.h"
#include "measurement_image.h"
#include "sim_crc.h"
#include "starting_capture.h"
#include "waveform_analysis.h"

#include <algorithm>

namespace sim {
namespace {

constexpr uint8_t kReadHolding = 0x03;
constexpr uint8_t kWriteMultiple = 0x10;
constexpr uint8_t kWriteAcknowledge = 0x09;
constexpr uint8_t kTriggerAcknowledge = 0x0A;
constexpr uint8_t kTriggerAcknowledgeCode = 0x92;

constexpr int kRegStartingTest = 147;
constexpr int kRegMeasurement = 148;
constexpr int kRegClosing = 186;
constexpr int kRegKeepAlive = 187;
constexpr int kRegInstrumentSettings = 188;
constexpr int kKeepAliveDataBytes = 30;

struct RegisterShape {
    int size;
    bool readable;
};

// The settings registers: each holds one value of the given size, however
// many Modbus registers a request names.
const std::map<int, RegisterShape>& registerShapes()
{
    static const std::map<int, RegisterShape> shapes = {
        {118, {4, true}}, {119, {4, true}}, {120, {4, true}}, {121, {4, true}},
        {122, {4, true}}, {123, {4, true}}, {124, {4, true}}, {125, {4, true}},
        {126, {4, true}},                     // alarm enable bits in byte 0
        {154, {4, false}}, {158, {4, false}},  // amplitude calibration references
        {166, {4, false}},                     // temperature command
        {167, {4, true}}, {168, {4, true}},    // phase corrections
        {185, {4, false}},                     // unlock code
        {kRegInstrumentSettings, {19, true}},
    };
    return shapes;
}

std::vector<uint8_t> floatBytes(float value)
{
    std::vector<uint8_t> b(4);
    putF32(b.data(), value);
    return b;
}

// Settings block of register 188: CT angle 0 s, CT ratio 1, VT ratio 1,
// narrowband, THD against the fundamental, filter coefficient 10, filter
// off, automatic range, byte 17 unused, range 4.
std::vector<uint8_t> factorySettingsBlock()
{
    std::vector<uint8_t> b(19, 0);
    putF32(b.data() + 0, 0.0f);
    putF32(b.data() + 4, 1.0f);
    putF32(b.data() + 8, 1.0f);
    b[12] = 0;
    b[13] = 0;
    b[14] = 10;
    b[15] = 1;
    b[16] = 0;
    b[17] = 0;
    b[18] = 4;
    return b;
}

constexpr size_t kSettingsThdAlgorithm = 13;

} // namespace

InstrumentModel::InstrumentModel(int address, double frequency, uint32_t seed)
    : address_(address), rng_(seed ^ 0x5bd1e995u), line_(frequency, seed)
{
    // Alarm limits as shipped: voltage 300/0 V, current 20/0 A, power
    // 6000/0 W, power factor 1/0, all alarms off.
    const float limits[] = {300.0f, 0.0f, 20.0f, 0.0f, 6000.0f, 0.0f, 1.0f, 0.0f};
    for (int i = 0; i < 8; ++i)
        registers_[118 + i] = floatBytes(limits[i]);
    registers_[126] = {0, 0, 0, 0};
    registers_[154] = floatBytes(0.0f);
    registers_[158] = floatBytes(0.0f);
    registers_[166] = {0, 0, 0, 0};
    registers_[167] = floatBytes(0.0f);
    registers_[168] = floatBytes(0.0f);
    registers_[185] = {0, 0, 0, 0};
    registers_[kRegInstrumentSettings] = factorySettingsBlock();
    capture_ = synthesiseStartingCapture(0, rng_);
}

std::optional<Reply> InstrumentModel::answer(const std::vector<uint8_t>& frame, double nowSeconds)
{
    if (frame.size() < 8 || frame[0] != uint8_t(address_))
        return std::nullopt;
    const int reg = (frame[2] << 8) | frame[3];
    if (frame[1] == kReadHolding && frame.size() == 8)
        return answerRead(reg, (frame[4] << 8) | frame[5], nowSeconds);
    if (frame[1] == kWriteMultiple && frame.size() == 9u + frame[6])
        return answerWrite(reg, frame.data() + 7, frame[6]);
    return std::nullopt;
}

std::optional<Reply> InstrumentModel::answerRead(int reg, int count, double nowSeconds)
{
    switch (reg) {
    case kRegMeasurement:
        return measurement(nowSeconds);
    case kRegStartingTest: {
        const int high = count >> 8, low = count & 0xFF;
        if (high == 0) {
            // Arms the recorder with the range code in the low byte; the
            // capture that follows replaces the previous one.
            capture_ = synthesiseStartingCapture(low, rng_);
            return addressed({uint8_t(address_), kTriggerAcknowledge, kTriggerAcknowledgeCode});
        }
        if (high >= 1 && high <= kStartingBlockCount && low == 0)
            return startingBlock(high);
        return std::nullopt;
    }
    case kRegClosing:
        return std::nullopt;
    case kRegKeepAlive: {
        std::vector<uint8_t> body = {uint8_t(address_), kReadHolding, uint8_t(kKeepAliveDataBytes)};
        body.resize(3 + kKeepAliveDataBytes, 0);
        return addressed(std::move(body));
    }
    default:
        break;
    }
    const auto shape = registerShapes().find(reg);
    if (shape == registerShapes().end() || !shape->second.readable)
        return std::nullopt;
    const std::vector<uint8_t>& value = registers_.at(reg);
    std::vector<uint8_t> body = {uint8_t(address_), kReadHolding, uint8_t(value.size())};
    body.insert(body.end(), value.begin(), value.end());
    return addressed(std::move(body));
}

std::optional<Reply> InstrumentModel::answerWrite(int reg, const uint8_t* data, int byteCount)
{
    const auto shape = registerShapes().find(reg);
    if (shape == registerShapes().end() || shape->second.size != byteCount)
        return std::nullopt;
    std::vector<uint8_t> value(data, data + byteCount);
    registers_[reg] = value;
    written_[reg] = std::move(value);
    return addressed({uint8_t(address_), kWriteAcknowledge, uint8_t(reg & 0xFF)});
}

Reply InstrumentModel::addressed(std::vector<uint8_t> body) const
{
    appendCrc(body);
    return Reply{ReplyForm::Addressed, std::move(body)};
}

Reply InstrumentModel::measurement(double nowSeconds)
{
    const LineSnapshot snapshot = line_.sample(std::max(0.0, nowSeconds - lastSampleTime_));
    lastSampleTime_ = std::max(lastSampleTime_, nowSeconds);

    const ThdReference thd = registers_.at(kRegInstrumentSettings)[kSettingsThdAlgorithm] == 0
        ? ThdReference::Fundamental
        : ThdReference::Rms;
    const WaveformAnalysis analysis = analyseWaveforms(snapshot.voltage, snapshot.current, kZeroCount, kZeroCount,
                                                       {kVoltsPerCount, kAmpsPerCount}, thd);

    // The meter integrates continuously; between two images it ran at about
    // the power measured now.
    const double dt = std::max(0.0, nowSeconds - lastEnergyTime_);
    lastEnergyTime_ = std::max(lastEnergyTime_, nowSeconds);
    energyKwh_ += std::max(0.0, double(analysis.readouts.activePower)) * dt / 3.6e6;

    MeasurementImage image;
    image.readouts = analysis.readouts;
    image.readouts.frequency = float(snapshot.frequency);
    image.readouts.kwh = float(energyKwh_);
    image.voltageHarmonics = analysis.voltageHarmonics;
    image.currentHarmonics = analysis.currentHarmonics;
    image.voltageSamples = snapshot.voltage;
    image.currentSamples = snapshot.current;

    std::vector<uint8_t> bytes = image.encode();
    appendCrc(bytes);
    return Reply{ReplyForm::Measurement, std::move(bytes)};
}

Reply InstrumentModel::startingBlock(int block) const
{
    const auto begin = capture_.begin() + long((block - 1) * kStartingBlockSize);
    std::vector<uint8_t> bytes(begin, begin + long(kStartingBlockSize));
    appendCrc(bytes);
    return Reply{ReplyForm::StartingBlock, std::move(bytes)};
}

std::vector<uint8_t> InstrumentModel::writtenRegister(int reg) const
{
    const auto it = written_.find(reg);
    return it == written_.end() ? std::vector<uint8_t>() : it->second;
}

} // namespace sim
