#include "sim_crc.h"

namespace sim {

uint16_t modbusCrc(const uint8_t* data, size_t length)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? uint16_t((crc >> 1) ^ 0xA001u) : uint16_t(crc >> 1);
    }
    return crc;
}

void appendCrc(std::vector<uint8_t>& frame)
{
    const uint16_t crc = modbusCrc(frame.data(), frame.size());
    frame.push_back(uint8_t(crc & 0xFF));
    frame.push_back(uint8_t(crc >> 8));
}

bool crcMatches(const uint8_t* frame, size_t length)
{
    if (length < 3)
        return false;
    const uint16_t crc = modbusCrc(frame, length - 2);
    return frame[length - 2] == uint8_t(crc & 0xFF) && frame[length - 1] == uint8_t(crc >> 8);
}

void rewriteCrc(std::vector<uint8_t>& frame)
{
    if (frame.size() < 3)
        return;
    frame.resize(frame.size() - 2);
    appendCrc(frame);
}

} // namespace sim
