#pragma once
// What a faulty line or instrument does to a reply on its way out: the reply
// becomes the sequence of writes that actually reach the line.

#include "instrument_model.h"
#include "pty_simulator.h"

#include <deque>
#include <optional>
#include <random>
#include <vector>

namespace sim {

struct WriteSegment {
    std::vector<uint8_t> bytes;
    int pauseBeforeMs = 0;  // silence on the line before this segment starts
};

// The writes for one reply with the given fault (none: one segment, as is).
// NanReadouts touches only measurement images and ForeignAddress only
// replies that carry an address byte; otherwise the reply goes out intact.
// Late holds the reply back lateMs from the request.
std::vector<WriteSegment> applyFault(const Reply& reply, std::optional<Fault> fault, int ownAddress,
                                     int splitPauseMs, int lateMs);

// Chooses the fault for each reply: queued one-shot faults first, in order,
// then a random draw against the configured shares.
class FaultPicker {
public:
    FaultPicker(const Options& options, uint32_t seed);
    void inject(Fault fault) { queued_.push_back(fault); }
    // Replaces the random shares (one-shot faults already queued stay).
    void setShares(const Options& options);
    std::optional<Fault> next();

private:
    std::deque<Fault> queued_;
    std::vector<std::pair<double, Fault>> shares_;
    std::mt19937 rng_;
};

} // namespace sim
