#include "link/port_discovery.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/ini_file.h"
#include "acquisition/main_window_view.h"
#include "acquisition/notifier.h"
#include "acquisition/sys_settings.h"
#include "link/baud_list.h"
#include "link/port_enumerator.h"
#include "link/port_prober.h"
#include "link/register_map.h"
#include "link/tcomm.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include <QCoreApplication>

namespace {

const char* const kUsbSuffix = QT_TRANSLATE_NOOP("PortDiscovery", "         Through the USB connection QZR6100");
const QString kPlainSuffix = QStringLiteral("    ");

QString PortNotFoundText()
{
    return PortDiscovery::tr(" Did not find the default communication port! Please check:\n"
                             "\n"
                             "   Instrument power is turned on.\n"
                             "   Connect the instrument of communication lines.\n"
                             "   Change the USB port, in the communication settings reset!");
}

constexpr int kMaxAddress = 255;

bool IsDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

void CountTick(int32_t& ticks)
{
    if (ticks < std::numeric_limits<int32_t>::max()) ++ticks;
}

} // namespace

bool IsInstrumentIdentification(const QString& identification, const QString& productIdTag)
{
    // An empty tag would match every device.
    return !productIdTag.isEmpty() && identification.contains(productIdTag, Qt::CaseInsensitive);
}

QString ChooseInstrumentPort(const QList<PortCandidate>& candidates, PortProber& prober, const QString& productIdTag,
                             const QString& storedPort)
{
    for (const PortCandidate& c : candidates) {
        if (IsInstrumentIdentification(c.identification, productIdTag) && prober.isFree(c.path)) return c.path;
    }
    if (storedPort.trimmed().isEmpty()) return QString();
    return PortPathFromSetting(storedPort);
}

bool IsAddressKeyAllowed(const QString& typed)
{
    return std::all_of(typed.begin(), typed.end(),
                       [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'\b' || !c.isPrint(); });
}

QString PortPathFromSetting(const QString& value)
{
    const QString text = value.trimmed();
    int number = 0;
    if (ParseDecimalInt(text, &number)) return TComm::PortPathForNumber(number > 255 ? 0 : number);
    if (text.startsWith(u'/')) return text;
    return TComm::PortPathForNumber(SysSetKeys::Port.defaultValue);
}

PortDiscovery::PortDiscovery(const PortDiscoveryServices& services, CommSettingsView& view)
    : PortDiscovery(services)
{
    setView(&view);
}

PortDiscovery::PortDiscovery(const PortDiscoveryServices& services) : s_(services)
{
    watchdogTimer_.setInterval(kWatchdogIntervalMs);
    QObject::connect(&watchdogTimer_, &QTimer::timeout, &watchdogTimer_, [this] { watchdogTick(); });
}

void PortDiscovery::scan()
{
    portScanDone_ = false;
    s_.mainWindow.setStatusText(MainWindowView::LinkPanel, tr("Searching port"));

    applyBaudIndex(s_.settings.readInt(SysSetKeys::Baudrate));
    view_->selectBaudIndex(baudIndex_);

    savedPort_ = s_.portOverride.isEmpty() ? PortPathFromSetting(s_.settings.readText(SysSetKeys::Port))
                                           : s_.portOverride;

    // The address text is shown as it was typed; a value that is no number
    // at all gives the default.
    QString address = s_.settings.readText(SysSetKeys::Address).trimmed();
    int ignored = 0;
    if (!ParseDecimalInt(address, &ignored)) address = QString::number(SysSetKeys::Address.defaultValue);
    view_->setAddressText(address);
    addressTextChanged(address);

    // Probing needs the port free, our own included.
    if (s_.comm.portOpen()) s_.comm.setPortOpen(false);

    QList<PortCandidate> candidates = s_.enumerator.ports();
    const bool savedListed = std::any_of(candidates.begin(), candidates.end(),
                                         [&](const PortCandidate& c) { return SamePortPath(c.path, savedPort_); });
    if (!savedPort_.isEmpty() && !savedListed) candidates << PortCandidate{savedPort_, QString()};

    instrumentPorts_.clear();
    for (const PortCandidate& c : candidates) {
        if (IsInstrumentIdentification(c.identification, s_.state.UsbProductIdTag)) instrumentPorts_ << c.path;
    }

    items_.clear();
    s_.state.UsbLinkState = LinkUndecided;
    int selected = -1;
    for (const PortCandidate& c : candidates) {
        if (!s_.prober.isFree(c.path)) continue;
        const bool instrument = instrumentPorts_.contains(c.path);
        items_ << PortItem{c.path + (instrument ? tr(kUsbSuffix) : kPlainSuffix), c.path, instrument};
        if (selected < 0 && SamePortPath(c.path, savedPort_)) {
            selected = int(items_.size()) - 1;
            if (instrument) s_.state.UsbLinkState = LinkInstrumentUsb;
        }
    }
    QStringList texts;
    for (const PortItem& item : items_) texts << item.text;
    view_->setPortItems(texts, selected);

    if (selected < 0) {
        if (!s_.state.OpenedWithFile) s_.notifier.message(PortNotFoundText());
        s_.state.OpenedWithFile = false;
        SetSamplingControlsEnabled(s_.mainWindow, false);
        s_.mainWindow.setStatusText(MainWindowView::LinkPanel, tr("Connection failed"));
    } else {
        s_.comm.setCommPort(savedPort_);
        if (!s_.comm.portOpen() && !openMainPort()) {
            reportLinkDown(tr("Connection failed"));
        } else {
            restartLinkCounters();
            s_.mainWindow.setStatusText(MainWindowView::LinkPanel, tr("Port is open"));
            SetSamplingControlsEnabled(s_.mainWindow, true);
            s_.state.AlarmReadStep = 0;
            if (!s_.requests.ReadInstrumentSettings(2)) s_.notifier.message(RequestNotSentText());
        }
    }
    portScanDone_ = true;
}

void PortDiscovery::baudIndexChosen(int index)
{
    store(SysSetKeys::Baudrate, QString::number(index));
    applyBaudIndex(index);
    if (!s_.comm.portOpen()) return;
    // Reopened so the line starts afresh at the new speed.
    s_.comm.setPortOpen(false);
    if (!openMainPort()) reportLinkDown(tr("Connection failed"));
}

void PortDiscovery::portItemChosen(int item)
{
    if (!portScanDone_ || item < 0 || item >= items_.size()) return;
    const PortItem chosen = items_.at(item);
    store(SysSetKeys::Port, chosen.path);
    s_.comm.setPortOpen(false);
    s_.comm.setCommPort(chosen.path);
    // Decided by how the port was identified, not by its text: the path of
    // any USB adapter (ttyUSB0) contains "USB".
    s_.state.UsbLinkState = chosen.instrument ? LinkInstrumentUsb : LinkPlainSerial;
    if (!s_.comm.portOpen() && !openMainPort()) {
        reportLinkDown(tr("Connection failed"));
        return;
    }
    restartLinkCounters();
    s_.mainWindow.setStatusText(MainWindowView::LinkPanel, tr("Connected"));
    SetSamplingControlsEnabled(s_.mainWindow, true);
}

void PortDiscovery::addressTextChanged(const QString& text)
{
    if (!IsDigits(text)) {
        view_->setAddressInvalid(true);
        return;
    }
    // Leading zeros count for nothing; four significant digits are too many.
    QStringView digits(text);
    while (!digits.isEmpty() && digits.front() == u'0') digits = digits.mid(1);
    const int value = digits.isEmpty() ? 0 : digits.size() > 3 ? kMaxAddress + 1 : digits.toInt();
    if (value == 0) {
        s_.state.SlaveAddress = 0;
        view_->setAddressInvalid(true);
    } else if (value > kMaxAddress) {
        // Not an address: requests keep going to the last one accepted
        // rather than to whatever the number would wrap to.
        view_->setAddressInvalid(true);
    } else {
        s_.state.SlaveAddress = uint8_t(value);
        store(SysSetKeys::Address, text);
        view_->setAddressInvalid(false);
    }
}

void PortDiscovery::watchdogTick()
{
    AcquisitionState& st = s_.state;
    CountTick(st.KeepAliveTicks);
    CountTick(st.SilenceTicks);
    if (st.UsbLinkState != LinkInstrumentUsb) return;

    if (st.KeepAliveTicks > kKeepAliveAfterTicks) {
        st.KeepAliveTicks = 0;
        s_.requests.SendKeepAlive();  // nothing goes out while the port is closed
    }
    if (st.SilenceTicks > kSilenceAfterTicks) {
        st.SilenceTicks = 0;
        s_.comm.setPortOpen(false);
        // The port to come back is the one in use, so that is the one probed.
        // It may still vanish between the probe and the open; no box for
        // that, the next attempt follows in 1.6 s.
        const bool reopened = s_.prober.isFree(s_.comm.commPort()) && openPort(nullptr);
        if (!reopened) {
            s_.mainWindow.setStatusText(MainWindowView::LinkPanel, tr("Connection failed!"));
            return;
        }
        s_.mainWindow.setStatusText(MainWindowView::LinkPanel, tr("Connected"));
        st.KeepAliveTicks = 0;
        s_.requests.SendKeepAlive();
    }
}

void PortDiscovery::applyBaudIndex(int index)
{
    baudIndex_ = BaudList::IsValidIndex(index) ? index : -1;
    if (baudIndex_ < 0) return;
    TComm::TBaudRate rate;
    if (TComm::RateForSpeed(BaudList::kEntries[index].baud, &rate)) s_.comm.setBaudRate(rate);
}

bool PortDiscovery::openPort(QString* reason)
{
    try {
        s_.comm.setPortOpen(true);
    } catch (const ECommError& e) {
        if (reason) *reason = e.message();
        return false;
    }
    // Nothing asked on the port before can be answered on it now.
    s_.requests.link().lineReset();
    return true;
}

bool PortDiscovery::openMainPort()
{
    QString reason;
    if (openPort(&reason)) return true;
    s_.notifier.message(reason, QString(), Notifier::Icon::Error);
    return false;
}

bool PortDiscovery::openPortIfClosed(QString* reason)
{
    return s_.comm.portOpen() || openPort(reason);
}

bool PortDiscovery::openChosenPort(const QString& path, bool instrumentUsb, QString* reason)
{
    if (s_.comm.portOpen()) s_.comm.setPortOpen(false);
    s_.comm.setCommPort(path);
    savedPort_ = path;
    s_.state.UsbLinkState = instrumentUsb ? LinkInstrumentUsb : LinkPlainSerial;
    if (!openPort(reason)) return false;
    restartLinkCounters();
    return true;
}

void PortDiscovery::reportLinkDown(const QString& status)
{
    SetSamplingControlsEnabled(s_.mainWindow, false);
    s_.mainWindow.setStatusText(MainWindowView::LinkPanel, status);
}

void PortDiscovery::restartLinkCounters()
{
    // A freshly opened link has missed nothing yet; counts left from an
    // earlier link would close it again on the next tick.
    s_.state.KeepAliveTicks = 0;
    s_.state.SilenceTicks = 0;
}

void PortDiscovery::store(const SettingKey& key, const QString& value)
{
    QString error;
    if (s_.settings.writeText(key, value, &error)) return;
    // The choice still applies to this run; say once that it will not be
    // remembered, rather than on every key typed into the address.
    if (storeFailureShown_) return;
    storeFailureShown_ = true;
    s_.notifier.message(tr("The communication settings cannot be saved to %1:\n%2\n"
                                       "They apply until the program ends.")
                            .arg(s_.settings.path(), error),
                        QString(), Notifier::Icon::Warning);
}
