// The instrument-settings and calibration windows in the whole program
// against the simulated instrument: the real serial component on a
// pseudo-terminal, the real reply handler, the simulator storing what it is
// sent.

#include "acquisition/sampling_controller.h"
#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "link/register_map.h"
#include "link/tcomm.h"
#include "link/windows/communication_dialog.h"
#include "pty_simulator.h"
#include "settings/windows/calibration_window.h"
#include "settings/windows/instrument_settings_window.h"
#include "support/test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

QByteArray ToBytes(const std::vector<uint8_t>& v) { return QByteArray(reinterpret_cast<const char*>(v.data()), int(v.size())); }

QByteArray FloatBytes(float f)
{
    QByteArray b(4, '\0');
    std::memcpy(b.data(), &f, 4);  // little-endian host, as the instrument
    return b;
}

} // namespace

class InstrumentCalibrationSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    RecordingNotifier notifier;
    std::unique_ptr<Program> program;

    void startProgram()
    {
        ProgramOptions options;
        options.simulate = true;
        options.factory = true;
        options.settingsPath = dir.filePath("SysSet.ini");
        options.notifier = &notifier;
        program = std::make_unique<Program>(options);
        QString error;
        QVERIFY2(program->start(&error), qPrintable(error));
        program->mainWindow().show();
        // The start-up read of the settings block fills the settings window.
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successful synchronization"), 3000);
    }
    sim::PtySimulator& simulator() { return *program->simulator(); }
    InstrumentSettingsWindow& settings() { return program->instrumentSettingsWindow(); }
    CalibrationWindow& calibration() { return program->calibrationWindow(); }
    template <typename T>
    T* in(QWidget& window, const char* name)
    {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no %s", name);
        return w;
    }
    void click(QWidget& window, const char* name) { in<QPushButton>(window, name)->click(); }
    // Frames written to reg (function 0x10), oldest first.
    QList<QByteArray> writes(int reg)
    {
        QList<QByteArray> out;
        for (const auto& f : simulator().requests())
            if (f.size() > 7 && f[1] == 0x10 && f[3] == uint8_t(reg)) out << ToBytes(f);
        return out;
    }
    QByteArray stored(int reg) { return ToBytes(simulator().storedRegister(reg)); }
    void setText(QWidget& window, const char* edit, const QString& text) { in<QLineEdit>(window, edit)->setText(text); }
    QString text(QWidget& window, const char* edit) { return in<QLineEdit>(window, edit)->text(); }

private slots:
    void init() { notifier = RecordingNotifier(); }
    void cleanup() { program.reset(); }

    void settingsBlockIsSavedReadBackAndRefused()
    {
        startProgram();
        // The simulator ships with the automatic range: the range list is hidden.
        QVERIFY(in<QRadioButton>(settings(), "RadioButton1")->isChecked());
        QVERIFY(!in<QComboBox>(settings(), "ComboBox2")->isVisibleTo(&settings()));
        QVERIFY(!in<QLabel>(settings(), "Label11")->isVisibleTo(&settings()));

        // The factory values go out as the documented frame.
        click(settings(), "Button3");
        click(settings(), "Button1");
        QCOMPARE(settings().statusText(), QString("Data is being transmitted to the instrument"));
        QCOMPARE(program->mainWindow().statusText(1), QString("Status: narrowband"));
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successfully write data to the instrument"), 3000);
        QCOMPARE(ToHex(writes(188).last()),
                 QString("02 10 00 BC 00 09 13 00 00 00 00 00 00 80 3F 00 00 80 3F 00 00 0A 01 00 00 04 A1 EA"));

        // 10 degrees at 50 Hz travel as 10/360 of 20 ms and come back as 10;
        // byte 17 goes back as the last read-out left it.
        program->state().CtSettings.Unused = 0x5A;
        setText(settings(), "Edit1", "10");
        click(settings(), "Button1");
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successfully write data to the instrument"), 3000);
        QCOMPARE(stored(188).left(4), FromHex("B4 A2 11 3A"));
        QCOMPARE(uint8_t(stored(188)[17]), uint8_t(0x5A));
        setText(settings(), "Edit1", "");
        simulator().clearRequests();
        click(settings(), "Button2");
        QCOMPARE(settings().statusText(), QString("Is requesting instrument data ......"));
        QTRY_COMPARE_WITH_TIMEOUT(text(settings(), "Edit1"), QString("10"), 3000);
        QCOMPARE(settings().statusText(), QString("Successful synchronization"));
        QCOMPARE(ToHex(ToBytes(simulator().requests().front())), QString("02 03 00 BC 00 12 04 10"));

        // At 60 Hz the instrument still reads back over 20 ms: 8.333...; a
        // locked range, broadband, %R, coefficient 3, the filter on and the
        // ratios all come back as saved.
        in<QComboBox>(settings(), "ComboBox3")->setCurrentIndex(1);
        in<QRadioButton>(settings(), "RadioGroup1Item1")->click();
        in<QRadioButton>(settings(), "RadioGroup2Item1")->click();
        in<QComboBox>(settings(), "ComboBox1")->setCurrentIndex(2);
        in<QCheckBox>(settings(), "CheckBox1")->setChecked(true);
        in<QRadioButton>(settings(), "RadioButton2")->click();
        QVERIFY(in<QComboBox>(settings(), "ComboBox2")->isVisibleTo(&settings()));
        in<QComboBox>(settings(), "ComboBox2")->setCurrentIndex(1);
        setText(settings(), "Edit3", "1.2");
        setText(settings(), "Edit4", "100");
        click(settings(), "Button1");
        QCOMPARE(program->mainWindow().statusText(1), QString("Status: Broadband"));
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successfully write data to the instrument"), 3000);
        click(settings(), "Button3");  // back to the factory values on screen only
        click(settings(), "Button2");
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successful synchronization"), 3000);
        QVERIFY2(text(settings(), "Edit1").startsWith("8.333"), qPrintable(text(settings(), "Edit1")));
        QCOMPARE(text(settings(), "Edit3"), QString("1.2"));
        QCOMPARE(text(settings(), "Edit4"), QString("100"));
        QVERIFY(in<QRadioButton>(settings(), "RadioGroup1Item1")->isChecked());
        QVERIFY(in<QRadioButton>(settings(), "RadioGroup2Item1")->isChecked());
        QCOMPARE(in<QComboBox>(settings(), "ComboBox1")->currentText(), QString(" 3"));
        QVERIFY(in<QCheckBox>(settings(), "CheckBox1")->isChecked());
        QVERIFY(in<QRadioButton>(settings(), "RadioButton2")->isChecked());
        QCOMPARE(in<QComboBox>(settings(), "ComboBox2")->currentText(), QString(" 2"));
        QCOMPARE(program->mainWindow().statusText(1), QString("Broadband"));

        // The key filter lets numbers through and nothing else.
        QLineEdit* angle = in<QLineEdit>(settings(), "Edit1");
        angle->clear();
        QTest::keyClicks(angle, "-a2x.5");
        QCOMPARE(angle->text(), QString("-2.5"));

        // Refusals send nothing and leave the mirror alone: both ends are
        // allowed, just past them is not, nor a text that is no number, nor
        // a save while the port is closed.
        setText(settings(), "Edit1", "30");
        click(settings(), "Button1");
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successfully write data to the instrument"), 3000);
        QCOMPARE(stored(188).left(4), FloatBytes(float(30.0 / 360 / 60)));
        in<QComboBox>(settings(), "ComboBox3")->setCurrentIndex(0);
        setText(settings(), "Edit1", "-30");
        click(settings(), "Button1");
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successfully write data to the instrument"), 3000);
        QCOMPARE(stored(188).left(4), FloatBytes(float(-30.0 / 360 / 50)));
        QVERIFY(notifier.messages.isEmpty());
        const int sent = writes(188).size();
        const QByteArray mirror(reinterpret_cast<const char*>(program->state().CtSettings.bytes()), 19);
        setText(settings(), "Edit1", "30.01");
        click(settings(), "Button1");
        setText(settings(), "Edit1", "-30.01");
        click(settings(), "Button1");
        setText(settings(), "Edit1", "0");
        setText(settings(), "Edit4", "-");
        click(settings(), "Button1");
        setText(settings(), "Edit4", "1");
        // A ratio beyond a 32-bit float would reach the instrument as infinity.
        const QString huge = "1" + QString(39, '0');
        setText(settings(), "Edit3", huge);
        click(settings(), "Button1");
        setText(settings(), "Edit3", "1");
        program->comm().setPortOpen(false);
        click(settings(), "Button1");
        QCOMPARE(notifier.messages,
                 QStringList({"Angle difference is not greater than 30 degrees, the data is invalid!",
                              "Angle difference can not be less than -30 degrees, the data is invalid!",
                              "Voltage transformer ratio: \"-\" is not a number.\n"
                              "Please enter a number such as 1.5; nothing was sent.",
                              "Current transformer ratio: \"" + huge + "\" is not a number.\n"
                              "Please enter a number such as 1.5; nothing was sent.",
                              RequestNotSentText()}));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(program->state().CtSettings.bytes()), 19), mirror);
        QCOMPARE(settings().statusText(), QString("Successfully write data to the instrument"));
        QTest::qWait(200);
        QCOMPARE(writes(188).size(), sent);
    }

    void calibrationDrivesSettingsSamplingAndCalibrates()
    {
        startProgram();
        program->mainWindow().action(MainWindow::Command::Calibration)->trigger();
        QVERIFY(calibration().isVisible());

        // "第三档" locks range 3 through the settings window and sends its block.
        click(calibration(), "Range3Button");
        QVERIFY(in<QRadioButton>(settings(), "RadioButton2")->isChecked());
        QCOMPARE(in<QComboBox>(settings(), "ComboBox2")->currentText(), QString(" 3"));
        QVERIFY(in<QComboBox>(settings(), "ComboBox2")->isVisibleTo(&settings()));
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successfully write data to the instrument"), 3000);
        QCOMPARE(writes(188).size(), 1);
        QCOMPARE(uint8_t(stored(188)[16]), uint8_t(1));
        QCOMPARE(uint8_t(stored(188)[18]), uint8_t(3));
        click(calibration(), "BroadbandButton");
        QCOMPARE(program->mainWindow().statusText(1), QString("Status: Broadband"));
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successfully write data to the instrument"), 3000);
        QCOMPARE(uint8_t(stored(188)[12]), uint8_t(1));
        click(calibration(), "Button4");  // factory settings
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successfully write data to the instrument"), 3000);
        QCOMPARE(uint8_t(stored(188)[16]), uint8_t(0));
        QVERIFY(in<QRadioButton>(settings(), "RadioButton1")->isChecked());
        QCOMPARE(uint8_t(stored(188)[12]), uint8_t(0));

        // The amplitude references: the preset fills the field and sends.
        click(calibration(), "VoltagePreset220");
        QCOMPARE(text(calibration(), "Edit1"), QString("220"));
        QTRY_COMPARE_WITH_TIMEOUT(writes(154).size(), 1, 3000);
        QCOMPARE(ToHex(writes(154).last()), QString("02 10 00 9A 00 02 04 00 00 5C 43 0D 09"));
        click(calibration(), "CurrentPreset0.5A");
        QCOMPARE(text(calibration(), "Edit2"), QString("0.5"));
        QTRY_COMPARE_WITH_TIMEOUT(stored(158), FloatBytes(0.5f), 3000);
        click(calibration(), "Button1");  // unlock
        QTRY_COMPARE_WITH_TIMEOUT(stored(185), FromHex("6B 00 00 00"), 3000);

        // A phase of 1 goes out as its share of 20 ms and reads back as 1.
        setText(calibration(), "Edit7", "1");
        click(calibration(), "Button2");
        QTRY_COMPARE_WITH_TIMEOUT(stored(167), FloatBytes(float(1.0 / 360 * 0.02)), 3000);
        setText(calibration(), "Edit7", "");
        click(calibration(), "Button8");
        QTRY_COMPARE_WITH_TIMEOUT(text(calibration(), "Edit7"), QString("1"), 3000);
        // Steps write at once; "+1.3" takes the broadband phase.
        setText(calibration(), "Edit8", "0");
        click(calibration(), "BroadbandStep-0.1");
        QCOMPARE(text(calibration(), "Edit8"), QString("-0.1"));
        QTRY_COMPARE_WITH_TIMEOUT(stored(168), FloatBytes(float(-0.1 / 360 * 0.02)), 3000);
        setText(calibration(), "Edit8", "2");
        click(calibration(), "NarrowbandStep+1.3");
        QCOMPARE(text(calibration(), "Edit7"), QString("3.3"));
        QTRY_COMPARE_WITH_TIMEOUT(stored(167), FloatBytes(float(3.3 / 360 * 0.02)), 3000);

        // Refusals send nothing.
        QVERIFY(notifier.messages.isEmpty());
        QTest::qWait(200);
        const int phaseWrites = writes(167).size() + writes(168).size();
        setText(calibration(), "Edit7", "30.01");
        click(calibration(), "Button2");
        setText(calibration(), "Edit8", "-30.01");
        click(calibration(), "Button3");
        setText(calibration(), "Edit8", "");
        click(calibration(), "BroadbandStep+0.01");
        const int referenceWrites = writes(154).size();
        setText(calibration(), "Edit1", "1" + QString(39, '0'));
        click(calibration(), "SeSkinButton1");
        QCOMPARE(notifier.messages.size(), 4);
        QCOMPARE(notifier.messages[0], QString("  角差不能大于30度，数据无效!    "));
        QCOMPARE(notifier.messages[1], QString("  角差不能小于-30度，数据无效!    "));
        QVERIFY(notifier.messages[2].startsWith("宽频: \"\" is not a number."));
        QVERIFY(notifier.messages[3].startsWith("电压: \"1000"));
        QTest::qWait(200);
        QCOMPARE(writes(167).size() + writes(168).size(), phaseWrites);
        QCOMPARE(writes(154).size(), referenceWrites);

        // Its sampling buttons are the main window's: one measurement, and
        // the measured phases are shown. A second press while the main
        // window's button is off is refused by the main window, with its
        // reason, and changes nothing.
        QPushButton* single = in<QPushButton>(calibration(), "SeSkinButton17");
        single->click();
        QCOMPARE(int(program->state().SamplingMode), 1);
        QVERIFY(single->isEnabled());
        const int shown = notifier.messages.size();
        single->click();
        QCOMPARE(notifier.messages.size(), shown + 1);
        QCOMPARE(int(program->state().SamplingMode), 1);
        QTRY_COMPARE_WITH_TIMEOUT(int(program->state().SamplingMode), 0, 3000);
        const QString voltagePhase = in<QLabel>(calibration(), "Label8")->text();
        QVERIFY2(voltagePhase.endsWith("   ") && voltagePhase != "0", qPrintable(voltagePhase));
        QVERIFY(in<QLabel>(calibration(), "Label9")->text().endsWith("   "));
    }

    // A technician calibrates while continuous sampling runs: the range and
    // band switches (whole settings blocks), the references and the phase
    // corrections all reach the instrument, and the measurements never stop.
    void calibrationWhileSamplingContinuously()
    {
        startProgram();
        program->mainWindow().action(MainWindow::Command::Calibration)->trigger();
        int measurements = 0;
        connect(&program->sampling(), &SamplingController::measurementHandled, this, [&] { ++measurements; });
        QList<int> perStep;
        int before = 0;
        const auto step = [&] {
            QTRY_VERIFY_WITH_TIMEOUT(measurements > before, 2000);
            perStep << measurements - before;
            before = measurements;
        };
        click(calibration(), "SeSkinButton18");
        QCOMPARE(int(program->state().SamplingMode), 2);
        step();

        click(calibration(), "Range2Button");
        QTRY_COMPARE_WITH_TIMEOUT(settings().statusText(), QString("Successfully write data to the instrument"), 3000);
        QCOMPARE(uint8_t(stored(188)[18]), uint8_t(2));
        step();
        click(calibration(), "BroadbandButton");
        QTRY_COMPARE_WITH_TIMEOUT(uint8_t(stored(188)[12]), uint8_t(1), 3000);
        step();
        click(calibration(), "VoltagePreset110");
        click(calibration(), "CurrentPreset2A");
        QTRY_COMPARE_WITH_TIMEOUT(stored(158), FloatBytes(2.0f), 3000);
        QCOMPARE(stored(154), FloatBytes(110.0f));
        step();
        setText(calibration(), "Edit7", "1.5");
        click(calibration(), "Button2");
        setText(calibration(), "Edit7", "");
        click(calibration(), "Button8");
        QTRY_COMPARE_WITH_TIMEOUT(text(calibration(), "Edit7"), QString("1.5"), 3000);
        click(calibration(), "NarrowbandButton");
        QTRY_COMPARE_WITH_TIMEOUT(uint8_t(stored(188)[12]), uint8_t(0), 3000);
        step();

        // Sampling ran all along, and runs on.
        QCOMPARE(int(program->state().SamplingMode), 2);
        QTest::qWait(1000);
        QVERIFY2(measurements - before >= 3, qPrintable(QString::number(measurements - before)));
        QVERIFY(program->mainWindow().statusText(0) != QString("Communication failure, re-request data!"));
        QVERIFY(notifier.messages.isEmpty());
        click(calibration(), "SeSkinButton19");
        QCOMPARE(int(program->state().SamplingMode), 0);
    }
};

QTEST_MAIN(InstrumentCalibrationSimTest)
#include "test_instrument_calibration_sim.moc"
