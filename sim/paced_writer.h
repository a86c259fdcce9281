#pragma once
// The transmit side of the simulated line: queued replies go out on a
// non-blocking descriptor either at once or paced at a baud rate (10 bits a
// byte), with the pause each segment asks for before it starts (the
// instrument's turnaround, a late reply, the gap inside a split one).
// Driven from a poll loop: pump() writes what is due and says when to call
// it again.

#include "reply_faults.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace sim {

class PacedWriter {
public:
    using Clock = std::chrono::steady_clock;

    explicit PacedWriter(int baud) : baud_(baud) {}

    // Queues the segments behind whatever is queued. The first one's pause
    // runs from readyAt (when the request came in) or, when an earlier
    // segment is still queued, from that one's end; each later segment's
    // pause runs from the end of the one before it.
    void enqueue(std::vector<WriteSegment> segments, Clock::time_point readyAt);
    void clear();
    bool empty() const { return queue_.empty(); }
    // True while a segment is partly out: nothing else may go on the line
    // without tearing it. A segment still waiting out its pause leaves the
    // line free.
    bool transmitting(Clock::time_point now) const;

    // Writes whatever is due on fd. Returns when it next wants to run
    // (time_point::max() when idle); *wantWritable asks the caller to wake
    // it as soon as fd accepts more bytes.
    Clock::time_point pump(int fd, Clock::time_point now, bool* wantWritable);

private:
    struct Pending {
        std::vector<uint8_t> bytes;
        size_t sent = 0;
        int pauseBeforeMs = 0;
        Clock::time_point readyAt;
        bool started = false;
        Clock::time_point start;
    };

    int baud_;
    std::deque<Pending> queue_;
    std::optional<Clock::time_point> stalledSince_;
    Clock::time_point lastEnd_ = Clock::time_point::min();  // when the last segment went out
};

} // namespace sim
