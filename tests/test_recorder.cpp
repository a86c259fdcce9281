// The recorder's states: what New, Start, Stop and the sampling tick do to the
// controls, the timers and the live record, and the messages they show.

#include "acquisition/acquisition_state.h"
#include "recording/recorder.h"
#include "support/recording_record_window_view.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

using Control = RecordWindowView::Control;
using State = Recorder::State;

const QString kNotContinuous = "To start the recording must be in continuous sampling mode, records do not start!";
const QString kNoFile = "Please Create a new record file !";
const QString kFull = "Recorded data has exceeded the maximum file limit, create a new file and start again.";
const QString kLost = "You have to stop the continuous sampling, record stop!";

struct Rig {
    AcquisitionState acquisition;
    RecordingRecordWindowView view;
    RecordingNotifier notifier;
    Recorder recorder;
    QTemporaryDir dir;
    int files = 0;

    explicit Rig(const RecordSettings& settings = RecordSettings()) : recorder(acquisition, settings, view, notifier)
    {
        acquisition.SamplingMode = SamplingContinuous;
        recorder.clock = [] { return 45365.25; };
    }

    void run(const QString& step)
    {
        if (step == "new") {
            QVERIFY(recorder.newRecordFile(dir.filePath(QString("r%1.vqr").arg(++files))));
        } else if (step == "start") {
            recorder.start();
        } else if (step == "stop") {
            recorder.stop();
        } else if (step == "sample") {
            recorder.samplingTick();
        } else if (step == "fill") {
            while (recorder.state() == State::Recording) recorder.samplingTick();
        } else if (step == "lose") {
            acquisition.SamplingMode = SamplingIdle;
            recorder.samplingTick();
            acquisition.SamplingMode = SamplingContinuous;
        }
    }

    // Start button and item, Stop button and item, settings button and item.
    QString controls() const
    {
        QString s;
        for (Control c : {Control::StartButton, Control::StartItem, Control::StopButton, Control::StopItem,
                          Control::SettingsButton, Control::SettingsItem})
            s += view.enabled.value(c) ? '1' : '0';
        return s;
    }
    // Sampling, save and grid timers.
    QString timers() const
    {
        return QString("%1%2%3")
            .arg(int(recorder.samplingTimer().isActive()))
            .arg(int(recorder.saveTimer().isActive()))
            .arg(int(view.gridTimer));
    }
};

} // namespace

Q_DECLARE_METATYPE(Recorder::State)

class RecorderTest : public QObject {
    Q_OBJECT

private slots:
    void creationShowsTheSettingsAndNoFile()
    {
        RecordSettings settings;
        settings.channelCodes = {0, 1, 10, 2, 8, 12};
        settings.samplingStep = 11;
        settings.saveStep = 5;
        Rig rig(settings);
        QCOMPARE(rig.recorder.state(), State::NoFile);
        QCOMPARE(rig.controls(), QString("000011"));
        QCOMPARE(rig.timers(), QString("000"));
        QCOMPARE(rig.recorder.samplingTimer().interval(), 30000);
        QCOMPARE(rig.recorder.saveTimer().interval(), 60000);
        QCOMPARE(rig.view.status.value(0), QString("Step:  30S"));
        QCOMPARE(rig.view.status.value(1), QString("Save Setp:  60S"));
        QCOMPARE(rig.view.labels.values(),
                 QStringList({"Voltage", "Current", "Temperature 1", "Power", "UTHD", "Temperature 3"}));

        rig.recorder.applySettings(RecordSettings(), StepTextForm::Dialog);
        QCOMPARE(rig.view.status.value(0), QString("Step: 3S"));
        QCOMPARE(rig.recorder.samplingTimer().interval(), 3000);
    }

    void stateTable_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("controls");
        QTest::addColumn<QString>("timers");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        QTest::newRow("file ready") << QStringList{"new"} << State::FileReady << "110011"
                                    << "000" << none;
        QTest::newRow("recording") << QStringList{"new", "start"} << State::Recording << "001100"
                                   << "111" << none;
        QTest::newRow("stopped") << QStringList{"new", "start", "sample", "stop"} << State::Stopped << "000011"
                                 << "000" << none;
        QTest::newRow("full") << QStringList{"new", "start", "fill"} << State::Full << "000100"
                              << "001" << QStringList{kFull};
        QTest::newRow("sampling lost") << QStringList{"new", "start", "lose", "sample"} << State::SamplingLost
                                       << "000100"
                                       << "011" << QStringList{kLost};
        QTest::newRow("full, Stop item") << QStringList{"new", "start", "fill", "stop"} << State::Stopped << "000011"
                                         << "000" << QStringList{kFull};
        QTest::newRow("lost, Stop item") << QStringList{"new", "start", "lose", "stop"} << State::Stopped << "000011"
                                         << "000" << QStringList{kLost};
        // While recording the timers run on into the new file and Start is
        // enabled again; the settings stay out of reach.
        QTest::newRow("new while recording") << QStringList{"new", "start", "new"} << State::Recording << "111100"
                                             << "111" << none;
        QTest::newRow("start again") << QStringList{"new", "start", "new", "start"} << State::Recording << "001100"
                                     << "111" << none;
        QTest::newRow("new when stopped") << QStringList{"new", "start", "stop", "new"} << State::FileReady << "110011"
                                          << "000" << none;
        QTest::newRow("new when full") << QStringList{"new", "start", "fill", "new"} << State::FileReady << "110011"
                                       << "000" << QStringList{kFull};
        QTest::newRow("new when lost") << QStringList{"new", "start", "lose", "new"} << State::FileReady << "110011"
                                       << "000" << QStringList{kLost};
        QTest::newRow("stop without recording") << QStringList{"new", "stop"} << State::FileReady << "110011"
                                                << "000" << none;
    }
    void stateTable()
    {
        QFETCH(QStringList, steps);
        Rig rig;
        for (const QString& step : steps) rig.run(step);
        QTEST(rig.recorder.state(), "state");
        QTEST(rig.controls(), "controls");
        QTEST(rig.timers(), "timers");
        QTEST(rig.notifier.messages, "messages");
        QVERIFY(rig.recorder.liveRecord().count <= kRecordCapacity);
    }

    void startIsRefusedOutsideContinuousSamplingAndWithoutAFile_data()
    {
        QTest::addColumn<int>("samplingMode");
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<QString>("message");
        QTest::newRow("idle") << int(SamplingIdle) << true << kNotContinuous;
        QTest::newRow("single sampling") << int(SamplingSingle) << true << kNotContinuous;
        QTest::newRow("idle and no file") << int(SamplingIdle) << false << kNotContinuous;
        QTest::newRow("no file") << int(SamplingContinuous) << false << kNoFile;
    }
    void startIsRefusedOutsideContinuousSamplingAndWithoutAFile()
    {
        QFETCH(int, samplingMode);
        QFETCH(bool, withFile);
        Rig rig;
        if (withFile) rig.run("new");
        const QString controls = rig.controls();
        const State state = rig.recorder.state();
        rig.acquisition.SamplingMode = uint8_t(samplingMode);
        rig.recorder.start();
        QTEST(rig.notifier.messages.value(0), "message");
        QCOMPARE(rig.recorder.state(), state);
        QCOMPARE(rig.controls(), controls);
        QCOMPARE(rig.timers(), QString("000"));
    }

    void newAsksBeforeReplacingAFile()
    {
        Rig rig;
        const QString path = rig.dir.filePath("exists.vqr");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep");
        f.close();
        rig.notifier.answers = {Notifier::Answer::No};
        QVERIFY(!rig.recorder.newRecordFile(path));
        QCOMPARE(rig.notifier.questions, QStringList{"File already exists, overwrite?"});
        QCOMPARE(rig.recorder.state(), State::NoFile);
        QCOMPARE(QFileInfo(path).size(), qint64(4));

        rig.notifier.answers = {Notifier::Answer::Yes};
        QVERIFY(rig.recorder.newRecordFile(path));
        QCOMPARE(QFileInfo(path).size(), qint64(32016));
        QCOMPARE(rig.recorder.fileName(), path);
        QVERIFY(rig.recorder.recordDataReady());
        QCOMPARE(rig.view.status.value(5), QString("Recording"));
    }

    void aFileThatCannotBeCreatedChangesNothing()
    {
        Rig rig;
        for (const char* step : {"new", "start", "sample"}) rig.run(step);
        const QString bad = rig.dir.filePath("no/such/folder/r.vqr");
        QVERIFY(!rig.recorder.newRecordFile(bad));
        QCOMPARE(rig.notifier.messages.size(), 1);
        QVERIFY(rig.notifier.messages[0].contains(bad + ":\nNo such file or directory"));
        QCOMPARE(rig.recorder.state(), State::Recording);
        QCOMPARE(rig.recorder.liveRecord().count, 1);
        QCOMPARE(rig.recorder.fileName(), rig.dir.filePath("r1.vqr"));
    }

    void aSamplingTickTakesTheChosenQuantities()
    {
        RecordSettings settings;
        settings.channelCodes = {0, 9, 10, 2, 2, 7};
        Rig rig(settings);
        rig.run("new");
        rig.run("start");
        QCOMPARE(rig.view.liveViewResets, 1);
        TestRecordImage& r = rig.acquisition.TestRecord;
        r.Urms.set(231.0f);
        r.Ithd.set(0.125f);
        r.ActivePower.set(1500.0f);
        r.PowerFactor.set(0.5f);
        rig.recorder.clock = [] { return 45000.5; };
        rig.run("sample");
        const LiveRecord& live = rig.recorder.liveRecord();
        QCOMPARE(live.count, 1);
        const float expected[] = {231.0f, 0.125f, 0.0f, 1500.0f, 1500.0f, 0.5f};
        for (int ch = 0; ch < kRecordChannelCount; ++ch) QCOMPARE(live.data.channel(ch)[0], expected[ch]);
        QCOMPARE(live.data.times()[0], 45000.5);
        QCOMPARE(rig.view.redraws, 1);

        // Leaving continuous sampling: no sample, a redraw.
        rig.run("lose");
        QCOMPARE(live.count, 1);
        QCOMPARE(rig.view.redraws, 2);
        // New empties the live record but leaves its arrays as they are.
        rig.run("new");
        QCOMPARE(live.count, 0);
        QCOMPARE(live.data.channel(0)[0], 231.0f);
    }

    void openingARecordInTheViewerMakesDataReadyAndLocksTheSettings()
    {
        Rig rig;
        rig.recorder.noteRecordOpened();
        QVERIFY(rig.recorder.recordDataReady());
        QCOMPARE(rig.controls(), QString("000000"));
        rig.recorder.start();  // still needs a file made here
        QCOMPARE(rig.notifier.messages, QStringList{kNoFile});
    }
};

QTEST_GUILESS_MAIN(RecorderTest)
#include "test_recorder.moc"
