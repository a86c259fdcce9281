// The alarm-limit and starting-test windows against the simulated
// instrument: the real program, its serial component on a pseudo-terminal
// and the real reply handler, driven through the windows' own controls.

#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "pty_simulator.h"
#include "settings/windows/alarm_dialog.h"
#include "settings/windows/starting_window.h"
#include "support/test_support.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

QByteArray Frame(const std::vector<uint8_t>& f) { return QByteArray(reinterpret_cast<const char*>(f.data()), int(f.size())); }

// The quantities of the reads of register 147 in the order sent.
QList<int> StartingReads(const std::vector<std::vector<uint8_t>>& frames)
{
    QList<int> counts;
    for (const auto& f : frames) {
        if (f.size() == 8 && f[1] == 0x03 && f[3] == 147) counts << ((f[4] << 8) | f[5]);
    }
    return counts;
}

float FloatFromBytes(const std::vector<uint8_t>& b)
{
    float value = 0;
    if (b.size() == 4) std::memcpy(&value, b.data(), 4);  // little-endian host, as the instrument
    return value;
}

// Rows of the plot where the current trace (pure red) shows; the peak texts
// below the plot are left out.
int RedRows(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int rows = 0;
    for (int y = 0; y < rgb.height() - 16; ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            if (rgb.pixel(x, y) == qRgb(255, 0, 0)) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

} // namespace

class SettingsWindowsSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    RecordingNotifier notifier;
    std::unique_ptr<Program> program;

    using C = MainWindow::Command;

    void startProgram()
    {
        ProgramOptions options;
        options.simulate = true;
        options.settingsPath = dir.filePath("SysSet.ini");
        options.notifier = &notifier;
        program = std::make_unique<Program>(options);
        QString error;
        QVERIFY2(program->start(&error), qPrintable(error));
        program->mainWindow().show();
        // The start-up read of the instrument settings is through.
        QTRY_COMPARE_WITH_TIMEOUT(program->mainWindow().statusText(0), QString("Successful synchronization"), 3000);
        simulator().clearRequests();
    }
    sim::PtySimulator& simulator() { return *program->simulator(); }
    template <typename T> T* in(QWidget& window, const char* name)
    {
        T* child = window.findChild<T*>(QString::fromLatin1(name));
        if (!child) qFatal("no %s", name);
        return child;
    }
    QLineEdit* limitEdit(int n) { return in<QLineEdit>(program->alarmDialog(), qPrintable(QString("Edit%1").arg(n))); }
    QCheckBox* enableBox(int n) { return in<QCheckBox>(program->alarmDialog(), qPrintable(QString("CheckBox%1").arg(n))); }
    QList<QByteArray> writes()
    {
        QList<QByteArray> out;
        for (const auto& f : simulator().requests()) {
            if (f.size() > 1 && f[1] == 0x10) out << Frame(f);
        }
        return out;
    }

private slots:
    void init()
    {
        QFile::remove(dir.filePath("SysSet.ini"));
        notifier = RecordingNotifier();
    }
    void cleanup() { program.reset(); }

    void alarmLimitsAreWrittenAndReadBack()
    {
        startProgram();
        AlarmDialog& alarm = program->alarmDialog();
        program->mainWindow().action(C::AlarmLimits)->trigger();
        QVERIFY(alarm.isVisible());
        QVERIFY(alarm.isModal());
        QTRY_COMPARE_WITH_TIMEOUT(alarm.statusText(), QString("Successful synchronization"), 3000);

        // Keys other than digits, '.' and backspace never reach a box.
        limitEdit(3)->clear();
        QTest::keyClicks(limitEdit(3), "a-12x.5");
        QCOMPARE(limitEdit(3)->text(), QString("12.5"));

        const QStringList typed = {"300", "", "12.5", "0.5", "6000", "0.123456", "0.98", "0.5"};
        for (int n = 1; n <= 8; ++n) {
            limitEdit(n)->setText(typed[n - 1]);
            enableBox(n)->setChecked(n <= 4);  // voltage and current limits on
        }
        in<QAbstractButton>(alarm, "Button1")->click();
        QTRY_COMPARE_WITH_TIMEOUT(alarm.statusText(), QString("Data transmission completed."), 3000);
        const QList<QByteArray> sent = writes();
        QCOMPARE(sent.size(), 9);
        QCOMPARE(ToHex(sent.first()), QString("02 10 00 76 00 02 04 00 00 96 43 55 B4"));
        QCOMPARE(ToHex(sent.last()), QString("02 10 00 7E 00 02 04 0F 00 00 00 79 57"));
        for (int i = 0; i < 9; ++i) QCOMPARE(int(uint8_t(sent[i][3])), 118 + i);
        QCOMPARE(FloatFromBytes(simulator().storedRegister(119)), 0.0f);  // the empty box
        QCOMPARE(FloatFromBytes(simulator().storedRegister(120)), 12.5f);
        QCOMPARE(FloatFromBytes(simulator().storedRegister(125)), 0.5f);
        QVERIFY(notifier.messages.isEmpty());

        // Wipe the window, then read everything back from the instrument.
        for (int n = 1; n <= 8; ++n) {
            limitEdit(n)->setText("9");
            enableBox(n)->setChecked(n > 4);
        }
        in<QAbstractButton>(alarm, "Button3")->click();
        QCOMPARE(alarm.statusText(), QString("正在请求仪器数据......"));
        // The read button rests until its read-out has ended.
        QVERIFY(!in<QAbstractButton>(alarm, "Button3")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(alarm.statusText(), QString("Successful synchronization"), 3000);
        QVERIFY(in<QAbstractButton>(alarm, "Button3")->isEnabled());
        const QStringList shown = {"300", "0", "12.5", "0.5", "6000", "0.1235", "0.98", "0.5"};
        for (int n = 1; n <= 8; ++n) {
            QCOMPARE(limitEdit(n)->text(), shown[n - 1]);
            QCOMPARE(enableBox(n)->isChecked(), n <= 4);
        }
        QCOMPARE(int(program->state().AlarmReadStep), 9);
        QCOMPARE(program->mainWindow().statusText(0), QString("Successful synchronization"));

        in<QAbstractButton>(alarm, "Button2")->click();
        QVERIFY(!alarm.isVisible());
    }

    void alarmSaveRefusesATextThatIsNoNumber()
    {
        startProgram();
        AlarmDialog& alarm = program->alarmDialog();
        program->mainWindow().action(C::AlarmLimits)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(alarm.statusText(), QString("Successful synchronization"), 3000);
        limitEdit(4)->setText("1.2.3");  // as a paste can leave it
        in<QAbstractButton>(alarm, "Button1")->click();
        QCOMPARE(notifier.messages.size(), 1);
        QVERIFY2(notifier.messages[0].contains("电流 下限值") && notifier.messages[0].contains("\"1.2.3\""),
                 qPrintable(notifier.messages[0]));
        QCOMPARE(alarm.statusText(), QString("Successful synchronization"));
        for (const char* name : {"Button1", "Button2", "Button3"})
            QVERIFY(in<QAbstractButton>(alarm, name)->isEnabled());
        QTest::qWait(300);
        QVERIFY(writes().isEmpty());

        // Corrected, the same window saves.
        limitEdit(4)->setText("1.2");
        in<QAbstractButton>(alarm, "Button1")->click();
        QTRY_COMPARE_WITH_TIMEOUT(alarm.statusText(), QString("Data transmission completed."), 3000);
        QCOMPARE(FloatFromBytes(simulator().storedRegister(121)), 1.2f);
    }

    // Whatever way text comes into a limit, only a number's characters get
    // in: a paste or a drop holding anything else is refused as a whole,
    // while moving around and closing keep working and keep what was typed.
    void alarmLimitsRefusePastedTextThatIsNoNumber()
    {
        startProgram();
        AlarmDialog& alarm = program->alarmDialog();
        program->mainWindow().action(C::AlarmLimits)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(alarm.statusText(), QString("Successful synchronization"), 3000);
        QLineEdit* edit = limitEdit(3);
        edit->setFocus();
        const auto paste = [&](const QString& text) {
            edit->setText("7");
            edit->selectAll();
            QGuiApplication::clipboard()->setText(text);
            QTest::keySequence(edit, QKeySequence::Paste);
            return edit->text();
        };
        QCOMPARE(paste("-5"), QString("7"));
        QCOMPARE(paste("1e3"), QString("7"));
        QCOMPARE(paste("abc"), QString("7"));
        QCOMPARE(paste(" 12"), QString("7"));
        QCOMPARE(paste("12.5"), QString("12.5"));  // a number goes in

        const auto drop = [&](const QString& text) {
            edit->setText("7");
            QMimeData data;
            data.setText(text);
            const QPointF at = edit->rect().center();
            QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(edit, &enter);
            QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(edit, &dropped);
            return edit->text();
        };
        QCOMPARE(drop("-5"), QString("7"));
        QCOMPARE(drop("1e3"), QString("7"));
        QVERIFY(drop("25").contains("25"));

        // Typed: control keys type nothing, Tab moves on to the next field.
        edit->setText("4");
        edit->setCursorPosition(1);
        QTest::keyClick(edit, Qt::Key_Left);
        QTest::keyClicks(edit, "1");
        QCOMPARE(edit->text(), QString("14"));
        QTest::keyClick(edit, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(edit->text(), QString("14"));
        QWidget* before = QApplication::focusWidget();
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != before);

        // Esc closes the window; the half-typed value is still there.
        edit->setText("12.");
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!alarm.isVisible());
        QCOMPARE(edit->text(), QString("12."));
        QTest::qWait(300);
        QVERIFY(writes().isEmpty());
        QVERIFY(notifier.messages.isEmpty());
    }

    void startingTestFromTriggerToSavedPicture()
    {
        startProgram();
        StartingWindow& starting = program->startingWindow();
        program->mainWindow().toolAction(C::StartingTest)->trigger();
        QVERIFY(starting.isVisible());
        QVERIFY(!starting.isModal());
        starting.resize(900, 600);
        QWidget* pic = in<QWidget>(starting, "StartingPic");
        QTRY_VERIFY(pic->width() > 800);
        // Nothing captured yet: both traces lie flat on the centre line.
        QVERIFY(RedRows(pic->grab().toImage()) <= 1);

        // The current range list is switched on by the mouse over its group,
        // and off again over the plot.
        auto* currentRange = in<QComboBox>(starting, "ComboBox1");
        QVERIFY(!currentRange->isEnabled());
        QEnterEvent enterGroup(QPointF(4, 4), QPointF(4, 4), QPointF(4, 4));
        QApplication::sendEvent(in<QGroupBox>(starting, "CurrentRangeGroup"), &enterGroup);
        QVERIFY(currentRange->isEnabled());
        const QPointF centre = pic->rect().center();
        QMouseEvent overPlot(QEvent::MouseMove, centre, pic->mapToGlobal(centre), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
        QApplication::sendEvent(pic, &overPlot);
        QVERIFY(!currentRange->isEnabled());

        currentRange->setCurrentIndex(2);  // "2": range code 0x20
        notifier.answers << Notifier::Answer::Yes;
        in<QAbstractButton>(starting, "SeSkinSpeedButton1")->click();
        QCOMPARE(notifier.questions, QStringList{"  单击确定后按下仪器的Starting开关!  "});
        QCOMPARE(starting.statusText(), QString("发送测试请求"));
        QTRY_COMPARE_WITH_TIMEOUT(starting.statusText(), QString("Testing completed"), 5000);
        QCOMPARE(StartingReads(simulator().requests()), (QList<int>{0x20, 0x100, 0x200, 0x300, 0x400, 0x500, 0x600}));
        QCOMPARE(int(program->state().StartBlockIndex), 0);
        // The instrument recorded in the range asked for: 0.05 A a count on
        // its highest range, halved per range below.
        QCOMPARE(program->state().StartingCapture.CurrentScale.get(), 0.0125f);
        QVERIFY(RedRows(pic->grab().toImage()) > 50);

        // Moving right reaches 2240 in seven presses; the eighth switches the
        // button off. The step runs from 1 to 4 the same way.
        auto* right = in<QAbstractButton>(starting, "SeSkinSpeedButton3");
        auto* left = in<QAbstractButton>(starting, "SeSkinSpeedButton2");
        auto* larger = in<QAbstractButton>(starting, "SeSkinSpeedButton4");
        auto* smaller = in<QAbstractButton>(starting, "SeSkinSpeedButton5");
        // Picture-only buttons still tell a screen reader and automation
        // what they are, each its own name.
        QSet<QString> names;
        for (QAbstractButton* b : {right, left, larger, smaller}) {
            QVERIFY(!b->toolTip().isEmpty());
            names << b->accessibleName();
        }
        QCOMPARE(names.size(), 4);
        QVERIFY(!names.contains(QString()));
        for (int i = 0; i < 7; ++i) right->click();
        QCOMPARE(starting.plotView().startOffset, 2240);
        QVERIFY(right->isEnabled());
        right->click();
        QCOMPARE(starting.plotView().startOffset, 2240);
        QVERIFY(!right->isEnabled());
        left->click();
        QCOMPARE(starting.plotView().startOffset, 1920);
        QVERIFY(right->isEnabled());
        smaller->click();
        QVERIFY(!smaller->isEnabled());
        for (int i = 0; i < 4; ++i) larger->click();
        QCOMPARE(starting.plotView().step, 4);
        QVERIFY(!larger->isEnabled());
        QVERIFY(smaller->isEnabled());

        // The picture is saved as the 24-bit bitmap of what the window shows.
        QStringList proposed;
        const QString path = dir.filePath("pictures/first.bmp");
        QVERIFY(QDir().mkpath(dir.filePath("pictures")));
        starting.chooseSaveFile = [&](const QString& p) {
            proposed << p;
            return proposed.size() == 1 ? path : dir.filePath("missing/folder/second.bmp");
        };
        in<QAbstractButton>(starting, "SeSkinSpeedButton6")->click();
        QVERIFY(proposed[0].endsWith("/StartingTestFile.bmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray header = file.read(30);
        QVERIFY(header.startsWith("BM"));
        QCOMPARE(int(uint8_t(header[28])), 24);
        const QImage saved(path);
        QCOMPARE(saved.size(), pic->size());
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
                 starting.startingSurface().copy(pic->rect()).convertToFormat(QImage::Format_RGB32));

        // The next save starts in the same folder; one that cannot be
        // written says which file and why.
        in<QAbstractButton>(starting, "SeSkinSpeedButton6")->click();
        QCOMPARE(proposed[1], dir.filePath("pictures/StartingTestFile.bmp"));
        QCOMPARE(notifier.messages.size(), 1);
        QVERIFY2(notifier.messages[0].contains("second.bmp"), qPrintable(notifier.messages[0]));
    }

    void startingTestRefusedWhileSamplingAndStartRepeatedAfterACorruptAck()
    {
        startProgram();
        StartingWindow& starting = program->startingWindow();
        program->mainWindow().action(C::StartingTest)->trigger();
        auto* startButton = in<QAbstractButton>(starting, "SeSkinSpeedButton1");

        program->mainWindow().action(C::ContinuousSampling)->trigger();
        startButton->click();
        QCOMPARE(notifier.messages, QStringList{"    请先停止连续测试！    "});
        QVERIFY(notifier.questions.isEmpty());
        program->mainWindow().action(C::Stop)->trigger();
        QTest::qWait(400);  // the last bulk reply is in
        QVERIFY(StartingReads(simulator().requests()).isEmpty());
        QCOMPARE(starting.statusText(), QString("Velquor"));

        // The trigger acknowledgement arrives corrupt: the start request
        // goes out again (not "block 0x20") and the test still completes.
        simulator().clearRequests();
        in<QComboBox>(starting, "ComboBox1")->setCurrentIndex(2);
        simulator().injectNext(sim::Fault::BadCrc);
        notifier.answers << Notifier::Answer::Yes;
        startButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(starting.statusText(), QString("Testing completed"), 5000);
        const QList<int> reads = StartingReads(simulator().requests());
        QCOMPARE(reads.count(0x20), 2);
        QVERIFY(!reads.contains(0x2000));
        QCOMPARE(reads.last(), 0x600);
    }
};

QTEST_MAIN(SettingsWindowsSimTest)
#include "test_settings_windows_sim.moc"
