#include "link/reply_timing.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kProgressSteps = 50;
constexpr int kBitsPerByte = 10;
// Gaps between bytes, a USB adapter's latency timer and the time the
// instrument needs before it starts to answer.
constexpr int kMarginMs = 60;
constexpr int kMarginPercent = 10;
constexpr int kQuietCharacters = 10;
constexpr int kMinQuietMs = 30;
constexpr int kGapCharacters = 4;
constexpr int kMinGapMs = 5;

} // namespace

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

int FrameGapMs(uint32_t baud)
{
    return std::max(kMinGapMs, LineTimeMs(kGapCharacters, baud));
}
