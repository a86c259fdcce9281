#pragma once
// Single and continuous sampling of the bulk measurement image, driven by the
// main window's commands and three timers:
//   ContinuousReadTimer (50 ms)  the next request, 50 ms after each handled
//                                bulk reply while sampling continuously;
//   ReReadTimer (2000 ms)        repeats the last read while its reply is
//                                missing, without limit;
//   MOpenTimer (1000 ms)         hands a record file named on the command
//                                line to the record window.
// There is never more than one bulk request outstanding: a request arms
// ReReadTimer, and only a bulk reply (ResponseHandler) disarms it and, while
// sampling continuously, arms ContinuousReadTimer for the next one.

#include <QObject>
#include <QTimer>

#include <functional>

struct AcquisitionState;
class InstrumentRequests;
class MainWindowView;
class Notifier;
class SerialPort;

class SamplingController : public QObject {
    Q_OBJECT

public:
    static constexpr int kContinuousReadIntervalMs = 50;
    static constexpr int kReReadIntervalMs = 2000;
    static constexpr int kRecordFileHandOverMs = 1000;

    // The timers are children of the controller, found by their object names
    // "ContinuousReadTimer", "ReReadTimer" and "MOpenTimer".
    SamplingController(AcquisitionState& state, InstrumentRequests& requests, SerialPort& port,
                       MainWindowView& view, Notifier& notifier, QObject* parent = nullptr);

    // Commands of the window.
    void startSingle();
    void startContinuous();
    void stop();
    // Sends the closing notice on a USB link; closing is always allowed.
    void closeQuery();
    // Starts MOpenTimer; its tick calls onRecordFileHandOver once.
    void armRecordFileHandOver();

    // Called by the reply handler once a bulk measurement reply is in: the
    // request is answered, so the repeat stops; a continuous sampling asks
    // again after its rest, a single sampling is over.
    void bulkReplyHandled();

    // Timer ticks (public so that the window's own commands can share them).
    void continuousReadTick();
    void reReadTick();
    void recordFileHandOverTick();

    // Opens the record file named on the command line in the record window.
    std::function<void()> onRecordFileHandOver;
signals:
    // A measurement has been taken over (after the display shows it).
    void measurementHandled();

public:
    // True while a reply comes in or the line is being cleared: the next
    // request and the repeat wait, so that two replies never run together.
    std::function<bool()> replyArriving;

private:
    void start(uint8_t mode);

    AcquisitionState& state_;
    InstrumentRequests& requests_;
    SerialPort& port_;
    MainWindowView& view_;
    Notifier& notifier_;

    QTimer continuousReadTimer_;
    QTimer reReadTimer_;
    QTimer mOpenTimer_;
};
