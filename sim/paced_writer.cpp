#include "paced_writer.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace sim {
namespace {

using Millis = std::chrono::milliseconds;

// A reply that no reader makes room for within this time is given up, so a
// program that stopped reading cannot wedge the line for later replies.
constexpr Millis kStalledWriteLimit{2000};
// Finest pacing step: at high line rates bytes go out in small bursts
// rather than one system call per byte.
constexpr Millis kPacingGranularity{2};

} // namespace

void PacedWriter::enqueue(std::vector<WriteSegment> segments, Clock::time_point readyAt)
{
    for (WriteSegment& s : segments) {
        Pending p;
        p.bytes = std::move(s.bytes);
        p.pauseBeforeMs = s.pauseBeforeMs;
        p.readyAt = readyAt;
        queue_.push_back(std::move(p));
    }
}

void PacedWriter::clear()
{
    queue_.clear();
    stalledSince_.reset();
    lastEnd_ = Clock::time_point::min();
}

bool PacedWriter::transmitting(Clock::time_point now) const
{
    if (queue_.empty())
        return false;
    const Pending& w = queue_.front();
    return w.started && now >= w.start && w.sent < w.bytes.size();
}

PacedWriter::Clock::time_point PacedWriter::pump(int fd, Clock::time_point now, bool* wantWritable)
{
    *wantWritable = false;
    if (fd < 0) {
        clear();
        return Clock::time_point::max();
    }
    while (!queue_.empty()) {
        Pending& w = queue_.front();
        if (!w.started) {
            // The pause runs from the request's arrival or from the end of
            // the segment before, whichever is later. The loop may reach an
            // idle writer a little after the request came in; that delay is
            // part of the pause, not added to it. Nothing starts in the past,
            // so pacing never begins with a burst.
            w.started = true;
            w.start = std::max(now, std::max(w.readyAt, lastEnd_) + Millis(w.pauseBeforeMs));
        }
        if (now < w.start)
            return w.start;

        size_t due = w.bytes.size();
        if (baud_ > 0) {
            const double elapsed = std::chrono::duration<double>(now - w.start).count();
            due = std::min(w.bytes.size(), size_t(elapsed * baud_ / 10.0) + 1);
        }
        if (due > w.sent) {
            const ssize_t n = ::write(fd, w.bytes.data() + w.sent, due - w.sent);
            if (n > 0) {
                w.sent += size_t(n);
                stalledSince_.reset();
            } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                clear();
                return Clock::time_point::max();
            }
            if (w.sent < due) {
                if (!stalledSince_)
                    stalledSince_ = now;
                if (now - *stalledSince_ > kStalledWriteLimit) {
                    clear();
                    return Clock::time_point::max();
                }
                *wantWritable = true;
                return now + Millis(100);
            }
        }
        if (w.sent == w.bytes.size()) {
            queue_.pop_front();
            lastEnd_ = now;
            continue;
        }
        const auto nextByte = w.start
            + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(double(w.sent) * 10.0 / baud_));
        return std::max(nextByte, now + kPacingGranularity);
    }
    return Clock::time_point::max();
}

} // namespace sim
