#pragma once
// Every register the program reads or writes on the instrument, with what is
// sent and which reply answers it. The senders below take register numbers
// and counts from this one table.

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

#include "link/modbus_framing.h"

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

// Count sent when the last read is repeated: block requests of the starting
// test carry the block number in the high byte. While the start request
// itself is still unanswered (startRequestPending), it is the range code.
uint16_t ReRequestCount(uint8_t lastRequestRegister, uint8_t lastRequestCount, bool startRequestPending = false);

// The requests of the register map, composed through the framing routines
// with the slave address of the shared state. Each returns what the framing
// routine returned (false when the port is closed).
class InstrumentRequests {
public:
    InstrumentRequests(AcquisitionState& state, ModbusMaster& master) : state_(state), master_(master) {}

    bool ReadMeasurement();
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
    bool SendClosingNotice();
    bool SendKeepAlive();
    // The calibration writes of 154 and 158 are composed by the caller and
    // sent straight to the port.
    bool WriteCalibrationValue(uint16_t reg, float value);

    // Repeats the last recorded read (LastRequestRegister / LastRequestCount).
    // While the starting test waits for its trigger acknowledgement the
    // start request goes out again, not a block request.
    bool ReRequest();

    ModbusMaster& master() { return master_; }

private:
    bool read(uint16_t reg, uint16_t count);
    AcquisitionState& state_;
    ModbusMaster& master_;
    // The last request of register 147 was the start request, not a block
    // request. StartBlockIndex is 0 both while the trigger is awaited and
    // after a completed transfer; only this tells the two apart.
    bool startRequestSent_ = false;
};
