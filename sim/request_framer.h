#pragma once
// Cuts request frames out of the byte stream from the master. Reads (0x03)
// are 8 bytes, writes (0x10) 9 plus their byte count; a frame counts only
// when its CRC matches. Bytes that cannot begin a frame are dropped one at a
// time, so the framer finds its way back after line noise or a torn frame.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

class RequestFramer {
public:
    void feed(const uint8_t* data, size_t length);

    // Takes the next complete frame (CRC included) out of the stream; bytes
    // before it are discarded. False when no complete frame is buffered.
    bool next(std::vector<uint8_t>& frame);

    void reset();
    size_t buffered() const { return buffer_.size(); }
    size_t discardedBytes() const { return discarded_; }

private:
    enum class Candidate { Complete, Incomplete, Invalid };
    Candidate candidateAt(size_t offset, size_t* length) const;
    void discardFront(size_t count);

    std::vector<uint8_t> buffer_;
    size_t discarded_ = 0;
};

} // namespace sim
