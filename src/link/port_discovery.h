#pragma once
// The computer side of the link: finds the serial ports, marks the
// instrument's own USB port, opens the remembered one with the stored baud
// rate and slave address, keeps those three settings in SysSet.ini as the user
// changes them, and watches a USB link: a keep-alive request about every
// 1.1 s, and after 1.6 s without a reply the port is closed and reopened as
// soon as the device can be opened again (the cable was pulled).
//
// It belongs to the link: the program owns it from start-up to exit, and the
// communication settings window, once attached as its view, forwards the
// user's choices here and shows what this class tells it. Everything runs on
// the user-interface thread.

#include "link/comm_settings_view.h"
#include "link/port_enumerator.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimer>

class InstrumentRequests;
class MainWindowView;
class Notifier;
class PortEnumerator;
class PortProber;
class SysSettings;
struct SettingKey;
class TComm;
struct AcquisitionState;

struct PortDiscoveryServices {
    PortEnumerator& enumerator;
    PortProber& prober;
    TComm& comm;                  // the main window's serial component
    InstrumentRequests& requests;
    AcquisitionState& state;
    MainWindowView& mainWindow;
    Notifier& notifier;
    SysSettings& settings;
    // A port named for this run only (the command line, the simulated
    // instrument): scans open it instead of the stored one, which stays as
    // it is until the user picks a port.
    QString portOverride = {};
};

class PortDiscovery {
    Q_DECLARE_TR_FUNCTIONS(PortDiscovery)

public:
    static constexpr int kWatchdogIntervalMs = 100;
    static constexpr int kKeepAliveAfterTicks = 10;  // a keep-alive on the 11th tick
    static constexpr int kSilenceAfterTicks = 15;    // reopen on the 16th tick without a reply

    struct PortItem {
        QString text;     // as the list shows it: the path and a suffix
        QString path;
        bool instrument;  // the instrument's own USB port
    };

    explicit PortDiscovery(const PortDiscoveryServices& services);
    PortDiscovery(const PortDiscoveryServices& services, CommSettingsView& view);
    // The window that shows the settings; null detaches it.
    void setView(CommSettingsView* view) { view_ = view ? view : &noView_; }
    PortDiscovery(const PortDiscovery&) = delete;
    PortDiscovery& operator=(const PortDiscovery&) = delete;

    // Reads the settings, lists the free ports, opens the remembered one and
    // asks the instrument for its settings block. Runs when the window is
    // created and on its scan button.
    void scan();

    // The user picked a line of the baud-rate list.
    void baudIndexChosen(int index);
    // The user picked an item of the port list (ignored while a scan runs).
    void portItemChosen(int item);
    // The address text changed (typed, or set by the scan).
    void addressTextChanged(const QString& text);

    // One tick of the USB link watchdog; the timer calls it every 100 ms.
    void watchdogTick();
    void startWatchdog() { watchdogTimer_.start(); }
    void stopWatchdog() { watchdogTimer_.stop(); }

    // Opens path as the link's port for a run that names it (the
    // command-line tool), without a scan and without asking the instrument
    // anything. instrumentUsb: the port is the instrument's own USB port,
    // which the watchdog keeps alive. False with the error's message.
    bool openChosenPort(const QString& path, bool instrumentUsb, QString* reason);

    // Opens the port in use when it is closed (the calibration window's
    // references do so before they are sent). False with the error's message.
    bool openPortIfClosed(QString* reason);

    // Sets the line speed of an index of the baud-rate list without storing
    // it; an index outside the list leaves the speed as it is.
    void applyBaudIndex(int index);

    // The selected line of the baud-rate list, -1 when none is (the stored
    // index was outside the list; the line keeps its speed).
    int baudIndex() const { return baudIndex_; }
    const QList<PortItem>& portItems() const { return items_; }
    // Paths of the ports identified as the instrument's in the last scan.
    const QStringList& instrumentPorts() const { return instrumentPorts_; }
    // The port remembered in SysSet.ini (or named for this run) at the last
    // scan; empty when that names no port.
    const QString& savedPort() const { return savedPort_; }
    bool portScanDone() const { return portScanDone_; }

private:
    void store(const SettingKey& key, const QString& value);
    bool openMainPort();
    bool openPort(QString* reason);
    void reportLinkDown(const QString& status);
    void restartLinkCounters();

    // Shows nothing, for the time no window is attached.
    struct NoView : CommSettingsView {
        void selectBaudIndex(int) override {}
        void setPortItems(const QStringList&, int) override {}
        void setAddressText(const QString&) override {}
        void setAddressInvalid(bool) override {}
    };

    PortDiscoveryServices s_;
    NoView noView_;
    CommSettingsView* view_ = &noView_;
    QTimer watchdogTimer_;

    QList<PortItem> items_;
    QStringList instrumentPorts_;
    QString savedPort_;
    int baudIndex_ = -1;
    bool portScanDone_ = false;
    bool storeFailureShown_ = false;
};

// Whether a port's identification is the instrument's USB adapter's.
bool IsInstrumentIdentification(const QString& identification, const QString& productIdTag);

// The port a run without a port of its own uses: the first free port
// identified as the instrument's, else the one stored in SysSet.ini (its
// "Port" value, empty for none).
QString ChooseInstrumentPort(const QList<PortCandidate>& candidates, PortProber& prober, const QString& productIdTag,
                             const QString& storedPort);

// The key filter of the address field: of the characters a key types, only
// the digits 0 to 9 and backspace get through. Keys that type no printable
// character (cursor keys, Tab, Enter, Escape, Delete, Ctrl combinations) are
// left to the editor and the dialog; the field's digits-only validator still
// checks what a paste would insert.
bool IsAddressKeyAllowed(const QString& typed);

// The port a "Port" value of SysSet.ini names: a device path as it is, a
// decimal number (older files) the COM port of that number, anything else
// the default COM2. Empty when the number names no port.
QString PortPathFromSetting(const QString& value);
