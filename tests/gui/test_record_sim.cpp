// Recording end to end: the whole program against the simulated instrument
// records a few seconds of continuous sampling into a record file, and the
// record window reads the file back; a record file named on the command line
// opens in the record window after start-up.

#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "recording/record_settings.h"
#include "recording/record_writer.h"
#include "recording/recorder.h"
#include "recording/windows/record_settings_dialog.h"
#include "recording/windows/record_window.h"
#include "support/test_support.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class RecordSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    RecordingNotifier notifier;
    std::unique_ptr<Program> program;

    using C = MainWindow::Command;

    void startProgram(const QStringList& files = {})
    {
        ProgramOptions options;
        options.simulate = true;
        options.settingsPath = dir.filePath("SysSet.ini");
        options.notifier = &notifier;
        options.files = files;
        program = std::make_unique<Program>(options);
        QString error;
        QVERIFY2(program->start(&error), qPrintable(error));
        program->mainWindow().show();
    }
    RecordWindow& recordWindow() { return program->recordWindow(); }
    QAction* recordAction(const char* name) { return recordWindow().findChild<QAction*>(name); }

private slots:
    void init()
    {
        notifier = RecordingNotifier();
        // The shortest steps: a sample a second, a save every ten seconds.
        QFile ini(dir.filePath("SysSet.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[RecordSet]\nCh0=0\nCh1=1\nCh2=6\nCh3=2\nCh4=7\nCh5=2\nSampingSetp=0\nSaveSetp=0\n");
    }
    void cleanup() { program.reset(); }

    void recordsTheSimulatedInstrumentAndReadsTheFileBack()
    {
        startProgram();
        MainWindow& main = program->mainWindow();
        QTRY_COMPARE_WITH_TIMEOUT(main.statusText(0), QString("Successful synchronization"), 5000);
        main.action(C::Record)->trigger();
        RecordWindow& window = recordWindow();
        QVERIFY(window.isVisible());
        QCOMPARE(window.statusText(0), QString("Step: 1S"));
        QCOMPARE(window.statusText(1), QString("Save Setp:  10S"));

        // The settings button opens the (modal) settings dialog; "Enter"
        // applies the lists, here CH6 changed to the first temperature.
        QTimer::singleShot(200, &window, [this] {
            RecordSettingsDialog& dialog = program->recordSettingsDialog();
            QVERIFY(dialog.isVisible());
            dialog.findChild<QComboBox*>("ComboBox8")->setCurrentIndex(QuantityTemperature1);
            dialog.findChild<QPushButton*>("Button1")->click();
        });
        recordAction("SeSkinSpeedButton4")->trigger();
        QCOMPARE(window.statusText(1), QString("Save Setp:10S"));
        QCOMPARE(window.findChild<QLabel*>("Label12")->text(), QString("Temperature 1"));
        QCOMPARE(notifier.messages, QStringList{TemperatureInputMessage()});

        main.action(C::ContinuousSampling)->trigger();
        const QString path = dir.filePath("sim.vqr");
        window.chooseSaveFile = [&](const QString&) { return path; };
        recordAction("N3")->trigger();
        recordAction("N16")->trigger();
        QCOMPARE(window.statusText(5), QString("Recording"));

        // Closing only hides the window; the recording goes on.
        window.close();
        QVERIFY(!window.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(window.recorder().liveRecord().count >= 4, 15000);
        main.action(C::Record)->trigger();
        QVERIFY(window.isVisible());
        recordAction("SeSkinSpeedButton6")->trigger();  // Stop saves what the save step has not
        const int count = window.recorder().liveRecord().count;
        QCOMPARE(window.recorder().state(), Recorder::State::Stopped);

        window.chooseOpenFile = [&](const QString& folder) {
            return folder == dir.path() ? path : QString();  // the dialog opens where New saved
        };
        recordAction("N2")->trigger();
        const ViewedRecord& record = window.viewedRecord();
        QCOMPARE(record.lastIndex, count - 1);
        QCOMPARE(record.samplingStep, uint16_t(0));
        QCOMPARE(record.channelCodes, (std::array<uint8_t, 6>{0, 1, 6, 2, 7, 10}));
        QCOMPARE(window.statusText(5), QString("Inspection"));
        QCOMPARE(window.statusText(4), QString("Length:%1").arg(count - 1));  // points drawn

        for (int i = 0; i < count; ++i) {
            const float volts = record.data.channel(0)[i];
            const float amps = record.data.channel(1)[i];
            const float hertz = record.data.channel(2)[i];
            const float watts = record.data.channel(3)[i];
            QVERIFY2(volts > 200 && volts < 260, qPrintable(QString::number(volts)));
            QVERIFY2(amps > 0 && amps < 50, qPrintable(QString::number(amps)));
            QVERIFY2(hertz > 45 && hertz < 65, qPrintable(QString::number(hertz)));
            QVERIFY(std::fabs(watts) < volts * amps * 1.01f);
            QCOMPARE(record.data.channel(5)[i], 0.0f);  // temperature: no instrument
            if (i > 0) {
                const double seconds = (record.data.times()[i] - record.data.times()[i - 1]) * 86400;
                // Stamps increase about a second apart; a loaded machine can
                // delay one tick and shorten the next, so only bounds that
                // no timing can break are checked.
                QVERIFY2(seconds > 0.0 && seconds < 10.0, qPrintable(QString::number(seconds)));
            }
        }

        // The voltage trace is on the chart, above the scale labels' row.
        const QImage shown =
            window.findChild<QWidget*>("Pic4")->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int green = 0;
        for (int y = 0; y < shown.height() - 12; ++y)
            for (int x = 0; x < count; ++x) green += shown.pixel(x, y) == qRgb(0, 128, 0);
        QVERIFY2(green > 0, "no voltage trace");
        QCOMPARE(notifier.messages.size(), 1);
    }

    void recordFileOnTheCommandLineOpensInTheRecordWindow()
    {
        LiveRecord live;
        for (int i = 0; i < 20; ++i) {
            live.data.channel(0)[i] = 230.0f + i;
            live.data.times()[i] = 45365.75 + i / 86400.0;
        }
        live.count = 20;
        const QString path = dir.filePath("given.vqr");
        RecordFileWriter writer;
        QString error;
        QVERIFY2(writer.create(path, {0, 1, 2, 3, 4, 5}, 4, &error), qPrintable(error));
        QVERIFY(writer.save(live).ok);

        startProgram({path});
        RecordWindow& window = recordWindow();
        QVERIFY(!window.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 5000);
        QCOMPARE(window.viewedRecord().lastIndex, 19);
        QCOMPARE(window.viewedRecord().data.channel(0)[19], 249.0f);
        QCOMPARE(window.statusText(5), QString("Inspection"));
        QCOMPARE(window.findChild<QLabel*>("Label10")->text(), QString("Apparent power"));
        QVERIFY(notifier.messages.isEmpty());
    }
};

QTEST_MAIN(RecordSimTest)
#include "test_record_sim.moc"
