#include "acquisition/reply_receiver.h"

#include "acquisition/main_window_view.h"
#include "link/reply_timing.h"
#include "link/serial_port.h"

#include <algorithm>

ReplyReceiver::ReplyReceiver(SerialPort& port, MainWindowView& view) : port_(port), view_(view)
{
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { tick(); });
}

void ReplyReceiver::bytesWaiting(bool usbLink)
{
    if (phase_ != Phase::Idle) return;
    usbLink_ = usbLink;
    received_.clear();
    shownStep_ = -1;
    showProgress(0);

    // What to wait for is decided by the request the reply answers, which
    // is the last one written before it started to arrive.
    const ReplyExpectation expectation = ExpectReplyTo(port_.lastWritten());
    lengthFromByteCount_ = expectation.kind == ReplyExpectation::Kind::ByteCount;
    expected_ = expectation.kind == ReplyExpectation::Kind::Fixed ? expectation.length : 0;
    // A reply nobody asked for is read whole all the same (its own
    // header says how long it is when it is a register read) and then dropped.
    const int longest = expectation.kind == ReplyExpectation::Kind::Nothing ? 0 : expectation.length;
    // The two long replies (image and starting block) never wait less than
    // the table time for the line speed.
    limitMs_ = ReplyWaitLimitMs(longest, port_.lineSpeed(), expected_ > kLongestShortReply);
    if (expectation.kind == ReplyExpectation::Kind::Nothing) lengthFromByteCount_ = true;

    phase_ = Phase::Settling;
    clock_.start();
    timer_.start(kSettleMs);
}

void ReplyReceiver::tick()
{
    switch (phase_) {
    case Phase::Settling: settled(); break;
    case Phase::Collecting: collect(); break;
    case Phase::Clearing: clear(); break;
    case Phase::Idle: timer_.stop(); break;
    }
}

void ReplyReceiver::settled()
{
    if (usbLink_) {
        showProgress(kProgressSteps);
        readMore(true);
        finish();
        return;
    }
    phase_ = Phase::Collecting;
    clock_.start();
    timer_.start(kCheckIntervalMs);
    collect();
}

bool ReplyReceiver::readMore(bool all)
{
    const int queued = port_.bytesQueued();
    if (queued <= 0) return false;
    // Reading only when the rest of the reply is in keeps one reply one
    // read (and one line in the communication log); a register read is read
    // once its header is in, to learn its length.
    const int wanted = expected_ > 0 ? expected_ - int(received_.size()) : 3 - int(received_.size());
    if (!all && queued < wanted) return false;
    received_ += port_.readReply();
    if (expected_ == 0 && lengthFromByteCount_) expected_ = ByteCountReplyLength(received_);
    if (expected_ > 0) limitMs_ = std::max(limitMs_, ReplyWaitLimitMs(expected_, port_.lineSpeed(), false));
    return true;
}

void ReplyReceiver::collect()
{
    const qint64 elapsed = clock_.elapsed();
    const bool timeUp = elapsed >= limitMs_;
    readMore(timeUp);
    if (timeUp || (expected_ > 0 && received_.size() >= expected_) || received_.size() > kLongestReplyLength) {
        finish();
        return;
    }
    const int step = limitMs_ > 0 ? int(1 + elapsed * kProgressSteps / limitMs_) : kProgressSteps;
    showProgress(std::clamp(step, 1, kProgressSteps));
}

void ReplyReceiver::finish()
{
    timer_.stop();
    phase_ = Phase::Idle;
    showProgress(kProgressSteps);
    // Handed over as a copy: the handler may let the event loop run (a
    // message box), and a new reply may start collecting meanwhile.
    const QByteArray reply = std::move(received_);
    received_.clear();
    if (onReply) onReply(reply);
}

void ReplyReceiver::clearLine(std::function<void()> then)
{
    if (phase_ == Phase::Clearing) return;  // already under way; it repeats once
    afterClear_ = std::move(then);
    phase_ = Phase::Clearing;
    received_.clear();
    quietMs_ = LineQuietMs(port_.lineSpeed());
    port_.discardInput();
    clock_.start();
    quietSinceMs_ = 0;
    timer_.start(kCheckIntervalMs);
}

void ReplyReceiver::clear()
{
    const qint64 now = clock_.elapsed();
    if (port_.bytesQueued() > 0) {
        port_.discardInput();
        quietSinceMs_ = now;
    }
    if (now - quietSinceMs_ < quietMs_ && now < kLongestClearMs) return;
    timer_.stop();
    phase_ = Phase::Idle;
    const std::function<void()> then = std::move(afterClear_);
    afterClear_ = nullptr;
    if (then) then();
}

void ReplyReceiver::showProgress(int step)
{
    if (step == shownStep_) return;
    shownStep_ = step;
    view_.setProgress(step);
}
