#pragma once
// How long a reply takes and how long to wait for it. The instrument answers
// each request with one reply whose length follows from the request: the
// bulk image (2532 bytes) for a read of 148, a 1710-byte block for a block
// read of 147, five bytes for a write acknowledgement or the trigger
// acknowledgement, and for other reads five bytes plus the byte count the
// reply names in its third byte. The reply handler reads as soon as that many
// bytes are in, and gives up only after the line time of the reply plus a
// margin, so a slow line never cuts a good reply short.

#include <QByteArray>

#include <cstdint>

// The reply forms' lengths: the measurement image and a starting-test block
// (both raw, with their CRC), an acknowledgement, and the longest reply of
// any kind (a longer read is two replies run together, or noise).
constexpr int kBulkReplyLength = 2532;
constexpr int kStartingBlockReplyLength = 1710;
constexpr int kAckReplyLength = 5;
constexpr int kLongestReplyLength = 2660;

struct ReplyExpectation {
    enum class Kind {
        Nothing,    // no request, or one the instrument does not answer
        Fixed,      // length known from the request
        ByteCount,  // a register read: 5 + the byte count at offset 2
    };
    Kind kind = Kind::Nothing;
    int length = 0;  // Fixed: the length; ByteCount: the longest to wait for
};

// The reply that answers the request frame (as written to the port).
ReplyExpectation ExpectReplyTo(const QByteArray& request);

// A register-read reply's full length once its first three bytes are in; 0
// while fewer are. A reply that is not a register read (an exception, an
// acknowledgement) is five bytes long.
int ByteCountReplyLength(const QByteArray& head);

// Milliseconds that `bytes` bytes take on a line of `baud` bit/s at ten bits
// a byte (start, eight data, stop), rounded up; 0 when the speed is unknown.
int LineTimeMs(int bytes, uint32_t baud);

// The table wait for the two long replies (reads of 147 and 148): per
// progress step, by line speed; 0 for speeds outside the table.
int TableWaitPerStepMs(uint32_t baud);

// The longest wait for a reply of `bytes` bytes: its line time with a margin
// for gaps between bytes and adapter latency, and never less than the table
// wait over 50 steps when it is a long reply.
int ReplyWaitLimitMs(int bytes, uint32_t baud, bool longReply);

// How long the line must stay silent before a repeated request goes out, so
// that the answer to the repeat is read alone: ten character times, at least
// 30 ms.
int LineQuietMs(uint32_t baud);
