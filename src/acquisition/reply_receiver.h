#pragma once
// Collects one reply from the port without holding up the event loop. The
// port's receive notification starts it; it lets the line settle for 20 ms,
// then (on a serial line) checks every few milliseconds whether the reply the
// last request calls for is complete, and hands it over as soon as it is, or
// with whatever came in once the reply's line time and a margin have passed.
// The progress bar fills over that time in 50 steps. A USB link delivers a
// reply at once, so there the bytes are taken right after the settle.
//
// It also clears the line before a request is repeated: what is queued or
// still coming is thrown away until the line has been silent for a few
// character times, so that the answer to the repeat is read alone and one
// stray reply cannot misalign every later one.

#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

class MainWindowView;
class SerialPort;

class ReplyReceiver {
public:
    static constexpr int kSettleMs = 20;
    static constexpr int kProgressSteps = 50;
    static constexpr int kCheckIntervalMs = 4;
    // A line that never falls silent (noise, a babbling device) is given up
    // on after this long and the request repeated anyway.
    static constexpr int kLongestClearMs = 3000;
    // A register read carries at most 255 data bytes.
    static constexpr int kLongestShortReply = 260;

    ReplyReceiver(SerialPort& port, MainWindowView& view);
    ReplyReceiver(const ReplyReceiver&) = delete;
    ReplyReceiver& operator=(const ReplyReceiver&) = delete;

    // The port has bytes waiting: starts collecting a reply, unless one is
    // being collected or the line cleared already.
    void bytesWaiting(bool usbLink);

    // Throws away whatever comes in until the line has been quiet, then
    // calls then(). Stops a collection under way.
    void clearLine(std::function<void()> then);

    // A reply is being collected or the line cleared.
    bool busy() const { return phase_ != Phase::Idle; }

    // Receives each collected reply (possibly empty, short or overlong).
    std::function<void(const QByteArray& reply)> onReply;

private:
    enum class Phase { Idle, Settling, Collecting, Clearing };

    void tick();
    void settled();
    void collect();
    bool readMore(bool all);
    void finish();
    void clear();
    void showProgress(int step);

    SerialPort& port_;
    MainWindowView& view_;
    QTimer timer_;
    QElapsedTimer clock_;
    Phase phase_ = Phase::Idle;
    bool usbLink_ = false;

    QByteArray received_;
    bool lengthFromByteCount_ = false;
    int expected_ = 0;  // 0 while unknown
    int limitMs_ = 0;
    int shownStep_ = -1;

    std::function<void()> afterClear_;
    qint64 quietSinceMs_ = 0;
    int quietMs_ = 0;
};
