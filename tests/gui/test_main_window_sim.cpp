// The whole program against the simulated instrument: the real main window
// (offscreen), the real serial component on a pseudo-terminal, the real
// reply handler and port discovery.

#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "display/main_layout.h"
#include "link/tcomm.h"
#include "link/windows/communication_dialog.h"
#include "pty_simulator.h"
#include "support/test_support.h"

#include <QAction>
#include <QGroupBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

int countReads(const std::vector<std::vector<uint8_t>>& frames, int reg)
{
    int n = 0;
    for (const auto& f : frames) {
        if (f.size() == 8 && f[1] == 0x03 && f[3] == uint8_t(reg)) ++n;
    }
    return n;
}

} // namespace

class MainWindowSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    RecordingNotifier notifier;
    std::unique_ptr<Program> program;

    using C = MainWindow::Command;
    using Ctl = MainWindowView::Control;

    void startProgram(bool simulate, const QString& port = QString())
    {
        ProgramOptions options;
        options.simulate = simulate;
        options.portOverride = port;
        options.settingsPath = dir.filePath("SysSet.ini");
        options.notifier = &notifier;
        program = std::make_unique<Program>(options);
        QString error;
        QVERIFY2(program->start(&error), qPrintable(error));
        program->mainWindow().resize(1024, 720);
        program->mainWindow().show();
    }
    MainWindow& window() { return program->mainWindow(); }
    sim::PtySimulator& simulator() { return *program->simulator(); }
    int reads148() { return countReads(simulator().requests(), 148); }
    // An injected fault hits the next reply of any kind; with the link
    // watchdog quiet, that is the reply to the test's own request.
    void quietWatchdog() { program->commDialog().discovery().stopWatchdog(); }

private slots:
    void init()
    {
        QFile::remove(dir.filePath("SysSet.ini"));
        notifier = RecordingNotifier();
    }
    void cleanup() { program.reset(); }

    void startUpFindsTheSimulatedInstrument()
    {
        startProgram(true);
        QCOMPARE(int(program->state().UsbLinkState), 1);
        QVERIFY(program->comm().portOpen());
        // The first request is the read of the instrument-settings block.
        QTRY_VERIFY_WITH_TIMEOUT(countReads(simulator().requests(), 188) >= 1, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(window().statusText(0), QString("Successful synchronization"), 3000);
        QCOMPARE(window().statusText(1), QString("Narrowband"));
        QVERIFY(window().isControlEnabled(Ctl::SingleButton));
        QVERIFY(window().isControlEnabled(Ctl::ContinuousButton));
        QVERIFY(!window().isControlEnabled(Ctl::StopButton));
        QVERIFY(notifier.messages.isEmpty());
    }

    void singleSamplingFillsTheReadoutsAndStops()
    {
        startProgram(true);
        QCOMPARE(window().readoutText(0), QString("0.0V"));
        window().action(C::SingleSampling)->trigger();
        QCOMPARE(int(program->state().SamplingMode), 1);
        QTRY_COMPARE_WITH_TIMEOUT(int(program->state().SamplingMode), 0, 3000);
        QVERIFY(QRegularExpression("^2[0-9]{2}\\.[0-9]{1,2}V$").match(window().readoutText(0)).hasMatch());
        QVERIFY(window().readoutText(4).endsWith("Hz"));
        QCOMPARE(window().statusText(0), QString("Communication success!"));
        QVERIFY(window().statusText(4).startsWith("Date: "));
        QVERIFY(window().isControlEnabled(Ctl::SingleButton));
        QVERIFY(window().isControlEnabled(Ctl::ContinuousButton));
        const int before = reads148();
        QTest::qWait(300);
        QCOMPARE(reads148(), before);  // single sampling asks once
    }

    void continuousSamplingAsksOncePerReply()
    {
        startProgram(true);
        window().action(C::ContinuousSampling)->trigger();
        QVERIFY(!window().isControlEnabled(Ctl::CommSettingsItem));
        QVERIFY(window().isControlEnabled(Ctl::StopButton));
        QTest::qWait(1500);
        window().action(C::Stop)->trigger();
        QTest::qWait(400);  // a late reply may still arrive; no request follows it
        const int requests = reads148();
        const int replies = int(simulator().replyCount());
        QVERIFY2(requests >= 5, qPrintable(QString::number(requests)));
        // One request outstanding at a time: every request but the last was
        // answered before the next went out.
        QVERIFY(replies >= requests - 2);
        QTest::qWait(300);
        QCOMPARE(reads148(), requests);
        QCOMPARE(int(program->state().SamplingMode), 0);
        QVERIFY(window().isControlEnabled(Ctl::CommSettingsItem));
    }

    void lostAndCorruptRepliesAreRequestedAgain()
    {
        startProgram(true);
        QTRY_VERIFY_WITH_TIMEOUT(countReads(simulator().requests(), 188) >= 1, 3000);
        quietWatchdog();
        QTest::qWait(300);
        simulator().injectNext(sim::Fault::BadCrc);
        simulator().clearRequests();
        window().action(C::SingleSampling)->trigger();
        // The corrupt reply is re-requested at once, the second one lands.
        QTRY_COMPARE_WITH_TIMEOUT(int(program->state().SamplingMode), 0, 3000);
        QCOMPARE(reads148(), 2);

        // A lost reply is asked for again after half a second.
        simulator().injectNext(sim::Fault::Drop);
        simulator().clearRequests();
        window().action(C::SingleSampling)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(int(program->state().SamplingMode), 0, 3000);
        QCOMPARE(reads148(), 2);

        // When the three quick repeats are lost too, the re-read timer says
        // so and asks again every two seconds (its first repeat is lost as
        // well, so the text stays until the next).
        for (int i = 0; i < 5; ++i) simulator().injectNext(sim::Fault::Drop);
        simulator().clearRequests();
        window().action(C::SingleSampling)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(window().statusText(0), QString("Communication failure, re-request data!"), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(int(program->state().SamplingMode), 0, 5000);
        QCOMPARE(reads148(), 6);
    }

    void toolbarStopEndsASingleSamplingThatGetsNoReply()
    {
        startProgram(true);
        QTRY_VERIFY_WITH_TIMEOUT(countReads(simulator().requests(), 188) >= 1, 3000);
        quietWatchdog();
        QTest::qWait(300);
        simulator().clearRequests();
        simulator().injectNext(sim::Fault::Drop);
        window().toolAction(C::SingleSampling)->trigger();
        QCOMPARE(int(program->state().SamplingMode), 1);
        QTRY_COMPARE_WITH_TIMEOUT(reads148(), 1, 2000);
        // During a single sampling only the Stop button is on, not its menu item.
        QVERIFY(window().isControlEnabled(Ctl::StopButton));
        QVERIFY(!window().isControlEnabled(Ctl::StopItem));
        window().toolAction(C::Stop)->trigger();
        QCOMPARE(int(program->state().SamplingMode), 0);
        QTest::qWait(2500);  // past the re-read interval: nothing is asked again
        QCOMPARE(reads148(), 1);
    }

    void closingOnTheUsbLinkSendsTheClosingNotice()
    {
        startProgram(true);
        QTRY_VERIFY_WITH_TIMEOUT(countReads(simulator().requests(), 188) >= 1, 3000);
        window().close();
        QTRY_VERIFY_WITH_TIMEOUT(countReads(simulator().requests(), 186) == 1, 2000);
    }

    void storedPortMissingShowsTheMessage()
    {
        QFile ini(dir.filePath("SysSet.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[CommPort]\nPort=/dev/qzr6100-no-such-port\n");
        ini.close();
        startProgram(false);
        QCOMPARE(notifier.messages.size(), 1);
        QVERIFY(notifier.messages[0].startsWith(" Did not find the default communication port! Please check:"));
        QCOMPARE(window().statusText(0), QString("Connection failed"));
        QVERIFY(!window().isControlEnabled(Ctl::SingleButton));
        QVERIFY(!program->comm().portOpen());
    }

    void watchdogReopensAfterAnUnplug()
    {
        startProgram(true);
        QTRY_COMPARE_WITH_TIMEOUT(window().statusText(0), QString("Successful synchronization"), 3000);
        simulator().unplug();
        QTRY_COMPARE_WITH_TIMEOUT(window().statusText(0), QString("Connection failed!"), 4000);
        std::string error;
        QVERIFY2(simulator().plugBack(&error), error.c_str());
        QTRY_COMPARE_WITH_TIMEOUT(window().statusText(0), QString("Connected"), 4000);
        window().action(C::SingleSampling)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(window().statusText(0), QString("Communication success!"), 3000);
    }

    void layoutAndPlotsAtTheDocumentedSize()
    {
        startProgram(true);
        QWidget* panel1 = window().centralWidget();
        // Grow the window until the client panel is 1012 x 612.
        window().resize(window().size() + (QSize(1012, 612) - panel1->size()));
        QTRY_COMPARE(panel1->size(), QSize(1012, 612));
        const auto boxes = panel1->findChildren<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(boxes.size(), 4);
        QCOMPARE(panel1->findChild<QGroupBox*>("GroupBox1")->geometry(), QRect(4, 4, 500, 300));
        QCOMPARE(panel1->findChild<QGroupBox*>("GroupBox4")->geometry(), QRect(508, 308, 500, 300));
        QWidget* pic1 = panel1->findChild<QWidget*>("Pic1");
        QCOMPARE(pic1->size(), QSize(492, 280));
        QCOMPARE(program->state().PlotRect, QRect(0, 0, 492, 280));
        const QList<int> tops = {27, 83, 139, 195, 251};
        QCOMPARE(panel1->findChild<QWidget*>("Panel_URMS")->y(), tops[0]);
        QCOMPARE(panel1->findChild<QWidget*>("PANEL_IKF")->y(), tops[4]);
        QCOMPARE(panel1->findChild<QWidget*>("Panel_URMS")->width(), 93);

        // The paint boxes show exactly what the surfaces hold: after a
        // measurement the waveform shows both traces.
        window().action(C::SingleSampling)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(int(program->state().SamplingMode), 0, 3000);
        const QImage shown = pic1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int green = 0, red = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb c = shown.pixel(x, y);
                if (c == qRgb(0, 128, 0)) ++green;
                if (c == qRgb(255, 0, 0)) ++red;
            }
        QVERIFY2(green > 400 && red > 400, qPrintable(QString("%1 %2").arg(green).arg(red)));
        const QImage bars = panel1->findChild<QWidget*>("Pic3")->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // The fundamental's bar reaches the 100 % line at row 15.
        bool barAtTop = false;
        for (int x = 0; x < bars.width(); ++x) barAtTop |= bars.pixel(x, 15) == qRgb(223, 48, 32);
        QVERIFY(barAtTop);
    }
};

QTEST_MAIN(MainWindowSimTest)
#include "test_main_window_sim.moc"
