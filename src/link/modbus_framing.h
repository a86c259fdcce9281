#pragma once
// Modbus RTU request frames as the instrument expects them. Register numbers
// and counts travel big-endian, the CRC low byte first, floats and raw blocks
// little-endian.

#include <array>
#include <cstdint>

struct AcquisitionState;
struct LinkRequest;
class SerialPort;

// CRC-16/MODBUS (poly 0xA001 reflected, initial 0xFFFF); "123456789" gives 0x4B37.
uint16_t ModbusCrc16(const uint8_t* bytes, int length);

// True when the last two bytes of frame are the CRC (low byte first) of the rest.
bool HasValidCrc(const uint8_t* frame, int length);

// Reinterprets four bytes, the first the least significant, as an IEEE 754 single.
float BytesToFloat(const uint8_t bytes[4]);

constexpr int kReadFrameSize = 8;
constexpr int kFloatWriteFrameSize = 13;
constexpr int kMaxBlockWriteBytes = 119;  // keeps 9 + n within the request buffer

// The 13-byte float write, composed into a buffer of its own.
std::array<uint8_t, kFloatWriteFrameSize> ComposeFloatWrite(uint8_t address, uint16_t reg, float value);

// Builds requests and hands them to the port. Reads and the byte writes are
// composed in the shared RequestBuffer, whose byte 3 then names the register
// (the reply handler routes read replies by it); float writes use their own
// buffer so they never change that routing. Every builder returns false,
// composing nothing, when the port is closed; otherwise true whatever the
// port's write reported (a lost request shows as a missing reply).
class ModbusMaster {
public:
    ModbusMaster(AcquisitionState& state, SerialPort& port) : state_(state), port_(port) {}

    bool ReadRegisters(uint8_t address, uint16_t reg, uint16_t count);
    bool WriteFloatRegister(uint8_t address, uint16_t reg, float value);
    bool WriteFourBytes(uint8_t address, uint16_t reg, const uint8_t data[4]);
    bool WriteRegisterBytes(uint8_t address, uint16_t reg, const uint8_t* data, int n);
    // The float write composed in RequestBuffer rather than a buffer of its
    // own (the calibration window's voltage reference), so that the buffer
    // names its register afterwards.
    bool WriteFloatInRequestBuffer(uint8_t address, uint16_t reg, float value);

    // Composes and sends request with the builder of its form.
    bool Send(uint8_t address, const LinkRequest& request);

    SerialPort& port() { return port_; }

private:
    void write(const uint8_t* frame, int length);

    AcquisitionState& state_;
    SerialPort& port_;
};
