#include "link/tcomm.h"

#include "acquisition/notifier.h"

#include <QCoreApplication>
#include <QFile>
#include <QtGlobal>

#include <algorithm>
#include <iterator>

namespace {

const uint32_t kSpeeds[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400,
                            19200, 38400, 56000, 57600, 76800, 115200, 230400};

QString OpenFailedText() { return QCoreApplication::translate("TComm", "通讯出现异常！请检查连接是否正确或重新启动程序和仪器。"); }
QString SetupFailedText() { return QCoreApplication::translate("TComm", "Cannot setup comm buffer"); }

serial::Parity ToDeviceParity(TComm::TParity parity)
{
    switch (parity) {
    case TComm::TParity::Odd: return serial::Parity::Odd;
    case TComm::TParity::Even: return serial::Parity::Even;
    case TComm::TParity::Mark: return serial::Parity::Mark;
    case TComm::TParity::Space: return serial::Parity::Space;
    case TComm::TParity::None: break;
    }
    return serial::Parity::None;
}

serial::StopBits ToDeviceStopBits(TComm::TStopBits bits)
{
    switch (bits) {
    case TComm::SB1_5: return serial::StopBits::OneAndHalf;
    case TComm::SB2: return serial::StopBits::Two;
    case TComm::SB1: break;
    }
    return serial::StopBits::One;
}

serial::FlowControl ToDeviceFlowControl(TComm::THWHandShaking handshaking)
{
    switch (handshaking) {
    case TComm::hhNoneRTSON: return serial::FlowControl::RtsHeldOn;
    case TComm::hhRTSCTS: return serial::FlowControl::RtsCts;
    case TComm::hhNone: break;
    }
    return serial::FlowControl::None;
}

} // namespace

ECommError::ECommError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

TComm::TComm(Notifier& notifier, QObject* parent)
    : TComm(notifier, serial::CreatePlatformDevice(), parent)
{
}

TComm::TComm(Notifier& notifier, std::unique_ptr<serial::Device> device, QObject* parent)
    : QObject(parent), notifier_(notifier), device_(std::move(device)), pollTimer_(this),
      commPort_(PortPathForNumber(2))
{
    pollTimer_.setInterval(kPollIntervalMs);
    connect(&pollTimer_, &QTimer::timeout, this, &TComm::pollTick);
    pollTimer_.start();
}

TComm::~TComm()
{
    pollTimer_.stop();
    closePort();
}

uint32_t TComm::BaudRateSpeed(TBaudRate rate)
{
    const int index = int(rate);
    return index >= 0 && index < int(std::size(kSpeeds)) ? kSpeeds[index] : 230400;
}

bool TComm::RateForSpeed(uint32_t speed, TBaudRate* rate)
{
    for (int r = br110; r <= br230400; ++r) {
        if (BaudRateSpeed(TBaudRate(r)) == speed) {
            *rate = TBaudRate(r);
            return true;
        }
    }
    return false;
}

QString TComm::PortPathForNumber(int n)
{
    return n < 1 ? QString() : QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

void TComm::setCommPort(const QString& portOrNumber)
{
    bool isNumber = false;
    const int n = portOrNumber.trimmed().toInt(&isNumber, 10);
    if (isNumber)
        setCommPortNumber(n);
    else
        commPort_ = portOrNumber;
}

void TComm::setCommPortNumber(int n)
{
    if (n >= 1 && n <= 255) commPort_ = PortPathForNumber(n);
}

bool TComm::portOpen() const { return device_->isOpen(); }

void TComm::setPortOpen(bool open)
{
    if (!open) {
        closePort();
    } else if (portOpen()) {
        showError(QCoreApplication::translate("TComm", "COM Port has been opened!"));
    } else {
        openPort();
    }
}

void TComm::openPort()
{
    switch (device_->open(QFile::encodeName(commPort_).toStdString())) {
    case serial::OpenResult::Opened: break;
    case serial::OpenResult::Unavailable: throw ECommError(OpenFailedText());
    case serial::OpenResult::SetupFailed: throw ECommError(SetupFailedText());
    }
    device_->purge();
    applySettings();
}

void TComm::closePort() { device_->close(); }

void TComm::applySettings()
{
    serial::LineSettings settings;
    settings.baud = BaudRateSpeed(baudRate_);
    settings.dataBits = int(dataBits_) + 5;
    settings.parity = ToDeviceParity(parity_);
    settings.stopBits = ToDeviceStopBits(stopBits_);
    settings.flowControl = ToDeviceFlowControl(hwHandShaking_);
    settings.xonXoff = swHandShaking_ == shXonXoff;
    // The owner is not told (the instrument's silence will show it), but a
    // refused setting is worth a line in the log.
    if (!device_->applySettings(settings))
        qWarning("Serial port %s: line settings (%u baud) not accepted", qPrintable(commPort_), settings.baud);
    // Applying the settings leaves DTR down and RTS as the handshaking
    // demands; with RTS/CTS the driver drives RTS itself.
    device_->setDtr(false);
    if (hwHandShaking_ != hhRTSCTS) device_->setRts(hwHandShaking_ == hhNoneRTSON);
}

void TComm::setBaudRate(TBaudRate rate)
{
    if (rate == baudRate_) return;
    baudRate_ = rate;
    if (portOpen()) applySettings();
}

void TComm::setHwHandShaking(THWHandShaking value)
{
    if (value == hwHandShaking_) return;
    hwHandShaking_ = value;
    if (portOpen()) applySettings();
}

void TComm::setSwHandShaking(TSWHandShaking value)
{
    if (value == swHandShaking_) return;
    swHandShaking_ = value;
    if (portOpen()) applySettings();
}

void TComm::setDataBits(TDataBits value)
{
    if (value == dataBits_) return;
    dataBits_ = value;
    if (portOpen()) applySettings();
}

void TComm::setParity(TParity value)
{
    if (value == parity_) return;
    parity_ = value;
    if (portOpen()) applySettings();
}

void TComm::setStopBits(TStopBits value)
{
    if (value == stopBits_) return;
    stopBits_ = value;
    if (portOpen()) applySettings();
}

void TComm::setInputLen(int bytes) { inputLen_ = std::max(0, bytes); }

void TComm::setRThreshold(int bytes) { rThreshold_ = std::max(0, bytes); }

void TComm::setDtrEnabled(bool on)
{
    if (!portOpen()) return;
    dtrEnabled_ = on;
    device_->setDtr(on);
}

void TComm::setRtsEnabled(bool on)
{
    if (!portOpen()) return;
    rtsEnabled_ = on;
    device_->setRts(on);
}

int TComm::dataCount() const { return portOpen() ? std::max(0, device_->bytesQueued()) : 0; }

void TComm::setDataCount(int value)
{
    if (value == 0 && portOpen()) device_->discardInput();
}

bool TComm::writeBytes(const uint8_t* data, int length)
{
    if (!portOpen()) {
        showError(QCoreApplication::translate("TComm", "COM Port is not opened yet!"));
        return false;
    }
    if (data && length > 0) {
        lastWritten_ = QByteArray(reinterpret_cast<const char*>(data), length);
        if (OnFrame) OnFrame(true, data, length);
        device_->write(data, length);
    }
    return true;
}

QByteArray TComm::readInputBytes()
{
    readInput();
    return lastRead_;
}

QByteArray TComm::readReply(int maxBytes) { return readInput(maxBytes) ? lastRead_ : QByteArray(); }

QByteArray TComm::input() { return readInputBytes(); }

bool TComm::readInput(int maxBytes)
{
    if (!portOpen()) return false;
    commError_ = device_->takeLineErrors();
    // A queue that cannot be asked (device gone) counts as empty.
    const int queued = device_->bytesQueued();
    if (queued <= 0) return false;
    if (queued > kReadLimit) {
        device_->discardInput();
        return false;
    }
    int wanted = inputLen_ > 0 ? std::min(inputLen_, queued) : queued;
    if (maxBytes > 0) wanted = std::min(wanted, maxBytes);
    QByteArray buffer(wanted, Qt::Uninitialized);
    const int got = device_->read(reinterpret_cast<uint8_t*>(buffer.data()), wanted);
    if (got <= 0) return false;
    // Only the bytes actually read replace the last read.
    buffer.truncate(got);
    lastRead_ = buffer;
    if (OnFrame) OnFrame(false, reinterpret_cast<const uint8_t*>(lastRead_.constData()), got);
    return true;
}

void TComm::pollTick()
{
    if (!portOpen()) return;

    const uint32_t errors = device_->takeLineErrors();
    commError_ = errors;
    const int queued = device_->bytesQueued();
    if (rThreshold_ > 0 && queued >= rThreshold_ && OnReceiveData && !receivePosted_) {
        receivePosted_ = true;
        QMetaObject::invokeMethod(this, &TComm::deliverReceiveData, Qt::QueuedConnection);
    }

    // A device without modem lines (a pseudo-terminal) leaves them as they were.
    serial::ModemLines now = lines_;
    if (portOpen()) device_->modemLines(now);
    uint32_t event = 0;
    if (now.cd != lines_.cd) event |= evRLSD;
    if (now.dsr != lines_.dsr) event |= evDSR;
    if (now.ri != lines_.ri) event |= evRing;
    if (now.cts != lines_.cts) event |= evCTS;
    lines_ = now;
    commEvent_ = event;

    // Each carries the mask of its own tick, so a later tick cannot change
    // what an earlier one reports.
    if (event != 0 && OnModemStateChange) {
        QMetaObject::invokeMethod(
            this, [this, event] { if (OnModemStateChange) OnModemStateChange(event); }, Qt::QueuedConnection);
    }
    if (errors != 0 && OnReceiveError) {
        QMetaObject::invokeMethod(
            this, [this, errors] { if (OnReceiveError) OnReceiveError(errors); }, Qt::QueuedConnection);
    }
}

void TComm::deliverReceiveData()
{
    receivePosted_ = false;
    // The bytes may have been read or discarded, or the port closed, since
    // the tick saw them.
    if (portOpen() && rThreshold_ > 0 && dataCount() >= rThreshold_ && OnReceiveData) OnReceiveData();
}

void TComm::showError(const QString& text)
{
    notifier_.message(text, QCoreApplication::translate("TComm", "Error"), Notifier::Icon::Error);
}
