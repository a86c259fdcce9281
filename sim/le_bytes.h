#pragma once
// Little-endian stores and loads for the instrument's raw images and float
// registers, written byte by byte so they do not depend on the host order.

#include <cstdint>
#include <cstring>

namespace sim {

inline void putU16(uint8_t* at, uint16_t value)
{
    at[0] = uint8_t(value & 0xFF);
    at[1] = uint8_t(value >> 8);
}

inline uint16_t getU16(const uint8_t* at)
{
    return uint16_t(at[0] | (at[1] << 8));
}

inline void putU32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(value >> (8 * i));
}

inline uint32_t getU32(const uint8_t* at)
{
    return uint32_t(at[0]) | (uint32_t(at[1]) << 8) | (uint32_t(at[2]) << 16) | (uint32_t(at[3]) << 24);
}

inline void putF32(uint8_t* at, float value)
{
    static_assert(sizeof(float) == 4, "IEEE 754 single expected");
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    putU32(at, bits);
}

inline float getF32(const uint8_t* at)
{
    const uint32_t bits = getU32(at);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

} // namespace sim
