#include "acquisition/link_assembly.h"

#include "acquisition/response_handler.h"
#include "acquisition/sampling_controller.h"
#include "link/frame_trace.h"
#include "link/link_master.h"
#include "link/modbus_framing.h"
#include "link/port_discovery.h"
#include "link/port_prober.h"
#include "link/register_map.h"
#include "link/serial_port_enumerator.h"
#include "link/tcomm.h"

LinkAssembly::LinkAssembly(const LinkAssemblyServices& s)
{
    comm_ = std::make_unique<TComm>(s.notifier);
    comm_->setCommPortNumber(2);
    comm_->setBaudRate(TComm::br9600);
    comm_->setInputLen(0);
    comm_->setRThreshold(1);
    framing_ = std::make_unique<ModbusMaster>(s.state, *comm_);
    link_ = std::make_unique<LinkMaster>(s.state, *framing_, s.view);
    requests_ = std::make_unique<InstrumentRequests>(s.state, *link_);
    sampling_ = std::make_unique<SamplingController>(s.state, *requests_, s.view, s.notifier);
    handler_ = std::make_unique<ResponseHandler>(s.state, *requests_, *sampling_, s.view, s.notifier, s.sinks);
    comm_->OnReceiveData = [this] { link_->bytesWaiting(); };

    enumerator_ = std::make_unique<SerialPortEnumerator>(s.extraPorts);
    prober_ = std::make_unique<ExclusiveOpenProber>();
    PortDiscoveryServices services{*enumerator_, *prober_,  *comm_,     *requests_,     s.state,
                                   s.view,       s.notifier, s.settings, s.portOverride};
    discovery_ = std::make_unique<PortDiscovery>(services);
}

LinkAssembly::~LinkAssembly()
{
    // The watchdog and the owners of requests go before the link they use.
    discovery_->stopWatchdog();
    comm_->OnReceiveData = nullptr;
    comm_->OnFrame = nullptr;
    link_->onDropped = nullptr;
}

void LinkAssembly::traceTo(FrameTrace& trace, std::function<void(const QString& reason)> onFailure)
{
    const auto record = [this, &trace, onFailure](FrameTrace::Direction direction, const uint8_t* data, int length) {
        QString reason;
        if (!trace.isOpen() || trace.record(direction, data, length, &reason)) return;
        // Said once: the log stops here, the link goes on.
        if (traceFailureTold_) return;
        traceFailureTold_ = true;
        if (onFailure) onFailure(reason);
    };
    comm_->OnFrame = [record](bool sent, const uint8_t* data, int length) {
        record(sent ? FrameTrace::Direction::Sent : FrameTrace::Direction::Received, data, length);
    };
    link_->onDropped = [record](const QByteArray& frame, const QString&) {
        record(FrameTrace::Direction::Dropped, reinterpret_cast<const uint8_t*>(frame.constData()), int(frame.size()));
    };
}
