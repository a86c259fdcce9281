#pragma once
// The line speeds the communication settings offer, by list index. The index
// is what SysSet.ini keeps; the serial component is set to its speed, which
// is what the reply handler times its waits by.

#include <cstdint>

namespace BaudList {

struct Entry {
    const char* caption;
    uint32_t baud;
};

inline constexpr int kCount = 8;

inline constexpr Entry kEntries[kCount] = {
    {"4.8Kbps", 4800},   {"9.6Kbps", 9600},   {"14.4Kbps", 14400}, {"19.2Kbps", 19200},
    {"38.4Kbps", 38400}, {"57,6Kbps", 57600}, {"76.8Kbps", 76800}, {"115.2Kbps", 115200},
};

inline constexpr bool IsValidIndex(int index) { return index >= 0 && index < kCount; }

} // namespace BaudList
