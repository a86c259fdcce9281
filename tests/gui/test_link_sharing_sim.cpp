// Sampling and transfers on one line, end to end: the whole program, its
// serial component and link master on a pseudo-terminal, the simulated
// instrument answering after a turnaround of a few milliseconds, paced at
// 115.2 kbit/s, 9.6 kbit/s or answering at once. Transfers are started from
// the windows at offsets swept across a measurement; each must end with its
// success text and the right values, and measurements must go on.

#include "acquisition/sampling_controller.h"
#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "link/baud_list.h"
#include "link/link_master.h"
#include "link/port_discovery.h"
#include "link/register_map.h"
#include "link/tcomm.h"
#include "pty_simulator.h"
#include "settings/windows/starting_window.h"
#include "support/test_support.h"
#include "support/transfer_driver.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString kReRequest = QStringLiteral("Communication failure, re-request data!");

using Transfer = TransferDriver::Kind;

} // namespace

class LinkSharingSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    RecordingNotifier notifier;
    std::unique_ptr<sim::PtySimulator> simulator;
    std::unique_ptr<Program> program;
    QElapsedTimer clock;
    QList<qint64> measurementTimes;
    std::function<void()> afterNextMeasurementRequest;
    std::unique_ptr<TransferDriver> transfers;

    // baud 0: the simulator answers at once.
    void start(int baud, int turnaroundMs = 3, const QString& traceFile = QString())
    {
        sim::Options o;
        o.baud = baud;
        o.turnaroundMs = turnaroundMs;
        simulator = std::make_unique<sim::PtySimulator>(o);
        std::string error;
        QVERIFY2(simulator->start(&error), error.c_str());
        int item = BaudList::kCount - 1;
        for (int i = 0; i < BaudList::kCount; ++i) {
            if (int(BaudList::kEntries[i].baud) == baud) item = i;
        }
        QFile ini(dir.filePath("SysSet.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QString("[CommBaudrate]\nBaudrate=%1\n").arg(item).toLatin1());
        ini.close();

        ProgramOptions options;
        options.portOverride = QString::fromStdString(simulator->slavePath());
        options.settingsPath = dir.filePath("SysSet.ini");
        options.notifier = &notifier;
        options.factory = true;
        options.traceFile = traceFile;
        program = std::make_unique<Program>(options);
        QString error2;
        QVERIFY2(program->start(&error2), qPrintable(error2));
        clock.start();
        connect(&program->sampling(), &SamplingController::measurementHandled, this,
                [this] { measurementTimes << clock.elapsed(); });
        // Watches the requests going out, beside the communication log.
        program->comm().OnFrame = [this, log = program->comm().OnFrame](bool sent, const uint8_t* data, int length) {
            if (log) log(sent, data, length);
            if (!sent || length != 8 || data[1] != 0x03 || data[3] != Reg::Measurement || !afterNextMeasurementRequest)
                return;
            const auto then = std::move(afterNextMeasurementRequest);
            afterNextMeasurementRequest = nullptr;
            then();
        };
        QTRY_COMPARE_WITH_TIMEOUT(program->mainWindow().statusText(0), QString("Successful synchronization"), 5000);
        transfers = std::make_unique<TransferDriver>(*program, *simulator);
    }

    int measurements() const { return int(measurementTimes.size()); }
    void sampleContinuously() { program->mainWindow().action(MainWindow::Command::ContinuousSampling)->trigger(); }
    template <typename T> T* in(QWidget& window, const char* name)
    {
        T* child = window.findChild<T*>(QString::fromLatin1(name));
        if (!child) qFatal("no %s", name);
        return child;
    }
    void begin(Transfer t, int round) { transfers->begin(t, round); }
    bool done(Transfer t) { return transfers->done(t); }
    void verify(Transfer t)
    {
        const QString wrong = transfers->check(t);
        QVERIFY2(wrong.isEmpty(), qPrintable(QString("%1: %2").arg(TransferDriver::name(t), wrong)));
    }

    // Starts each transfer at its offset after a measurement request while
    // sampling continuously, waits for it to end, checks its values and
    // that measurements go on.
    void sweep(const QList<int>& offsets, const QList<Transfer>& kinds, int transferLimitMs)
    {
        sampleContinuously();
        QTRY_VERIFY_WITH_TIMEOUT(measurements() >= 2, 10000);
        for (int i = 0; i < offsets.size(); ++i) {
            const Transfer t = kinds[i % kinds.size()];
            const int round = i;
            bool begun = false;
            afterNextMeasurementRequest = [&, t, round, offset = offsets[i]] {
                QTimer::singleShot(offset, this, [&, t, round] {
                    begin(t, round);
                    begun = true;
                });
            };
            QTRY_VERIFY_WITH_TIMEOUT(begun, 10000);
            const int before = measurements();
            QTRY_VERIFY2_WITH_TIMEOUT(done(t), qPrintable(QString("%1 at %2 ms").arg(TransferDriver::name(t)).arg(offsets[i])),
                                      transferLimitMs);
            verify(t);
            if (QTest::currentTestFailed()) return;
            // Measurements go on afterwards.
            QTRY_VERIFY_WITH_TIMEOUT(measurements() >= before + 2, 10000);
        }
        QCOMPARE(int(program->state().SamplingMode), 2);
        QVERIFY(notifier.messages.isEmpty());
    }

    // A starting test whose blocks come while sampling starts, at offsets
    // after the start request: both run to their end.
    void startingTestBesideSampling(int offsetMs)
    {
        StartingWindow& starting = program->startingWindow();
        notifier.answers << Notifier::Answer::Yes;
        in<QAbstractButton>(starting, "SeSkinSpeedButton1")->click();
        QTimer::singleShot(offsetMs, this, [this] { sampleContinuously(); });
        QTRY_COMPARE_WITH_TIMEOUT(starting.statusText(), QString("Testing completed"), 20000);
        const std::vector<uint8_t> capture = simulator->startingCapture();
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(program->state().StartingCapture.bytes()), kStartingImageSize),
                 QByteArray(reinterpret_cast<const char*>(capture.data()), int(capture.size())));
        const int before = measurements();
        QTRY_VERIFY_WITH_TIMEOUT(measurements() >= before + 2, 10000);
        program->mainWindow().action(MainWindow::Command::Stop)->trigger();
        QTest::qWait(300);
    }

private slots:
    void init()
    {
        notifier = RecordingNotifier();
        measurementTimes.clear();
    }
    void cleanup()
    {
        transfers.reset();
        program.reset();
        simulator.reset();
    }

    // Every kind of transfer in turn, at offsets every 20 ms from 0 to 300 ms
    // after a measurement request; then starting tests with sampling started
    // at the given offsets after the start.
    void sweepEveryKind(const QList<int>& startingOffsets)
    {
        QList<int> offsets;
        for (int ms = 0; ms <= 300; ms += 20) offsets << ms;
        sweep(offsets, QList<Transfer>(TransferDriver::kKinds.begin(), TransferDriver::kKinds.end()), 15000);
        program->mainWindow().action(MainWindow::Command::Stop)->trigger();
        QTest::qWait(400);
        for (int offset : startingOffsets) startingTestBesideSampling(offset);
    }

    void transfersDuringSamplingAt115k()
    {
        start(115200);
        sweepEveryKind({0, 120});
    }

    void transfersDuringSamplingWithInstantReplies()
    {
        start(0);
        sweepEveryKind({10});
    }

    // At 9.6 kbit/s a measurement takes 2.6 s on the line; the one-step
    // transfers at three offsets, and an alarm save and read-out, each of
    // whose nine steps goes between two measurements.
    void transfersDuringSamplingAt9600()
    {
        start(9600);
        sweep({0, 150, 300, 1200, 2400},
              {Transfer::SettingsSave, Transfer::SettingsRead, Transfer::CalibrationWrite, Transfer::AlarmSave,
               Transfer::AlarmReadOut},
              60000);
    }

    // A reply sent twice, or late beyond the overdue time (and so asked for
    // again), in the middle of transfers: values unchanged, nothing stored
    // twice, nothing shifted.
    void doubledAndLateRepliesIntoTransfers_data()
    {
        QTest::addColumn<bool>("late");
        QTest::newRow("doubled") << false;
        QTest::newRow("late") << true;
    }
    void doubledAndLateRepliesIntoTransfers()
    {
        QFETCH(bool, late);
        start(115200);
        sim::Options faults;
        (late ? faults.lateShare : faults.doubleShare) = 0.3;
        simulator->setFaultShares(faults);
        for (int round = 0; round < 2; ++round) {
            for (Transfer t : {Transfer::AlarmSave, Transfer::AlarmReadOut, Transfer::SettingsSave, Transfer::SettingsRead}) {
                begin(t, round);
                QTRY_VERIFY2_WITH_TIMEOUT(done(t), TransferDriver::name(t), 20000);
                verify(t);
            }
        }
        // The starting test: each block stored once, at its own place.
        startingTestBesideSampling(50);
        simulator->setFaultShares(sim::Options());
        QVERIFY(notifier.messages.isEmpty());
    }

    // On the instrument's USB link the keep-alive goes while the start of a
    // starting test waits for its switch; the acknowledgement that comes
    // while the keep-alive's reply is awaited is taken, and the start is not
    // sent again (which would lose the switch press).
    void keepAliveBesideTheStartOfAStartingTest()
    {
        start(0, 60);
        program->state().UsbLinkState = LinkInstrumentUsb;
        simulator->clearRequests();
        StartingWindow& starting = program->startingWindow();
        notifier.answers << Notifier::Answer::Yes;
        in<QComboBox>(starting, "ComboBox1")->setCurrentIndex(2);
        in<QAbstractButton>(starting, "SeSkinSpeedButton1")->click();
        QTRY_VERIFY(program->link().idle());
        QVERIFY(program->requests().SendKeepAlive());  // as the watchdog does when the line is free
        QTRY_COMPARE_WITH_TIMEOUT(starting.statusText(), QString("Testing completed"), 10000);
        QList<int> counts;
        bool keepAliveBeforeBlock1 = false;
        for (const auto& f : simulator->requests()) {
            if (f.size() == 8 && f[3] == 187 && counts.size() == 1) keepAliveBeforeBlock1 = true;
            if (f.size() == 8 && f[1] == 0x03 && f[3] == 147) counts << ((f[4] << 8) | f[5]);
        }
        QCOMPARE(counts, (QList<int>{0x20, 0x100, 0x200, 0x300, 0x400, 0x500, 0x600}));
        QVERIFY(keepAliveBeforeBlock1);
    }

    // A measurement sent twice is taken once; the copy is dropped and shows
    // in the communication log.
    void aCopyIsTakenOnceAndLogged()
    {
        const QString log = dir.filePath("trace.log");
        QFile::remove(log);
        start(115200, 3, log);
        simulator->injectNext(sim::Fault::Double);
        program->mainWindow().action(MainWindow::Command::SingleSampling)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(int(program->state().SamplingMode), 0, 5000);
        QTest::qWait(500);
        QCOMPARE(measurements(), 1);
        QFile trace(log);
        QVERIFY(trace.open(QIODevice::ReadOnly));
        const QByteArray text = trace.readAll();
        QVERIFY2(text.contains(" DROP "), text.constData());
    }

    // The port searched again during continuous sampling (the scan button
    // during a single sampling, or a cable pulled): the scan reads the
    // instrument's settings and sampling goes on by itself.
    void aRescanDuringSampling()
    {
        start(115200);
        sampleContinuously();
        QTRY_VERIFY_WITH_TIMEOUT(measurements() >= 2, 5000);
        program->instrumentSettingsWindow().showStatus(QString());
        program->portDiscovery().scan();
        QTRY_COMPARE_WITH_TIMEOUT(program->instrumentSettingsWindow().statusText(), QString("Successful synchronization"),
                                  5000);
        const int before = measurements();
        QTRY_VERIFY_WITH_TIMEOUT(measurements() >= before + 3, 5000);
        QCOMPARE(int(program->state().SamplingMode), 2);
        QVERIFY(notifier.messages.isEmpty());
    }

    // Stray bytes after a completed request cost at most one measurement's
    // time; a line that never falls quiet shows the failure text, and
    // sampling comes back when it is quiet again.
    void strayBytesAndABabblingLine()
    {
        start(115200);
        sampleContinuously();
        QTRY_VERIFY_WITH_TIMEOUT(measurements() >= 4, 5000);
        const qint64 cycle = (measurementTimes.last() - measurementTimes.first()) / (measurements() - 1);
        const qint64 measurementLine = 220;  // 2532 bytes at 115.2 kbit/s
        for (const std::vector<uint8_t>& stray : {std::vector<uint8_t>{0, 0, 0}, std::vector<uint8_t>{2, 3, 0x40},
                                                   std::vector<uint8_t>{0x55}}) {
            const int before = measurements();
            const qint64 last = measurementTimes.last();
            simulator->injectStray(stray);
            QTRY_VERIFY_WITH_TIMEOUT(measurements() >= before + 2, 5000);
            const qint64 gap = measurementTimes[before] - last;
            QVERIFY2(gap <= cycle + measurementLine + 100,
                     qPrintable(QString("%1 ms after stray bytes (a cycle is %2 ms)").arg(gap).arg(cycle)));
        }
        QVERIFY(program->mainWindow().statusText(0) != kReRequest);

        // Noise between the replies, and every reply damaged: nothing usable
        // comes, though bytes never stop.
        sim::Options damaged;
        damaged.badCrcShare = 1.0;
        simulator->setFaultShares(damaged);
        simulator->setBabble(true);
        QTRY_COMPARE_WITH_TIMEOUT(program->mainWindow().statusText(0), kReRequest, 20000);
        simulator->setBabble(false);
        simulator->setFaultShares(sim::Options());
        const int before = measurements();
        QTRY_VERIFY_WITH_TIMEOUT(measurements() >= before + 3, 10000);
        QCOMPARE(int(program->state().SamplingMode), 2);
    }
};

QTEST_MAIN(LinkSharingSimTest)
#include "test_link_sharing_sim.moc"
