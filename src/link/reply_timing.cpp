#include "link/reply_timing.h"

#include "link/register_map.h"

#include <algorithm>
#include <array>

namespace {

constexpr uint8_t kRead = 0x03;
constexpr uint8_t kWriteMultiple = 0x10;
constexpr int kReadOverhead = 5;  // address, function, byte count, CRC
constexpr int kProgressSteps = 50;
constexpr int kBitsPerByte = 10;
// Gaps between bytes, a USB adapter's latency timer and the time the
// instrument needs before it starts to answer.
constexpr int kMarginMs = 60;
constexpr int kMarginPercent = 10;
constexpr int kQuietCharacters = 10;
constexpr int kMinQuietMs = 30;

} // namespace

ReplyExpectation ExpectReplyTo(const QByteArray& request)
{
    if (request.size() < 6) return {};
    const auto byte = [&](int i) { return uint8_t(request[i]); };
    const int reg = (byte(2) << 8) | byte(3);
    const int count = (byte(4) << 8) | byte(5);
    if (byte(1) == kWriteMultiple) return {ReplyExpectation::Kind::Fixed, kAckReplyLength};
    if (byte(1) != kRead) return {};
    switch (reg) {
    case Reg::Measurement: return {ReplyExpectation::Kind::Fixed, kBulkReplyLength};
    case Reg::Starting:
        // Block k is asked for with k in the high byte; anything else is
        // the trigger, carrying the range code.
        if ((count & 0xFF) == 0 && (count >> 8) >= 1) return {ReplyExpectation::Kind::Fixed, kStartingBlockReplyLength};
        return {ReplyExpectation::Kind::Fixed, kAckReplyLength};
    case Reg::ClosingNotice: return {};
    default: break;
    }
    // Wait at most for what the count asks, and never less than the
    // settings block, which the instrument sends whole whatever the count.
    const int longest = kReadOverhead + std::clamp(2 * count, 19, 255);
    return {ReplyExpectation::Kind::ByteCount, longest};
}

int ByteCountReplyLength(const QByteArray& head)
{
    if (head.size() < 3) return 0;
    if (uint8_t(head[1]) != kRead) return kAckReplyLength;
    return kReadOverhead + uint8_t(head[2]);
}

int LineTimeMs(int bytes, uint32_t baud)
{
    if (baud == 0 || bytes <= 0) return 0;
    const uint64_t bits = uint64_t(bytes) * kBitsPerByte * 1000;
    return int((bits + baud - 1) / baud);
}

int TableWaitPerStepMs(uint32_t baud)
{
    struct Step {
        uint32_t baud;
        int ms;
    };
    static constexpr std::array<Step, 8> kTable = {{
        {4800, 120}, {9600, 52}, {14400, 36}, {19200, 26}, {38400, 13}, {57600, 9}, {76800, 6}, {115200, 4},
    }};
    for (const Step& s : kTable) {
        if (s.baud == baud) return s.ms;
    }
    return 0;
}

int ReplyWaitLimitMs(int bytes, uint32_t baud, bool longReply)
{
    const int line = LineTimeMs(bytes, baud);
    const int withMargin = line + line * kMarginPercent / 100 + kMarginMs;
    const int table = longReply ? TableWaitPerStepMs(baud) * kProgressSteps : 0;
    return std::max(withMargin, table);
}

int LineQuietMs(uint32_t baud)
{
    return std::max(kMinQuietMs, LineTimeMs(kQuietCharacters, baud));
}
