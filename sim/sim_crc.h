#pragma once
// CRC-16/MODBUS as the instrument computes it: initial 0xFFFF, reflected
// polynomial 0xA001, appended to a frame low byte first.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

uint16_t modbusCrc(const uint8_t* data, size_t length);

// Appends the CRC of everything already in the frame, low byte first.
void appendCrc(std::vector<uint8_t>& frame);

// True when the last two bytes of the frame are the CRC of the bytes before them.
bool crcMatches(const uint8_t* frame, size_t length);

// Recomputes the trailing CRC in place after the body was altered.
void rewriteCrc(std::vector<uint8_t>& frame);

} // namespace sim
