#pragma once
// The transmit side of the simulated line: queued replies go out on a
// non-blocking descriptor either at once or paced at a baud rate (10 bits a
// byte), with the pauses that fault injection asks for between segments.
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

    void enqueue(std::vector<WriteSegment> segments);
    void clear();
    bool empty() const { return queue_.empty(); }

    // Writes whatever is due on fd. Returns when it next wants to run
    // (time_point::max() when idle); *wantWritable asks the caller to wake
    // it as soon as fd accepts more bytes.
    Clock::time_point pump(int fd, Clock::time_point now, bool* wantWritable);

private:
    struct Pending {
        std::vector<uint8_t> bytes;
        size_t sent = 0;
        int pauseBeforeMs = 0;
        bool started = false;
        Clock::time_point start;
    };

    int baud_;
    std::deque<Pending> queue_;
    std::optional<Clock::time_point> stalledSince_;
};

} // namespace sim
