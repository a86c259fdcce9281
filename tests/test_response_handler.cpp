// The reply handler against a scripted port, a recording main window and
// recording settings windows: what each reply stores, shows and asks next.

#include "acquisition/acquisition_state.h"
#include "acquisition/fundamental_phase.h"
#include "acquisition/reply_sinks.h"
#include "acquisition/response_handler.h"
#include "acquisition/sampling_controller.h"
#include "link/modbus_framing.h"
#include "link/register_map.h"
#include "support/recording_main_window_view.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The settings windows write what they are shown into one log, "window: text",
// together with how many requests had gone out by then.
struct WindowLog {
    explicit WindowLog(const ScriptedPort& p) : port(&p) {}
    const ScriptedPort* port;
    QStringList entries;
    QList<int> writesAt;
    void add(const QString& entry)
    {
        entries << entry;
        writesAt << int(port->written.size());
    }
};

struct AlarmWindow : AlarmReplySink {
    WindowLog& log;
    explicit AlarmWindow(WindowLog& l) : log(l) {}
    void showLimitText(int field, const QString& text) override { log.add(QString("field%1: %2").arg(field).arg(text)); }
    void showEnableBits(uint8_t bits) override { log.add(QString("bits: %1").arg(bits, 2, 16, QChar('0'))); }
    void showStatus(const QString& text) override { log.add("alarm: " + text); }
};

struct SettingsWindow : InstrumentSettingsReplySink {
    WindowLog& log;
    explicit SettingsWindow(WindowLog& l) : log(l) {}
    void showSettings(const CtSettingsBlock& b) override { log.add("block: " + ToHex(QByteArray((const char*)b.bytes(), 19))); }
    void showStatus(const QString& text) override { log.add("settings: " + text); }
};

struct CalibrationWindow : CalibrationReplySink {
    WindowLog& log;
    bool angleToTime = true;
    explicit CalibrationWindow(WindowLog& l) : log(l) {}
    void showVoltagePhase(const QString& text) override { log.add("U phase: " + text); }
    void showCurrentPhase(const QString& text) override { log.add("I phase: " + text); }
    bool angleToTimeChecked() const override { return angleToTime; }
    void showNarrowbandPhase(const QString& text) override { log.add("narrowband: " + text); }
    void showBroadbandPhase(const QString& text) override { log.add("broadband: " + text); }
};

struct StartingWindow : StartingReplySink {
    WindowLog& log;
    explicit StartingWindow(WindowLog& l) : log(l) {}
    void showStatus(const QString& text) override { log.add("starting: " + text); }
    void drawStartingPlot() override { log.add("plot"); }
};

// Everything the handler talks to, wired as the main window wires it.
struct Rig {
    AcquisitionState state;
    ScriptedPort port;
    ModbusMaster master{state, port};
    InstrumentRequests requests{state, master};
    RecordingMainWindowView view;
    RecordingNotifier notifier;
    SamplingController sampling{state, requests, port, view, notifier};
    WindowLog log{port};
    AlarmWindow alarm{log};
    SettingsWindow settings{log};
    CalibrationWindow calibration{log};
    StartingWindow starting{log};
    ReplySinks sinks{&alarm, &settings, &calibration, &starting};
    ResponseHandler handler{state, port, requests, sampling, view, notifier, sinks};

    Rig()
    {
        InitAcquisitionState(state, QSize(800, 600), nullptr);
        state.SlaveAddress = 2;
        handler.dateTimeText = [] { return QStringLiteral("2024/5/6 7:08:09"); };
        master.onRequestSent = [this] { handler.requestSent(); };
    }
    // One complete reply, as the receiver hands it over.
    void receive(const QByteArray& bytes) { handler.handleReply(bytes); }
    QTimer* timer(const char* name) { return sampling.findChild<QTimer*>(QLatin1String(name)); }
    QString lastRequest() const { return port.written.isEmpty() ? QString() : ToHex(port.written.last()); }
};

QString ReadRequest(int reg, int count) { return ToHex(WithCrc(Bytes({2, 3, reg >> 8, reg & 0xFF, count >> 8, count & 0xFF}))); }
QByteArray Raw(const void* p, int n) { return QByteArray(static_cast<const char*>(p), n); }
QByteArray ReadReply(const QByteArray& data) { return WithCrc(Bytes({2, 0x03, int(data.size())}) + data); }

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
        if (mode == 1) rig.sampling.startSingle();
        if (mode == 2) rig.sampling.startContinuous();
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

        QCOMPARE(rig.view.redraws, mode == 0 ? 1 : 2);
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

    void unusableReadsAreReRequestedAndChangeNothing_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<int>("lastRegister");
        QTest::addColumn<int>("lastCount");
        QTest::addColumn<QString>("reRequest");
        const QByteArray bulk = BulkReply(Measurement());
        QByteArray flipped = bulk;
        flipped[1000] = char(flipped[1000] ^ 0x10);
        // Routed like a settings read and ending in a matching CRC: only its
        // length betrays it.
        const QByteArray oversized = WithCrc(Bytes({2, 0x03, 19}) + QByteArray(2995, char(0x77)));
        const QString bulkRequest = ReadRequest(148, 2);
        QTest::newRow("one flipped byte") << QList<QByteArray>{flipped} << 148 << 2 << bulkRequest;
        QTest::newRow("four bytes") << QList<QByteArray>{Bytes({2, 3, 0, 0})} << 148 << 2 << bulkRequest;
        QTest::newRow("nothing") << QList<QByteArray>{QByteArray()} << 148 << 2 << bulkRequest;
        QTest::newRow("reply cut short, then its rest")
            << QList<QByteArray>{bulk.left(1000), bulk.mid(1000)} << 148 << 2 << bulkRequest;
        QTest::newRow("read longer than the reply buffer") << QList<QByteArray>{oversized} << 148 << 2 << bulkRequest;
        QTest::newRow("starting block 3 is asked for again")
            << QList<QByteArray>{WithCrc(QByteArray(1708, 'x')).left(1709)} << 147 << 3 << ReadRequest(147, 0x0300);
    }
    void unusableReadsAreReRequestedAndChangeNothing()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(int, lastRegister);
        QFETCH(int, lastCount);
        QFETCH(QString, reRequest);
        Rig rig;
        rig.requests.ReadInstrumentSettings(2);  // read replies now route as settings
        rig.port.written.clear();
        rig.state.LastRequestRegister = uint8_t(lastRegister);
        rig.state.LastRequestCount = uint8_t(lastCount);
        rig.state.StartBlockIndex = 3;
        const AcquisitionState before = rig.state;

        for (const QByteArray& read : reads) rig.receive(read);

        // Asked again once the line is quiet, and only once: the rest of a
        // reply cut short is thrown away with the line's noise.
        QVERIFY(rig.handler.replyInProgress());
        QVERIFY(rig.port.written.isEmpty());
        QTRY_COMPARE(int(rig.port.written.size()), 1);
        QCOMPARE(ToHex(rig.port.written.first()), reRequest);
        QTest::qWait(100);
        QCOMPARE(int(rig.port.written.size()), 1);
        QCOMPARE(Raw(&rig.state.TestRecord, kTestRecordSize), Raw(&before.TestRecord, kTestRecordSize));
        QCOMPARE(Raw(&rig.state.CtSettings, 19), Raw(&before.CtSettings, 19));
        QCOMPARE(Raw(rig.state.StartingStaging, kStartingImageSize), Raw(before.StartingStaging, kStartingImageSize));
        QCOMPARE(int(rig.state.StartBlockIndex), 3);
        QCOMPARE(rig.view.redraws, 0);
        QVERIFY(rig.view.status.isEmpty() && rig.log.entries.isEmpty() && rig.notifier.messages.isEmpty());
    }

    // The receiver reads a reply as soon as the request's reply is complete,
    // and gives up on an incomplete one only after its line time.
    void receiverWaitsForTheWholeReplyAndNoLonger()
    {
        Rig rig;
        rig.state.UsbLinkState = LinkPlainSerial;
        rig.sampling.startSingle();
        const QByteArray bulk = BulkReply(Measurement());

        // At 300 bit/s the whole reply would take 84 s on the line; it is
        // read as soon as it is complete.
        rig.port.speed = 300;
        rig.port.pendingReads << bulk.left(1000);
        rig.handler.Comm1ReceiveData();
        QTest::qWait(120);
        QCOMPARE(rig.view.redraws, 1);  // the start's redraw only: nothing read yet
        QVERIFY(rig.handler.replyInProgress());
        QVERIFY(!rig.view.progress.isEmpty() && rig.view.progress.last() < 50);
        rig.port.pendingReads.first() += bulk.mid(1000);
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.state.SamplingMode), 0, 5000);
        QCOMPARE(rig.view.redraws, 2);
        QCOMPARE(rig.view.progress.first(), 0);
        QCOMPARE(rig.view.progress.last(), 50);
        QVERIFY(!rig.handler.replyInProgress());

        // Half a reply that never ends: after its line time and a margin it
        // is taken as it is, found short, and asked for again.
        rig.view.progress.clear();
        rig.port.speed = 115200;
        rig.sampling.startSingle();
        const int sent = int(rig.port.written.size());
        rig.port.pendingReads << bulk.left(1000);
        QElapsedTimer clock;
        clock.start();
        rig.handler.Comm1ReceiveData();
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.port.written.size()), sent + 1, 2000);
        // Not before 2532 bytes could have come in at 115.2 kbit/s.
        QVERIFY2(clock.elapsed() >= 220, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(ToHex(rig.port.written.last()), ReadRequest(148, 2));
        QCOMPARE(int(rig.state.SamplingMode), 1);

        // A USB link takes what is there right after the settle.
        rig.state.UsbLinkState = LinkInstrumentUsb;
        rig.state.KeepAliveTicks = 7;
        rig.port.written.clear();
        rig.port.pendingReads << bulk;
        rig.handler.Comm1ReceiveData();
        QTRY_COMPARE_WITH_TIMEOUT(int(rig.state.SamplingMode), 0, 1000);
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
        rig.requests.ReadMeasurement();
        QTest::qWait(700);
        QCOMPARE(int(rig.port.written.size()), 1);
    }

    // Bytes that answer no request are dropped, not answered with a read of
    // register 0.
    void strayBytesBeforeAnyRequestAreDropped()
    {
        Rig rig;
        rig.state.LastRequestRegister = 0;
        rig.state.LastRequestCount = 0;
        rig.receive(Bytes({0x55, 0x13}));
        rig.receive(QByteArray(3000, 'x'));
        QTest::qWait(100);
        QVERIFY(rig.port.written.isEmpty());
        QVERIFY(!rig.handler.replyInProgress());
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
                QTRY_COMPARE(int(rig.port.written.size()), sent + 1);
                QCOMPARE(rig.lastRequest(), ReadRequest(118 + i, 2));
            }
            rig.receive(ReadReply(FloatBytes(limits[i])));
            QCOMPARE(rig.lastRequest(), ReadRequest(119 + i, 2));
            QCOMPARE(rig.state.AlarmLimits[i], limits[i]);
            expected << QString("field%1: %2").arg(i + 1).arg(texts[i]);
        }
        rig.receive(ReadReply(Bytes({0x81, 0, 0, 0})));  // first and eighth limit on

        QCOMPARE(rig.log.entries, (expected + QStringList{"bits: 81", "alarm: Successful synchronization"}));
        QCOMPARE(int(rig.port.written.size()), 10);
        QCOMPARE(int(rig.state.AlarmEnableBits), 0x81);
        QCOMPARE(int(rig.state.AlarmReadStep), 9);
        QCOMPARE(rig.view.status[MainWindowView::LinkPanel], QString("Successful synchronization"));
    }

    void alarmReadOutAsksOncePerStep()
    {
        Rig rig;
        rig.requests.ReadAlarmLimit(118);
        rig.port.written.clear();
        const QByteArray reply = ReadReply(FloatBytes(250.0f));

        rig.port.open = false;  // the chain cannot go on, and says so
        rig.receive(reply);
        QCOMPARE(rig.notifier.messages, QStringList{"Read the request failed, instruments and computers have not connected."});
        QCOMPARE(int(rig.state.AlarmReadStep), 1);

        // The same reply again refreshes its field but starts no second chain.
        rig.port.open = true;
        rig.receive(reply);
        QCOMPARE(rig.log.entries, QStringList(2, "field1: 250"));
        QVERIFY(rig.port.written.isEmpty());
        QCOMPARE(int(rig.state.AlarmReadStep), 1);
    }

    void writeAcknowledgementsDriveTheChains_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("request");
        QTest::addColumn<int>("writesBeforeShown");
        const QStringList texts = {"Sending AL1L", "Sending AL2H", "Sending AL2L", "Sending AL3H",
                                   "Sending AL3L", "Sending AL4H", "Sending AL4L"};
        for (int r = 118; r <= 124; ++r) {
            const auto frame = ComposeFloatWrite(2, uint16_t(r + 1), float(r + 1));
            // The label names the value about to go out.
            QTest::addRow("ack %d", r) << r << "alarm: " + texts[r - 118] << ToHex(Raw(frame.data(), 13)) << 0;
        }
        QTest::newRow("ack 125 writes the enable bits, then reports")
            << 125 << "alarm: Data transfer is complete." << "02 10 00 7E 00 02 04 0F 00 00 00 79 57" << 1;
        QTest::newRow("ack 126 ends the chain") << 126 << "alarm: Data transmission completed." << QString() << 0;
        QTest::newRow("ack 188 confirms the settings")
            << 188 << "settings: Successfully write data to the instrument" << QString() << 0;
    }
    void writeAcknowledgementsDriveTheChains()
    {
        QFETCH(int, reg);
        QFETCH(QString, shown);
        QFETCH(QString, request);
        QFETCH(int, writesBeforeShown);
        Rig rig;
        for (int i = 0; i < 8; ++i) rig.state.AlarmLimits[i] = float(118 + i);
        rig.state.AlarmEnableBits = 0x0F;

        rig.receive(WithCrc(Bytes({2, 0x09, reg})));  // the shortest acknowledgement

        QCOMPARE(rig.log.entries, QStringList{shown});
        QCOMPARE(rig.log.writesAt, QList<int>{writesBeforeShown});
        QCOMPARE(rig.lastRequest(), request);
        QCOMPARE(int(rig.port.written.size()), request.isEmpty() ? 0 : 1);
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
        QCOMPARE(rig.log.entries, (QStringList{"settings: Successful synchronization", "block: " + ToHex(block)}));
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

    void repliesThatRouteNowhereAreIgnored_data()
    {
        QTest::addColumn<int>("routing");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("read of the keep-alive register") << 187 << ReadReply(QByteArray(30, '\1'));
        QTest::newRow("settings reply too short for the block") << 188 << ReadReply(FloatBytes(1.0f));
        QTest::newRow("limit reply without its float") << 120 << ReadReply(Bytes({1, 2}));
        QTest::newRow("unknown function") << 188 << WithCrc(Bytes({2, 0x05, 188, 0, 0}));
        QTest::newRow("ack without a follow-up") << 188 << WithCrc(Bytes({2, 0x09, 167}));
    }
    void repliesThatRouteNowhereAreIgnored()
    {
        QFETCH(int, routing);
        QFETCH(QByteArray, reply);
        Rig rig;
        rig.state.RequestBuffer[3] = uint8_t(routing);
        rig.receive(reply);
        QVERIFY(rig.port.written.isEmpty() && rig.view.status.isEmpty() && rig.log.entries.isEmpty());
        QCOMPARE(Raw(&rig.state.CtSettings, 19), QByteArray(19, '\0'));
        QCOMPARE(int(rig.state.AlarmReadStep), 0);
    }

    void chainsRunWithoutTheirWindows()
    {
        Rig rig;
        rig.sinks = ReplySinks{};
        rig.receive(WithCrc(Bytes({2, 0x09, 118})));
        QCOMPARE(int(rig.port.written.size()), 1);
        rig.requests.ReadInstrumentSettings(2);
        rig.receive(ReadReply(QByteArray(12, '\0') + Bytes({1, 0, 0, 0, 0, 0, 0})));
        QCOMPARE(int(rig.state.CtSettings.Bandwidth), 1);
        rig.receive(BulkReply(Measurement()));
        QCOMPARE(rig.view.redraws, 1);
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
