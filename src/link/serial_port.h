#pragma once
// The narrow view of a serial port that the framing routines and the reply
// handler need. TComm is the real one; tests substitute scripted ports that
// deliver split, corrupt or missing replies.

#include <QByteArray>

#include <cstdint>

class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual bool isOpen() const = 0;
    // Writes the block; false only when the port is not open.
    virtual bool writeBytes(const uint8_t* data, int length) = 0;
    // Reads what is queued (one read); returns the bytes of the last
    // successful read when nothing new could be read.
    virtual QByteArray readInputBytes() = 0;
    // Reads what is queued as one reply; empty when nothing new could be read
    // (device gone, queue discarded), so an old reply is never taken for a new one.
    virtual QByteArray readReply() = 0;
};
