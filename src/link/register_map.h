#pragma once
// Every register the program reads or writes on the instrument, with what is
// sent and which reply answers it. The senders below take register numbers
// and counts from this one table.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "link/link_master.h"
#include "link/link_request.h"

struct AcquisitionState;
struct CtSettingsBlock;

namespace Reg {
constexpr uint16_t AlarmFirst = 118;          // AL1H .. AL4L: 118..125, one float each
constexpr uint16_t AlarmLast = 125;
constexpr uint16_t AlarmEnable = 126;         // enable bits in data byte 0
constexpr uint16_t Starting = 147;            // trigger (count = range code) or block k (count k*256)
constexpr uint16_t Measurement = 148;         // bulk measurement image
constexpr uint16_t VoltageCalibration = 154;
constexpr uint16_t CurrentCalibration = 158;
constexpr uint16_t TemperatureMode = 166;
constexpr uint16_t NarrowbandPhase = 167;
constexpr uint16_t BroadbandPhase = 168;
constexpr uint16_t Unlock = 185;
constexpr uint16_t ClosingNotice = 186;
constexpr uint16_t KeepAlive = 187;
constexpr uint16_t InstrumentSettings = 188;
} // namespace Reg

enum class RegisterAccess { Read, Write };

enum class RequestForm {
    ReadCount,      // ReadRegisters with the tabled count
    ReadTrigger,    // ReadRegisters, count = starting-test range code
    ReadBlock,      // ReadRegisters, count = block number * 256
    FloatWrite,     // WriteFloatRegister
    OwnFloatWrite,  // 13-byte float write composed by the calibration window itself
    FourByteWrite,  // WriteFourBytes
    BlockWrite,     // WriteRegisterBytes, 19 bytes
};

enum class ExpectedReply {
    None,
    BulkImage,        // 2532 bytes, no header
    StartingBlock,    // 1710 bytes, no header
    ReadFloat,        // 0x03 reply, float at byte 3
    ReadEnableBits,   // 0x03 reply, bits at byte 3
    ReadSettings,     // 0x03 reply, 19 bytes from byte 3
    WriteAck,         // 0x09 reply naming the register
    TriggerAck,       // 0x0A 0x92
};

struct RegisterEntry {
    uint16_t reg;
    RegisterAccess access;
    RequestForm form;
    uint16_t count;  // register count sent (reads) or written (writes)
    ExpectedReply reply;
};

// The whole map, ascending by register.
const std::vector<RegisterEntry>& RegisterMap();

// The entry for reg and access, or null when the program never does that.
const RegisterEntry* FindRegister(uint16_t reg, RegisterAccess access);

// What the user is told when a request they started cannot be sent because
// the port is closed.
QString RequestNotSentText();

// Where the replies to the requests below go (the reply handler): each
// reply with the request it answers, and how each request ended.
class ReplyRouter {
public:
    virtual ~ReplyRouter() = default;
    virtual void replyTo(const LinkRequest& request, const QByteArray& reply) = 0;
    virtual void ended(const LinkRequest& request, LinkMaster::End end) = 0;
};

// The requests of the register map with the slave address of the shared
// state, each handed to the link master as a transaction whose reply goes
// to the router together with the request it answers. Each returns false,
// queuing nothing, when the port is closed.
class InstrumentRequests {
public:
    InstrumentRequests(AcquisitionState& state, LinkMaster& link) : state_(state), link_(link) {}

    void setRouter(ReplyRouter* router) { router_ = router; }

    // Sampling's request: asked again for as long as it is not cancelled,
    // and kept while the port is closed (it goes out once the port is
    // open). onEnd learns how it ended. Returns its transaction.
    LinkMaster::Id ReadMeasurement(std::function<void(LinkMaster::End)> onEnd = {});
    bool ReadAlarmLimit(uint16_t reg);                 // 118..125
    bool ReadAlarmEnableBits();
    bool WriteAlarmLimit(uint16_t reg, float value);   // 118..125
    bool WriteAlarmEnableBits(uint8_t bits);
    bool TriggerStartingTest(uint16_t rangeCode);
    bool RequestStartingBlock(int block);              // 1..6
    bool ReadInstrumentSettings(uint16_t count);       // 2 at start-up, 18 from the settings window
    bool WriteInstrumentSettings(const CtSettingsBlock& block);
    bool ReadPhaseCorrection(uint16_t reg);            // 167 or 168
    bool WritePhaseCorrection(uint16_t reg, float value);
    bool WriteTemperatureMode(uint8_t mode);           // 0..3
    bool WriteUnlock();
    // The closing notice goes out at once, whatever is on the line.
    bool SendClosingNotice();
    // Only when nothing else is on the line or waits.
    bool SendKeepAlive();
    // The voltage reference (154) is composed in the shared request buffer,
    // the current reference (158) in a buffer of its own.
    bool WriteCalibrationValue(uint16_t reg, float value);

    LinkMaster& link() { return link_; }
    bool portOpen() const;

private:
    LinkMaster::Id submit(const LinkRequest& request, LinkMaster::Priority priority, LinkMaster::Repeat repeat,
                          std::function<void(LinkMaster::End)> onEnd = {});
    bool transfer(const LinkRequest& request);
    // A write whose acknowledgement nothing uses: asked once.
    bool plainWrite(const LinkRequest& request);

    AcquisitionState& state_;
    LinkMaster& link_;
    ReplyRouter* router_ = nullptr;
};
