#pragma once
// Single and continuous sampling of the bulk measurement image, driven by the
// main window's commands and two timers:
//   ContinuousReadTimer (50 ms)  the next request, 50 ms after each handled
//                                bulk reply while sampling continuously;
//   MOpenTimer (1000 ms)         hands a record file named on the command
//                                line to the record window.
// Each request is a transaction of the link master, which repeats it (its
// re-read timer every 2000 ms) for as long as sampling wants it. There is
// never more than one bulk request outstanding: only a bulk reply
// (ResponseHandler) arms ContinuousReadTimer for the next one.

#include "link/link_master.h"

#include <QObject>
#include <QTimer>

#include <functional>

struct AcquisitionState;
class InstrumentRequests;
class MainWindowView;
class Notifier;

class SamplingController : public QObject {
    Q_OBJECT

public:
    static constexpr int kContinuousReadIntervalMs = 50;
    static constexpr int kRecordFileHandOverMs = 1000;

    // The timers are children of the controller, found by their object names
    // "ContinuousReadTimer" and "MOpenTimer".
    SamplingController(AcquisitionState& state, InstrumentRequests& requests, MainWindowView& view,
                       Notifier& notifier, QObject* parent = nullptr);

    // Commands of the window.
    void startSingle();
    void startContinuous();
    void stop();
    // Sends the closing notice on a USB link; closing is always allowed.
    void closeQuery();
    // Starts MOpenTimer; its tick calls onRecordFileHandOver once.
    void armRecordFileHandOver();

    // Called by the reply handler once a bulk measurement reply is in: a
    // continuous sampling asks again after its rest, a single sampling is
    // over.
    void bulkReplyHandled();

    // Timer ticks (public so that the window's own commands can share them).
    void continuousReadTick();
    void recordFileHandOverTick();

    // Opens the record file named on the command line in the record window.
    std::function<void()> onRecordFileHandOver;
signals:
    // A measurement has been taken over (after the display shows it).
    void measurementHandled();

private:
    void start(uint8_t mode);
    void request();

    AcquisitionState& state_;
    InstrumentRequests& requests_;
    MainWindowView& view_;
    Notifier& notifier_;

    QTimer continuousReadTimer_;
    QTimer mOpenTimer_;
    LinkMaster::Id request_ = 0;  // the measurement asked for, until it is answered or withdrawn
    quint64 generation_ = 0;      // tells our own request's end from a withdrawn one's
};
