#include "link/register_map.h"

#include "acquisition/acquisition_state.h"
#include "link/serial_port.h"

#include <algorithm>

using A = RegisterAccess;
using F = RequestForm;
using R = ExpectedReply;

const std::vector<RegisterEntry>& RegisterMap()
{
    static const std::vector<RegisterEntry> map = {
        {118, A::Write, F::FloatWrite, 2, R::WriteAck},
        {118, A::Read, F::ReadCount, 2, R::ReadFloat},
        {119, A::Write, F::FloatWrite, 2, R::WriteAck},
        {119, A::Read, F::ReadCount, 2, R::ReadFloat},
        {120, A::Write, F::FloatWrite, 2, R::WriteAck},
        {120, A::Read, F::ReadCount, 2, R::ReadFloat},
        {121, A::Write, F::FloatWrite, 2, R::WriteAck},
        {121, A::Read, F::ReadCount, 2, R::ReadFloat},
        {122, A::Write, F::FloatWrite, 2, R::WriteAck},
        {122, A::Read, F::ReadCount, 2, R::ReadFloat},
        {123, A::Write, F::FloatWrite, 2, R::WriteAck},
        {123, A::Read, F::ReadCount, 2, R::ReadFloat},
        {124, A::Write, F::FloatWrite, 2, R::WriteAck},
        {124, A::Read, F::ReadCount, 2, R::ReadFloat},
        {125, A::Write, F::FloatWrite, 2, R::WriteAck},
        {125, A::Read, F::ReadCount, 2, R::ReadFloat},
        {126, A::Write, F::FourByteWrite, 2, R::WriteAck},
        {126, A::Read, F::ReadCount, 2, R::ReadEnableBits},
        {147, A::Read, F::ReadTrigger, 0, R::TriggerAck},     // count = range code
        {147, A::Read, F::ReadBlock, 256, R::StartingBlock},  // count = block * 256
        {148, A::Read, F::ReadCount, 2, R::BulkImage},
        {154, A::Write, F::OwnFloatWrite, 2, R::None},
        {158, A::Write, F::OwnFloatWrite, 2, R::None},
        {166, A::Write, F::FourByteWrite, 2, R::None},
        {167, A::Write, F::FloatWrite, 2, R::None},
        {167, A::Read, F::ReadCount, 2, R::ReadFloat},
        {168, A::Write, F::FloatWrite, 2, R::None},
        {168, A::Read, F::ReadCount, 2, R::ReadFloat},
        {185, A::Write, F::FourByteWrite, 2, R::None},
        {186, A::Read, F::ReadCount, 0, R::None},
        {187, A::Read, F::ReadCount, 15, R::None},
        {188, A::Read, F::ReadCount, 2, R::ReadSettings},     // 18 from the settings window
        {188, A::Write, F::BlockWrite, 9, R::WriteAck},       // 19 bytes, register count 9
    };
    return map;
}

const RegisterEntry* FindRegister(uint16_t reg, RegisterAccess access)
{
    for (const RegisterEntry& e : RegisterMap()) {
        if (e.reg == reg && e.access == access) return &e;
    }
    return nullptr;
}

namespace {

const RegisterEntry& entry(uint16_t reg, RegisterAccess access, RequestForm form)
{
    for (const RegisterEntry& e : RegisterMap()) {
        if (e.reg == reg && e.access == access && e.form == form) return e;
    }
    // Only reachable through a programming error in this file.
    static const RegisterEntry none{0, A::Read, F::ReadCount, 0, R::None};
    return none;
}

uint16_t readCount(uint16_t reg) { return entry(reg, A::Read, F::ReadCount).count; }

} // namespace

QString RequestNotSentText()
{
    return QStringLiteral("Read the request failed, instruments and computers have not connected.");
}

uint16_t ReRequestCount(uint8_t lastRequestRegister, uint8_t lastRequestCount, bool startRequestPending)
{
    if (lastRequestRegister == uint8_t(Reg::Starting) && !startRequestPending)
        return uint16_t(lastRequestCount * entry(Reg::Starting, A::Read, F::ReadBlock).count);
    return lastRequestCount;
}

bool InstrumentRequests::read(uint16_t reg, uint16_t count)
{
    return master_.ReadRegisters(state_.SlaveAddress, reg, count);
}

bool InstrumentRequests::ReadMeasurement() { return read(Reg::Measurement, readCount(Reg::Measurement)); }

bool InstrumentRequests::ReadAlarmLimit(uint16_t reg) { return read(reg, readCount(reg)); }

bool InstrumentRequests::ReadAlarmEnableBits() { return read(Reg::AlarmEnable, readCount(Reg::AlarmEnable)); }

bool InstrumentRequests::WriteAlarmLimit(uint16_t reg, float value)
{
    return master_.WriteFloatRegister(state_.SlaveAddress, reg, value);
}

bool InstrumentRequests::WriteAlarmEnableBits(uint8_t bits)
{
    const uint8_t data[4] = {bits, 0, 0, 0};
    return master_.WriteFourBytes(state_.SlaveAddress, Reg::AlarmEnable, data);
}

bool InstrumentRequests::TriggerStartingTest(uint16_t rangeCode)
{
    startRequestSent_ = true;
    return read(Reg::Starting, rangeCode);
}

bool InstrumentRequests::RequestStartingBlock(int block)
{
    startRequestSent_ = false;
    return read(Reg::Starting, uint16_t(block * entry(Reg::Starting, A::Read, F::ReadBlock).count));
}

bool InstrumentRequests::ReadInstrumentSettings(uint16_t count)
{
    if (!read(Reg::InstrumentSettings, count)) return false;
    // A damaged reply is asked for again as this read, not as whatever was
    // read before. The count is kept: the instrument sends the whole block
    // whatever the count, and a measurement read repeated later keeps its own.
    state_.LastRequestRegister = uint8_t(Reg::InstrumentSettings);
    return true;
}

bool InstrumentRequests::WriteInstrumentSettings(const CtSettingsBlock& block)
{
    return master_.WriteRegisterBytes(state_.SlaveAddress, Reg::InstrumentSettings, block.bytes(), kCtSettingsSize);
}

bool InstrumentRequests::ReadPhaseCorrection(uint16_t reg) { return read(reg, readCount(reg)); }

bool InstrumentRequests::WritePhaseCorrection(uint16_t reg, float value)
{
    return master_.WriteFloatRegister(state_.SlaveAddress, reg, value);
}

bool InstrumentRequests::WriteTemperatureMode(uint8_t mode)
{
    const uint8_t data[4] = {mode, 0, 0, 0};
    return master_.WriteFourBytes(state_.SlaveAddress, Reg::TemperatureMode, data);
}

bool InstrumentRequests::WriteUnlock()
{
    const uint8_t data[4] = {0x6B, 0x00, 0, 0};
    return master_.WriteFourBytes(state_.SlaveAddress, Reg::Unlock, data);
}

bool InstrumentRequests::SendClosingNotice() { return read(Reg::ClosingNotice, readCount(Reg::ClosingNotice)); }

bool InstrumentRequests::SendKeepAlive() { return read(Reg::KeepAlive, readCount(Reg::KeepAlive)); }

bool InstrumentRequests::WriteCalibrationValue(uint16_t reg, float value)
{
    // The current value goes out of a buffer of its own, like any float write;
    // the voltage value out of the shared request buffer, so that it names 154
    // for the routing of a later read reply.
    if (reg != Reg::VoltageCalibration) return master_.WriteFloatRegister(state_.SlaveAddress, reg, value);
    if (!master_.port().isOpen()) return false;
    const auto frame = ComposeFloatWrite(state_.SlaveAddress, reg, value);
    std::copy(frame.begin(), frame.end(), state_.RequestBuffer);
    master_.port().writeBytes(state_.RequestBuffer, int(frame.size()));
    return true;
}

bool InstrumentRequests::ReRequest()
{
    // Asking for "block <range code>" instead would leave the instrument
    // unarmed and the window waiting for ever.
    const bool startRequestPending = state_.LastRequestRegister == Reg::Starting && state_.StartBlockIndex == 0 &&
                                     startRequestSent_;
    return read(state_.LastRequestRegister,
                ReRequestCount(state_.LastRequestRegister, state_.LastRequestCount, startRequestPending));
}
