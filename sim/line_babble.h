#pragma once
// A babbling line: while switched on, a pseudo-random byte goes out every few
// milliseconds whenever the line is free, so the reading side never sees the
// line fall quiet. Driven from the same poll loop as the paced writer.

#include <chrono>
#include <cstdint>

namespace sim {

class LineBabble {
public:
    using Clock = std::chrono::steady_clock;

    explicit LineBabble(uint32_t seed) : state_(seed ? seed : 0x6d2b79f5u) {}

    void setOn(bool on, Clock::time_point now);
    bool on() const { return on_; }

    // Writes a noise byte on fd when one is due and lineFree allows it.
    // Returns when it next wants to run (time_point::max() while off).
    Clock::time_point pump(int fd, Clock::time_point now, bool lineFree);

private:
    uint8_t nextByte();

    bool on_ = false;
    uint32_t state_;
    Clock::time_point due_;
};

} // namespace sim
