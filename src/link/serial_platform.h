#pragma once
// The operating system's side of a serial port, reduced to the operations
// TComm needs. One implementation per platform lives in its own file beside
// this one (serial_platform_linux.cpp); tests may hand TComm a scripted
// device instead to reach states a pseudo-terminal cannot show (modem lines,
// line errors, an overfull input queue).

#include <cstdint>
#include <memory>
#include <string>

namespace serial {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };
enum class FlowControl { None, RtsHeldOn, RtsCts };

struct LineSettings {
    uint32_t baud = 9600;
    int dataBits = 8;  // 5..8
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;
    FlowControl flowControl = FlowControl::None;
    bool xonXoff = false;
};

struct ModemLines {
    bool cd = false;
    bool dsr = false;
    bool ri = false;
    bool cts = false;
};

// Bits of the line-error mask, with the values the owner's handlers expect.
enum LineError : uint32_t {
    RxOverflow = 0x0001,  // the driver's input buffer overflowed
    Overrun = 0x0002,     // the UART lost a character
    ParityError = 0x0004,
    FramingError = 0x0008,
    Break = 0x0010,
};

enum class OpenResult {
    Opened,
    Unavailable,  // missing, not permitted, or held by another open
    SetupFailed,  // opened, but it is not a serial line that can be set up
};

// One serial device; at most one open handle at a time. Every operation on a
// closed or vanished device is harmless and reports failure or nothing.
class Device {
public:
    virtual ~Device() = default;

    // Opens read/write and exclusively: a device that another program (or
    // another Device) holds fails with Unavailable.
    virtual OpenResult open(const std::string& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Raw binary line with the given framing, speed and flow control.
    virtual bool applySettings(const LineSettings& settings) = 0;
    // The speed the driver reports for the line now; 0 when unknown.
    virtual uint32_t lineSpeed() const = 0;

    // Bytes waiting in the driver's input queue; -1 when it cannot be asked.
    virtual int bytesQueued() = 0;
    // LineError bits seen since the last call (or since open).
    virtual uint32_t takeLineErrors() = 0;
    // Reads at most maxBytes of what is queued without waiting; the number
    // read, 0 when nothing could be read.
    virtual int read(uint8_t* buffer, int maxBytes) = 0;
    // Writes the whole block, waiting briefly while the driver is full;
    // false when it gave up (device gone, output stalled).
    virtual bool write(const uint8_t* data, int length) = 0;

    virtual void discardInput() = 0;
    // Discards both queues and whatever transfer is pending.
    virtual void purge() = 0;

    // False when the device has no modem lines to report.
    virtual bool modemLines(ModemLines& lines) = 0;
    virtual void setDtr(bool on) = 0;
    virtual void setRts(bool on) = 0;
};

// The device implementation of the platform this program was built for.
std::unique_ptr<Device> CreatePlatformDevice();

} // namespace serial
