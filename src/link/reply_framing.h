#pragma once
// Where one reply ends and whether it is the one asked for. The instrument
// sends its replies one after the other on the same line; the link master
// reads exactly one reply at a time, as long as the reply the request on the
// line calls for, so that whatever follows it (a copy, a late answer, noise)
// is never taken for part of it or for the next reply.

#include "link/link_request.h"

#include <QByteArray>

#include <cstdint>

// The reply forms' lengths: the measurement image and a starting-test block
// (both raw, with their CRC), an acknowledgement, and the longest reply of
// any kind (a longer read is two replies run together, or noise).
constexpr int kBulkReplyLength = 2532;
constexpr int kStartingBlockReplyLength = 1710;
constexpr int kAckReplyLength = 5;
constexpr int kLongestReplyLength = 2660;
// A register read carries at most 255 data bytes.
constexpr int kLongestRegisterReplyLength = 5 + 255;

// The length of the frame that has begun with head, when the reply expected
// has the given form (Nothing while no request is on the line) and a
// starting-test trigger may be acknowledged at any time: the length once
// the first bytes tell it, 0 while they do not yet, -1 when head is no reply
// at all (noise, the tail of something cut short) and the line is to be
// cleared.
int FrameLength(ReplyForm expected, bool triggerAwaited, const QByteArray& head);

// The longest the frame for a form can be: what to wait for at most.
int LongestFrame(ReplyForm expected);

enum class FrameVerdict {
    Damaged,     // too short or a wrong CRC
    Answer,      // the form asked for (a write acknowledgement naming its register)
    TriggerAck,  // the starting test's trigger acknowledgement
    Other,       // whole and sound, but nothing asked for it
};

FrameVerdict JudgeFrame(ReplyForm expected, uint16_t reg, bool triggerAwaited, const QByteArray& frame);
