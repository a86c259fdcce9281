// The link master's rules on a scripted port: one request on the line at a
// time, each reply to the request that asked, copies and strays dropped,
// each owner repeating its own request, sampling and transfers taking turns.

#include "support/link_rig.h"

#include <QElapsedTimer>
#include <QtTest>

#include <cstring>

namespace {

QByteArray FloatBytes(float value)
{
    QByteArray b(4, '\0');
    le::storeF32(reinterpret_cast<uint8_t*>(b.data()), value);
    return b;
}

QByteArray LimitReply(float value) { return ReadReply(FloatBytes(value)); }
QByteArray BulkReply(uint8_t fill) { return WithCrc(QByteArray(kMeasurementImageSize, char(fill))); }
QByteArray SettingsReply(uint8_t bandwidth) { return ReadReply(QByteArray(12, '\0') + Bytes({bandwidth, 0, 5, 0, 0, 0, 1})); }
const QByteArray kTriggerAck = WithCrc(FromHex("02 0A 92"));
const QByteArray kKeepAliveReply = ReadReply(QByteArray(30, '\0'));

QStringList Sent(const ScriptedPort& port)
{
    QStringList sent;
    for (const QByteArray& w : port.written) sent << ToHex(w);
    return sent;
}

} // namespace

class LinkMasterTest : public QObject {
    Q_OBJECT

private slots:
    // A request waits while another is on the line; when sampling and a
    // transfer both wait they take turns.
    void oneRequestAtATimeAndTurnsBetweenSamplingAndTransfers()
    {
        LinkRig rig;
        rig.requests.ReadAlarmLimit(118);
        rig.sampling.startSingle();
        rig.requests.ReadInstrumentSettings(2);
        QCOMPARE(Sent(rig.port), QStringList{ReadRequest(118, 2)});

        // The read-out's next step waits too: the measurement's turn first.
        rig.receive(LimitReply(250.0f));
        QCOMPARE(rig.lastRequest(), ReadRequest(148, 2));
        rig.receive(BulkReply(1));
        // Then the transfers in the order asked: the settings read came first.
        QCOMPARE(rig.lastRequest(), ReadRequest(188, 2));
        rig.receive(SettingsReply(1));
        QCOMPARE(rig.lastRequest(), ReadRequest(119, 2));
        QCOMPARE(int(rig.port.written.size()), 4);
        QCOMPARE(rig.state.AlarmLimits[0], 250.0f);
        QCOMPARE(int(rig.state.CtSettings.Bandwidth), 1);
        QVERIFY(rig.dropped.isEmpty());
    }

    // A reply sent twice: the copy is dropped, not taken for the reply to
    // the next step of the chain.
    void aDoubledReplyIsNotTakenForTheNextRequests()
    {
        LinkRig rig;
        rig.requests.ReadAlarmLimit(118);
        rig.receive(LimitReply(300.0f) + LimitReply(300.0f));
        QCOMPARE(rig.dropped.size(), 1);
        QCOMPARE(rig.lastRequest(), ReadRequest(119, 2));
        QCOMPARE(int(rig.port.written.size()), 2);
        rig.receive(LimitReply(0.5f));
        QCOMPARE(rig.state.AlarmLimits[0], 300.0f);
        QCOMPARE(rig.state.AlarmLimits[1], 0.5f);
        QCOMPARE(rig.log.entries, (QStringList{"field1: 300", "field2: 0.5"}));
    }

    // A reply late beyond the overdue time: the request was asked again, the
    // late reply answers it, and the answer to the repeat that follows is
    // dropped; the chain's next step goes only after it.
    void aLateReplyAndTheAnswerToItsRepeatAreTakenOnce()
    {
        LinkRig rig;
        rig.requests.ReadAlarmLimit(118);
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.port.written.size()), 2, 2000);
        // The late reply is taken; the answer to the repeat comes a little
        // later, and the chain's next step waits for it.
        rig.port.pendingReads << LimitReply(300.0f);
        rig.link.bytesWaiting();
        QTRY_COMPARE(rig.log.entries.size(), 1);
        QTest::qWait(30);
        QCOMPARE(int(rig.port.written.size()), 2);
        rig.receive(LimitReply(300.0f));
        QCOMPARE(rig.dropped.size(), 1);
        QCOMPARE(rig.lastRequest(), ReadRequest(119, 2));
        rig.receive(LimitReply(12.5f));
        QCOMPARE(rig.state.AlarmLimits[1], 12.5f);

        // When the first reply was lost, nothing else comes: the next step
        // goes after a short wait.
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.port.written.size()), 5, 2000);  // 120, and its quick repeat
        QElapsedTimer clock;
        clock.start();
        rig.receive(LimitReply(20.0f));
        QTRY_COMPARE_WITH_TIMEOUT(rig.lastRequest(), ReadRequest(121, 2), 2000);
        QVERIFY2(clock.elapsed() < 400, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rig.state.AlarmLimits[2], 20.0f);
        QCOMPARE(rig.dropped.size(), 1);
    }

    // A sound reply of another form answers nothing that was asked: it is
    // dropped and the request on the line goes on waiting for its own.
    void repliesOfAnotherFormAreDropped()
    {
        LinkRig rig;
        rig.state.AlarmLimits[1] = 7.0f;
        rig.requests.WriteAlarmLimit(118, 300.0f);
        rig.receive(WriteAck(119));
        rig.receive(LimitReply(1.0f));
        rig.receive(kTriggerAck);
        QCOMPARE(rig.dropped.size(), 3);
        QCOMPARE(int(rig.port.written.size()), 1);
        QVERIFY(rig.log.entries.isEmpty());
        rig.receive(WriteAck(118));
        QCOMPARE(rig.log.entries, QStringList{"alarm: Sending AL1L"});
        QCOMPARE(rig.lastRequest(), ToHex(WithCrc(Bytes({2, 0x10, 0, 119, 0, 2, 4}) + FloatBytes(7.0f))));
    }

    // The start of a starting test waits for the instrument's switch without
    // holding the line: the keep-alive goes meanwhile, and whichever reply
    // comes first, each goes where it belongs; the start is asked only once.
    void startWaitsForItsSwitchWithoutHoldingTheLine_data()
    {
        QTest::addColumn<bool>("ackFirst");
        QTest::newRow("acknowledgement, then the keep-alive's reply") << true;
        QTest::newRow("the keep-alive's reply, then the acknowledgement") << false;
    }
    void startWaitsForItsSwitchWithoutHoldingTheLine()
    {
        QFETCH(bool, ackFirst);
        LinkRig rig;
        rig.state.UsbLinkState = LinkInstrumentUsb;
        rig.requests.TriggerStartingTest(0x20);
        QVERIFY(rig.link.triggerAwaited());
        QTRY_VERIFY(rig.link.idle());
        QVERIFY(rig.requests.SendKeepAlive());
        rig.receive(ackFirst ? kTriggerAck + kKeepAliveReply : kKeepAliveReply + kTriggerAck);
        QCOMPARE(Sent(rig.port), (QStringList{ReadRequest(147, 0x20), ReadRequest(187, 15), ReadRequest(147, 0x0100)}));
        QCOMPARE(rig.log.entries, QStringList{"starting: Successfully triggered"});
        QVERIFY(!rig.link.triggerAwaited());
        QVERIFY(rig.dropped.isEmpty());
    }

    // During sampling's rest a transfer step goes at once when it is over
    // before the next measurement is due, and waits for the measurement
    // when it would still be on the line then.
    void transferStepsFillTheRestBetweenMeasurements()
    {
        LinkRig rig;
        rig.sampling.startContinuous();
        rig.receive(BulkReply(1));
        QTest::qWait(SamplingController::kContinuousReadIntervalMs - 20);
        rig.requests.ReadInstrumentSettings(2);
        QCOMPARE(int(rig.port.written.size()), 1);  // held: the measurement is due first
        rig.waitForRequests(2);
        QCOMPARE(rig.lastRequest(), ReadRequest(148, 2));
        rig.receive(BulkReply(2));
        QCOMPARE(rig.lastRequest(), ReadRequest(188, 2));  // early in the rest: at once
        rig.receive(SettingsReply(1));
        QCOMPARE(int(rig.port.written.size()), 3);  // the measurement waits for its rest to end
        rig.waitForRequests(4);
        QCOMPARE(rig.lastRequest(), ReadRequest(148, 2));
    }

    // A step too long for any rest (the settings block at 9.6 kbit/s) goes
    // only at the start of one, so the measurement waits as little as can be.
    void aStepTooLongForAnyRestGoesAtTheStartOfOne()
    {
        LinkRig rig;
        rig.port.speed = 9600;
        rig.sampling.startContinuous();
        rig.receive(BulkReply(1));
        QTest::qWait(20);
        rig.requests.WriteInstrumentSettings(CtSettingsBlock{});
        QCOMPARE(int(rig.port.written.size()), 1);
        rig.waitForRequests(2);
        QCOMPARE(rig.lastRequest(), ReadRequest(148, 2));
        rig.receive(BulkReply(2));
        QCOMPARE(int(rig.port.written.size()), 3);
        QCOMPARE(uint8_t(rig.port.written.last()[3]), uint8_t(188));
    }

    // A step that waited through a measurement goes first in the rest even
    // when the window is busy for a while after the measurement (a long
    // repaint): transfers are never starved by a slow screen.
    void aStepThatWaitedGoesFirstAfterALongRepaint()
    {
        LinkRig rig;
        rig.port.speed = 9600;
        rig.sampling.startContinuous();
        rig.requests.WriteInstrumentSettings(CtSettingsBlock{});
        QCOMPARE(int(rig.port.written.size()), 1);
        connect(&rig.sampling, &SamplingController::measurementHandled, this, [] {
            QElapsedTimer busy;
            busy.start();
            while (busy.elapsed() < 30) {
            }
        });
        rig.receive(BulkReply(1));
        QCOMPARE(int(rig.port.written.size()), 2);
        QCOMPARE(uint8_t(rig.port.written.last()[3]), uint8_t(188));
    }

    // The keep-alive goes only when nothing else is on the line or waits.
    void keepAliveOnlyWhenTheLineIsFree()
    {
        LinkRig rig;
        rig.sampling.startSingle();
        QVERIFY(!rig.requests.SendKeepAlive());
        rig.receive(BulkReply(3));
        QTRY_VERIFY(rig.link.idle());
        QVERIFY(rig.requests.SendKeepAlive());
        QCOMPARE(rig.lastRequest(), ReadRequest(187, 15));
    }

    // Bytes on a free line are cleared at once; the next request is not held
    // up by them.
    void strayBytesOnAFreeLineAreClearedAtOnce()
    {
        LinkRig rig;
        QElapsedTimer clock;
        clock.start();
        rig.receive(Bytes({0, 0, 0}));
        rig.sampling.startSingle();
        QCOMPARE(rig.lastRequest(), ReadRequest(148, 2));
        QVERIFY2(clock.elapsed() < 200, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rig.dropped.size(), 1);
    }

    // Writes whose acknowledgement nothing uses are asked once; when nothing
    // comes, the line is free again after the overdue time.
    void writesWithoutAHandledAcknowledgementAreAskedOnce()
    {
        LinkRig rig;
        QVERIFY(rig.requests.WriteUnlock());
        QVERIFY(rig.requests.ReadPhaseCorrection(167));
        QCOMPARE(int(rig.port.written.size()), 1);
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.port.written.size()), 2, 2000);
        QCOMPARE(rig.lastRequest(), ReadRequest(167, 2));
    }

    // A port closed and opened again: the request on the line is asked again
    // on the new line.
    void aReopenedLineIsAskedAgain()
    {
        LinkRig rig;
        rig.requests.ReadAlarmLimit(118);
        rig.port.pendingReads << LimitReply(1.0f).left(4);  // half a reply, lost with the old line
        rig.link.bytesWaiting();
        rig.port.pendingReads.clear();
        rig.link.lineReset();
        QCOMPARE(Sent(rig.port), (QStringList{ReadRequest(118, 2), ReadRequest(118, 2)}));
        rig.receive(LimitReply(2.0f));
        QCOMPARE(rig.state.AlarmLimits[0], 2.0f);
        QCOMPARE(rig.lastRequest(), ReadRequest(119, 2));
    }

    // Sampling that gets no answer lets a waiting transfer have the line at
    // its re-read, and asks again after it.
    void unansweredSamplingLetsAWaitingTransferGo()
    {
        LinkRig rig;
        rig.sampling.startContinuous();
        rig.requests.ReadInstrumentSettings(2);
        QTRY_COMPARE_WITH_TIMEOUT(rig.lastRequest(), ReadRequest(188, 2), 4000);
        QCOMPARE(rig.view.status[MainWindowView::LinkPanel], QString("Communication failure, re-request data!"));
        rig.receive(SettingsReply(0));
        QCOMPARE(rig.lastRequest(), ReadRequest(148, 2));
        rig.receive(BulkReply(5));
        QCOMPARE(int(rig.state.TestRecord.CurrentZero.get()), 0x0505);
    }

    // A transfer step that gets no usable reply is asked again (three quick
    // repeats, then every two seconds) and given up after 8 s; its window
    // learns that it ended, and the line is free again.
    void aTransferGivesUpAfterEightSeconds()
    {
        LinkRig rig;
        QElapsedTimer clock;
        clock.start();
        rig.requests.ReadInstrumentSettings(18);
        QTRY_COMPARE_WITH_TIMEOUT(rig.log.entries, QStringList{"settings read ended: 0"}, 12000);
        QVERIFY2(clock.elapsed() >= 7500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(Sent(rig.port), QStringList(7, ReadRequest(188, 18)));
        QCOMPARE(rig.view.status[MainWindowView::LinkPanel], QString("Communication failure, re-request data!"));
        QVERIFY(rig.link.idle());
    }
};

QTEST_GUILESS_MAIN(LinkMasterTest)
#include "test_link_master.moc"
