#include "settings/alarm_transfer.h"

#include "acquisition/acquisition_state.h"
#include "link/register_map.h"

#include <algorithm>

uint8_t AlarmEnableBitsFrom(const std::array<bool, kAlarmLimitCount>& on)
{
    uint8_t bits = 0;
    for (int n = 0; n < kAlarmLimitCount; ++n) {
        if (on[size_t(n)]) bits = uint8_t(bits | (1u << n));
    }
    return bits;
}

bool AlarmTransfer::startReadOut()
{
    state_.AlarmReadStep = 0;
    const bool sent = requests_.ReadAlarmLimit(Reg::AlarmFirst);
    state_.LastRequestRegister = uint8_t(Reg::AlarmFirst);
    state_.LastRequestCount = uint8_t(FindRegister(Reg::AlarmFirst, RegisterAccess::Read)->count);
    return sent;
}

bool AlarmTransfer::startWrite(const std::array<float, kAlarmLimitCount>& limits, uint8_t enableBits)
{
    std::copy(limits.begin(), limits.end(), state_.AlarmLimits);
    state_.AlarmEnableBits = enableBits;
    return requests_.WriteAlarmLimit(Reg::AlarmFirst, limits[0]);
}
