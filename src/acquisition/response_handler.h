#pragma once
// The one place where bytes from the instrument are interpreted. The port's
// receive notification calls Comm1ReceiveData; it waits for the rest of the
// reply, reads it in one piece, checks length and CRC and routes it:
//   2532 bytes            bulk measurement image -> TestRecord, redraw;
//   1710 bytes            starting-test block -> staging, next block;
//   function 0x03         register read, routed by byte 3 of RequestBuffer
//                         (the register of the last read composed there);
//   function 0x09         write acknowledgement naming the register;
//   function 0x0A, 0x92   starting-test trigger acknowledgement.
// Several-step exchanges (alarm read-out and write-out, starting test) run as
// chains: each reply sends the next request. All continuity lives in
// AcquisitionState; the handler keeps nothing between calls. Windows that own
// a chain are reached through ReplySinks and may register at any time.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

struct AcquisitionState;
struct ReplySinks;
class InstrumentRequests;
class MainWindowView;
class Notifier;
class SamplingController;
class SerialPort;

// Wait per progress step, in ms, while a long reply comes in at the speed of
// item baudItem of the communication settings' speed list; 0 for items
// outside the list.
int ReplyWaitPerStepMs(int baudItem);

class ResponseHandler {
public:
    // Nothing the instrument sends is longer; a longer read is garbage.
    static constexpr int kReplyBufferSize = 2660;
    static constexpr int kBulkReplySize = 2532;
    static constexpr int kStartingBlockReplySize = 1710;
    static constexpr int kProgressSteps = 50;
    static constexpr int kSettleMs = 20;

    ResponseHandler(AcquisitionState& state, SerialPort& port, InstrumentRequests& requests,
                    SamplingController& sampling, MainWindowView& view, Notifier& notifier, ReplySinks& sinks);

    // The port's OnReceiveData. Blocks for the speed-dependent wait without
    // processing events, so nothing else runs until the reply is handled.
    void Comm1ReceiveData();

    // Checks and routes one complete read, as Comm1ReceiveData does once the
    // reply is in. An empty or short read, a read longer than any reply or a
    // bad CRC is asked for again.
    void handleReply(const QByteArray& received);

    // Blocking sleep (default: the thread sleeps).
    std::function<void(int ms)> sleep;
    // Item index of the speed list of the communication settings (default 2).
    std::function<int()> baudItem;
    // Date and time of the last measurement for status panel 4 (default:
    // the locale's short date, a blank, its long time).
    std::function<QString()> dateTimeText;

private:
    void waitForReply();
    void reRequest();

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
};
