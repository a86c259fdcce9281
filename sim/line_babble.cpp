#include "line_babble.h"

#include <unistd.h>

namespace sim {
namespace {

// Short enough that a reader watching for a quiet line never finds one,
// long enough that the noise is a trickle rather than a flood.
constexpr std::chrono::milliseconds kInterval{3};

} // namespace

void LineBabble::setOn(bool on, Clock::time_point now)
{
    if (on && !on_)
        due_ = now;
    on_ = on;
}

LineBabble::Clock::time_point LineBabble::pump(int fd, Clock::time_point now, bool lineFree)
{
    if (!on_ || fd < 0)
        return Clock::time_point::max();
    if (now < due_)
        return due_;
    // A reply going out has the line; the noise resumes once it is through.
    if (!lineFree)
        return now + kInterval;
    const uint8_t byte = nextByte();
    // Nobody reading (the buffer is full) loses the byte: noise is not queued.
    [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
    // Keeping to the schedule rather than counting from now keeps the gaps
    // even though the poll loop wakes a little late each time; after a long
    // hold-up the schedule starts afresh instead of catching up in a burst.
    due_ += kInterval;
    if (due_ < now)
        due_ = now + kInterval;
    return due_;
}

uint8_t LineBabble::nextByte()
{
    // xorshift32: cheap and repeatable for a given seed.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return uint8_t(state_ >> 24);
}

} // namespace sim
