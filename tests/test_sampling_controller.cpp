// Sampling control: the commands, its timers and the link's re-read timer
// and, together with the link and the reply handler, the request/reply cycle
// of single and continuous sampling.

#include "support/link_rig.h"

#include <QTimer>
#include <QtTest>

namespace {

using Control = MainWindowView::Control;
using ControlStates = QMap<Control, bool>;

const QString kNotConnected = QStringLiteral("Read the request failed, instruments and computers have not connected.");

// Generous limit for a timer to fire on a loaded test machine.
constexpr int kFireLimitMs = 5000;

using Rig = LinkRig;

QByteArray BulkReply(uint8_t fill) { return WithCrc(QByteArray(kMeasurementImageSize, char(fill))); }

} // namespace

Q_DECLARE_METATYPE(ControlStates)

class SamplingControllerTest : public QObject {
    Q_OBJECT

private slots:
    void timersStartDisabled()
    {
        Rig rig;
        for (const auto& [name, interval] : {std::pair{"ContinuousReadTimer", 50}, {"ReReadTimer", 2000}, {"MOpenTimer", 1000}}) {
            QVERIFY2(rig.timer(name) && !rig.timer(name)->isActive(), name);
            QCOMPARE(rig.timer(name)->interval(), interval);
        }
    }

    void startingASampling_data()
    {
        QTest::addColumn<bool>("continuous");
        QTest::addColumn<bool>("portOpen");
        QTest::addColumn<ControlStates>("controls");

        const ControlStates single = {
            {Control::SingleButton, false}, {Control::ContinuousButton, false}, {Control::StopButton, true}};
        ControlStates continuous = single;
        continuous.insert(Control::CommSettingsItem, false);
        continuous.insert(Control::SingleItem, false);
        continuous.insert(Control::ContinuousItem, false);
        continuous.insert(Control::StopItem, true);

        QTest::newRow("single") << false << true << single;
        QTest::newRow("continuous") << true << true << continuous;
        QTest::newRow("continuous, port closed") << true << false << continuous;
    }
    void startingASampling()
    {
        QFETCH(bool, continuous);
        QFETCH(bool, portOpen);
        QFETCH(ControlStates, controls);
        Rig rig;
        rig.port.open = portOpen;
        rig.state.LastRequestRegister = 118;
        rig.state.LastRequestCount = 9;
        rig.state.KeepAliveTicks = 12;
        rig.state.SilenceTicks = 34;

        continuous ? rig.sampling.startContinuous() : rig.sampling.startSingle();

        QCOMPARE(rig.port.written.size(), portOpen ? 1 : 0);
        if (portOpen) QCOMPARE(ToHex(rig.port.written[0]), QString("02 03 00 94 00 02 85 D4"));
        QCOMPARE(rig.notifier.messages, portOpen ? QStringList() : QStringList{kNotConnected});
        // Waiting either way: the re-read timer asks again once the port is open.
        QCOMPARE(int(rig.state.SamplingMode), continuous ? 2 : 1);
        QCOMPARE(int(rig.state.LastRequestRegister), 148);
        QCOMPARE(int(rig.state.LastRequestCount), 2);
        QCOMPARE(rig.state.KeepAliveTicks, 0);
        QCOMPARE(rig.state.SilenceTicks, 0);
        QCOMPARE(rig.view.enabled, controls);
        QVERIFY(rig.timer("ReReadTimer")->isActive());
        QVERIFY(!rig.timer("ContinuousReadTimer")->isActive());
        QCOMPARE(rig.view.redraws, 1);
    }

    void continuousSamplingAsksOncePerHandledReply()
    {
        Rig rig;
        rig.sampling.startContinuous();
        QTimer* next = rig.timer("ContinuousReadTimer");
        QTimer* reRead = rig.timer("ReReadTimer");

        for (int reply = 1; reply <= 3; ++reply) {
            rig.receive(BulkReply(uint8_t(reply)));
            QCOMPARE(int(rig.state.TestRecord.VoltageSamples[0].get()), reply * 0x0101);
            // Resting: the next request is 50 ms away, none is outstanding.
            QCOMPARE(rig.port.written.size(), reply);
            QVERIFY(next->isActive());
            QCOMPARE(next->interval(), 50);
            QVERIFY(!reRead->isActive());

            QTRY_COMPARE_WITH_TIMEOUT(rig.port.written.size(), reply + 1, kFireLimitMs);
            QCOMPARE(ToHex(rig.port.written.last()), ReadRequest(148, 2));
            QCOMPARE(rig.view.status[MainWindowView::LinkPanel], QString("Request data!"));
            QVERIFY(!next->isActive());
            QVERIFY(reRead->isActive());
        }
        QCOMPARE(rig.view.redraws, 1 + 3);
        QCOMPARE(rig.view.panelHistory(MainWindowView::LinkPanel).count("Communication success!"), 3);
    }

    void missingReplyIsRepeatedEveryTwoSeconds()
    {
        Rig rig;
        rig.sampling.startSingle();
        QCOMPARE(rig.port.written.size(), 1);
        QCOMPARE(rig.timer("ReReadTimer")->interval(), 2000);

        // Three quick repeats of a reply that never begins, then the re-read
        // timer, which says so.
        QTRY_COMPARE_WITH_TIMEOUT(rig.view.status[MainWindowView::LinkPanel],
                                  QString("Communication failure, re-request data!"), kFireLimitMs);
        QCOMPARE(rig.port.written.size(), 5);
        for (const QByteArray& w : rig.port.written) QCOMPARE(ToHex(w), ReadRequest(148, 2));
        QVERIFY(rig.timer("ReReadTimer")->isActive());  // keeps asking

        // The reply that finally comes ends the single sampling and the repeats.
        rig.receive(BulkReply(7));
        QCOMPARE(int(rig.state.SamplingMode), 0);
        QVERIFY(!rig.timer("ReReadTimer")->isActive());
        QVERIFY(!rig.timer("ContinuousReadTimer")->isActive());
    }

    void stopDuringAPendingRequest()
    {
        Rig rig;
        rig.sampling.startContinuous();
        rig.sampling.stop();

        QCOMPARE(int(rig.state.SamplingMode), 0);
        QVERIFY(!rig.timer("ReReadTimer")->isActive());
        const ControlStates idle = {
            {Control::SingleButton, true},   {Control::ContinuousButton, true}, {Control::StopButton, true},
            {Control::CommSettingsItem, true}, {Control::SingleItem, true},     {Control::ContinuousItem, true},
            {Control::StopItem, true}};
        QCOMPARE(rig.view.enabled, idle);

        // The late reply is still shown, but asks for nothing more.
        rig.receive(BulkReply(9));
        QCOMPARE(rig.view.redraws, 2);
        QCOMPARE(int(rig.state.TestRecord.CurrentZero.get()), 0x0909);
        QVERIFY(!rig.timer("ReReadTimer")->isActive());
        QVERIFY(!rig.timer("ContinuousReadTimer")->isActive());
        QTest::qWait(3 * SamplingController::kContinuousReadIntervalMs);
        QCOMPARE(rig.port.written.size(), 1);

        // Stop while resting between two requests: the rest ends there.
        rig.sampling.startContinuous();
        rig.receive(BulkReply(1));
        rig.sampling.stop();
        QVERIFY(!rig.timer("ContinuousReadTimer")->isActive());
        QTest::qWait(3 * SamplingController::kContinuousReadIntervalMs);
        QCOMPARE(rig.port.written.size(), 2);
    }

    void closeQuery_data()
    {
        QTest::addColumn<int>("link");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("usb link says goodbye") << int(LinkInstrumentUsb) << QStringList{ReadRequest(186, 0)};
        QTest::newRow("plain serial line") << int(LinkPlainSerial) << QStringList();
        QTest::newRow("link undecided") << int(LinkUndecided) << QStringList();
    }
    void closeQuery()
    {
        QFETCH(int, link);
        QFETCH(QStringList, sent);
        Rig rig;
        rig.state.UsbLinkState = uint8_t(link);
        rig.sampling.closeQuery();
        QStringList written;
        for (const QByteArray& w : rig.port.written) written << ToHex(w);
        QCOMPARE(written, sent);
        if (!sent.isEmpty()) QCOMPARE(rig.port.written[0].size(), 8);
    }

    void recordFileIsHandedOverOnce()
    {
        Rig rig;
        int handOvers = 0;
        rig.sampling.onRecordFileHandOver = [&handOvers] { ++handOvers; };
        rig.sampling.armRecordFileHandOver();
        QVERIFY(rig.timer("MOpenTimer")->isActive());
        QTRY_COMPARE_WITH_TIMEOUT(handOvers, 1, kFireLimitMs);
        QVERIFY(!rig.timer("MOpenTimer")->isActive());

        // Without a record window nothing breaks.
        rig.sampling.onRecordFileHandOver = nullptr;
        rig.sampling.recordFileHandOverTick();
        QCOMPARE(handOvers, 1);
    }
};

QTEST_GUILESS_MAIN(SamplingControllerTest)
#include "test_sampling_controller.moc"
