#pragma once
// The instrument link as the desktop program and the command-line tool both
// build it, in one place: the serial component, the framing routines, the
// link master that owns the conversation, the register map's requests,
// sampling, the reply handler, and port discovery with the USB watchdog.
// The windows (or the console) come in through MainWindowView, Notifier and
// ReplySinks; nothing here is a window.

#include "link/port_enumerator.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

struct AcquisitionState;
struct ReplySinks;
class ExclusiveOpenProber;
class FrameTrace;
class InstrumentRequests;
class LinkMaster;
class MainWindowView;
class ModbusMaster;
class Notifier;
class PortDiscovery;
class ResponseHandler;
class SamplingController;
class SerialPortEnumerator;
class SysSettings;
class TComm;

struct LinkAssemblyServices {
    AcquisitionState& state;
    MainWindowView& view;
    Notifier& notifier;
    ReplySinks& sinks;
    SysSettings& settings;
    // Ports listed besides the system's (the simulated instrument, a port
    // named on the command line).
    QList<PortCandidate> extraPorts = {};
    // A port named for this run only, which scans open instead of the stored one.
    QString portOverride = {};
};

class LinkAssembly {
public:
    explicit LinkAssembly(const LinkAssemblyServices& services);
    ~LinkAssembly();
    LinkAssembly(const LinkAssembly&) = delete;
    LinkAssembly& operator=(const LinkAssembly&) = delete;

    // Writes every frame sent and read, and every frame dropped, into trace;
    // onFailure hears once that the log cannot be written any more.
    void traceTo(FrameTrace& trace, std::function<void(const QString& reason)> onFailure);

    TComm& comm() { return *comm_; }
    LinkMaster& link() { return *link_; }
    InstrumentRequests& requests() { return *requests_; }
    SamplingController& sampling() { return *sampling_; }
    ResponseHandler& handler() { return *handler_; }
    PortDiscovery& discovery() { return *discovery_; }
    SerialPortEnumerator& enumerator() { return *enumerator_; }
    ExclusiveOpenProber& prober() { return *prober_; }

private:
    std::unique_ptr<TComm> comm_;
    std::unique_ptr<ModbusMaster> framing_;
    std::unique_ptr<LinkMaster> link_;
    std::unique_ptr<InstrumentRequests> requests_;
    std::unique_ptr<SamplingController> sampling_;
    std::unique_ptr<ResponseHandler> handler_;
    std::unique_ptr<SerialPortEnumerator> enumerator_;
    std::unique_ptr<ExclusiveOpenProber> prober_;
    std::unique_ptr<PortDiscovery> discovery_;
    bool traceFailureTold_ = false;
};
