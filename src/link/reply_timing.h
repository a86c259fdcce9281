#pragma once
// How long a reply takes and how long to wait for it. A reply is read as
// soon as it is complete, and given up on only after its line time plus a
// margin, so a slow line never cuts a good reply short.

#include <cstdint>

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

// The silence kept after a reply before the next request goes out, in which
// a copy of the reply (a doubled send) shows itself: four character times,
// at least 5 ms.
int FrameGapMs(uint32_t baud);
