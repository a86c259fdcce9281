#pragma once
// What every command that talks to the instrument is made of: the console
// in place of message boxes, the link, the watch that notices a silent
// instrument, and Ctrl-C/SIGTERM as an event; and how such a command ends:
// once, leaving the event loop with its exit status.

#include "answer_watch.h"
#include "cli_common.h"
#include "cli_notifier.h"
#include "instrument_link.h"
#include "stop_signals.h"

#include <QObject>

#include <functional>

class InstrumentCommand : public QObject {
public:
    explicit InstrumentCommand(const LinkOptions& options);

protected:
    // Opens the link (false with the exit status when it cannot be) and
    // makes a signal call onStop. Until the command sets its own, the watch
    // gives up by naming the silent instrument and ending with status 2.
    bool openLink(int* status, std::function<void()> onStop);

    // Ends the command with status, the first time only: stops the watch,
    // lets the command finish its work (ending() may change the status) and
    // leaves the event loop.
    void end(int status);
    bool ended() const { return ended_; }
    // The command's own last steps; returns the status to exit with.
    virtual int ending(int status) { return status; }
    // The status for a command stopped by the last signal before its work
    // was done (128 + its number).
    int interruptedStatus() const { return SignalExitStatus(stopSignal_); }
    int stopSignal() const { return stopSignal_; }

    CliNotifier notifier_;
    InstrumentLink link_;
    AnswerWatch watch_;
    StopSignals stopSignals_;

private:
    bool ended_ = false;
    int stopSignal_ = 2;  // SIGINT until a signal says otherwise
};
