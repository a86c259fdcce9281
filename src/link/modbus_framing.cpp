#include "link/modbus_framing.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/le_types.h"
#include "link/link_request.h"
#include "link/serial_port.h"

#include <algorithm>
#include <cstring>

uint16_t ModbusCrc16(const uint8_t* bytes, int length)
{
    uint16_t crc = 0xFFFF;
    for (int i = 0; i < length; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

bool HasValidCrc(const uint8_t* frame, int length)
{
    if (length < 3) return false;
    const uint16_t crc = ModbusCrc16(frame, length - 2);
    return frame[length - 2] == uint8_t(crc) && frame[length - 1] == uint8_t(crc >> 8);
}

float BytesToFloat(const uint8_t bytes[4]) { return le::loadF32(bytes); }

namespace {

void putHeader(uint8_t* frame, uint8_t address, uint8_t function, uint16_t reg)
{
    frame[0] = address;
    frame[1] = function;
    frame[2] = uint8_t(reg >> 8);
    frame[3] = uint8_t(reg);
}

void appendCrc(uint8_t* frame, int bodyLength)
{
    const uint16_t crc = ModbusCrc16(frame, bodyLength);
    frame[bodyLength] = uint8_t(crc);
    frame[bodyLength + 1] = uint8_t(crc >> 8);
}

} // namespace

std::array<uint8_t, kFloatWriteFrameSize> ComposeFloatWrite(uint8_t address, uint16_t reg, float value)
{
    std::array<uint8_t, kFloatWriteFrameSize> frame{};
    putHeader(frame.data(), address, 0x10, reg);
    frame[4] = 0x00;
    frame[5] = 0x02;
    frame[6] = 0x04;
    le::storeF32(frame.data() + 7, value);
    appendCrc(frame.data(), 11);
    return frame;
}

bool ModbusMaster::ReadRegisters(uint8_t address, uint16_t reg, uint16_t count)
{
    if (!port_.isOpen()) return false;
    uint8_t* frame = state_.RequestBuffer;
    putHeader(frame, address, 0x03, reg);
    frame[4] = uint8_t(count >> 8);
    frame[5] = uint8_t(count);
    appendCrc(frame, 6);
    write(frame, kReadFrameSize);
    return true;
}

bool ModbusMaster::WriteFloatRegister(uint8_t address, uint16_t reg, float value)
{
    if (!port_.isOpen()) return false;
    const auto frame = ComposeFloatWrite(address, reg, value);
    write(frame.data(), int(frame.size()));
    return true;
}

bool ModbusMaster::WriteFourBytes(uint8_t address, uint16_t reg, const uint8_t data[4])
{
    // The same frame as a four-byte block write: two registers, byte count 4.
    return WriteRegisterBytes(address, reg, data, 4);
}

bool ModbusMaster::WriteRegisterBytes(uint8_t address, uint16_t reg, const uint8_t* data, int n)
{
    if (!port_.isOpen()) return false;
    // A longer block would not fit the request buffer; clip rather than overrun.
    n = std::clamp(n, 0, kMaxBlockWriteBytes);
    uint8_t* frame = state_.RequestBuffer;
    putHeader(frame, address, 0x10, reg);
    frame[4] = 0x00;
    frame[5] = uint8_t(n / 2);
    frame[6] = uint8_t(n);
    if (n > 0) std::memcpy(frame + 7, data, size_t(n));
    appendCrc(frame, 7 + n);
    write(frame, 9 + n);
    return true;
}

bool ModbusMaster::WriteFloatInRequestBuffer(uint8_t address, uint16_t reg, float value)
{
    if (!port_.isOpen()) return false;
    const auto frame = ComposeFloatWrite(address, reg, value);
    std::copy(frame.begin(), frame.end(), state_.RequestBuffer);
    write(state_.RequestBuffer, int(frame.size()));
    return true;
}

bool ModbusMaster::Send(uint8_t address, const LinkRequest& request)
{
    const auto* data = reinterpret_cast<const uint8_t*>(request.data.constData());
    switch (request.form) {
    case LinkRequest::Form::Read: return ReadRegisters(address, request.reg, request.count);
    case LinkRequest::Form::FloatWrite: return WriteFloatRegister(address, request.reg, request.value);
    case LinkRequest::Form::RequestBufferFloat: return WriteFloatInRequestBuffer(address, request.reg, request.value);
    case LinkRequest::Form::FourByteWrite:
        if (request.data.size() != 4) return false;
        return WriteFourBytes(address, request.reg, data);
    case LinkRequest::Form::BlockWrite: return WriteRegisterBytes(address, request.reg, data, int(request.data.size()));
    }
    return false;
}

void ModbusMaster::write(const uint8_t* frame, int length)
{
    port_.writeBytes(frame, length);
    // Any request keeps the link alive by itself; the watchdog counts its
    // keep-alive interval from the last one.
    state_.KeepAliveTicks = 0;
}
