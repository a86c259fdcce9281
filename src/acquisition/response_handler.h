#pragma once
// The one place where bytes from the instrument are interpreted. The port's
// receive notification calls Comm1ReceiveData; the reply receiver collects
// the reply without holding up the event loop, and the handler checks its
// length and CRC and routes it:
//   2532 bytes            bulk measurement image -> TestRecord, redraw;
//   1710 bytes            starting-test block -> staging, next block;
//   function 0x03         register read, routed by byte 3 of RequestBuffer
//                         (the register of the last read composed there);
//   function 0x09         write acknowledgement naming the register;
//   function 0x0A, 0x92   starting-test trigger acknowledgement.
// Several-step exchanges (alarm read-out and write-out, starting test) run as
// chains: each reply sends the next request. All continuity lives in
// AcquisitionState; the handler keeps nothing between replies but the reply
// being collected. Windows that own a chain are reached through ReplySinks
// and may register at any time.
//
// A reply that is too short, fails its CRC, or runs into the next one is
// asked for again, but only once the line has been quiet, so that the answer
// to the repeat is read alone. A measurement or starting-test block whose
// reply has not even begun half a second after its request (the request or
// the reply was lost on the line) is asked for again too, up to three times,
// rather than only by the re-read timer every two seconds.

#include "acquisition/reply_receiver.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>

struct AcquisitionState;
struct ReplySinks;
class InstrumentRequests;
class MainWindowView;
class Notifier;
class SamplingController;
class SerialPort;

class ResponseHandler {
public:
    // A long reply not begun this long after its request is overdue; the
    // time grows to four times the slowest start seen on the link, for
    // instruments that take longer to begin.
    static constexpr int kOverdueMinMs = 500;
    static constexpr int kOverdueRepeats = 3;

    ResponseHandler(AcquisitionState& state, SerialPort& port, InstrumentRequests& requests,
                    SamplingController& sampling, MainWindowView& view, Notifier& notifier, ReplySinks& sinks);

    // The port's OnReceiveData: starts collecting the reply that waits (the
    // call returns at once; the reply is handled when it is complete).
    void Comm1ReceiveData();

    // A reply is being collected or the line cleared for a repeat, or bytes
    // wait unread: a request sent now would run into it.
    bool replyInProgress() const;

    // Told of every request written (ModbusMaster::onRequestSent).
    void requestSent();

    // Checks and routes one complete read, as Comm1ReceiveData does once the
    // reply is in. An empty or short read, a read longer than any reply or a
    // bad CRC is asked for again.
    void handleReply(const QByteArray& received);

    // Date and time of the last measurement for status panel 4 (default:
    // the locale's short date, a blank, its long time without the zone).
    std::function<QString()> dateTimeText;

private:
    void reRequest();
    void replyOverdue();

    void handleBulkReply(const uint8_t* reply);
    void handleStartingBlock(const uint8_t* reply);
    void handleReadReply(const uint8_t* reply, int length);
    void handleAlarmLimitRead(uint8_t reg, float value);
    void handleWriteAck(uint8_t reg);
    void handleTriggerAck(const uint8_t* reply);
    void showCalibrationPhases();

    AcquisitionState& state_;
    SerialPort& port_;
    InstrumentRequests& requests_;
    SamplingController& sampling_;
    MainWindowView& view_;
    Notifier& notifier_;
    ReplySinks& sinks_;
    ReplyReceiver receiver_;

    QTimer overdueTimer_;
    QElapsedTimer sinceRequest_;
    qint64 slowestStartMs_ = 0;
    int overdueRepeats_ = 0;
    bool repeatingOverdue_ = false;
};
