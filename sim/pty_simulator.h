#pragma once
// The simulated instrument on a pseudo-terminal. It runs its own thread with a
// poll() loop, so tests can drive the program's serial code in the same
// process, and the qzr6100-sim program wraps it for use from the shell.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

// One-shot faults for deterministic tests; each applies to the next reply.
enum class Fault {
    Drop,            // the reply is not sent
    BadCrc,          // the last byte of the reply is flipped
    Truncate,        // only the first half of the reply is sent
    Split,           // sent as two writes with a pause between them
    NanReadouts,     // bulk image with NaN in every readout (CRC correct)
    ForeignAddress,  // byte 0 of the reply names another slave (CRC correct)
    Double,          // the reply goes out twice, back to back
    Late,            // the reply goes out whole, but lateMs after the request
};

struct Options {
    int address = 2;            // Modbus slave address answered
    double frequency = 50.0;    // line frequency of the simulated signal
    int baud = 0;               // 0: replies go out at once; else paced at baud/10 bytes a second
    // The instrument's processing time: a reply begins this long after its
    // request came in, or after the reply before it ended if that was later.
    int turnaroundMs = 0;
    // While set, the line never falls quiet: a noise byte goes out every few
    // milliseconds whenever no reply is being written.
    bool babble = false;
    std::string linkPath;       // when set, a symbolic link kept pointing at the slave device
    // Shares (0..1) of replies hit by each fault, drawn at random per reply.
    double dropShare = 0, badCrcShare = 0, truncateShare = 0, splitShare = 0;
    double nanShare = 0, foreignAddressShare = 0, doubleShare = 0, lateShare = 0;
    int splitPauseMs = 150;
    int lateMs = 800;  // beyond the half second after which the program counts a reply overdue
    unsigned seed = 1;
    // Periodic unplugging: every unplugEverySeconds the device vanishes for
    // unplugForSeconds (0 disables).
    double unplugEverySeconds = 0, unplugForSeconds = 0;
};

class InstrumentModel;

class PtySimulator {
public:
    explicit PtySimulator(const Options& options = Options());
    ~PtySimulator();  // stops the thread, closes the pty, removes the link
    PtySimulator(const PtySimulator&) = delete;
    PtySimulator& operator=(const PtySimulator&) = delete;

    // Opens the pseudo-terminal and starts answering. False with a reason on failure.
    bool start(std::string* error = nullptr);
    void stop();

    // Path of the slave device now in use (a new one after each replug).
    std::string slavePath() const;

    // The device goes away (master closed, link removed) ...
    void unplug();
    // ... and comes back as a new pseudo-terminal (link updated).
    bool plugBack(std::string* error = nullptr);
    bool pluggedIn() const;

    void injectNext(Fault fault);
    // Bytes that go out on the line behind whatever is queued now, as if
    // noise or another talker sent them; they are not a reply.
    void injectStray(const std::vector<uint8_t>& bytes);
    // Noise on the line whenever no reply is going out (see Options::babble).
    void setBabble(bool on);
    // Takes the random fault shares of options from now on (the rest of
    // options is ignored), e.g. to compare a clean stretch with a faulty one.
    void setFaultShares(const Options& options);

    // The well-formed request frames received, in order (CRC included); a
    // long run keeps the newest (at least 10000).
    std::vector<std::vector<uint8_t>> requests() const;
    size_t requestCount() const;
    void clearRequests();
    // Replies written so far (after faults were applied).
    size_t replyCount() const;

    // Raw bytes last stored by a write to a register (empty when never written).
    std::vector<uint8_t> storedRegister(int reg) const;
    // The starting-test capture the instrument holds now: what six blocks
    // fetched whole and in order add up to.
    std::vector<uint8_t> startingCapture() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace sim
