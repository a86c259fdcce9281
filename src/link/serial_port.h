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
    // Reads what is queued, at most maxBytes of it (0: all), as (part of) one
    // reply; empty when nothing new could be read (device gone, queue
    // discarded), so an old reply is never taken for a new one.
    virtual QByteArray readReply(int maxBytes = 0) = 0;

    // Bytes waiting to be read (0 when closed or unknown).
    virtual int bytesQueued() const = 0;
    // Throws away what is waiting to be read.
    virtual void discardInput() = 0;
    // The last block written, which says what reply to expect next.
    virtual QByteArray lastWritten() const = 0;
    // The configured line speed in bit/s, which says how long a reply takes.
    virtual uint32_t lineSpeed() const = 0;
};
