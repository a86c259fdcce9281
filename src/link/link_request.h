#pragma once
// One request to the instrument as the link master keeps it until its turn
// on the line comes, and the form of the reply that answers it. A request is
// composed by the framing routines only when it goes out, so RequestBuffer
// names the register of what is on the line, not of what waits.

#include <QByteArray>

#include <cstdint>

struct LinkRequest {
    enum class Form : uint8_t {
        Read,                // ReadRegisters
        FloatWrite,          // WriteFloatRegister, in a buffer of its own
        FourByteWrite,       // WriteFourBytes
        BlockWrite,          // WriteRegisterBytes
        RequestBufferFloat,  // a float write composed in RequestBuffer (the voltage reference)
    };
    Form form = Form::Read;
    uint16_t reg = 0;
    uint16_t count = 0;  // Read: the register count sent
    float value = 0;     // the float writes
    QByteArray data;     // FourByteWrite (4 bytes), BlockWrite (n bytes)

    static LinkRequest read(uint16_t reg, uint16_t count);
    static LinkRequest floatWrite(uint16_t reg, float value);
    static LinkRequest requestBufferFloat(uint16_t reg, float value);
    static LinkRequest fourByteWrite(uint16_t reg, const uint8_t data[4]);
    static LinkRequest blockWrite(uint16_t reg, const uint8_t* data, int n);
};

// What answers a request. The measurement image and a starting-test block
// come raw, without address and function bytes; a register read names its
// byte count; a write is acknowledged with function 0x09 naming the register,
// the start of a starting test with 0x0A 0x92 once the instrument's switch is
// pressed. The closing notice is not answered.
enum class ReplyForm { Nothing, Measurement, StartingBlock, Register, WriteAck, TriggerAck };

ReplyForm ReplyFormFor(const LinkRequest& request);

// The starting-test block a request asks for (1..6), 0 for any other request.
int StartingBlockOf(const LinkRequest& request);
