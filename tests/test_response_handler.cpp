// The reply handler behind the link master, against a scripted port, a
// recording main window and recording settings windows: what each reply
// stores, shows and asks next.

#include "acquisition/fundamental_phase.h"
#include "support/link_rig.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;

using Rig = LinkRig;

QByteArray Raw(const void* p, int n) { return QByteArray(static_cast<const char*>(p), n); }

QByteArray FloatBytes(float value)
{
    QByteArray b(4, '\0');
    le::storeF32(reinterpret_cast<uint8_t*>(b.data()), value);
    return b;
}

// 128 samples of wave(k), as converter counts.
QByteArray Wave(const std::function<double(int)>& wave)
{
    QByteArray b(256, '\0');
    for (int k = 0; k < 128; ++k) le::storeU16(reinterpret_cast<uint8_t*>(b.data()) + 2 * k, uint16_t(std::lround(wave(k))));
    return b;
}
QByteArray Sine(double phaseDeg, double dc, double amplitude)
{
    return Wave([=](int k) { return dc + amplitude * std::sin(2 * kPi * k / 128 + phaseDeg * kPi / 180); });
}

// A measurement with readouts 10..24, a sine voltage from sample 0 and a
// cosine current.
TestRecordImage Measurement()
{
    TestRecordImage r{};
    for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) r.readout(i).set(10.0f + i);
    r.AuxFactor1.set(1.0f);
    r.AuxFactor2.set(1.0f);
    r.SampleCount.set(512);
    std::memcpy(r.VoltageSamples, Sine(0, 2047, 1500).constData(), 256);
    std::memcpy(r.CurrentSamples, Sine(90, 2047, 800).constData(), 256);
    return r;
}
QByteArray BulkReply(const TestRecordImage& r) { return WithCrc(Raw(r.bytes(), kMeasurementImageSize)); }

} // namespace

class ResponseHandlerTest : public QObject {
    Q_OBJECT

private slots:
    void bulkReplyTakesTheImageAndSchedulesByMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("modeAfter");
        QTest::addColumn<bool>("nextRequestArmed");
        QTest::newRow("continuous rests, then asks again") << 2 << 2 << true;
        QTest::newRow("single sampling ends") << 1 << 0 << false;
        QTest::newRow("late reply after stop is only drawn") << 0 << 0 << false;
    }
    void bulkReplyTakesTheImageAndSchedulesByMode()
    {
        QFETCH(int, mode);
        QFETCH(int, modeAfter);
        QFETCH(bool, nextRequestArmed);
        Rig rig;
        mode == 1 ? rig.sampling.startSingle() : rig.sampling.startContinuous();
        if (mode == 0) rig.sampling.stop();
        rig.state.TestRecord.Reserved[100] = 0x5A;
        const int writesBefore = int(rig.port.written.size());

        TestRecordImage sent = Measurement();
        sent.Urms.set(std::numeric_limits<float>::quiet_NaN());
        sent.Ipeak.set(std::numeric_limits<float>::infinity());
        sent.SampleCount.set(0);
        rig.receive(BulkReply(sent));

        // The whole image, repaired; the reserved tail is not part of it.
        QCOMPARE(rig.state.TestRecord.Urms.get(), 0.0f);
        QVERIFY(std::isinf(rig.state.TestRecord.Ipeak.get()));
        QCOMPARE(int(rig.state.TestRecord.SampleCount.get()), 512);
        QCOMPARE(Raw(rig.state.TestRecord.bytes() + 4, 470), Raw(sent.bytes() + 4, 470));
        QCOMPARE(Raw(rig.state.TestRecord.VoltageSamples, 2052), Raw(sent.VoltageSamples, 2052));
        QCOMPARE(int(rig.state.TestRecord.Reserved[100]), 0x5A);
        // Data for machines keeps what was sent.
        QCOMPARE(Raw(rig.state.ReceivedRecord.bytes(), kMeasurementImageSize), Raw(sent.bytes(), kMeasurementImageSize));

        QCOMPARE(rig.view.redraws, 2);
        QCOMPARE(rig.view.status[MainWindowView::LinkPanel], QString("Communication success!"));
        QCOMPARE(rig.view.status[MainWindowView::DatePanel], QString("Date: 2024/5/6 7:08:09"));
        QCOMPARE(rig.log.entries, (QStringList{"U phase: 0   ", "I phase: 90   "}));
        QCOMPARE(int(rig.state.SamplingMode), modeAfter);
        QVERIFY(!rig.timer("ReReadTimer")->isActive());
        QCOMPARE(rig.timer("ContinuousReadTimer")->isActive(), nextRequestArmed);
        QCOMPARE(int(rig.port.written.size()), writesBefore);  // the next request waits for its timer
        if (mode == 1) {
            using C = MainWindowView::Control;
            for (C c : {C::SingleButton, C::ContinuousButton, C::ContinuousItem, C::StopItem})
                QVERIFY(rig.view.enabled.value(c));
        }
    }

    void unusableRepliesAreAskedForAgainAndChangeNothing_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QByteArray>("read");
        const QByteArray bulk = BulkReply(Measurement());
        QByteArray flipped = bulk;
        flipped[1000] = char(flipped[1000] ^ 0x10);
        const QString bulkRequest = ReadRequest(148, 2);
        QTest::newRow("one flipped byte") << bulkRequest << flipped;
        QTest::newRow("four bytes") << bulkRequest << Bytes({2, 3, 0, 0});
        QTest::newRow("reply cut short") << bulkRequest << bulk.left(1000);
        // A settings reply header, then what no reply holds: read to the
        // length its header gives, found damaged, the rest thrown away.
        QTest::newRow("settings reply run into noise")
            << ReadRequest(188, 2) << WithCrc(Bytes({2, 0x03, 19}) + QByteArray(2995, char(0x77)));
        QTest::newRow("starting block 3, a byte short")
            << ReadRequest(147, 0x0300) << WithCrc(QByteArray(kStartingBlockSize, 'x')).left(1709);
    }
    void unusableRepliesAreAskedForAgainAndChangeNothing()
    {
        QFETCH(QString, request);
        QFETCH(QByteArray, read);
        Rig rig;
        rig.state.StartBlockIndex = 3;
        if (request == ReadRequest(148, 2)) rig.requests.ReadMeasurement();
        if (request == ReadRequest(188, 2)) rig.requests.ReadInstrumentSettings(2);
        if (request == ReadRequest(147, 0x0300)) rig.requests.RequestStartingBlock(3);
        QCOMPARE(rig.lastRequest(), request);
        rig.port.written.clear();
        const AcquisitionState before = rig.state;

        rig.receive(read);

        // Asked again once the line is quiet, and only once: what followed the
        // damaged part is thrown away with the line's noise.
        QCOMPARE(int(rig.port.written.size()), 1);
        QCOMPARE(ToHex(rig.port.written.first()), request);
        QTest::qWait(100);
        QCOMPARE(int(rig.port.written.size()), 1);
        QCOMPARE(Raw(&rig.state.TestRecord, kTestRecordSize), Raw(&before.TestRecord, kTestRecordSize));
        QCOMPARE(Raw(&rig.state.CtSettings, 19), Raw(&before.CtSettings, 19));
        QCOMPARE(Raw(rig.state.StartingStaging, kStartingImageSize), Raw(before.StartingStaging, kStartingImageSize));
        QCOMPARE(int(rig.state.StartBlockIndex), 3);
        QCOMPARE(rig.view.redraws, 0);
        QVERIFY(rig.log.entries.isEmpty() && rig.notifier.messages.isEmpty());
        QVERIFY(!rig.view.status.contains(MainWindowView::LinkPanel));
    }

    // A reply is read as soon as it is complete, and given up on when
    // incomplete only after its line time.
    void replyIsReadWhenWholeAndNoLater()
    {
        Rig rig;
        rig.state.UsbLinkState = LinkPlainSerial;
        rig.sampling.startSingle();
        const QByteArray bulk = BulkReply(Measurement());

        // At 300 bit/s the whole reply would take 84 s on the line; it is
        // taken as soon as it is complete.
        rig.port.speed = 300;
        rig.port.pendingReads << bulk.left(1000);
        rig.link.bytesWaiting();
        QTest::qWait(120);
        QCOMPARE(rig.view.redraws, 1);  // the start's redraw only: nothing taken yet
        QVERIFY(rig.link.receiving());
        QVERIFY(!rig.view.progress.isEmpty() && rig.view.progress.last() < 50);
        rig.port.pendingReads << bulk.mid(1000);
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.state.SamplingMode), 0, 5000);
        QCOMPARE(rig.view.redraws, 2);
        QCOMPARE(rig.view.progress.first(), 0);
        QCOMPARE(rig.view.progress.last(), 50);
        rig.settle();
        QVERIFY(!rig.link.receiving());

        // Half a reply that never ends: after its line time and a margin it
        // is found short and asked for again.
        rig.view.progress.clear();
        rig.port.speed = 115200;
        rig.sampling.startSingle();
        const int sent = int(rig.port.written.size());
        rig.port.pendingReads << bulk.left(1000);
        QElapsedTimer clock;
        clock.start();
        rig.link.bytesWaiting();
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.port.written.size()), sent + 1, 2000);
        // Not before 2532 bytes could have come in at 115.2 kbit/s.
        QVERIFY2(clock.elapsed() >= 220, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(ToHex(rig.port.written.last()), ReadRequest(148, 2));
        QCOMPARE(int(rig.state.SamplingMode), 1);

        // Any reply on a USB link shows the link alive.
        rig.state.UsbLinkState = LinkInstrumentUsb;
        rig.state.KeepAliveTicks = 7;
        rig.receive(bulk);
        QCOMPARE(int(rig.state.SamplingMode), 0);
        QCOMPARE(rig.state.KeepAliveTicks, 0);
    }

    // A measurement whose reply never begins is asked for again after half a
    // second, three times at most, and not once sampling has stopped.
    void overdueMeasurementIsAskedForAgain()
    {
        Rig rig;
        rig.sampling.startContinuous();
        QCOMPARE(int(rig.port.written.size()), 1);
        QTest::qWait(300);
        QCOMPARE(int(rig.port.written.size()), 1);
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.port.written.size()), 4, 3000);
        QVERIFY(rig.view.status.isEmpty());
        // Then the re-read timer, which says so.
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.port.written.size()), 5, 3000);
        QCOMPARE(rig.view.status[MainWindowView::LinkPanel], QString("Communication failure, re-request data!"));
        for (const QByteArray& w : rig.port.written) QCOMPARE(ToHex(w), ReadRequest(148, 2));

        // Stopped: nothing more is asked for.
        rig.sampling.stop();
        rig.port.written.clear();
        QTest::qWait(2500);
        QVERIFY(rig.port.written.isEmpty());
    }

    // Bytes that answer no request are dropped; nothing is asked for them.
    void strayBytesBeforeAnyRequestAreDropped()
    {
        Rig rig;
        rig.receive(Bytes({0x55, 0x13}));
        rig.receive(QByteArray(3000, 'x'));
        QTest::qWait(100);
        QVERIFY(rig.port.written.isEmpty());
        QVERIFY(!rig.link.receiving());
        QCOMPARE(rig.dropped.size(), 2);
    }

    void startingTestRunsFromTriggerToCapture()
    {
        Rig rig;
        rig.requests.TriggerStartingTest(0x20);
        rig.state.LastRequestRegister = 147;
        const QByteArray captureBefore = Raw(&rig.state.StartingCapture, kStartingImageSize);

        rig.receive(WithCrc(FromHex("02 0A 92")));
        QCOMPARE(rig.lastRequest(), QString("02 03 00 93 01 00 B4 44"));
        QCOMPARE(int(rig.state.StartBlockIndex), 1);
        QCOMPARE(int(rig.state.LastRequestCount), 1);

        QByteArray expected;
        QStringList status{"starting: Successfully triggered"};
        for (int block = 1; block <= 6; ++block) {
            QByteArray data(kStartingBlockSize, '\0');
            for (int i = 0; i < data.size(); ++i) data[i] = char(i * 7 + block * 31);
            expected += data;
            rig.receive(WithCrc(data));
            if (block == 6) break;
            status << QString("starting: Receiving data%1").arg(block + 1);
            QCOMPARE(rig.lastRequest(), ReadRequest(147, (block + 1) * 256));
            QCOMPARE(int(rig.state.LastRequestRegister), 147);
            QCOMPARE(int(rig.state.LastRequestCount), block + 1);
            QCOMPARE(Raw(&rig.state.StartingCapture, kStartingImageSize), captureBefore);  // never partly replaced
        }
        QCOMPARE(rig.log.entries, (status + QStringList{"starting: Testing completed", "plot"}));
        QCOMPARE(int(rig.port.written.size()), 7);  // trigger and six block requests
        QCOMPARE(int(rig.state.StartBlockIndex), 0);
        QCOMPARE(Raw(&rig.state.StartingCapture, kStartingImageSize), expected);
    }

    void startingRepliesOutsideATransferAreIgnored_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("blockIndex");
        QTest::newRow("block without a trigger") << WithCrc(QByteArray(kStartingBlockSize, 'b')) << 0;
        QTest::newRow("block after the sixth") << WithCrc(QByteArray(kStartingBlockSize, 'b')) << 7;
        QTest::newRow("trigger code other than 0x92") << WithCrc(FromHex("02 0A 93")) << 0;
    }
    void startingRepliesOutsideATransferAreIgnored()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, blockIndex);
        Rig rig;
        rig.state.StartBlockIndex = uint8_t(blockIndex);
        rig.receive(reply);
        QVERIFY(rig.port.written.isEmpty() && rig.log.entries.isEmpty());
        QCOMPARE(int(rig.state.StartBlockIndex), blockIndex);
        QCOMPARE(Raw(rig.state.StartingStaging, kStartingImageSize), QByteArray(kStartingImageSize, '\0'));
    }

    // A new start during a transfer: the block of the old transfer that is
    // still answered is left out, and the new transfer stores its own.
    void aNewStartLeavesTheOldTransfersBlocksOut()
    {
        Rig rig;
        rig.requests.TriggerStartingTest(0);
        rig.receive(WithCrc(FromHex("02 0A 92")));
        QCOMPARE(rig.lastRequest(), ReadRequest(147, 0x0100));
        rig.state.StartBlockIndex = 0;  // the window's new start
        rig.requests.TriggerStartingTest(0x10);
        rig.receive(WithCrc(QByteArray(kStartingBlockSize, 'o')));  // block 1 of the old transfer
        QCOMPARE(Raw(rig.state.StartingStaging, kStartingBlockSize), QByteArray(kStartingBlockSize, '\0'));
        QCOMPARE(rig.lastRequest(), ReadRequest(147, 0x10));  // the new start is on its way
        rig.receive(WithCrc(FromHex("02 0A 92")));
        rig.receive(WithCrc(QByteArray(kStartingBlockSize, 'n')));
        QCOMPARE(Raw(rig.state.StartingStaging, kStartingBlockSize), QByteArray(kStartingBlockSize, 'n'));
        QCOMPARE(rig.lastRequest(), ReadRequest(147, 0x0200));
    }

    void alarmReadOutRunsThroughAllNineRegisters()
    {
        Rig rig;
        rig.requests.ReadAlarmLimit(118);  // the dialog's opening read
        const float limits[8] = {300.0f, 0.0f, 20.0f, 0.12345678f, 6000.0f, -1.5f, 1.0f, 0.5f};
        const QStringList texts = {"300", "0", "20", "0.1235", "6000", "-1.5", "1", "0.5"};
        QStringList expected;
        for (int i = 0; i < 8; ++i) {
            if (i == 3) {
                // A damaged reply mid-chain: that register is asked for again
                // and the chain goes on from there.
                const int sent = int(rig.port.written.size());
                QByteArray damaged = ReadReply(FloatBytes(limits[i]));
                damaged[4] = char(damaged[4] ^ 0x01);
                rig.receive(damaged);
                QCOMPARE(int(rig.port.written.size()), sent + 1);
                QCOMPARE(rig.lastRequest(), ReadRequest(118 + i, 2));
            }
            rig.receive(ReadReply(FloatBytes(limits[i])));
            QCOMPARE(rig.lastRequest(), ReadRequest(119 + i, 2));
            QCOMPARE(rig.state.AlarmLimits[i], limits[i]);
            expected << QString("field%1: %2").arg(i + 1).arg(texts[i]);
        }
        rig.receive(ReadReply(Bytes({0x81, 0, 0, 0})));  // first and eighth limit on

        QCOMPARE(rig.log.entries, (expected + QStringList{"bits: 81", "alarm: Successful synchronization",
                                                          "alarm read-out ended: 1"}));
        QCOMPARE(int(rig.port.written.size()), 10);
        QCOMPARE(int(rig.state.AlarmEnableBits), 0x81);
        QCOMPARE(int(rig.state.AlarmReadStep), 9);
        QCOMPARE(rig.view.status[MainWindowView::LinkPanel], QString("Successful synchronization"));
    }

    void alarmReadOutStopsWhenThePortCloses()
    {
        Rig rig;
        rig.requests.ReadAlarmLimit(118);
        rig.port.written.clear();
        const QByteArray reply = ReadReply(FloatBytes(250.0f));

        rig.port.open = false;  // the chain cannot go on, and says so
        rig.receive(reply);
        QCOMPARE(rig.notifier.messages, QStringList{"Read the request failed, instruments and computers have not connected."});
        QCOMPARE(int(rig.state.AlarmReadStep), 1);
        QCOMPARE(rig.log.entries, (QStringList{"field1: 250", "alarm read-out ended: 0"}));

        // The same reply again answers nothing that was asked: dropped.
        rig.port.open = true;
        rig.receive(reply);
        QCOMPARE(rig.log.entries.size(), 2);
        QVERIFY(rig.port.written.isEmpty());
        QCOMPARE(rig.dropped.size(), 1);
    }

    void writeAcknowledgementsDriveTheChains_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("request");
        const QStringList texts = {"Sending AL1L", "Sending AL2H", "Sending AL2L", "Sending AL3H",
                                   "Sending AL3L", "Sending AL4H", "Sending AL4L"};
        for (int r = 118; r <= 124; ++r) {
            const auto frame = ComposeFloatWrite(2, uint16_t(r + 1), float(r + 1));
            // The label names the value about to go out.
            QTest::addRow("ack %d", r) << r << QStringList{"alarm: " + texts[r - 118]} << ToHex(Raw(frame.data(), 13));
        }
        QTest::newRow("ack 125 writes the enable bits")
            << 125 << QStringList{"alarm: Data transfer is complete."} << "02 10 00 7E 00 02 04 0F 00 00 00 79 57";
        QTest::newRow("ack 126 ends the chain")
            << 126 << QStringList{"alarm: Data transmission completed.", "alarm write ended: 1"} << QString();
        QTest::newRow("ack 188 confirms the settings")
            << 188 << QStringList{"settings: Successfully write data to the instrument", "settings save ended: 1"}
            << QString();
    }
    void writeAcknowledgementsDriveTheChains()
    {
        QFETCH(int, reg);
        QFETCH(QStringList, shown);
        QFETCH(QString, request);
        Rig rig;
        for (int i = 0; i < 8; ++i) rig.state.AlarmLimits[i] = float(118 + i);
        rig.state.AlarmEnableBits = 0x0F;
        if (reg == 188) {
            rig.requests.WriteInstrumentSettings(CtSettingsBlock{});
        } else if (reg == 126) {
            rig.requests.WriteAlarmEnableBits(0x0F);
        } else {
            rig.requests.WriteAlarmLimit(uint16_t(reg), float(reg));
        }

        rig.receive(WriteAck(reg));  // the shortest acknowledgement

        QCOMPARE(rig.log.entries, shown);
        QCOMPARE(int(rig.port.written.size()), request.isEmpty() ? 1 : 2);
        if (!request.isEmpty()) QCOMPARE(rig.lastRequest(), request);
    }

    void settingsReadFillsTheMirrorAndTheStatus_data()
    {
        QTest::addColumn<int>("bandwidth");
        QTest::addColumn<QString>("panel1");
        QTest::newRow("broadband") << 1 << "Broadband";
        QTest::newRow("narrowband") << 0 << "Narrowband";
    }
    void settingsReadFillsTheMirrorAndTheStatus()
    {
        QFETCH(int, bandwidth);
        QFETCH(QString, panel1);
        Rig rig;
        rig.requests.ReadInstrumentSettings(18);
        const QByteArray block = FloatBytes(1e-4f) + FloatBytes(50.0f) + FloatBytes(1.0f) + Bytes({bandwidth, 1, 10, 0, 1, 0x33, 3});
        rig.receive(ReadReply(block));

        QCOMPARE(Raw(&rig.state.CtSettings, 19), block);
        QCOMPARE(rig.log.entries, (QStringList{"settings: Successful synchronization", "block: " + ToHex(block),
                                               "settings read ended: 1"}));
        QCOMPARE(rig.view.status[MainWindowView::LinkPanel], QString("Successful synchronization"));
        QCOMPARE(rig.view.status[MainWindowView::BandwidthPanel], panel1);
        QCOMPARE(int(rig.port.written.size()), 1);  // only the read itself
    }

    void phaseCorrectionReadsShowTheAngle_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<bool>("angleToTime");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one degree") << 167 << true << float(1.0 / 360 * 0.02) << "narrowband: 1";
        QTest::newRow("-2 degrees") << 168 << true << float(-2.0 / 360 * 0.02) << "broadband: -2";
        // With the digits a float carries, not 0.100000001490116.
        QTest::newRow("a tenth") << 167 << true << float(0.1 / 360 * 0.02) << "narrowband: 0.1";
        QTest::newRow("as stored") << 168 << false << 0.25f << "broadband: 0.25";
    }
    void phaseCorrectionReadsShowTheAngle()
    {
        QFETCH(int, reg);
        QFETCH(bool, angleToTime);
        QFETCH(float, value);
        QFETCH(QString, shown);
        Rig rig;
        rig.calibration.angleToTime = angleToTime;
        rig.requests.ReadPhaseCorrection(uint16_t(reg));
        rig.receive(ReadReply(FloatBytes(value)));
        QCOMPARE(rig.log.entries, QStringList{shown});
    }

    // Replies too short for what their register carries store nothing; a
    // transfer they belong to ends, incomplete.
    void repliesTooShortForTheirRegister_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("the keep-alive's") << 187 << ReadReply(QByteArray(30, '\1')) << QStringList();
        QTest::newRow("settings reply without the block")
            << 188 << ReadReply(FloatBytes(1.0f)) << QStringList{"settings read ended: 0"};
        QTest::newRow("limit reply without its float")
            << 120 << ReadReply(Bytes({1, 2})) << QStringList{"alarm read-out ended: 0"};
        QTest::newRow("enable bits without their byte")
            << 126 << ReadReply(QByteArray()) << QStringList{"alarm read-out ended: 0"};
    }
    void repliesTooShortForTheirRegister()
    {
        QFETCH(int, reg);
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, shown);
        Rig rig;
        if (reg == 187) rig.requests.SendKeepAlive();
        if (reg == 188) rig.requests.ReadInstrumentSettings(2);
        if (reg == 120) rig.requests.ReadAlarmLimit(120);
        if (reg == 126) rig.requests.ReadAlarmEnableBits();
        rig.receive(reply);
        QCOMPARE(rig.log.entries, shown);
        QCOMPARE(int(rig.port.written.size()), 1);
        QVERIFY(rig.view.status.isEmpty());
        QCOMPARE(Raw(&rig.state.CtSettings, 19), QByteArray(19, '\0'));
        QCOMPARE(int(rig.state.AlarmReadStep), 0);
    }

    void chainsRunWithoutTheirWindows()
    {
        Rig rig;
        rig.sinks = ReplySinks{};
        rig.requests.WriteAlarmLimit(125, 1.0f);
        rig.receive(WriteAck(125));
        QCOMPARE(int(rig.port.written.size()), 2);
        rig.receive(WriteAck(126));
        rig.requests.ReadInstrumentSettings(2);
        rig.receive(ReadReply(QByteArray(12, '\0') + Bytes({1, 0, 0, 0, 0, 0, 0})));
        QCOMPARE(int(rig.state.CtSettings.Bandwidth), 1);
        rig.sampling.startSingle();
        rig.receive(BulkReply(Measurement()));
        QCOMPARE(rig.view.redraws, 2);
        QVERIFY(rig.log.entries.isEmpty());
    }

    void fundamentalPhase_data()
    {
        QTest::addColumn<QByteArray>("samples");
        QTest::addColumn<double>("expected");
        QTest::newRow("sine from sample 0") << Sine(0, 2047, 1000) << 0.0;
        QTest::newRow("cosine") << Sine(90, 2047, 1000) << 90.0;
        QTest::newRow("cosine, low dc") << Sine(90, 900, 800) << 90.0;
        QTest::newRow("cosine, high dc") << Sine(90, 3200, 800) << 90.0;
        QTest::newRow("260 stays") << Sine(260, 2047, 1000) << 260.0;
        QTest::newRow("-100 wraps to 260") << Sine(-100, 2047, 1000) << 260.0;
        QTest::newRow("300 wraps to -60") << Sine(300, 2047, 1000) << -60.0;
        QTest::newRow("37.5 among harmonics") << Wave([](int k) {
            const double t = 2 * kPi * k / 128;
            return 2047 + 900 * std::sin(t + 37.5 * kPi / 180) + 200 * std::sin(3 * t) + 90 * std::cos(5 * t);
        }) << 37.5;
        QTest::newRow("flat line") << Wave([](int) { return 2047.0; }) << 0.0;
    }
    void fundamentalPhase()
    {
        QFETCH(QByteArray, samples);
        QFETCH(double, expected);
        const float phase = FundamentalPhase(reinterpret_cast<const le::U16*>(samples.constData()), 128);
        QVERIFY2(std::abs(phase - expected) < 0.05, qPrintable(QString::number(phase)));
    }
};

QTEST_GUILESS_MAIN(ResponseHandlerTest)
#include "test_response_handler.moc"
