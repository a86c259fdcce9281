#pragma once
// Line speeds through the kernel's termios2 interface, which takes any rate
// (BOTHER), not only those with a Bxxx constant. Kept apart because the
// kernel's <asm/termbits.h> cannot share a translation unit with <termios.h>.

#include <cstdint>

namespace serial {

// Sets input and output speed of the terminal on fd to baud. False when the
// driver refuses the rate.
bool SetArbitraryLineSpeed(int fd, uint32_t baud);

// The output speed the driver reports for fd; 0 when it cannot be read.
uint32_t ReadLineSpeed(int fd);

} // namespace serial
