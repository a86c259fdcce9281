#pragma once
// The instrument as the command-line program reaches it: the link assembled
// exactly as the desktop program assembles it (serial component, link
// master, requests, sampling, reply handler, port discovery and watchdog),
// with a console in place of the main window, driven by a plain event loop.
// On the instrument's USB link the watchdog runs as in the program
// (keep-alive, reopen after the cable was pulled).

#include "console_view.h"
#include "link_options.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/reply_sinks.h"
#include "acquisition/sys_settings.h"
#include "link/frame_trace.h"

#include <QString>

#include <memory>

class InstrumentRequests;
class LinkAssembly;
class LinkMaster;
class Notifier;
class SamplingController;
namespace sim {
class PtySimulator;
}

class InstrumentLink {
public:
    InstrumentLink(const LinkOptions& options, Notifier& notifier);
    // Tells the instrument's USB side that we are going (as the program does
    // when it closes) and closes the port.
    ~InstrumentLink();
    InstrumentLink(const InstrumentLink&) = delete;
    InstrumentLink& operator=(const InstrumentLink&) = delete;

    // Starts the simulated instrument when asked for, chooses the port, opens
    // it with the address and line speed. False with a one-line reason that
    // names the port.
    bool open(QString* error);
    // The same for a command: the reason goes to standard error and *status
    // becomes the exit status for a failure.
    bool openOrReport(int* status);

    // The port in use, for messages.
    const QString& portName() const { return portName_; }
    // The device path alone ("/dev/ttyUSB0"), for data that name the port.
    const QString& portPath() const { return portPath_; }
    int address() const { return state_.SlaveAddress; }

    AcquisitionState& state() { return state_; }
    InstrumentRequests& requests();
    SamplingController& sampling();
    LinkMaster& link();
    ReplySinks& sinks() { return sinks_; }
    ConsoleView& view() { return view_; }
    sim::PtySimulator* simulator() { return simulator_.get(); }

    // A reply is coming in or the line is being cleared.
    bool replyInProgress() const;

    // "the instrument on P (address N) does not answer: ..."
    QString noAnswerText() const;

private:
    bool startSimulator(QString* error);
    bool choosePort(QString* error);

    LinkOptions options_;
    Notifier& notifier_;
    SysSettings settings_;
    AcquisitionState state_;
    ConsoleView view_;
    ReplySinks sinks_;
    FrameTrace trace_;
    QString portName_;
    QString portPath_;
    std::unique_ptr<sim::PtySimulator> simulator_;
    bool instrumentUsb_ = false;
    std::unique_ptr<LinkAssembly> link_;
};
