#include "link/reply_framing.h"

#include "link/modbus_framing.h"

namespace {

constexpr uint8_t kReadFunction = 0x03;
constexpr uint8_t kWriteAckFunction = 0x09;
constexpr uint8_t kTriggerAckFunction = 0x0A;
constexpr uint8_t kTriggerAckCode = 0x92;
constexpr uint8_t kExceptionBit = 0x80;
constexpr int kHeaderLength = 3;  // address, function, byte count or register

uint8_t at(const QByteArray& bytes, int i) { return uint8_t(bytes[i]); }

bool IsTriggerAckHead(const QByteArray& head)
{
    return head.size() >= kHeaderLength && at(head, 1) == kTriggerAckFunction && at(head, 2) == kTriggerAckCode;
}

bool CrcHolds(const QByteArray& frame, int length)
{
    return frame.size() >= length && HasValidCrc(reinterpret_cast<const uint8_t*>(frame.constData()), length);
}

} // namespace

int FrameLength(ReplyForm expected, bool triggerAwaited, const QByteArray& head)
{
    const bool raw = expected == ReplyForm::Measurement || expected == ReplyForm::StartingBlock;
    if (triggerAwaited && IsTriggerAckHead(head)) {
        // Inside a raw image these bytes may be data: only a sound
        // acknowledgement counts there.
        if (!raw) return kAckReplyLength;
        if (head.size() < kAckReplyLength) return 0;
        if (CrcHolds(head, kAckReplyLength)) return kAckReplyLength;
    }
    if (expected == ReplyForm::Measurement) return kBulkReplyLength;
    if (expected == ReplyForm::StartingBlock) return kStartingBlockReplyLength;
    if (head.size() < kHeaderLength) return 0;
    const uint8_t function = at(head, 1);
    if (function == kReadFunction) return 5 + at(head, 2);
    if (function == kWriteAckFunction || function == kTriggerAckFunction || (function & kExceptionBit))
        return kAckReplyLength;
    return -1;
}

int LongestFrame(ReplyForm expected)
{
    switch (expected) {
    case ReplyForm::Measurement: return kBulkReplyLength;
    case ReplyForm::StartingBlock: return kStartingBlockReplyLength;
    case ReplyForm::WriteAck:
    case ReplyForm::TriggerAck: return kAckReplyLength;
    case ReplyForm::Register:
    case ReplyForm::Nothing: break;
    }
    return kLongestRegisterReplyLength;
}

FrameVerdict JudgeFrame(ReplyForm expected, uint16_t reg, bool triggerAwaited, const QByteArray& frame)
{
    const int length = int(frame.size());
    if (length < kAckReplyLength || !CrcHolds(frame, length)) return FrameVerdict::Damaged;
    if (triggerAwaited && length == kAckReplyLength && IsTriggerAckHead(frame)) return FrameVerdict::TriggerAck;
    switch (expected) {
    case ReplyForm::Measurement:
        return length == kBulkReplyLength ? FrameVerdict::Answer : FrameVerdict::Other;
    case ReplyForm::StartingBlock:
        return length == kStartingBlockReplyLength ? FrameVerdict::Answer : FrameVerdict::Other;
    case ReplyForm::Register:
        return at(frame, 1) == kReadFunction ? FrameVerdict::Answer : FrameVerdict::Other;
    case ReplyForm::WriteAck:
        return at(frame, 1) == kWriteAckFunction && at(frame, 2) == uint8_t(reg) ? FrameVerdict::Answer
                                                                                  : FrameVerdict::Other;
    case ReplyForm::TriggerAck:
    case ReplyForm::Nothing: break;
    }
    return FrameVerdict::Other;
}
