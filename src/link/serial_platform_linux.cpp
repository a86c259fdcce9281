// Serial devices through POSIX termios on Linux: USB adapters (ttyUSB,
// ttyACM), on-board ports (ttyS) and pseudo-terminals alike.

#include "link/serial_platform.h"

#include "link/serial_custom_baud_linux.h"

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace serial {
namespace {

// A write that makes no progress for this long is abandoned, so a stalled
// line (flow control held off, a device half gone) cannot freeze the caller.
constexpr int kWriteStallMs = 500;

// The Bxxx constant for baud; 0 when the rate needs termios2.
speed_t StandardSpeed(uint32_t baud)
{
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return 0;
    }
}

tcflag_t DataBitsFlag(int bits)
{
    switch (bits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

tcflag_t ParityFlags(Parity parity)
{
    switch (parity) {
    case Parity::Odd: return PARENB | PARODD;
    case Parity::Even: return PARENB;
    case Parity::Mark: return PARENB | CMSPAR | PARODD;
    case Parity::Space: return PARENB | CMSPAR;
    case Parity::None: break;
    }
    return 0;
}

void ReleaseAndClose(int fd)
{
    ioctl(fd, TIOCNXCL);
    flock(fd, LOCK_UN);
    ::close(fd);
}

class LinuxDevice final : public Device {
public:
    ~LinuxDevice() override { close(); }

    OpenResult open(const std::string& path) override
    {
        close();
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return OpenResult::Unavailable;
        // TIOCEXCL keeps other programs out but does not stop root; the
        // advisory lock is what makes a held port fail for everyone who
        // checks (the port scan relies on that).
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return OpenResult::Unavailable;
        }
        termios probe {};
        if (tcgetattr(fd, &probe) != 0 || ioctl(fd, TIOCEXCL) != 0) {
            ReleaseAndClose(fd);
            return OpenResult::SetupFailed;
        }
        fd_ = fd;
        haveCounts_ = ioctl(fd_, TIOCGICOUNT, &counts_) == 0;
        return OpenResult::Opened;
    }

    void close() override
    {
        if (fd_ < 0) return;
        ReleaseAndClose(fd_);
        fd_ = -1;
    }

    bool isOpen() const override { return fd_ >= 0; }

    bool applySettings(const LineSettings& s) override
    {
        termios tio {};
        if (fd_ < 0 || tcgetattr(fd_, &tio) != 0) return false;
        tio.c_iflag = (s.parity != Parity::None ? INPCK : 0) | (s.xonXoff ? IXON | IXOFF : 0);
        tio.c_oflag = 0;
        tio.c_lflag = 0;
        // Keep only the output speed; a zero input-speed field makes input
        // follow output, and every other control flag is set afresh.
        tio.c_cflag &= CBAUD;
        tio.c_cflag |= CREAD | CLOCAL | DataBitsFlag(s.dataBits) | ParityFlags(s.parity);
        // Two stop bits with five data bits is what the UART sends as 1.5.
        if (s.stopBits != StopBits::One) tio.c_cflag |= CSTOPB;
        if (s.flowControl == FlowControl::RtsCts) tio.c_cflag |= CRTSCTS;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        tio.c_cc[VSTART] = 0x11;
        tio.c_cc[VSTOP] = 0x13;

        const speed_t standard = StandardSpeed(s.baud);
        if (standard != 0) {
            cfsetispeed(&tio, standard);
            cfsetospeed(&tio, standard);
        }
        bool ok = tcsetattr(fd_, TCSANOW, &tio) == 0;
        if (standard == 0) ok = SetArbitraryLineSpeed(fd_, s.baud) && ok;
        return ok;
    }

    uint32_t lineSpeed() const override { return fd_ < 0 ? 0 : ReadLineSpeed(fd_); }

    int bytesQueued() override
    {
        int n = 0;
        if (fd_ < 0 || ioctl(fd_, FIONREAD, &n) != 0) return -1;
        return n;
    }

    uint32_t takeLineErrors() override
    {
        serial_icounter_struct now {};
        if (fd_ < 0 || !haveCounts_ || ioctl(fd_, TIOCGICOUNT, &now) != 0) return 0;
        uint32_t mask = 0;
        if (now.buf_overrun != counts_.buf_overrun) mask |= RxOverflow;
        if (now.overrun != counts_.overrun) mask |= Overrun;
        if (now.parity != counts_.parity) mask |= ParityError;
        if (now.frame != counts_.frame) mask |= FramingError;
        if (now.brk != counts_.brk) mask |= Break;
        counts_ = now;
        return mask;
    }

    int read(uint8_t* buffer, int maxBytes) override
    {
        int total = 0;
        while (fd_ >= 0 && total < maxBytes) {
            const ssize_t n = ::read(fd_, buffer + total, size_t(maxBytes - total));
            if (n > 0) {
                total += int(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                break;  // drained (EAGAIN), end of file after a hang-up, or EIO
            }
        }
        return total;
    }

    bool write(const uint8_t* data, int length) override
    {
        int done = 0;
        while (fd_ >= 0 && done < length) {
            const ssize_t n = ::write(fd_, data + done, size_t(length - done));
            if (n > 0) {
                done += int(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd p {fd_, POLLOUT, 0};
                const int ready = poll(&p, 1, kWriteStallMs);
                if (ready > 0 && (p.revents & POLLOUT) && !(p.revents & (POLLERR | POLLHUP | POLLNVAL))) continue;
                if (ready < 0 && errno == EINTR) continue;
            }
            return false;  // stalled, hung up, or the device is gone
        }
        return fd_ >= 0;
    }

    void discardInput() override
    {
        if (fd_ >= 0) tcflush(fd_, TCIFLUSH);
    }

    void purge() override
    {
        if (fd_ >= 0) tcflush(fd_, TCIOFLUSH);
    }

    bool modemLines(ModemLines& lines) override
    {
        int bits = 0;
        if (fd_ < 0 || ioctl(fd_, TIOCMGET, &bits) != 0) return false;
        lines.cd = bits & TIOCM_CAR;
        lines.dsr = bits & TIOCM_DSR;
        lines.ri = bits & TIOCM_RNG;
        lines.cts = bits & TIOCM_CTS;
        return true;
    }

    void setDtr(bool on) override { setModemBit(TIOCM_DTR, on); }
    void setRts(bool on) override { setModemBit(TIOCM_RTS, on); }

private:
    void setModemBit(int bit, bool on)
    {
        if (fd_ >= 0) ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit);
    }

    int fd_ = -1;
    serial_icounter_struct counts_ {};
    bool haveCounts_ = false;
};

} // namespace

std::unique_ptr<Device> CreatePlatformDevice() { return std::make_unique<LinuxDevice>(); }

} // namespace serial
