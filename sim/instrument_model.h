#pragma once
// The instrument behind the serial line: its settings registers, its
// measuring front end and its starting-test recorder, answering request
// frames with the instrument's own reply forms.

#include "line_signal.h"

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <vector>

namespace sim {

enum class ReplyForm {
    Measurement,    // 2530-byte image + CRC, no address or function byte
    StartingBlock,  // 1708 bytes of the capture + CRC, no header
    Addressed,      // begins with the slave address: register data and acknowledgements
};

struct Reply {
    ReplyForm form = ReplyForm::Addressed;
    std::vector<uint8_t> bytes;  // CRC included
};

class InstrumentModel {
public:
    InstrumentModel(int address, double frequency, uint32_t seed);

    int address() const { return address_; }

    // Answers one request frame whose CRC has been checked. Empty when the
    // instrument stays silent: another slave addressed, a register it does
    // not serve, a write of the wrong size, or a command without an answer.
    // nowSeconds is the instrument's clock; energy and drift follow it.
    std::optional<Reply> answer(const std::vector<uint8_t>& frame, double nowSeconds);

    // Bytes last written to a register by a request (empty when never written).
    std::vector<uint8_t> writtenRegister(int reg) const;
    // The starting-test capture the blocks are cut from (10248 bytes).
    const std::vector<uint8_t>& startingCapture() const { return capture_; }

private:
    std::optional<Reply> answerRead(int reg, int count, double nowSeconds);
    std::optional<Reply> answerWrite(int reg, const uint8_t* data, int byteCount);
    Reply addressed(std::vector<uint8_t> body) const;
    Reply measurement(double nowSeconds);
    Reply startingBlock(int block) const;

    int address_;
    std::mt19937 rng_;
    LineSignal line_;
    std::map<int, std::vector<uint8_t>> registers_;  // current contents of the settings registers
    std::map<int, std::vector<uint8_t>> written_;
    std::vector<uint8_t> capture_;
    double lastSampleTime_ = 0;
    double lastEnergyTime_ = 0;
    double energyKwh_ = 0;
};

} // namespace sim
