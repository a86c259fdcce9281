#include "reply_faults.h"

#include "measurement_image.h"
#include "sim_crc.h"

namespace sim {

std::vector<WriteSegment> applyFault(const Reply& reply, std::optional<Fault> fault, int ownAddress,
                                     int splitPauseMs, int lateMs)
{
    std::vector<uint8_t> bytes = reply.bytes;
    if (!fault)
        return {WriteSegment{std::move(bytes), 0}};

    switch (*fault) {
    case Fault::Drop:
        return {};
    case Fault::BadCrc:
        if (!bytes.empty())
            bytes.back() ^= 0xFF;
        return {WriteSegment{std::move(bytes), 0}};
    case Fault::Truncate:
        bytes.resize(bytes.size() / 2);
        return {WriteSegment{std::move(bytes), 0}};
    case Fault::Split: {
        const auto half = bytes.begin() + long(bytes.size() / 2);
        WriteSegment first{std::vector<uint8_t>(bytes.begin(), half), 0};
        WriteSegment second{std::vector<uint8_t>(half, bytes.end()), splitPauseMs};
        return {std::move(first), std::move(second)};
    }
    case Fault::Double: {
        WriteSegment again{bytes, 0};
        return {WriteSegment{std::move(bytes), 0}, std::move(again)};
    }
    case Fault::Late:
        return {WriteSegment{std::move(bytes), lateMs}};
    case Fault::NanReadouts:
        if (reply.form == ReplyForm::Measurement && bytes.size() == kMeasurementImageSize + 2) {
            fillReadoutsWithNan(bytes.data());
            rewriteCrc(bytes);
        }
        return {WriteSegment{std::move(bytes), 0}};
    case Fault::ForeignAddress:
        if (reply.form == ReplyForm::Addressed && !bytes.empty()) {
            bytes[0] = uint8_t(ownAddress % 255 + 1);  // any address but ours
            rewriteCrc(bytes);
        }
        return {WriteSegment{std::move(bytes), 0}};
    }
    return {WriteSegment{std::move(bytes), 0}};
}

FaultPicker::FaultPicker(const Options& options, uint32_t seed) : rng_(seed) { setShares(options); }

void FaultPicker::setShares(const Options& options)
{
    shares_ = {
        {options.dropShare, Fault::Drop},
        {options.badCrcShare, Fault::BadCrc},
        {options.truncateShare, Fault::Truncate},
        {options.splitShare, Fault::Split},
        {options.nanShare, Fault::NanReadouts},
        {options.foreignAddressShare, Fault::ForeignAddress},
        {options.doubleShare, Fault::Double},
        {options.lateShare, Fault::Late},
    };
}

std::optional<Fault> FaultPicker::next()
{
    if (!queued_.empty()) {
        const Fault f = queued_.front();
        queued_.pop_front();
        return f;
    }
    // One draw decides among all faults, so the shares add up as given
    // (a total above 1 lets the later faults lose part of theirs).
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const double draw = uniform(rng_);
    double threshold = 0;
    for (const auto& [share, fault] : shares_) {
        if (share <= 0)
            continue;
        threshold += share;
        if (draw < threshold)
            return fault;
    }
    return std::nullopt;
}

} // namespace sim
