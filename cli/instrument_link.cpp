#include "instrument_link.h"

#include "answer_watch.h"
#include "cli_common.h"

#include "acquisition/ini_file.h"
#include "acquisition/link_assembly.h"
#include "acquisition/notifier.h"
#include "acquisition/sampling_controller.h"
#include "acquisition/system_error.h"
#include "link/baud_list.h"
#include "link/link_master.h"
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

// Why a port that could not be opened is not to be had.
QString OpenFailureReason(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (!QFileInfo::exists(path)) return SystemErrorText(ENOENT);
    if (::access(name.constData(), R_OK | W_OK) != 0) return SystemErrorText(errno);
    return QStringLiteral("it is held by another program or is not a serial line");
}

} // namespace

InstrumentLink::InstrumentLink(const LinkOptions& options, Notifier& notifier)
    : options_(options), notifier_(notifier), settings_(options.settingsPath)
{
    InitAcquisitionState(state_, QSize(), nullptr);
}

InstrumentLink::~InstrumentLink()
{
    if (link_) {
        link_->discovery().stopWatchdog();
        sampling().stop();
        // Tells the instrument's USB side that we are going, as the program does.
        if (link_->comm().portOpen()) sampling().closeQuery();
    }
    // The link goes before the simulator it talks to.
    link_.reset();
    simulator_.reset();
}

InstrumentRequests& InstrumentLink::requests() { return link_->requests(); }
SamplingController& InstrumentLink::sampling() { return link_->sampling(); }
LinkMaster& InstrumentLink::link() { return link_->link(); }

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
    if (options_.simulate && !startSimulator(error)) return false;

    link_ = std::make_unique<LinkAssembly>(LinkAssemblyServices{state_, view_, notifier_, sinks_, settings_});
    if (trace_.isOpen()) {
        link_->traceTo(trace_, [this](const QString& reason) {
            notifier_.message(QStringLiteral("The communication log %1 cannot be written any more: %2")
                                  .arg(options_.tracePath, reason));
        });
    }
    link_->discovery().applyBaudIndex(baudIndex);
    if (!choosePort(error)) return false;

    QString reason;
    if (!link_->discovery().openChosenPort(portPath_, instrumentUsb_, &reason)) {
        *error = QStringLiteral("cannot open the port %1: %2").arg(portPath_, OpenFailureReason(portPath_));
        return false;
    }
    // On the instrument's USB link the program keeps the link alive and
    // reopens it after the cable was pulled; so does this program.
    if (instrumentUsb_) link_->discovery().startWatchdog();
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

bool InstrumentLink::startSimulator(QString* error)
{
    sim::Options simOptions;
    simOptions.address = state_.SlaveAddress;
    simulator_ = std::make_unique<sim::PtySimulator>(simOptions);
    std::string reason;
    if (!simulator_->start(&reason)) {
        *error = QStringLiteral("the simulated instrument could not start: %1").arg(QString::fromStdString(reason));
        return false;
    }
    return true;
}

bool InstrumentLink::choosePort(QString* error)
{
    if (simulator_) {
        portPath_ = QString::fromStdString(simulator_->slavePath());
        portName_ = QStringLiteral("the simulated instrument (%1)").arg(portPath_);
        // As in the desktop program: the simulated instrument's port carries
        // the instrument's USB identification.
        instrumentUsb_ = true;
        return true;
    }

    const QList<PortCandidate> candidates = link_->enumerator().ports();
    portPath_ = options_.port;
    if (portPath_.isEmpty()) {
        // The port the desktop program was told to use, when no port
        // identifies itself as the instrument's.
        const QString stored = IniFile(settings_.path()).readString(QString::fromLatin1(SysSetKeys::Port.section),
                                                                    QString::fromLatin1(SysSetKeys::Port.key), QString());
        portPath_ = ChooseInstrumentPort(candidates, link_->prober(), state_.UsbProductIdTag, stored);
    }
    if (portPath_.isEmpty()) {
        *error = QStringLiteral("no port identifies itself as the instrument's and none is stored in %1; "
                                "name the port with --port (qzr6100-cli ports lists them)")
                     .arg(settings_.path());
        return false;
    }
    portName_ = portPath_;
    instrumentUsb_ = false;
    for (const PortCandidate& c : candidates) {
        if (SamePortPath(c.path, portPath_) && IsInstrumentIdentification(c.identification, state_.UsbProductIdTag))
            instrumentUsb_ = true;
    }
    return true;
}

bool InstrumentLink::replyInProgress() const { return link_ && link_->link().receiving(); }

QString InstrumentLink::noAnswerText() const
{
    return QStringLiteral("the instrument on %1 (address %2) does not answer: nothing usable came back in %3 s "
                          "of asking")
        .arg(portName_)
        .arg(state_.SlaveAddress)
        .arg(AnswerWatch::giveUpSeconds());
}
