// The whole program on a plain serial line paced like a real one: the
// simulated instrument sends its replies at 115.2 kbit/s (a measurement takes
// 220 ms on the line) and the program reaches it through --port, the way a
// USB-serial adapter without the instrument's identification is reached.

#include "acquisition/sampling_controller.h"
#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "link/tcomm.h"
#include "pty_simulator.h"
#include "support/test_support.h"

#include <QAction>
#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class LinkSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    RecordingNotifier notifier;
    std::unique_ptr<sim::PtySimulator> simulator;
    std::unique_ptr<Program> program;
    int measurements = 0;

    // baudItem: the program's line speed (7 is 115.2 kbit/s, 0 is 4.8).
    void startPaced(int baud, int baudItem = 7)
    {
        sim::Options o;
        o.baud = baud;
        o.splitPauseMs = 150;
        simulator = std::make_unique<sim::PtySimulator>(o);
        std::string error;
        QVERIFY2(simulator->start(&error), error.c_str());

        QFile ini(dir.filePath("SysSet.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QString("[CommBaudrate]\nBaudrate=%1\n").arg(baudItem).toLatin1());
        ini.close();

        ProgramOptions options;
        options.portOverride = QString::fromStdString(simulator->slavePath());
        options.settingsPath = dir.filePath("SysSet.ini");
        options.notifier = &notifier;
        program = std::make_unique<Program>(options);
        QString error2;
        QVERIFY2(program->start(&error2), qPrintable(error2));
        QVERIFY(program->state().UsbLinkState != LinkInstrumentUsb);
        connect(&program->sampling(), &SamplingController::measurementHandled, this, [this] { ++measurements; });
        // The start-up read of the settings block is answered first.
        QTRY_COMPARE_WITH_TIMEOUT(program->mainWindow().statusText(0), QString("Successful synchronization"), 3000);
    }
    void sampleContinuously() { program->mainWindow().action(MainWindow::Command::ContinuousSampling)->trigger(); }
    // Measurements taken within ms milliseconds from now.
    int measurementsWithin(int ms)
    {
        const int before = measurements;
        QTest::qWait(ms);
        return measurements - before;
    }

private slots:
    void init()
    {
        QFile::remove(dir.filePath("SysSet.ini"));
        measurements = 0;
    }
    void cleanup()
    {
        program.reset();
        simulator.reset();
    }

    // A modal window opened by whatever runs on a receive notification (the
    // harmonic table, a message box) must not stop the port being read.
    void samplingGoesOnWhileAModalDialogIsOpen()
    {
        startPaced(115200);
        QDialog modal(&program->mainWindow());
        bool opened = false;
        int duringDialog = -1;
        const auto receive = program->comm().OnReceiveData;
        program->comm().OnReceiveData = [&, receive] {
            receive();
            if (opened) return;
            opened = true;
            const int before = measurements;
            QTimer::singleShot(2000, &modal, [&, before] {
                duringDialog = measurements - before;
                modal.reject();
            });
            modal.exec();
        };
        sampleContinuously();
        QTRY_VERIFY_WITH_TIMEOUT(duringDialog >= 0, 5000);
        // About 3.5 a second while the dialog is open, and on after it closed.
        QVERIFY2(duringDialog >= 3, qPrintable(QString::number(duringDialog)));
        const int after = measurementsWithin(2000);
        QVERIFY2(after >= 3, qPrintable(QString::number(after)));
        QVERIFY(notifier.messages.isEmpty());
    }

    // One reply too many, or one arriving in two parts with a pause, costs at
    // most a repeat: the measurements after it are good again.
    void samplingRecoversFromDoubledAndSplitReplies()
    {
        startPaced(115200);
        sampleContinuously();
        QTRY_VERIFY_WITH_TIMEOUT(measurements >= 3, 3000);
        for (const sim::Fault fault : {sim::Fault::Double, sim::Fault::Split, sim::Fault::Double}) {
            simulator->injectNext(fault);
            QVERIFY(measurementsWithin(500) <= 2);
            const int after = measurementsWithin(2000);
            QVERIFY2(after >= 3, qPrintable(QString("%1 after fault %2").arg(after).arg(int(fault))));
        }
    }

    // The reply is read when it is complete, not after a fixed wait: with
    // the program set to 4.8 kbit/s it would wait 6 s for each measurement
    // that the line, in fact four times as fast, brings in 220 ms.
    void aCompleteReplyEndsTheWait()
    {
        startPaced(115200, 0);
        QCOMPARE(program->comm().lineSpeed(), 4800u);
        sampleContinuously();
        QTRY_VERIFY_WITH_TIMEOUT(measurements >= 4, 3000);
    }
};

QTEST_MAIN(LinkSimTest)
#include "test_link_sim.moc"
