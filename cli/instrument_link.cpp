#include "instrument_link.h"

#include "answer_watch.h"
#include "cli_common.h"

#include "acquisition/notifier.h"
#include "acquisition/response_handler.h"
#include "acquisition/sampling_controller.h"
#include "acquisition/system_error.h"
#include "link/baud_list.h"
#include "link/modbus_framing.h"
#include "link/port_discovery.h"
#include "link/port_prober.h"
#include "link/register_map.h"
#include "link/serial_port_enumerator.h"
#include "link/tcomm.h"
#include "pty_simulator.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace {

TComm::TBaudRate RateForIndex(int baudIndex)
{
    const uint32_t speed = BaudList::kEntries[baudIndex].baud;
    for (int r = TComm::br110; r <= TComm::br230400; ++r) {
        if (TComm::BaudRateSpeed(TComm::TBaudRate(r)) == speed) return TComm::TBaudRate(r);
    }
    return TComm::br14400;
}

// Why a port that TComm could not open is not to be had.
QString OpenFailureReason(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (!QFileInfo::exists(path)) return SystemErrorText(ENOENT);
    if (::access(name.constData(), R_OK | W_OK) != 0) return SystemErrorText(errno);
    return QStringLiteral("it is held by another program or is not a serial line");
}

} // namespace

bool IsInstrumentPort(const QString& identification, const QString& productIdTag)
{
    return !productIdTag.isEmpty() && identification.contains(productIdTag, Qt::CaseInsensitive);
}

InstrumentLink::InstrumentLink(const LinkOptions& options, Notifier& notifier)
    : options_(options), notifier_(notifier), settings_(options.settingsPath)
{
    InitAcquisitionState(state_, QSize(), nullptr);
}

InstrumentLink::~InstrumentLink()
{
    if (watchdog_) watchdog_->stopWatchdog();
    if (sampling_) {
        sampling_->stop();
        if (comm_ && comm_->portOpen()) sampling_->closeQuery();
    }
    // The controllers go before the port they use, the simulator last.
    watchdog_.reset();
    if (master_) master_->onRequestSent = nullptr;
    handler_.reset();
    sampling_.reset();
    comm_.reset();
    simulator_.reset();
}

bool InstrumentLink::open(QString* error)
{
    int address = options_.address;
    if (address < 1 || address > 255) address = settings_.readInt(SysSetKeys::Address);
    if (address < 1 || address > 255) address = SysSetKeys::Address.defaultValue;
    state_.SlaveAddress = uint8_t(address);
    int baudIndex = options_.baudIndex;
    if (!BaudList::IsValidIndex(baudIndex)) baudIndex = settings_.readInt(SysSetKeys::Baudrate);
    if (!BaudList::IsValidIndex(baudIndex)) baudIndex = SysSetKeys::Baudrate.defaultValue;

    if (!options_.tracePath.isEmpty()) {
        QString reason;
        if (!trace_.open(options_.tracePath, &reason)) {
            *error = QStringLiteral("cannot write the communication log %1: %2").arg(options_.tracePath, reason);
            return false;
        }
    }

    comm_ = std::make_unique<TComm>(notifier_);
    comm_->setBaudRate(RateForIndex(baudIndex));
    comm_->setInputLen(0);
    comm_->setRThreshold(1);
    if (trace_.isOpen()) {
        comm_->OnFrame = [this](bool sent, const uint8_t* data, int length) {
            QString reason;
            if (trace_.isOpen() && !trace_.record(sent ? FrameTrace::Direction::Sent : FrameTrace::Direction::Received,
                                                  data, length, &reason))
                notifier_.message(QStringLiteral("The communication log %1 cannot be written any more: %2")
                                      .arg(options_.tracePath, reason));
        };
    }
    master_ = std::make_unique<ModbusMaster>(state_, *comm_);
    requests_ = std::make_unique<InstrumentRequests>(state_, *master_);
    sampling_ = std::make_unique<SamplingController>(state_, *requests_, *comm_, view_, notifier_);
    handler_ = std::make_unique<ResponseHandler>(state_, *comm_, *requests_, *sampling_, view_, notifier_, sinks_);
    comm_->OnReceiveData = [this] { handler_->Comm1ReceiveData(); };
    sampling_->replyArriving = [this] { return handler_->replyInProgress(); };
    master_->onRequestSent = [this] { handler_->requestSent(); };

    if (!choosePort(error) || !openPort(error)) return false;

    // On the instrument's USB link the program keeps the link alive and
    // reopens it after the cable was pulled; so does this program.
    prober_ = std::make_unique<ExclusiveOpenProber>();
    if (!enumerator_) enumerator_ = std::make_unique<SerialPortEnumerator>();
    PortDiscoveryServices services{*enumerator_, *prober_, *comm_, *requests_, state_,
                                   view_,        notifier_, settings_, portPath_};
    watchdog_ = std::make_unique<PortDiscovery>(services);
    if (state_.UsbLinkState == LinkInstrumentUsb) watchdog_->startWatchdog();
    return true;
}

bool InstrumentLink::openOrReport(int* status)
{
    QString error;
    if (open(&error)) return true;
    PrintError(error);
    *status = kExitFailure;
    return false;
}

bool InstrumentLink::choosePort(QString* error)
{
    if (options_.simulate) {
        sim::Options simOptions;
        simOptions.address = state_.SlaveAddress;
        simulator_ = std::make_unique<sim::PtySimulator>(simOptions);
        std::string reason;
        if (!simulator_->start(&reason)) {
            *error = QStringLiteral("the simulated instrument could not start: %1").arg(QString::fromStdString(reason));
            return false;
        }
        portPath_ = QString::fromStdString(simulator_->slavePath());
        portName_ = QStringLiteral("the simulated instrument (%1)").arg(portPath_);
        // As in the desktop program: the simulated instrument's port carries
        // the instrument's USB identification.
        state_.UsbLinkState = LinkInstrumentUsb;
        return true;
    }

    enumerator_ = std::make_unique<SerialPortEnumerator>();
    const QList<PortCandidate> candidates = enumerator_->ports();
    portPath_ = options_.port;
    if (portPath_.isEmpty()) {
        ExclusiveOpenProber prober;
        for (const PortCandidate& c : candidates) {
            if (IsInstrumentPort(c.identification, state_.UsbProductIdTag) && prober.isFree(c.path)) {
                portPath_ = c.path;
                break;
            }
        }
    }
    if (portPath_.isEmpty()) {
        // The port the desktop program was told to use, when it was.
        const QString stored = IniFile(settings_.path()).readString(QString::fromLatin1(SysSetKeys::Port.section),
                                                                    QString::fromLatin1(SysSetKeys::Port.key), QString());
        if (!stored.trimmed().isEmpty()) portPath_ = PortPathFromSetting(stored);
    }
    if (portPath_.isEmpty()) {
        *error = QStringLiteral("no port identifies itself as the instrument's and none is stored in %1; "
                                "name the port with --port (qzr6100-cli ports lists them)")
                     .arg(settings_.path());
        return false;
    }
    portName_ = portPath_;
    state_.UsbLinkState = LinkPlainSerial;
    for (const PortCandidate& c : candidates) {
        if (SamePortPath(c.path, portPath_) && IsInstrumentPort(c.identification, state_.UsbProductIdTag))
            state_.UsbLinkState = LinkInstrumentUsb;
    }
    return true;
}

bool InstrumentLink::openPort(QString* error)
{
    comm_->setCommPort(portPath_);
    try {
        comm_->setPortOpen(true);
    } catch (const ECommError&) {
        *error = QStringLiteral("cannot open the port %1: %2").arg(portPath_, OpenFailureReason(portPath_));
        return false;
    }
    state_.KeepAliveTicks = 0;
    state_.SilenceTicks = 0;
    return true;
}

bool InstrumentLink::replyInProgress() const { return handler_ && handler_->replyInProgress(); }

QString InstrumentLink::noAnswerText() const
{
    return QStringLiteral("the instrument on %1 (address %2) does not answer: nothing usable came back in %3 s "
                          "of asking")
        .arg(portName_)
        .arg(state_.SlaveAddress)
        .arg(AnswerWatch::giveUpSeconds());
}
