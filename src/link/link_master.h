#pragma once
// The link master: the one owner of the conversation with the instrument.
//
// Whoever wants something from the instrument (sampling, a step of a
// settings or alarm transfer, a starting-test block, the keep-alive, port
// discovery) hands the master a transaction: the request, how it is
// repeated and whom its reply goes to. Exactly one transaction is on the
// line at a time; the others wait in order. When sampling and a transfer
// both wait they take turns, so a transfer never stops sampling and
// sampling never holds up a transfer by more than one measurement; the
// keep-alive goes only when nothing else waits.
//
// A reply is read to exactly the length its request calls for and goes to
// the transaction that asked, never to a later one: a reply of another form
// (a write acknowledgement naming another register, a read where a write was
// acknowledged), a reply when nothing is asked, or a further copy of a reply
// already taken (a doubled send, or the late answer to a request that was
// asked again) is dropped and reported to onDropped. Whatever is left
// unread after a reply is cleared off the line before the next request.
//
// Each transaction repeats its own request: at once (once the line has been
// quiet) when its reply comes damaged; after half a second when its reply
// has not even begun, three times at most; and every two seconds by the
// re-read timer, which shows "Communication failure, re-request data!".
// Sampling keeps asking as long as it is wanted; a transfer step gives up
// after 8 s without a usable reply, and the keep-alive and the writes whose
// acknowledgement carries nothing are asked once.
//
// The start request of a starting test is answered only when the
// instrument's switch is pressed. It does not hold the line while it
// waits: its acknowledgement is recognised by its own form whenever it
// comes, and meanwhile the keep-alive and anything else may go.
//
// Everything runs on the user-interface thread from timers; nothing waits.

#include "link/link_request.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

struct AcquisitionState;
class MainWindowView;
class ModbusMaster;
class SerialPort;

class LinkMaster : public QObject {
    Q_OBJECT

public:
    enum class Priority { Transfer, Sampling, KeepAlive };
    enum class Repeat {
        WhileWanted,  // asked again for as long as it is not cancelled
        UpToGiveUp,   // asked again; given up after 8 s without a usable reply
        Never,        // asked once; ends unanswered when nothing comes
    };
    enum class End {
        Answered,    // its reply was handed over
        NotSent,     // the port was closed when its turn came
        GaveUp,      // no usable reply in 8 s of asking
        Unanswered,  // asked once, and nothing usable came
        Cancelled,   // withdrawn by its owner before a reply came
    };
    using Id = quint64;

    struct Transaction {
        Priority priority = Priority::Transfer;
        Repeat repeat = Repeat::UpToGiveUp;
        LinkRequest request;
        // The reply, whole, with a sound CRC and of the form asked for.
        std::function<void(const QByteArray& reply)> onReply;
        // Once, after onReply or instead of it.
        std::function<void(End end)> onEnd;
    };

    static constexpr int kTickMs = 4;
    static constexpr int kSettleMs = 20;
    static constexpr int kProgressSteps = 50;
    static constexpr int kReReadIntervalMs = 2000;
    static constexpr int kOverdueMinMs = 500;
    static constexpr int kQuickRepeats = 3;
    static constexpr int kReReadRepeats = 3;
    static constexpr int kGiveUpMs = 8000;
    static constexpr int kLongestClearMs = 3000;
    static constexpr int kCopyWaitMinMs = 100;
    static constexpr int kDueLatenessMs = 25;

    // The re-read timer is a child, found by its object name "ReReadTimer".
    LinkMaster(AcquisitionState& state, ModbusMaster& framing, MainWindowView& view, QObject* parent = nullptr);
    ~LinkMaster() override;

    // Queues a transaction and returns its id; 0 when it was refused: the
    // port is closed (a sampling request, Repeat::WhileWanted, is kept all
    // the same and goes out once the port is open), or a keep-alive finds
    // something else on the line or waiting.
    Id submit(Transaction transaction);

    // Withdraws a transaction: one still waiting is dropped; one on the line
    // is asked no more, but a reply that still comes is handed over.
    void cancel(Id id);

    // Sampling's next request is due in ms (its rest after a measurement);
    // negative: none is due. A transfer step that waited through the
    // measurement goes at once; another only if it will be off the line by
    // then, or, too long for any rest, as the first of the next.
    void samplingDueIn(int ms);

    // The port has been closed and opened again: nothing asked before will
    // be answered. The transaction on the line is asked again first.
    void lineReset();

    // The port's receive notification.
    void bytesWaiting();

    // Writes the request at once, whatever is on the line, and expects
    // nothing back: the notice that the program is closing.
    bool sendNow(const LinkRequest& request);

    bool portOpen() const;

    // Nothing is on the line, waits, arrives or is being cleared.
    bool idle() const;
    // A reply is coming in or the line is being cleared.
    bool receiving() const;
    // Nothing more happens until the instrument answers or a timer runs out:
    // no reply is being read, no gap or clearing runs, nothing waits to go.
    bool settled() const;
    // A starting test's start request waits for its acknowledgement.
    bool triggerAwaited() const { return trigger_.has_value(); }

    // Sees every frame that is read whole and dropped, with the reason.
    std::function<void(const QByteArray& frame, const QString& reason)> onDropped;

private:
    enum class Phase {
        Idle,        // nothing on the line (a start request may wait for its switch)
        Awaiting,    // a request is out; its reply has not begun
        Settling,    // a reply has begun; the line settles before it is read
        Collecting,  // reading the reply until it is whole
        Clearing,    // throwing away whatever comes until the line is quiet
        Gap,         // the short silence after a reply, before the next request
    };
    enum class Blame { Nobody, Active, Trigger, Copy };

    struct Pending {
        Id id = 0;
        Transaction t;
        ReplyForm form = ReplyForm::Nothing;
        int sends = 0;
        int repliesSeen = 0;  // replies read for it, damaged ones included
        int quickRepeats = 0;
        int reReads = 0;
        qint64 firstSentMs = -1;
        qint64 lastSentMs = -1;
        bool overdueSeen = false;
        bool cancelled = false;
    };

    void tick();
    void reReadTick();
    void pump();
    void dispatchNext();
    std::deque<Pending>::iterator pickNext();
    int estimateMs(const Pending& pending) const;
    bool holdForSampling(const Pending& pending) const;
    void send(Pending pending);
    void beginCollecting();
    void collect();
    void frameComplete(const QByteArray& frame);
    void frameDamaged(const QByteArray& frame);
    void accept(const QByteArray& frame);
    void clearLine(Blame after);
    void clearing();
    void overdue();
    void repeatActive();
    void endActive(End end);
    void finish(Pending& pending, End end, const QByteArray* reply = nullptr);
    void enterGap();
    void abortReceiving();
    void drop(const QByteArray& frame, const QString& reason);
    void showProgress(int step);
    void linkAlive();
    void keepTicking();
    int overdueLimitMs() const;
    qint64 now() const { return clock_.elapsed(); }

    AcquisitionState& state_;
    ModbusMaster& framing_;
    SerialPort& port_;
    MainWindowView& view_;
    QTimer tick_;
    QTimer reReadTimer_;
    QElapsedTimer clock_;

    std::deque<Pending> queue_;
    std::optional<Pending> active_;
    std::optional<Pending> trigger_;
    Id nextId_ = 1;
    Priority lastPriority_ = Priority::Sampling;
    qint64 samplingDueAtMs_ = -1;
    int samplingRestMs_ = 0;
    bool restFresh_ = false;  // a transfer waited through the measurement; nothing has gone out since

    Phase phase_ = Phase::Idle;
    qint64 overdueAtMs_ = 0;
    qint64 slowestStartMs_ = 0;
    static constexpr size_t kRecentStarts = 16;
    std::deque<qint64> recentStarts_;
    qint64 lastUsableMs_ = 0;

    // The reply being read.
    QByteArray received_;
    ReplyForm frameForm_ = ReplyForm::Nothing;
    uint16_t frameReg_ = 0;
    qint64 collectStartMs_ = 0;
    int limitMs_ = 0;
    int shownStep_ = -1;

    // Clearing and the gap after a reply.
    Blame afterClear_ = Blame::Nobody;
    qint64 clearStartMs_ = 0;
    qint64 quietSinceMs_ = 0;
    qint64 gapUntilMs_ = 0;
    // Copies of an answered reply that may still come: it was sent more
    // often than replies were read for it.
    int owedCopies_ = 0;
    ReplyForm copyForm_ = ReplyForm::Nothing;
    uint16_t copyReg_ = 0;
    qint64 copiesUntilMs_ = 0;
};
