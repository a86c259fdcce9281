#include "link/link_master.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/main_window_view.h"
#include "link/modbus_framing.h"
#include "link/reply_framing.h"
#include "link/reply_timing.h"
#include "link/serial_port.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

const char* const kReRequestText = QT_TRANSLATE_NOOP("LinkMaster", "Communication failure, re-request data!");

// At most this much is read before the first bytes tell a frame's length:
// no reply is shorter.
constexpr int kShortestFrame = 5;

bool IsLong(ReplyForm form) { return form == ReplyForm::Measurement || form == ReplyForm::StartingBlock; }

} // namespace

LinkMaster::LinkMaster(AcquisitionState& state, ModbusMaster& framing, MainWindowView& view, QObject* parent)
    : QObject(parent), state_(state), framing_(framing), port_(framing.port()), view_(view), tick_(this),
      reReadTimer_(this)
{
    tick_.setTimerType(Qt::PreciseTimer);
    tick_.setInterval(kTickMs);
    connect(&tick_, &QTimer::timeout, this, &LinkMaster::tick);
    reReadTimer_.setObjectName(QStringLiteral("ReReadTimer"));
    reReadTimer_.setInterval(kReReadIntervalMs);
    connect(&reReadTimer_, &QTimer::timeout, this, &LinkMaster::reReadTick);
    clock_.start();
}

LinkMaster::~LinkMaster()
{
    // Owners go before the master or with it; nobody is told any more.
    tick_.stop();
    reReadTimer_.stop();
}

LinkMaster::Id LinkMaster::submit(Transaction transaction)
{
    if (transaction.priority == Priority::KeepAlive && !idle()) return 0;
    const bool waitsForPort = transaction.repeat == Repeat::WhileWanted;
    if (!port_.isOpen() && !waitsForPort) return 0;
    // Sampling's next request has come: no more holding for it.
    if (transaction.priority == Priority::Sampling) samplingDueAtMs_ = -1;
    Pending pending;
    pending.id = nextId_++;
    pending.form = ReplyFormFor(transaction.request);
    pending.t = std::move(transaction);
    const Id id = pending.id;
    queue_.push_back(std::move(pending));
    pump();
    return id;
}

void LinkMaster::cancel(Id id)
{
    if (id == 0) return;
    if (active_ && active_->id == id) {
        active_->cancelled = true;
        // Not sent yet (the port was closed), or its reply overdue already:
        // nothing is to be waited for. Otherwise a reply that still comes
        // is taken, and one that does not is given up when it is overdue.
        if (active_->sends == 0 || (active_->overdueSeen && phase_ == Phase::Awaiting)) {
            endActive(End::Cancelled);
        } else {
            reReadTimer_.stop();
        }
        return;
    }
    if (trigger_ && trigger_->id == id) {
        Pending gone = std::move(*trigger_);
        trigger_.reset();
        finish(gone, End::Cancelled);
        return;
    }
    const auto it = std::find_if(queue_.begin(), queue_.end(), [id](const Pending& p) { return p.id == id; });
    if (it == queue_.end()) return;
    Pending gone = std::move(*it);
    queue_.erase(it);
    finish(gone, End::Cancelled);
}

void LinkMaster::lineReset()
{
    abortReceiving();
    owedCopies_ = 0;
    phase_ = Phase::Idle;
    if (active_) {
        Pending pending = std::move(*active_);
        active_.reset();
        reReadTimer_.stop();
        if (pending.cancelled || pending.t.repeat == Repeat::Never) {
            finish(pending, pending.cancelled ? End::Cancelled : End::Unanswered);
        } else {
            // Nothing sent on the old line can come back on the new one.
            pending.repliesSeen = pending.sends;
            queue_.push_front(std::move(pending));
        }
    }
    pump();
}

void LinkMaster::bytesWaiting() { pump(); }

bool LinkMaster::sendNow(const LinkRequest& request) { return framing_.Send(state_.SlaveAddress, request); }

bool LinkMaster::portOpen() const { return port_.isOpen(); }

bool LinkMaster::idle() const { return !active_ && queue_.empty() && phase_ == Phase::Idle && port_.bytesQueued() <= 0; }

bool LinkMaster::receiving() const
{
    switch (phase_) {
    case Phase::Settling:
    case Phase::Collecting:
    case Phase::Clearing: return true;
    case Phase::Idle:
    case Phase::Awaiting:
    case Phase::Gap: break;
    }
    return port_.bytesQueued() > 0;
}

bool LinkMaster::settled() const
{
    if (port_.bytesQueued() > 0) return false;
    if (phase_ == Phase::Awaiting) return true;
    return phase_ == Phase::Idle && (active_.has_value() || queue_.empty());
}

int LinkMaster::overdueLimitMs() const { return int(std::max<qint64>(kOverdueMinMs, 4 * slowestStartMs_)); }

void LinkMaster::keepTicking()
{
    const bool needed = phase_ != Phase::Idle || active_.has_value() || !queue_.empty();
    if (needed && !tick_.isActive()) tick_.start();
    if (!needed && tick_.isActive()) tick_.stop();
}

void LinkMaster::pump()
{
    if ((phase_ == Phase::Idle || phase_ == Phase::Awaiting) && port_.bytesQueued() > 0) {
        beginCollecting();
    } else if (phase_ == Phase::Idle && !active_) {
        dispatchNext();
    }
    keepTicking();
}

void LinkMaster::tick()
{
    switch (phase_) {
    case Phase::Idle:
    case Phase::Awaiting:
        if (port_.bytesQueued() > 0) {
            beginCollecting();
        } else if (phase_ == Phase::Awaiting && active_ && active_->sends > 0 && !active_->overdueSeen &&
                   now() >= overdueAtMs_) {
            overdue();
        } else if (phase_ == Phase::Idle && !active_) {
            dispatchNext();
        }
        break;
    case Phase::Settling:
        if (now() - collectStartMs_ >= kSettleMs) phase_ = Phase::Collecting;
        // A reply already whole needs no settling.
        collect();
        break;
    case Phase::Collecting: collect(); break;
    case Phase::Clearing: clearing(); break;
    case Phase::Gap:
        if (port_.bytesQueued() > 0) {
            beginCollecting();
        } else if (now() >= gapUntilMs_ && (owedCopies_ == 0 || now() >= copiesUntilMs_)) {
            owedCopies_ = 0;
            phase_ = active_ ? Phase::Awaiting : Phase::Idle;
            pump();
        }
        break;
    }
    keepTicking();
}

std::deque<LinkMaster::Pending>::iterator LinkMaster::pickNext()
{
    const auto firstOf = [this](Priority priority) {
        return std::find_if(queue_.begin(), queue_.end(), [priority](const Pending& p) { return p.t.priority == priority; });
    };
    const auto transfer = firstOf(Priority::Transfer);
    const auto sampling = firstOf(Priority::Sampling);
    // Sampling and transfers take turns: a transfer step goes before the
    // next measurement, and a measurement before the next transfer step.
    if (transfer != queue_.end() && sampling != queue_.end())
        return lastPriority_ == Priority::Transfer ? sampling : transfer;
    if (transfer != queue_.end()) return transfer;
    if (sampling != queue_.end()) return sampling;
    return firstOf(Priority::KeepAlive);
}

int LinkMaster::estimateMs(const Pending& pending) const
{
    int requestBytes = kReadFrameSize;
    switch (pending.t.request.form) {
    case LinkRequest::Form::Read: break;
    case LinkRequest::Form::FloatWrite:
    case LinkRequest::Form::RequestBufferFloat: requestBytes = kFloatWriteFrameSize; break;
    case LinkRequest::Form::FourByteWrite:
    case LinkRequest::Form::BlockWrite: requestBytes = 9 + int(pending.t.request.data.size()); break;
    }
    int replyBytes = LongestFrame(pending.form);
    // A register read is answered with its count's data, the settings block
    // with 19 bytes whatever its count.
    if (pending.form == ReplyForm::Register)
        replyBytes = std::min(replyBytes, 5 + std::max(2 * int(pending.t.request.count), kCtSettingsSize));
    const uint32_t baud = port_.lineSpeed();
    // The slowest of the recent starts (a request's own line time, the
    // instrument's turnaround and the look at the port) errs on the long
    // side; one hiccup long ago does not make every later step wait.
    const int recentStart = recentStarts_.empty() ? 0 : int(*std::max_element(recentStarts_.begin(), recentStarts_.end()));
    return LineTimeMs(requestBytes + replyBytes, baud) + recentStart + FrameGapMs(baud) + 3 * kTickMs;
}

void LinkMaster::samplingDueIn(int ms)
{
    if (ms < 0) {
        samplingDueAtMs_ = -1;
        pump();
        return;
    }
    samplingRestMs_ = ms;
    samplingDueAtMs_ = now() + ms;
    // A transfer step that has waited through the measurement goes first
    // in this rest, whatever else keeps the event loop busy meanwhile.
    restFresh_ = std::any_of(queue_.begin(), queue_.end(),
                             [](const Pending& p) { return p.t.priority == Priority::Transfer; });
}

bool LinkMaster::holdForSampling(const Pending& pending) const
{
    // The measurement's timer may fire a little late; past that, sampling
    // is not asking after all.
    if (pending.t.priority != Priority::Transfer || samplingDueAtMs_ < 0 ||
        now() >= samplingDueAtMs_ + kDueLatenessMs)
        return false;
    // A step that waited through the measurement goes first in the rest,
    // whenever the event loop gets to it (a long repaint after the
    // measurement must not starve transfers). Any other step goes only when
    // it fits before the measurement is due; one too long for any rest
    // waits to be the first of the next.
    if (restFresh_) return false;
    const int restStart = FrameGapMs(port_.lineSpeed()) + 2 * kTickMs;
    const int estimate = estimateMs(pending);
    if (estimate > samplingRestMs_ - restStart) return true;
    return now() + estimate > samplingDueAtMs_;
}

void LinkMaster::dispatchNext()
{
    // Callbacks of a transaction that cannot be sent may queue more or run
    // a nested event loop; the state is looked at afresh each time round.
    while (phase_ == Phase::Idle && !active_ && port_.bytesQueued() <= 0) {
        const auto next = pickNext();
        if (next == queue_.end()) break;
        if (holdForSampling(*next)) {
            // The transfers have had their turn in this rest: the
            // measurement goes first when it is asked for.
            lastPriority_ = Priority::Transfer;
            break;
        }
        Pending pending = std::move(*next);
        queue_.erase(next);
        lastPriority_ = pending.t.priority;
        restFresh_ = false;
        send(std::move(pending));
    }
}

void LinkMaster::send(Pending pending)
{
    if (!framing_.Send(state_.SlaveAddress, pending.t.request)) {
        if (pending.t.repeat == Repeat::WhileWanted && !pending.cancelled) {
            // Sampling waits for the port; the re-read timer tries again.
            active_ = std::move(pending);
            phase_ = Phase::Awaiting;
            if (!reReadTimer_.isActive()) reReadTimer_.start();
            return;
        }
        finish(pending, End::NotSent);
        return;
    }
    const qint64 sentAt = now();
    ++pending.sends;
    if (pending.firstSentMs < 0) pending.firstSentMs = sentAt;
    pending.lastSentMs = sentAt;
    pending.overdueSeen = false;

    if (pending.form == ReplyForm::Nothing) {
        finish(pending, End::Answered);
        return;
    }
    if (pending.form == ReplyForm::TriggerAck) {
        // Answered when the switch is pressed, which may take any time: it
        // does not hold the line. A new start replaces the one waiting.
        if (trigger_ && trigger_->id != pending.id) {
            Pending old = std::move(*trigger_);
            trigger_ = std::move(pending);
            finish(old, End::Cancelled);
        } else {
            trigger_ = std::move(pending);
        }
        enterGap();
        return;
    }
    // The re-read timer counts from a transaction's first request; its
    // quicker repeats leave it running.
    const bool first = pending.sends == 1 || !reReadTimer_.isActive();
    active_ = std::move(pending);
    phase_ = Phase::Awaiting;
    overdueAtMs_ = sentAt + overdueLimitMs();
    if (first) reReadTimer_.start();
}

void LinkMaster::beginCollecting()
{
    if (phase_ == Phase::Awaiting && active_ && active_->sends > 0 && !active_->overdueSeen) {
        const qint64 start = now() - active_->lastSentMs;
        slowestStartMs_ = std::max(slowestStartMs_, start);
        recentStarts_.push_back(start);
        if (recentStarts_.size() > kRecentStarts) recentStarts_.pop_front();
    }
    linkAlive();
    received_.clear();
    if (active_) {
        frameForm_ = active_->form;
        frameReg_ = active_->t.request.reg;
    } else if (owedCopies_ > 0) {
        frameForm_ = copyForm_;
        frameReg_ = copyReg_;
    } else {
        frameForm_ = ReplyForm::Nothing;
        frameReg_ = 0;
    }
    limitMs_ = ReplyWaitLimitMs(LongestFrame(frameForm_), port_.lineSpeed(), IsLong(frameForm_));
    collectStartMs_ = now();
    shownStep_ = -1;
    showProgress(0);
    if (state_.UsbLinkState == LinkInstrumentUsb) showProgress(kProgressSteps);
    phase_ = Phase::Settling;
    collect();
}

void LinkMaster::collect()
{
    const bool triggerWaits = trigger_.has_value();
    const qint64 elapsed = now() - collectStartMs_;
    const bool timeUp = elapsed >= limitMs_;
    int length = FrameLength(frameForm_, triggerWaits, received_);
    // Read exactly what completes this frame, and no byte of what follows;
    // and only once it is all there (or the time is up), so that one reply
    // is one read and one line of the communication log. Until the first
    // bytes tell the length, no more than the shortest reply is read.
    for (int round = 0; round < 3 && length >= 0; ++round) {
        const int have = int(received_.size());
        const int wanted = length > 0 ? length - have : kShortestFrame - have;
        const int queued = port_.bytesQueued();
        if (wanted <= 0 || queued <= 0 || (queued < wanted && !timeUp)) break;
        const QByteArray more = port_.readReply(wanted);
        if (more.isEmpty()) break;
        received_ += more;
        length = FrameLength(frameForm_, triggerWaits, received_);
    }
    if (length > 0) limitMs_ = std::max(limitMs_, ReplyWaitLimitMs(length, port_.lineSpeed(), false));

    if (length > 0 && received_.size() >= length) {
        showProgress(kProgressSteps);
        frameComplete(received_);
        return;
    }
    if (length < 0 || elapsed >= limitMs_) {
        // No reply begins like this, or it stopped short.
        showProgress(kProgressSteps);
        frameDamaged(received_);
        return;
    }
    if (state_.UsbLinkState != LinkInstrumentUsb)
        showProgress(std::clamp(int(1 + elapsed * kProgressSteps / std::max(1, limitMs_)), 1, kProgressSteps));
}

void LinkMaster::frameComplete(const QByteArray& frame)
{
    const bool copyExpected = !active_ && owedCopies_ > 0;
    switch (JudgeFrame(frameForm_, frameReg_, trigger_.has_value(), frame)) {
    case FrameVerdict::Damaged: frameDamaged(frame); return;
    case FrameVerdict::TriggerAck: {
        Pending started = std::move(*trigger_);
        trigger_.reset();
        lastUsableMs_ = now();
        if (active_) {
            phase_ = Phase::Awaiting;
        } else {
            enterGap();
        }
        finish(started, End::Answered, &frame);
        pump();
        return;
    }
    case FrameVerdict::Answer:
        if (!copyExpected) {
            accept(frame);
            return;
        }
        --owedCopies_;
        drop(frame, QStringLiteral("a further copy of a reply already taken"));
        break;
    case FrameVerdict::Other: drop(frame, QStringLiteral("a reply nobody asked for")); break;
    }
    if (active_) {
        phase_ = Phase::Awaiting;
    } else {
        enterGap();
    }
    pump();
}

void LinkMaster::accept(const QByteArray& frame)
{
    Pending answered = std::move(*active_);
    active_.reset();
    reReadTimer_.stop();
    ++answered.repliesSeen;
    lastUsableMs_ = now();
    // Asked more often than answered: the other answers may still be on
    // their way and are to be dropped, not taken for the next request's.
    owedCopies_ = std::max(0, answered.sends - answered.repliesSeen);
    if (owedCopies_ > 0) {
        copyForm_ = answered.form;
        copyReg_ = answered.t.request.reg;
        // The instrument answers in order on one line: a further answer
        // begins about one turnaround after the one just read ended. Once
        // begun it is read whole, however long it takes.
        copiesUntilMs_ = now() + std::max<qint64>(kCopyWaitMinMs, 4 * slowestStartMs_);
    }
    enterGap();
    finish(answered, End::Answered, &frame);
    pump();
}

void LinkMaster::frameDamaged(const QByteArray& frame)
{
    Blame blame = Blame::Nobody;
    if (active_) {
        blame = Blame::Active;
        ++active_->repliesSeen;
    } else if (trigger_ && frame.size() >= 2 && uint8_t(frame[1]) == 0x0A) {
        blame = Blame::Trigger;
        ++trigger_->repliesSeen;
    } else if (owedCopies_ > 0) {
        blame = Blame::Copy;
        --owedCopies_;
    }
    if (!frame.isEmpty()) drop(frame, QStringLiteral("damaged or cut short"));
    clearLine(blame);
}

void LinkMaster::clearLine(Blame after)
{
    afterClear_ = after;
    phase_ = Phase::Clearing;
    port_.discardInput();
    clearStartMs_ = now();
    quietSinceMs_ = clearStartMs_;
    keepTicking();
}

void LinkMaster::clearing()
{
    const qint64 at = now();
    if (port_.bytesQueued() > 0) {
        linkAlive();
        port_.discardInput();
        quietSinceMs_ = at;
    }
    // A line that never falls silent is given up on after a while and
    // the request repeated anyway.
    if (at - quietSinceMs_ < LineQuietMs(port_.lineSpeed()) && at - clearStartMs_ < kLongestClearMs) return;
    const Blame after = afterClear_;
    afterClear_ = Blame::Nobody;
    phase_ = active_ ? Phase::Awaiting : Phase::Idle;
    if (after == Blame::Active && active_) {
        repeatActive();
    } else if (after == Blame::Trigger && trigger_) {
        // A damaged acknowledgement of the start: the start is asked again.
        if (framing_.Send(state_.SlaveAddress, trigger_->t.request)) ++trigger_->sends;
        enterGap();
    }
    pump();
}

void LinkMaster::overdue()
{
    active_->overdueSeen = true;
    if (active_->cancelled) {
        endActive(End::Cancelled);
    } else if (active_->t.repeat == Repeat::Never) {
        endActive(End::Unanswered);
    } else if (active_->quickRepeats < kQuickRepeats) {
        // The request or its reply was lost on the line: asked again now
        // rather than only by the re-read timer.
        ++active_->quickRepeats;
        repeatActive();
    }
}

void LinkMaster::repeatActive()
{
    Pending& pending = *active_;
    if (pending.cancelled) {
        endActive(End::Cancelled);
        return;
    }
    if (pending.t.repeat == Repeat::Never) {
        endActive(End::Unanswered);
        return;
    }
    if (pending.t.repeat == Repeat::UpToGiveUp && pending.firstSentMs >= 0 &&
        now() - pending.firstSentMs >= kGiveUpMs) {
        endActive(End::GaveUp);
        return;
    }
    Pending again = std::move(pending);
    active_.reset();
    send(std::move(again));
    // A sampling request that could not go out stays, waiting for the port.
    if (!active_) phase_ = Phase::Idle;
    pump();
}

void LinkMaster::reReadTick()
{
    if (!active_) {
        reReadTimer_.stop();
        return;
    }
    // A reply that is coming in is not missing; but a line that has given
    // nothing usable for long is failing, whatever it delivers.
    const bool arriving = phase_ == Phase::Settling || phase_ == Phase::Collecting;
    if (arriving || (phase_ == Phase::Clearing && now() - lastUsableMs_ < kGiveUpMs)) return;

    view_.setStatusText(MainWindowView::LinkPanel, tr(kReRequestText));
    Pending& pending = *active_;
    ++pending.reReads;
    if (pending.cancelled) {
        abortReceiving();
        endActive(End::Cancelled);
        return;
    }
    if (pending.t.repeat == Repeat::UpToGiveUp && pending.reReads > kReReadRepeats) {
        abortReceiving();
        endActive(End::GaveUp);
        return;
    }
    const bool transferWaits = std::any_of(queue_.begin(), queue_.end(),
                                           [](const Pending& p) { return p.t.priority == Priority::Transfer; });
    if (pending.t.priority == Priority::Sampling && transferWaits) {
        // The instrument does not answer sampling: the transfer waiting
        // gets its turn, and sampling asks again after it.
        Pending waiting = std::move(pending);
        active_.reset();
        reReadTimer_.stop();
        queue_.push_back(std::move(waiting));
        if (phase_ == Phase::Clearing) return;  // the line is cleared first; then the transfer goes
        phase_ = Phase::Idle;
        pump();
        return;
    }
    if (phase_ == Phase::Clearing) {
        afterClear_ = Blame::Active;  // repeated as soon as the line is quiet (or given up on)
        return;
    }
    repeatActive();
}

void LinkMaster::endActive(End end)
{
    Pending ended = std::move(*active_);
    active_.reset();
    reReadTimer_.stop();
    if (phase_ == Phase::Awaiting) phase_ = Phase::Idle;
    finish(ended, end);
    pump();
}

void LinkMaster::finish(Pending& pending, End end, const QByteArray* reply)
{
    // Taken out first: an owner may queue its next request or run an event
    // loop (a message box) from here.
    const auto onReply = std::move(pending.t.onReply);
    const auto onEnd = std::move(pending.t.onEnd);
    if (reply && onReply) onReply(*reply);
    if (onEnd) onEnd(end);
}

void LinkMaster::enterGap()
{
    phase_ = Phase::Gap;
    gapUntilMs_ = now() + FrameGapMs(port_.lineSpeed());
    keepTicking();
}

void LinkMaster::abortReceiving()
{
    received_.clear();
    afterClear_ = Blame::Nobody;
    phase_ = active_ ? Phase::Awaiting : Phase::Idle;
}

void LinkMaster::drop(const QByteArray& frame, const QString& reason)
{
    if (onDropped) onDropped(frame, reason);
}

void LinkMaster::showProgress(int step)
{
    if (step == shownStep_) return;
    shownStep_ = step;
    view_.setProgress(step);
}

void LinkMaster::linkAlive()
{
    // Anything the instrument sends shows its USB link alive.
    if (state_.UsbLinkState != LinkInstrumentUsb) return;
    state_.KeepAliveTicks = 0;
    state_.SilenceTicks = 0;
}
