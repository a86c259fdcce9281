// Port discovery without hardware: a fake device world stands behind both the
// serial component and the prober, so a port we hold ourselves, one another
// program holds and one that is gone behave as they would on a real system.

#include "acquisition/acquisition_state.h"
#include "acquisition/main_window_view.h"
#include "acquisition/sys_settings.h"
#include "link/link_master.h"
#include "link/modbus_framing.h"
#include "link/port_discovery.h"
#include "link/port_enumerator.h"
#include "link/port_prober.h"
#include "link/register_map.h"
#include "link/tcomm.h"
#include "support/recording_main_window_view.h"
#include "support/test_support.h"

#include <algorithm>

#include <QFile>

#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kUsbSuffix = "         Through the USB connection QZR6100";
const QString kInstrumentId = "USB\\VID_0000&PID_5736";

struct World {
    QSet<QString> present, heldByOthers, heldByUs;
    QList<QByteArray> written;
    // The instrument behind the ports answers each request at once: a read
    // with four zero bytes, a write with its acknowledgement.
    QByteArray incoming;
    uint32_t lineSpeed = 0;
    int opens = 0;
    bool failSetup = false;  // the next opens fail after the device was found
    bool isFree(const QString& p) const { return present.contains(p) && !heldByOthers.contains(p) && !heldByUs.contains(p); }
};

class FakeDevice : public serial::Device {
public:
    explicit FakeDevice(World& w) : w_(w) {}
    serial::OpenResult open(const std::string& path) override
    {
        const QString p = QString::fromStdString(path);
        if (!w_.isFree(p)) return serial::OpenResult::Unavailable;
        if (w_.failSetup) return serial::OpenResult::SetupFailed;
        w_.heldByUs << p;
        path_ = p;
        ++w_.opens;
        return serial::OpenResult::Opened;
    }
    void close() override { w_.heldByUs.remove(path_), path_.clear(); }
    bool isOpen() const override { return !path_.isEmpty(); }
    bool applySettings(const serial::LineSettings& s) override { return w_.lineSpeed = s.baud, true; }
    uint32_t lineSpeed() const override { return w_.lineSpeed; }
    int bytesQueued() override { return int(w_.incoming.size()); }
    uint32_t takeLineErrors() override { return 0; }
    int read(uint8_t* buffer, int maxBytes) override
    {
        const int n = std::min(maxBytes, int(w_.incoming.size()));
        std::copy_n(w_.incoming.constData(), n, reinterpret_cast<char*>(buffer));
        w_.incoming.remove(0, n);
        return n;
    }
    bool write(const uint8_t* data, int length) override
    {
        w_.written << QByteArray(reinterpret_cast<const char*>(data), length);
        if (length >= 8) {
            w_.incoming += data[1] == 0x03 ? WithCrc(Bytes({data[0], 3, 4, 0, 0, 0, 0}))
                                           : WithCrc(Bytes({data[0], 9, data[3]}));
        }
        return true;
    }
    void discardInput() override { w_.incoming.clear(); }
    void purge() override { w_.incoming.clear(); }
    bool modemLines(serial::ModemLines&) override { return false; }
    void setDtr(bool) override {}
    void setRts(bool) override {}

private:
    World& w_;
    QString path_;
};

struct FakeEnumerator : PortEnumerator {
    QList<PortCandidate> list;
    QList<PortCandidate> ports() override { return list; }
};

struct WorldProber : PortProber {
    explicit WorldProber(World& w) : w(w) {}
    bool isFree(const QString& path) override { return w.isFree(path); }
    World& w;
};

struct RecordingCommView : CommSettingsView {
    int baudIndex = -2, selected = -2;
    QStringList items;
    QString addressText;
    bool addressRed = false;
    void selectBaudIndex(int index) override { baudIndex = index; }
    void setPortItems(const QStringList& i, int s) override { items = i, selected = s; }
    void setAddressText(const QString& text) override { addressText = text; }
    void setAddressInvalid(bool invalid) override { addressRed = invalid; }
};

bool SamplingEnabled(const RecordingMainWindowView& view)
{
    using C = MainWindowView::Control;
    return view.enabled.value(C::SingleButton) && view.enabled.value(C::ContinuousButton)
        && view.enabled.value(C::SingleItem) && view.enabled.value(C::ContinuousItem);
}

QByteArray ReadFrame(int reg, int count) { return WithCrc(Bytes({2, 3, 0, reg, 0, count})); }
const QByteArray kKeepAlive = ReadFrame(187, 15);

// Everything port discovery talks to, around a SysSet.ini in a fresh folder.
struct Rig {
    QTemporaryDir dir;
    World world;
    AcquisitionState state;
    RecordingNotifier notifier;
    TComm comm{notifier, std::make_unique<FakeDevice>(world)};
    RecordingMainWindowView mainView;
    ModbusMaster master{state, comm};
    LinkMaster linkMaster{state, master, mainView};
    InstrumentRequests requests{state, linkMaster};
    FakeEnumerator enumerator;
    WorldProber prober{world};
    RecordingCommView view;
    SysSettings settings{dir.filePath("SysSet.ini")};
    PortDiscovery discovery;

    explicit Rig(const QByteArray& ini = {}, const QString& portOverride = {})
        : discovery({enumerator, prober, comm, requests, state, mainView, notifier, settings, portOverride}, view)
    {
        InitAcquisitionState(state, QSize(), nullptr);
        QFile f(settings.path());
        if (f.open(QIODevice::WriteOnly)) f.write(ini);
        enumerator.list = {{"/dev/ttyS0", {}}, {"/dev/ttyUSB0", kInstrumentId}, {"/dev/ttyUSB1", "USB\\VID_0000&PID_0001"}};
        world.present = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB1"};
    }
    void ticks(int n)
    {
        while (n-- > 0) discovery.watchdogTick();
    }
    QString link() const { return mainView.status.value(MainWindowView::LinkPanel); }
    // Lets the link take the answers in, so that it is free again.
    void settle() { QTRY_VERIFY(linkMaster.idle()); }
};

const QByteArray kUsbIni = "[CommBaudrate]\nBaudrate=7\n[CommPort]\nPort=/dev/ttyUSB0\n[CommAddress]\nAddress=2\n";

} // namespace

class PortDiscoveryTest : public QObject {
    Q_OBJECT

private slots:
    void scanOpensTheStoredPort_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("baudIndex");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("usbLink");
        QTest::addColumn<QString>("portForThisRun");
        QTest::newRow("empty file") << QByteArray() << 2 << int(TComm::br14400) << "/dev/ttyS1" << 2 << 2 << QString();
        QTest::newRow("instrument port") << kUsbIni << 7 << int(TComm::br115200) << "/dev/ttyUSB0" << 2 << 1 << QString();
        QTest::newRow("names in any case, older COM number")
            << QByteArray("[commbaudrate]\nBAUDRATE=5\n[COMMPORT]\nport=1\n[CommAddress]\naddress=17\n") << 5
            << int(TComm::br57600) << "/dev/ttyS0" << 17 << 2 << QString();
        QTest::newRow("index outside the list") << QByteArray("[CommBaudrate]\nBaudrate=8\n") << -1 << int(TComm::br9600)
                                                << "/dev/ttyS1" << 2 << 2 << QString();
        // Opened instead of the stored port, which stays as it is.
        QTest::newRow("port named for this run") << kUsbIni << 7 << int(TComm::br115200) << "/dev/ttyUSB1" << 2 << 2
                                                 << "/dev/ttyUSB1";
        QTest::newRow("values that are no numbers") << QByteArray("[CommBaudrate]\nBaudrate=fast\n[CommAddress]\nAddress=x\n")
                                                    << 2 << int(TComm::br14400) << "/dev/ttyS1" << 2 << 2 << QString();
    }

    void scanOpensTheStoredPort()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, portForThisRun);
        Rig rig(ini, portForThisRun);
        rig.discovery.scan();

        QFETCH(int, baudIndex);
        QFETCH(QString, port);
        QCOMPARE(rig.view.baudIndex, baudIndex);
        QCOMPARE(rig.discovery.baudIndex(), baudIndex);
        QTEST(int(rig.comm.baudRate()), "rate");
        QCOMPARE(rig.comm.commPort(), port);
        QVERIFY(rig.comm.portOpen());
        QTEST(int(rig.state.SlaveAddress), "address");
        QTEST(int(rig.state.UsbLinkState), "usbLink");
        // The ports listed in order, the stored one (not listed by the system) appended.
        QStringList items{"/dev/ttyS0    ", "/dev/ttyUSB0" + kUsbSuffix, "/dev/ttyUSB1    "};
        if (port == "/dev/ttyS1") items << "/dev/ttyS1    ";
        QCOMPARE(rig.view.items, items);
        QCOMPARE(rig.view.items.at(rig.view.selected).left(port.size()), port);
        QCOMPARE(rig.discovery.instrumentPorts(), QStringList{"/dev/ttyUSB0"});
        QCOMPARE(rig.link(), QString("Port is open"));
        QVERIFY(SamplingEnabled(rig.mainView));
        QVERIFY(rig.discovery.portScanDone());
        QCOMPARE(rig.world.written, QList<QByteArray>{WithCrc(Bytes({rig.state.SlaveAddress, 3, 0, 188, 0, 2}))});
        QVERIFY(rig.notifier.messages.isEmpty());

        // A second scan closes our own port first, so it is found free again.
        rig.discovery.scan();
        QVERIFY(rig.comm.portOpen());
        QCOMPARE(rig.view.items, items);
        QCOMPARE(rig.world.written.size(), 2);
    }

    void storedPortMissing_data()
    {
        QTest::addColumn<bool>("openedWithFile");
        QTest::newRow("normal start") << false;
        QTest::newRow("started with a file") << true;
    }

    void storedPortMissing()
    {
        QFETCH(bool, openedWithFile);
        Rig rig(kUsbIni);
        rig.world.present.remove("/dev/ttyUSB0");
        rig.state.OpenedWithFile = openedWithFile;
        rig.discovery.scan();

        const QString text = " Did not find the default communication port! Please check:\n\n"
                             "   Instrument power is turned on.\n"
                             "   Connect the instrument of communication lines.\n"
                             "   Change the USB port, in the communication settings reset!";
        QCOMPARE(rig.notifier.messages, openedWithFile ? QStringList() : QStringList{text});
        QVERIFY(!rig.state.OpenedWithFile);
        QCOMPARE(rig.view.selected, -1);
        QCOMPARE(rig.state.UsbLinkState, uint8_t(LinkUndecided));
        QVERIFY(!rig.comm.portOpen());
        QVERIFY(rig.world.written.isEmpty());
        QCOMPARE(rig.link(), QString("Connection failed"));
        QVERIFY(!rig.mainView.enabled.value(MainWindowView::Control::SingleButton, true));
        QVERIFY(!rig.mainView.enabled.value(MainWindowView::Control::ContinuousItem, true));

        // The message is skipped only once.
        rig.discovery.scan();
        QCOMPARE(rig.notifier.messages.size(), openedWithFile ? 1 : 2);
    }

    void portsHeldElsewhereDoNotAppear()
    {
        Rig rig(kUsbIni);
        rig.world.heldByOthers = {"/dev/ttyS0", "/dev/ttyUSB0"};
        rig.discovery.scan();
        QCOMPARE(rig.view.items, QStringList({"/dev/ttyUSB1    "}));
        QCOMPARE(rig.discovery.instrumentPorts(), QStringList{"/dev/ttyUSB0"});  // identified, but not free
        QCOMPARE(rig.notifier.messages.size(), 1);
        QVERIFY(!rig.comm.portOpen());
    }

    void openFailureAfterProbeIsReported()
    {
        Rig rig(kUsbIni);
        rig.world.failSetup = true;
        rig.discovery.scan();
        QCOMPARE(rig.notifier.messages, QStringList{"Cannot setup comm buffer"});
        QCOMPARE(rig.link(), QString("Connection failed"));
        QVERIFY(!SamplingEnabled(rig.mainView));
        // The scan still completes, so the port list answers clicks.
        QVERIFY(rig.discovery.portScanDone());
        rig.world.failSetup = false;
        rig.discovery.portItemChosen(0);
        QCOMPARE(rig.link(), QString("Connected"));
    }

    void addressField_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("address");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("red");
        QTest::newRow("0") << "0" << 0 << "9" << true;
        QTest::newRow("7") << "7" << 7 << "7" << false;
        QTest::newRow("255") << "255" << 255 << "255" << false;
        QTest::newRow("leading zeros kept as typed") << "007" << 7 << "007" << false;
        QTest::newRow("empty") << "" << 0 << "9" << true;
        QTest::newRow("256 keeps the last address") << "256" << 9 << "9" << true;
        QTest::newRow("too long to count") << "4294967305" << 9 << "9" << true;
    }

    void addressField()
    {
        Rig rig("[CommAddress]\nAddress=9\n[CommPort]\nPort=/dev/ttyS0\n");
        rig.discovery.scan();
        QCOMPARE(rig.view.addressText, QString("9"));
        QFETCH(QString, typed);
        rig.discovery.addressTextChanged(typed);
        QTEST(int(rig.state.SlaveAddress), "address");
        QTEST(rig.settings.readText(SysSetKeys::Address), "stored");
        QTEST(rig.view.addressRed, "red");
        // The rest of the file is untouched.
        QCOMPARE(rig.settings.readText(SysSetKeys::Port), QString("/dev/ttyS0"));
    }

    void settingsThatCannotBeStoredAreReportedOnce()
    {
        Rig rig("[CommPort]\nPort=/dev/ttyS0\n");
        rig.discovery.scan();
        rig.notifier.messages.clear();
        // SysSet.ini cannot be replaced: a folder stands in its place.
        QFile::remove(rig.settings.path());
        QVERIFY(QDir().mkpath(rig.settings.path()));
        rig.discovery.addressTextChanged("7");
        rig.discovery.addressTextChanged("71");
        rig.discovery.baudIndexChosen(3);
        QCOMPARE(rig.notifier.messages.size(), 1);
        QVERIFY(rig.notifier.messages[0].contains("cannot be saved"));
        QCOMPARE(int(rig.state.SlaveAddress), 71);  // the choices still apply
    }

    void keyFilter()
    {
        for (const char* passes : {"0", "9", "\b", "", "\t", "\r", "\x16" /* Ctrl+V: the validator checks the paste */})
            QVERIFY2(IsAddressKeyAllowed(QString::fromUtf8(passes)), passes);
        for (const char* refused : {"a", " ", "-", "+", ".", "\u0667", "\uFF17"})
            QVERIFY2(!IsAddressKeyAllowed(QString::fromUtf8(refused)), refused);
    }

    void choosingAPort_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("usbLink");
        QTest::newRow("plain on-board port") << 0 << "/dev/ttyS0" << 0;
        QTest::newRow("another maker's USB adapter") << 2 << "/dev/ttyUSB1" << 0;
        QTest::newRow("the instrument") << 1 << "/dev/ttyUSB0" << 1;
    }

    void choosingAPort()
    {
        Rig rig(kUsbIni);
        rig.discovery.scan();
        rig.settle();
        rig.world.written.clear();
        rig.ticks(8);  // counts left over from the old link must not carry over
        QFETCH(int, item);
        QFETCH(QString, path);
        rig.discovery.portItemChosen(item);
        QTEST(int(rig.state.UsbLinkState), "usbLink");
        QCOMPARE(rig.settings.readText(SysSetKeys::Port), path);
        QCOMPARE(rig.comm.commPort(), path);
        QVERIFY(rig.comm.portOpen());
        QCOMPARE(rig.link(), QString("Connected"));
        QVERIFY(SamplingEnabled(rig.mainView));
        QCOMPARE(rig.discovery.savedPort(), QString("/dev/ttyUSB0"));

        const int opens = rig.world.opens;
        rig.ticks(10);
        QVERIFY(rig.world.written.isEmpty());
        rig.ticks(30);
        // Only a USB link is watched: keep-alives, and the reopen after silence.
        if (rig.state.UsbLinkState == LinkInstrumentUsb) {
            QCOMPARE(rig.world.written.value(0), kKeepAlive);
            QVERIFY(rig.world.opens > opens);
        } else {
            QVERIFY(rig.world.written.isEmpty());
            QCOMPARE(rig.world.opens, opens);
        }
    }

    void baudIndexSetsRateAndReopens_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("speed");
        const int speeds[] = {4800, 9600, 14400, 19200, 38400, 57600, 76800, 115200};
        for (int i = 0; i < 8; ++i) QTest::addRow("%d", i) << i << speeds[i];
        QTest::newRow("outside the list") << 8 << 115200;
    }

    void baudIndexSetsRateAndReopens()
    {
        Rig rig(kUsbIni);
        rig.discovery.scan();
        const int opens = rig.world.opens;
        QFETCH(int, index);
        QFETCH(int, speed);
        rig.discovery.baudIndexChosen(index);
        QCOMPARE(rig.settings.readInt(SysSetKeys::Baudrate), index);
        QCOMPARE(int(TComm::BaudRateSpeed(rig.comm.baudRate())), speed);
        QCOMPARE(int(rig.world.lineSpeed), speed);
        QCOMPARE(rig.world.opens, opens + 1);
        QVERIFY(rig.comm.portOpen());

        // On a closed port the rate waits for the next open.
        rig.comm.setPortOpen(false);
        rig.discovery.baudIndexChosen(0);
        QCOMPARE(rig.comm.baudRate(), TComm::br4800);
        QVERIFY(!rig.comm.portOpen());
    }

    void candidateListsAndIdentification()
    {
        QCOMPARE(UsbIdentification(0x0000, 0x5736), kInstrumentId);
        QCOMPARE(UsbIdentification(0x12, 0xabc), QString("USB\\VID_0012&PID_0ABC"));

        QTemporaryDir dir;
        const QString device = dir.filePath("ttyACM0");
        const QString link = dir.filePath("instrument");
        QFile f(device);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(device, link));
        const auto merged = MergePortCandidates({{"/dev/ttyS10", {}}, {device, kInstrumentId}, {"/dev/ttyS2", {}}},
                                                {{link, {}}, {"", {}}, {"/dev/pts/3", "x"}, {"/dev/ttyS2", {}}});
        QStringList paths;
        for (const auto& c : merged) paths << c.path;
        QCOMPARE(paths, QStringList({"/dev/ttyS2", "/dev/ttyS10", device, "/dev/pts/3"}));

        QCOMPARE(PortPathFromSetting("3"), QString("/dev/ttyS2"));
        QCOMPARE(PortPathFromSetting(" /dev/ttyACM0 "), QString("/dev/ttyACM0"));
        QCOMPARE(PortPathFromSetting("COM3"), QString("/dev/ttyS1"));
        QCOMPARE(PortPathFromSetting("0"), QString());
        QCOMPARE(PortPathFromSetting("256"), QString());

        // A stored link to an enumerated port selects that port's item.
        Rig rig("[CommPort]\nPort=" + link.toUtf8() + "\n");
        rig.enumerator.list = {{device, kInstrumentId}};
        rig.world.present = {device, link};
        rig.discovery.scan();
        QCOMPARE(rig.view.items, QStringList{device + kUsbSuffix});
        QCOMPARE(rig.view.selected, 0);
        QCOMPARE(rig.state.UsbLinkState, uint8_t(LinkInstrumentUsb));
        QCOMPARE(rig.comm.commPort(), link);
    }
};

QTEST_GUILESS_MAIN(PortDiscoveryTest)
#include "test_port_discovery.moc"
