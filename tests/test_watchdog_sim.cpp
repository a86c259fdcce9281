// The USB link watchdog against the simulated instrument on a pseudo-terminal,
// with the real serial component, prober and port listing: the instrument is
// found by its identification and opened, keep-alives are answered, pulling
// the cable closes the port, and plugging it back in resumes the link.

#include "acquisition/acquisition_state.h"
#include "acquisition/sys_settings.h"
#include "link/link_master.h"
#include "link/modbus_framing.h"
#include "link/port_discovery.h"
#include "link/port_prober.h"
#include "link/register_map.h"
#include "link/serial_port_enumerator.h"
#include "link/tcomm.h"
#include "pty_simulator.h"
#include "support/recording_main_window_view.h"
#include "support/test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Probes only the simulator's port, so the test leaves the computer's own
// serial ports alone while the system listing still runs.
struct SimulatorOnlyProber : PortProber {
    explicit SimulatorOnlyProber(QString path) : path(std::move(path)) {}
    bool isFree(const QString& p) override { return p == path && real.isFree(p); }
    QString path;
    ExclusiveOpenProber real;
};

struct ListView : CommSettingsView {
    QStringList items;
    int selected = -1;
    void selectBaudIndex(int) override {}
    void setPortItems(const QStringList& i, int s) override { items = i, selected = s; }
    void setAddressText(const QString&) override {}
    void setAddressInvalid(bool) override {}
};

QByteArray LastRequest(const sim::PtySimulator& simulator)
{
    const auto all = simulator.requests();
    return all.empty() ? QByteArray() : QByteArray(reinterpret_cast<const char*>(all.back().data()), int(all.back().size()));
}

} // namespace

class WatchdogSimTest : public QObject {
    Q_OBJECT

private slots:
    void unplugAndPlugBackResumesTheLink();
};

void WatchdogSimTest::unplugAndPlugBackResumesTheLink()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("qzr6100");
    sim::Options options;
    options.linkPath = link.toStdString();
    sim::PtySimulator simulator(options);
    std::string error;
    QVERIFY2(simulator.start(&error), error.c_str());

    AcquisitionState state;
    InitAcquisitionState(state, QSize(), nullptr);
    RecordingNotifier notifier;
    TComm comm(notifier);
    comm.setRThreshold(1);
    RecordingMainWindowView mainView;
    ModbusMaster framing(state, comm);
    LinkMaster linkMaster(state, framing, mainView);
    InstrumentRequests requests(state, linkMaster);
    SerialPortEnumerator enumerator({{link, SimulatedInstrumentIdentification(state.UsbProductIdTag)}});
    SimulatorOnlyProber prober(link);
    ListView view;
    SysSettings settings(dir.filePath("SysSet.ini"));
    QVERIFY(settings.writeText(SysSetKeys::Port, link));
    QVERIFY(settings.writeInt(SysSetKeys::Baudrate, 7));
    PortDiscovery discovery({enumerator, prober, comm, requests, state, mainView, notifier, settings}, view);

    // The link takes the replies in (any reply on a USB link zeroes both
    // counts); they are counted as they are handed over.
    struct CountingRouter : ReplyRouter {
        int replies = 0;
        void replyTo(const LinkRequest&, const QByteArray&) override { ++replies; }
        void ended(const LinkRequest&, LinkMaster::End) override {}
    } router;
    requests.setRouter(&router);
    comm.OnReceiveData = [&] { linkMaster.bytesWaiting(); };
    const int& replies = router.replies;
    auto linkStatus = [&] { return mainView.status.value(MainWindowView::LinkPanel); };
    auto ticks = [&](int n) {
        while (n-- > 0) discovery.watchdogTick();
    };

    discovery.scan();
    QCOMPARE(view.items, QStringList{link + "         Through the USB connection QZR6100"});
    QCOMPARE(view.selected, 0);
    QCOMPARE(state.UsbLinkState, uint8_t(LinkInstrumentUsb));
    QCOMPARE(linkStatus(), QString("Port is open"));
    QTRY_COMPARE_WITH_TIMEOUT(replies, 1, 5000);
    QCOMPARE(LastRequest(simulator), WithCrc(FromHex("02 03 00 BC 00 02")));

    // A keep-alive on the 11th tick; the simulator answers it.
    QTRY_VERIFY(linkMaster.idle());
    ticks(10);
    QCOMPARE(state.KeepAliveTicks, 10);
    ticks(1);
    QCOMPARE(state.KeepAliveTicks, 0);
    QTRY_COMPARE_WITH_TIMEOUT(replies, 2, 5000);
    QCOMPARE(LastRequest(simulator), WithCrc(FromHex("02 03 00 BB 00 0F")));

    // Cable pulled: the 16th silent tick closes the port, and it stays closed.
    simulator.unplug();
    ticks(15);
    QVERIFY(comm.portOpen());
    ticks(1);
    QVERIFY(!comm.portOpen());
    QCOMPARE(linkStatus(), QString("Connection failed!"));
    ticks(32);
    QVERIFY(!comm.portOpen());
    QCOMPARE(linkStatus(), QString("Connection failed!"));

    // Plugged back: reopened at the next attempt, with a keep-alive at once.
    QVERIFY2(simulator.plugBack(&error), error.c_str());
    simulator.clearRequests();
    ticks(15);
    QVERIFY(!comm.portOpen());
    ticks(1);
    QVERIFY(comm.portOpen());
    QCOMPARE(linkStatus(), QString("Connected"));
    QTRY_COMPARE_WITH_TIMEOUT(replies, 3, 5000);
    QCOMPARE(LastRequest(simulator), WithCrc(FromHex("02 03 00 BB 00 0F")));

    // Requests flow again.
    QTRY_VERIFY(linkMaster.idle());
    QVERIFY(requests.ReadInstrumentSettings(18));
    QTRY_COMPARE_WITH_TIMEOUT(replies, 4, 5000);
    QCOMPARE(LastRequest(simulator), WithCrc(FromHex("02 03 00 BC 00 12")));
    QVERIFY(notifier.messages.isEmpty());
}

QTEST_GUILESS_MAIN(WatchdogSimTest)
#include "test_watchdog_sim.moc"
