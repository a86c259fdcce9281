#pragma once
// The one place where replies from the instrument are interpreted. The link
// master reads each reply whole, checks it and hands it here together with
// the request it answers, so a reply is always taken for what was asked:
//   read of 148           bulk measurement image -> TestRecord, redraw;
//   block read of 147     starting-test block k -> staging, next block;
//   start of 147          trigger acknowledgement -> block 1;
//   other reads           the register's value -> shared state, window;
//   writes                the acknowledgement -> next write of a chain.
// Several-step exchanges (alarm read-out and write-out, starting test) run as
// chains: each reply asks for the next step. Windows that own a chain are
// reached through ReplySinks and may register at any time; they also learn
// when their transfer has ended, and whether it completed.

#include "link/register_map.h"

#include <QCoreApplication>
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

struct AcquisitionState;
struct ReplySinks;
class MainWindowView;
class Notifier;
class SamplingController;

class ResponseHandler : public ReplyRouter {
    Q_DECLARE_TR_FUNCTIONS(ResponseHandler)

public:
    // Registers itself as the router of requests.
    ResponseHandler(AcquisitionState& state, InstrumentRequests& requests, SamplingController& sampling,
                    MainWindowView& view, Notifier& notifier, ReplySinks& sinks);
    ~ResponseHandler() override;
    ResponseHandler(const ResponseHandler&) = delete;
    ResponseHandler& operator=(const ResponseHandler&) = delete;

    // ReplyRouter
    void replyTo(const LinkRequest& request, const QByteArray& reply) override;
    void ended(const LinkRequest& request, LinkMaster::End end) override;

    // Date and time of the last measurement for status panel 4 (default:
    // the locale's short date, a blank, its long time without the zone).
    std::function<QString()> dateTimeText;

private:
    void handleBulkReply(const uint8_t* reply);
    void handleStartingBlock(int block, const uint8_t* reply);
    void handleReadReply(uint16_t reg, const uint8_t* reply, int length);
    void handleAlarmLimitRead(uint16_t reg, float value);
    void handleWriteAck(uint16_t reg);
    void handleTriggerAck();
    void showCalibrationPhases();

    AcquisitionState& state_;
    InstrumentRequests& requests_;
    SamplingController& sampling_;
    MainWindowView& view_;
    Notifier& notifier_;
    ReplySinks& sinks_;
};
