#include "request_framer.h"

#include "sim_crc.h"

namespace sim {
namespace {

constexpr uint8_t kReadHolding = 0x03;
constexpr uint8_t kWriteMultiple = 0x10;
constexpr size_t kReadFrameLength = 8;
constexpr size_t kWriteHeaderLength = 7;  // address, function, register, quantity, byte count
// The longest frame is a write of 255 bytes (264); anything buffered beyond a
// few of those without forming a frame is noise.
constexpr size_t kBufferLimit = 1024;

} // namespace

void RequestFramer::feed(const uint8_t* data, size_t length)
{
    buffer_.insert(buffer_.end(), data, data + length);
    if (buffer_.size() > kBufferLimit)
        discardFront(buffer_.size() - kBufferLimit);
}

RequestFramer::Candidate RequestFramer::candidateAt(size_t offset, size_t* length) const
{
    const size_t available = buffer_.size() - offset;
    if (available < 2)
        return Candidate::Incomplete;
    const uint8_t* p = buffer_.data() + offset;
    size_t need = 0;
    if (p[1] == kReadHolding) {
        need = kReadFrameLength;
    } else if (p[1] == kWriteMultiple) {
        if (available < kWriteHeaderLength)
            return Candidate::Incomplete;
        need = 9 + size_t(p[6]);
    } else {
        return Candidate::Invalid;
    }
    if (available < need)
        return Candidate::Incomplete;
    if (!crcMatches(p, need))
        return Candidate::Invalid;
    *length = need;
    return Candidate::Complete;
}

bool RequestFramer::next(std::vector<uint8_t>& frame)
{
    // The earliest complete frame wins, even past a stretch that still looks
    // like the beginning of a long write: garbage that happens to carry a
    // write header must not hold up the real request behind it.
    for (size_t offset = 0; offset < buffer_.size(); ++offset) {
        size_t length = 0;
        if (candidateAt(offset, &length) == Candidate::Complete) {
            discardFront(offset);
            frame.assign(buffer_.begin(), buffer_.begin() + long(length));
            buffer_.erase(buffer_.begin(), buffer_.begin() + long(length));
            return true;
        }
    }
    // No frame yet: drop leading bytes that can never begin one, keep the
    // rest for when more arrives.
    size_t ignored = 0;
    while (!buffer_.empty() && candidateAt(0, &ignored) == Candidate::Invalid)
        discardFront(1);
    return false;
}

void RequestFramer::reset()
{
    buffer_.clear();
}

void RequestFramer::discardFront(size_t count)
{
    buffer_.erase(buffer_.begin(), buffer_.begin() + long(count));
    discarded_ += count;
}

} // namespace sim
