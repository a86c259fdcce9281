#pragma once
// Little-endian value cells for raw images (measurement image, test file,
// starting-test blocks, record files). Each cell is a byte array with
// alignment 1, so structs built from them have no padding and their member
// offsets are the wire/file offsets. Values are converted explicitly, never by
// casting unaligned pointers.

#include <cstdint>
#include <cstring>

namespace le {

inline uint16_t loadU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t loadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t loadU64(const uint8_t* p) { return uint64_t(loadU32(p)) | (uint64_t(loadU32(p + 4)) << 32); }
inline void storeU16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void storeU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void storeU64(uint8_t* p, uint64_t v)
{
    storeU32(p, uint32_t(v));
    storeU32(p + 4, uint32_t(v >> 32));
}
inline float loadF32(const uint8_t* p)
{
    const uint32_t bits = loadU32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
inline void storeF32(uint8_t* p, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    storeU32(p, bits);
}
inline double loadF64(const uint8_t* p)
{
    const uint64_t bits = loadU64(p);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}
inline void storeF64(uint8_t* p, double d)
{
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    storeU64(p, bits);
}

struct U16 {
    uint8_t b[2];
    uint16_t get() const { return loadU16(b); }
    void set(uint16_t v) { storeU16(b, v); }
};
struct I32 {
    uint8_t b[4];
    int32_t get() const { return int32_t(loadU32(b)); }
    void set(int32_t v) { storeU32(b, uint32_t(v)); }
};
struct F32 {
    uint8_t b[4];
    float get() const { return loadF32(b); }
    void set(float v) { storeF32(b, v); }
};
struct F64 {
    uint8_t b[8];
    double get() const { return loadF64(b); }
    void set(double v) { storeF64(b, v); }
};

static_assert(sizeof(U16) == 2 && alignof(U16) == 1, "U16 must be a packed byte cell");
static_assert(sizeof(I32) == 4 && alignof(I32) == 1, "I32 must be a packed byte cell");
static_assert(sizeof(F32) == 4 && alignof(F32) == 1, "F32 must be a packed byte cell");
static_assert(sizeof(F64) == 8 && alignof(F64) == 1, "F64 must be a packed byte cell");

} // namespace le
