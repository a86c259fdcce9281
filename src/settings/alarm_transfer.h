#pragma once
// The alarm limits' transfers as the alarm window starts them. Neither is one
// request: the window sends the first one, and the reply handler sends each
// next one as the previous reply or acknowledgement arrives, filling the
// window's fields on the way.

#include <array>
#include <cstdint>

struct AcquisitionState;
class InstrumentRequests;

constexpr int kAlarmLimitCount = 8;  // voltage, current, power, PF; upper then lower

// The enable byte: "on" box n (0..7) sets bit n.
uint8_t AlarmEnableBitsFrom(const std::array<bool, kAlarmLimitCount>& on);

class AlarmTransfer {
public:
    AlarmTransfer(AcquisitionState& state, InstrumentRequests& requests) : state_(state), requests_(requests) {}

    // Reads the first limit (register 118) with the step counter at 0, and
    // records the read so that a corrupt reply asks for 118 again. False
    // when the port is closed: nothing went out.
    bool startReadOut();

    // Keeps the limits and enable bits for the chain and writes the first
    // limit; each acknowledgement then writes the next. False when the port
    // is closed.
    bool startWrite(const std::array<float, kAlarmLimitCount>& limits, uint8_t enableBits);

private:
    AcquisitionState& state_;
    InstrumentRequests& requests_;
};
