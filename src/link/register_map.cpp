#include "link/register_map.h"

#include "acquisition/acquisition_state.h"

#include <algorithm>

#include <QCoreApplication>

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
    return QCoreApplication::translate("RegisterMap", "Read the request failed, instruments and computers have not connected.");
}

LinkMaster::Id InstrumentRequests::submit(const LinkRequest& request, LinkMaster::Priority priority,
                                          LinkMaster::Repeat repeat, std::function<void(LinkMaster::End)> onEnd)
{
    LinkMaster::Transaction t;
    t.priority = priority;
    t.repeat = repeat;
    t.request = request;
    // The router is looked up when the reply comes, so that one set later
    // (or cleared on the way out) is the one used.
    t.onReply = [this, request](const QByteArray& reply) {
        if (router_) router_->replyTo(request, reply);
    };
    t.onEnd = [this, request, onEnd = std::move(onEnd)](LinkMaster::End end) {
        if (router_) router_->ended(request, end);
        if (onEnd) onEnd(end);
    };
    return link_.submit(std::move(t));
}

bool InstrumentRequests::transfer(const LinkRequest& request)
{
    return submit(request, LinkMaster::Priority::Transfer, LinkMaster::Repeat::UpToGiveUp) != 0;
}

bool InstrumentRequests::plainWrite(const LinkRequest& request)
{
    return submit(request, LinkMaster::Priority::Transfer, LinkMaster::Repeat::Never) != 0;
}

bool InstrumentRequests::portOpen() const { return link_.portOpen(); }

LinkMaster::Id InstrumentRequests::ReadMeasurement(std::function<void(LinkMaster::End)> onEnd)
{
    return submit(LinkRequest::read(Reg::Measurement, readCount(Reg::Measurement)), LinkMaster::Priority::Sampling,
                  LinkMaster::Repeat::WhileWanted, std::move(onEnd));
}

bool InstrumentRequests::ReadAlarmLimit(uint16_t reg) { return transfer(LinkRequest::read(reg, readCount(reg))); }

bool InstrumentRequests::ReadAlarmEnableBits()
{
    return transfer(LinkRequest::read(Reg::AlarmEnable, readCount(Reg::AlarmEnable)));
}

bool InstrumentRequests::WriteAlarmLimit(uint16_t reg, float value)
{
    return transfer(LinkRequest::floatWrite(reg, value));
}

bool InstrumentRequests::WriteAlarmEnableBits(uint8_t bits)
{
    const uint8_t data[4] = {bits, 0, 0, 0};
    return transfer(LinkRequest::fourByteWrite(Reg::AlarmEnable, data));
}

bool InstrumentRequests::TriggerStartingTest(uint16_t rangeCode)
{
    return transfer(LinkRequest::read(Reg::Starting, rangeCode));
}

bool InstrumentRequests::RequestStartingBlock(int block)
{
    const uint16_t count = uint16_t(block * entry(Reg::Starting, A::Read, F::ReadBlock).count);
    return transfer(LinkRequest::read(Reg::Starting, count));
}

bool InstrumentRequests::ReadInstrumentSettings(uint16_t count)
{
    if (!transfer(LinkRequest::read(Reg::InstrumentSettings, count))) return false;
    state_.LastRequestRegister = uint8_t(Reg::InstrumentSettings);
    return true;
}

bool InstrumentRequests::WriteInstrumentSettings(const CtSettingsBlock& block)
{
    return transfer(LinkRequest::blockWrite(Reg::InstrumentSettings, block.bytes(), kCtSettingsSize));
}

bool InstrumentRequests::ReadPhaseCorrection(uint16_t reg) { return transfer(LinkRequest::read(reg, readCount(reg))); }

bool InstrumentRequests::WritePhaseCorrection(uint16_t reg, float value)
{
    return plainWrite(LinkRequest::floatWrite(reg, value));
}

bool InstrumentRequests::WriteTemperatureMode(uint8_t mode)
{
    const uint8_t data[4] = {mode, 0, 0, 0};
    return plainWrite(LinkRequest::fourByteWrite(Reg::TemperatureMode, data));
}

bool InstrumentRequests::WriteUnlock()
{
    const uint8_t data[4] = {0x6B, 0x00, 0, 0};
    return plainWrite(LinkRequest::fourByteWrite(Reg::Unlock, data));
}

bool InstrumentRequests::SendClosingNotice()
{
    return link_.sendNow(LinkRequest::read(Reg::ClosingNotice, readCount(Reg::ClosingNotice)));
}

bool InstrumentRequests::SendKeepAlive()
{
    return submit(LinkRequest::read(Reg::KeepAlive, readCount(Reg::KeepAlive)), LinkMaster::Priority::KeepAlive,
                  LinkMaster::Repeat::Never) != 0;
}

bool InstrumentRequests::WriteCalibrationValue(uint16_t reg, float value)
{
    // The voltage value goes out of the shared request buffer, so that it
    // names 154 afterwards; the current value out of a buffer of its own.
    return plainWrite(reg == Reg::VoltageCalibration ? LinkRequest::requestBufferFloat(reg, value)
                                                     : LinkRequest::floatWrite(reg, value));
}
