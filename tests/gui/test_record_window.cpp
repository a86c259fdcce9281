// The record window and the record settings dialog as the user meets them:
// the recording commands and their refusals, the view controls through the
// real widgets at the chart sizes the rules are stated for, opening sound,
// damaged and empty record files, the cursor readout, the resize rule, and
// "Enter" of the settings dialog.

#include "acquisition/acquisition_state.h"
#include "acquisition/sys_settings.h"
#include "display/display_colors.h"
#include "display/windows/paint_box.h"
#include "recording/ole_date.h"
#include "recording/record_file.h"
#include "recording/record_reader.h"
#include "recording/record_writer.h"
#include "recording/recorder.h"
#include "recording/windows/record_settings_dialog.h"
#include "recording/windows/record_window.h"
#include "support/test_support.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

constexpr double kFirstStamp = 45365.75;  // 2024-03-14 18:00:00
const std::array<int32_t, 6> kCodes{0, 1, 2, 6, 7, 10};

QString PenDataFolder()
{
    const QString green = QFINDTESTDATA("../../resources/PenData/green.dat");
    return green.isEmpty() ? QString() : QFileInfo(green).absolutePath();
}

void Hover(QWidget* widget, int x)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 20), widget->mapToGlobal(QPointF(x, 20)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

} // namespace

class RecordWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    AcquisitionState state;
    DisplayColors colors{QColor(255, 255, 255), QColor(170, 170, 170)};
    RecordingNotifier notifier;
    std::unique_ptr<SysSettings> settings;
    std::unique_ptr<RecordWindow> window;
    std::unique_ptr<LiveRecord> source;  // what record files are written from

    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
    template <typename T>
    T* widget(const char* name) { return window->findChild<T*>(name); }
    QString label(int number) { return widget<QLabel>(qPrintable(QStringLiteral("Label%1").arg(number)))->text(); }

    // A record file of `count` samples one second apart; sample i of
    // channel c holds value(c, i).
    QString writeRecord(const QString& name, int count, const std::function<float(int, int)>& value)
    {
        for (int i = 0; i < count; ++i) {
            for (int c = 0; c < 6; ++c) source->data.channel(c)[i] = value(c, i);
            source->data.times()[i] = kFirstStamp + i / 86400.0;
        }
        source->count = count;
        const QString path = dir.filePath(name);
        RecordFileWriter writer;
        QString error;
        if (!writer.create(path, kCodes, 0, &error) || !writer.save(*source).ok) qFatal("%s", qPrintable(error));
        return path;
    }
    QString writeRecord(const QString& name, int count)
    {
        return writeRecord(name, count, [](int c, int) { return float(10 * (c + 1)); });
    }

    // Grows or shrinks the window until the chart is `chartWidth` wide.
    void setChartWidth(int chartWidth)
    {
        QWidget* pic4 = widget<QWidget>("Pic4");
        window->resize(window->width() + chartWidth - pic4->width(), 600);
        QTRY_COMPARE(pic4->width(), chartWidth);
    }

    int chartPixels(const QColor& color)
    {
        QWidget* pic4 = widget<QWidget>("Pic4");
        const QImage shown = pic4->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int n = 0;
        // The plot's rows only: the scale labels below it use the channel colours too.
        for (int y = 0; y < shown.height() - 12; ++y)
            for (int x = 0; x < shown.width() - 80; ++x) n += shown.pixel(x, y) == color.rgb();
        return n;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!PenDataFolder().isEmpty(), "resources/PenData not found");
        source = std::make_unique<LiveRecord>();
    }

    void init()
    {
        state = AcquisitionState();
        InitAcquisitionState(state, QSize(800, 600), nullptr);
        notifier = RecordingNotifier();
        QFile::remove(dir.filePath("SysSet.ini"));
        settings = std::make_unique<SysSettings>(dir.filePath("SysSet.ini"));
        window = std::make_unique<RecordWindow>(state, LoadRecordSettings(*settings), colors, notifier,
                                                PenDataFolder());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    void recordingNeedsContinuousSamplingAndAFile()
    {
        QCOMPARE(window->windowTitle(), QString("Record"));
        QVERIFY(!action("SeSkinSpeedButton5")->isEnabled());
        QVERIFY(!action("N16")->isEnabled());
        QCOMPARE(window->statusText(0), QString("Step:  3S"));
        QCOMPARE(window->statusText(1), QString("Save Setp:  20S"));
        QCOMPARE(label(7), QString("Power"));

        // Without a file (Start's command as its button forwards it).
        state.SamplingMode = SamplingContinuous;
        window->recorder().start();
        QCOMPARE(notifier.messages, QStringList{"Please Create a new record file !"});

        // A cancelled save dialog creates nothing; the proposal is the
        // default name in the last folder.
        QString proposed;
        window->chooseSaveFile = [&](const QString& p) {
            proposed = p;
            return QString();
        };
        action("N3")->trigger();
        QVERIFY(proposed.endsWith("/RecordFile.vqr"));
        QVERIFY(!action("SeSkinSpeedButton5")->isEnabled());

        const QString path = dir.filePath("new.vqr");
        window->chooseSaveFile = [&](const QString&) { return path; };
        action("SeSkinSpeedButton12")->trigger();
        QCOMPARE(QFileInfo(path).size(), qint64(kRecordBlockSize));
        QVERIFY(action("SeSkinSpeedButton5")->isEnabled());
        QCOMPARE(window->statusText(5), QString("Recording"));

        state.SamplingMode = SamplingIdle;
        action("SeSkinSpeedButton5")->trigger();
        QCOMPARE(notifier.messages.last(),
                 QString("To start the recording must be in continuous sampling mode, records do not start!"));
        QVERIFY(!action("SeSkinSpeedButton6")->isEnabled());

        state.SamplingMode = SamplingContinuous;
        action("N16")->trigger();
        QVERIFY(!action("SeSkinSpeedButton5")->isEnabled());
        QVERIFY(action("SeSkinSpeedButton6")->isEnabled() && action("N17")->isEnabled());
        QVERIFY(!action("SeSkinSpeedButton4")->isEnabled() && !action("N13")->isEnabled());
        QVERIFY(window->findChild<QTimer*>("GridTimer")->isActive());

        state.TestRecord.ActivePower.set(100.5f);
        for (int i = 0; i < 3; ++i) window->recorder().samplingTick();
        QCOMPARE(window->statusText(4), QString("Length:2"));
        // Every channel records Power; CH6 is drawn last, over the others.
        QVERIFY(chartPixels(QColor(255, 0, 255)) > 0);

        // Overwriting asks; No keeps the recording's file.
        notifier.answers = {Notifier::Answer::No};
        action("N3")->trigger();
        QCOMPARE(notifier.questions, QStringList{"File already exists, overwrite?"});
        QCOMPARE(window->recorder().liveRecord().count, 3);

        action("N17")->trigger();
        QVERIFY(!window->findChild<QTimer*>("GridTimer")->isActive());
        QVERIFY(action("SeSkinSpeedButton4")->isEnabled());
        QVERIFY(!action("SeSkinSpeedButton5")->isEnabled());
        QCOMPARE(QFileInfo(path).size(), qint64(kRecordBlockSize));  // Stop saved the three samples
        QVERIFY(window->openRecordFile(path));
        QCOMPARE(window->viewedRecord().lastIndex, 2);
        QCOMPARE(window->viewedRecord().data.channel(0)[2], 100.5f);
    }

    void leavingWhileRecordingKeepsEverySample()
    {
        const QString path = dir.filePath("left.vqr");
        window->chooseSaveFile = [&](const QString&) { return path; };
        action("N3")->trigger();
        state.SamplingMode = SamplingContinuous;
        action("N16")->trigger();
        for (int i = 0; i < 5; ++i) window->recorder().samplingTick();
        window.reset();  // the program ends before the first save step
        ViewedRecord record;
        QVERIFY(OpenRecordFile(path, record).loaded);
        QCOMPARE(record.lastIndex, 4);
    }

    void zoomingOutNeedsMoreSamplesThanTheChartIsWide_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<bool>("zooms");
        // Inspection measures against the last index: 0.95 x 638 = 606.1 -> 606.
        QTest::newRow("last index 606") << 607 << false;
        QTest::newRow("last index 607") << 608 << true;
    }
    void zoomingOutNeedsMoreSamplesThanTheChartIsWide()
    {
        QFETCH(int, samples);
        QFETCH(bool, zooms);
        setChartWidth(638);
        QVERIFY(window->openRecordFile(writeRecord("zoom.vqr", samples)));
        QCOMPARE(window->statusText(5), QString("Inspection"));
        action("SeSkinSpeedButton7")->trigger();
        QCOMPARE(window->viewState().zoomInView(), zooms ? 2 : 1);
        QCOMPARE(action("SeSkinSpeedButton7")->isEnabled(), zooms);
        QCOMPARE(action("N9")->isEnabled(), zooms);
        QVERIFY(action("SeSkinSpeedButton8")->isEnabled());
        QCOMPARE(widget<QSlider>("TrackBar1")->value(), zooms ? 149 : 150);
        QCOMPARE(window->statusText(0), QString("Sampling step:%1S").arg(zooms ? 2 : 1));

        action("N8")->trigger();  // "Zoom Out forward " zooms in
        action("N8")->trigger();
        QCOMPARE(window->viewState().zoomInView(), 1);
        QVERIFY(!action("SeSkinSpeedButton8")->isEnabled());
        QVERIFY(!action("N8")->isEnabled());
    }

    void scrollingForwardAndBack()
    {
        setChartWidth(638);
        QVERIFY(window->openRecordFile(writeRecord("scroll.vqr", 2001)));  // last index 2000
        QScrollBar* bar = widget<QScrollBar>("SeSkinScrollBar1");

        // Position 45 points at sample 45 x 2000 div 450 = 200; the chart
        // follows 100 ms later.
        bar->setValue(45);
        QCOMPARE(window->viewState().startInView(), 200);
        QTRY_VERIFY(!window->findChild<QTimer*>("ScrollBar1ChangeTimer")->isActive());
        QVERIFY(window->statusText(3).startsWith("End:"));

        action("SeSkinSpeedButton9")->trigger();  // Back: 200 -> 0
        QCOMPARE(window->viewState().startInView(), 0);
        QCOMPARE(bar->value(), 0);
        QVERIFY(action("SeSkinSpeedButton9")->isEnabled());
        action("N11")->trigger();
        QVERIFY(!action("SeSkinSpeedButton9")->isEnabled() && !action("N11")->isEnabled());

        // Forward: 500 pictured as round(500 x 450 / 2000) = round(112.5) = 112,
        // and the picture does not move start back to 112 x 2000 div 450.
        action("SeSkinSpeedButton10")->trigger();
        QCOMPARE(window->viewState().startInView(), 500);
        QCOMPARE(bar->value(), 112);
        QVERIFY(action("N11")->isEnabled());
        for (int i = 0; i < 3; ++i) action("N10")->trigger();  // 1000, 1500, then no room
        QCOMPARE(window->viewState().startInView(), 1500);
        QVERIFY(!action("SeSkinSpeedButton10")->isEnabled());

        // A position that leaves less than a chart's width of samples is ignored.
        bar->setValue(440);
        QCOMPARE(window->viewState().startInView(), 1500);

        // Short records ignore the scroll bar: last index 450 here.
        QVERIFY(window->openRecordFile(writeRecord("short.vqr", 451)));
        QCOMPARE(window->viewState().startInView(), 0);  // 1500 is past this record
        bar->setValue(10);
        QCOMPARE(window->viewState().startInView(), 0);
    }

    void modeRangeTrackBarAndResizeRule()
    {
        QVERIFY(window->openRecordFile(writeRecord("mode.vqr", 2000)));
        action("SeSkinSpeedButton11")->trigger();
        QCOMPARE(window->statusText(5), QString("Recording"));
        QCOMPARE(window->viewState().mode, ViewMode::Recording);
        action("SeSkinSpeedButton11")->trigger();
        QCOMPARE(window->statusText(5), QString("Inspection"));

        QToolButton* range = widget<QToolButton>("SeSkinButton19");
        QCOMPARE(range->toolTip(), QString("单击选择数据显示范围"));
        const QStringList texts{"Range: P and N", "Range: Negative", "Range: Positive"};
        for (const QString& text : texts) {
            range->click();
            QCOMPARE(window->statusText(6), text);
        }

        // A double click on the chart shows the track bar; position 148 is zoom 3.
        QSlider* track = widget<QSlider>("TrackBar1");
        QVERIFY(track->isHidden());
        QTest::mouseDClick(widget<QWidget>("Pic4"), Qt::LeftButton, {}, QPoint(50, 50));
        QVERIFY(track->isVisible());
        track->setValue(148);
        QCOMPARE(window->viewState().zoomInView(), 3);
        QTRY_COMPARE(window->statusText(0), QString("Sampling step:3S"));

        QWidget* panel = widget<QWidget>("ChartPanel");
        auto* group = widget<QGroupBox>("GroupBox1");
        for (const int width : {900, 700}) {
            window->resize(width, 560);
            QTRY_COMPARE(panel->geometry(), QRect(5, 16, group->width() - 10, group->height() - 21));
            QCOMPARE(range->y(), panel->height() - 36);
            QCOMPARE(range->x(), widget<QWidget>("Pic5")->x() + 1);
            QCOMPARE(widget<QWidget>("Pic5")->width(), 50);
            QCOMPARE(track->geometry().topLeft(), QPoint(29, 4));
            QCOMPARE(track->width(), panel->width() - 81);
        }
    }

    void channelButtons()
    {
        QVERIFY(window->openRecordFile(writeRecord("channels.vqr", 100)));
        QToolButton* visible = widget<QToolButton>("SeSkinButton1");
        visible->click();
        QVERIFY(!window->viewState().visible[0]);
        QVERIFY(!widget<QLabel>("Label7")->isEnabled() && !widget<QLabel>("Label13")->isEnabled());
        QVERIFY(!widget<QToolButton>("SeSkinButton3")->isEnabled() && !widget<QToolButton>("SeSkinButton2")->isEnabled());
        QVERIFY(widget<QLabel>("Image1")->isHidden());
        QCOMPARE(chartPixels(QColor(0, 128, 0)), 0);
        visible->click();
        QVERIFY(widget<QLabel>("Image1")->isVisible() && widget<QToolButton>("SeSkinButton3")->isEnabled());
        QVERIFY(chartPixels(QColor(0, 128, 0)) > 0);

        // CH2's scale buttons: up twice from the initial 1.0 gives 2.5.
        widget<QToolButton>("SeSkinButton4")->click();
        widget<QToolButton>("SeSkinButton4")->click();
        QCOMPARE(window->viewState().scale[1], 2.5f);
        widget<QToolButton>("SeSkinButton5")->click();
        QCOMPARE(window->viewState().scale[1], 1.0f);
    }

    void openingDamagedAndEmptyFiles()
    {
        const QString good = writeRecord("good.vqr", 10);
        QVERIFY(window->openRecordFile(good));
        QCOMPARE(label(10), QString("Frequency"));
        QCOMPARE(label(12), QString("Temperature 1"));

        // No whole block: the reader's message, the record in view untouched.
        QFile junk(dir.filePath("junk.vqr"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(100, '\x7f'));
        junk.close();
        const QString before = window->statusText(2);
        QVERIFY(!window->openRecordFile(junk.fileName()));
        QCOMPARE(notifier.messages.size(), 1);
        QVERIFY(notifier.messages[0].contains("does not hold one whole record block"));
        QCOMPARE(window->viewedRecord().lastIndex, 9);
        QCOMPARE(window->statusText(2), before);
        QVERIFY(!window->openRecordFile(dir.filePath("missing.vqr")));
        QVERIFY(notifier.messages[1].startsWith("Cannot open the record file"));

        // A torn tail: loaded as far as it is sound, and said so.
        QFile torn(writeRecord("torn.vqr", 5));
        QVERIFY(torn.open(QIODevice::Append));
        torn.write(QByteArray(7, '\0'));
        torn.close();
        QVERIFY(window->openRecordFile(torn.fileName()));
        QCOMPARE(window->viewedRecord().lastIndex, 4);
        QVERIFY(notifier.messages[2].contains("5 samples were loaded"));

        // An empty record (a new file, never started) draws no trace.
        QVERIFY(window->openRecordFile(writeRecord("empty.vqr", 0)));
        QCOMPARE(window->statusText(2), QString("Start: 0"));
        QCOMPARE(window->statusText(3), QString("End: 0"));
        QCOMPARE(window->statusText(4), QString("Length:0"));
        QCOMPARE(chartPixels(QColor(0, 128, 0)), 0);
        QCOMPARE(notifier.messages.size(), 3);
    }

    void cursorReadout()
    {
        // Values halfway between two thousandths round to the even one.
        const QString path = writeRecord("cursor.vqr", 50, [](int c, int i) {
            if (c == 0) return 2.5625f + i;
            if (c == 1) return -1.0625f;
            return float(c);
        });
        QVERIFY(window->openRecordFile(path));
        widget<QToolButton>("SeSkinButton6")->click();  // CH2 hidden still reads out
        QWidget* pic4 = widget<QWidget>("Pic4");
        Hover(pic4, 9);  // column 9 = sample 49 - 9 = 40
        QCOMPARE(label(13), QString("Value: 42.562"));
        QCOMPARE(label(14), QString("Value: -1.062"));
        QCOMPARE(label(15), QString("Value: 2"));
        const QLocale locale;
        QCOMPARE(label(19), "Date: " + locale.toString(QDate(2024, 3, 14), locale.dateFormat(QLocale::ShortFormat)));
        QVERIFY2(label(20).startsWith("Time: ") && label(20).contains("00:40"), qPrintable(label(20)));
        QWidget* arrow = widget<QWidget>("iLedArrow1");
        QCOMPARE(arrow->x() + arrow->width() / 2, pic4->x() + 9);

        // Beyond the data nothing changes but the arrow.
        Hover(pic4, 200);
        QCOMPARE(label(13), QString("Value: 42.562"));
        QCOMPARE(arrow->x() + arrow->width() / 2, pic4->x() + 200);
    }

    void exportWritesTheRecordInView()
    {
        QVERIFY(window->openRecordFile(writeRecord("export.vqr", 3)));
        QList<ExportFormat> asked;
        window->chooseExportFile = [&](ExportFormat format, const QString&) {
            asked << format;
            return format == ExportFormat::Csv ? dir.filePath("out.csv") : QString();
        };
        action("EXCEL1")->trigger();  // cancelled in its file dialog
        notifier.answers = {Notifier::Answer::Yes};
        action("CSV1")->trigger();
        QTRY_VERIFY(QFile::exists(dir.filePath("out.csv")));
        QCOMPARE(asked, (QList<ExportFormat>{ExportFormat::Xlsx, ExportFormat::Csv}));
        QCOMPARE(notifier.questions, QStringList{"Data export to complete. Sure to save it?"});
        QFile csv(dir.filePath("out.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().split('\n');
        QVERIFY(lines[0].contains("Recording time,CH1:Voltage,CH2:Current,CH3:Power,CH4:Frequency,"
                                  "CH5:Power Factor,CH6:Temperature 1"));
        QCOMPARE(lines.size(), 1 + 3 + 1);  // header, three samples, the last line end
        QVERIFY(lines[3].endsWith("10,20,30,40,50,60\r"));

        // The live record is headed with what it records, not with the
        // quantities of the file that the labels still show.
        action("SeSkinSpeedButton11")->trigger();
        QCOMPARE(window->statusText(5), QString("Recording"));
        QCOMPARE(label(7), QString("Voltage"));
        window->chooseExportFile = [&](ExportFormat, const QString&) { return dir.filePath("live.csv"); };
        notifier.answers = {Notifier::Answer::Yes};
        action("CSV1")->trigger();
        QTRY_VERIFY(QFile::exists(dir.filePath("live.csv")));
        QFile live(dir.filePath("live.csv"));
        QVERIFY(live.open(QIODevice::ReadOnly));
        const QByteArray liveHeader = live.readAll().split('\n').value(0);
        QVERIFY2(liveHeader.contains("CH1:Power,CH2:Power,CH3:Power,CH4:Power,CH5:Power,CH6:Power"),
                 liveHeader.constData());

        // Recorded, stopped, then the settings changed to other quantities:
        // the live record is still headed with what its samples were taken as.
        state.SamplingMode = SamplingContinuous;
        window->chooseSaveFile = [&](const QString&) { return dir.filePath("live.vqr"); };
        action("N3")->trigger();
        action("N16")->trigger();
        state.TestRecord.ActivePower.set(1500.0f);
        window->recorder().samplingTick();
        action("N17")->trigger();
        RecordSettingsDialog dialog(*settings, window->recorder(), notifier, window.get());
        dialog.findChild<QComboBox*>("ComboBox3")->setCurrentIndex(0);  // CH1: Voltage
        dialog.findChild<QPushButton*>("Button1")->click();
        QCOMPARE(label(7), QString("Voltage"));
        window->chooseExportFile = [&](ExportFormat, const QString&) { return dir.filePath("stopped.csv"); };
        notifier.answers = {Notifier::Answer::Yes};
        action("CSV1")->trigger();
        QTRY_VERIFY(QFile::exists(dir.filePath("stopped.csv")));
        QFile stopped(dir.filePath("stopped.csv"));
        QVERIFY(stopped.open(QIODevice::ReadOnly));
        const QList<QByteArray> stoppedLines = stopped.readAll().split('\n');
        QCOMPARE(stoppedLines.size(), 1 + 1 + 1);
        QVERIFY2(stoppedLines[0].contains("CH1:Power,CH2:Power,CH3:Power,CH4:Power,CH5:Power,CH6:Power"),
                 stoppedLines[0].constData());
        QVERIFY(stoppedLines[1].endsWith(",1500,1500,1500,1500,1500,1500\r"));
    }

    void settingsDialogEnter()
    {
        RecordSettingsDialog dialog(*settings, window->recorder(), notifier, window.get());
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Record Seting"));
        auto list = [&](int n) { return dialog.findChild<QComboBox*>(QStringLiteral("ComboBox%1").arg(n)); };
        QCOMPARE(list(3)->count(), 13);
        QCOMPARE(list(3)->currentIndex(), 2);
        QCOMPARE(list(2)->count(), 11);
        QCOMPARE(list(1)->count(), 6);
        QVERIFY(!list(9)->isEnabled());
        QCOMPARE(list(9)->placeholderText(), QString("Unfinished"));

        // Cancel applies nothing but the lists keep the choice.
        list(3)->setCurrentIndex(0);
        dialog.findChild<QPushButton*>("Button2")->click();
        QCOMPARE(label(7), QString("Power"));
        QVERIFY(!QFile::exists(dir.filePath("SysSet.ini")));
        QCOMPARE(list(3)->currentIndex(), 0);

        list(6)->setCurrentIndex(11);  // CH4: Temperature 2
        list(2)->setCurrentIndex(0);
        list(1)->setCurrentIndex(5);
        dialog.findChild<QPushButton*>("Button1")->click();
        QCOMPARE(settings->readInt(SysSetKeys::RecordChannel[0]), 0);
        QCOMPARE(settings->readInt(SysSetKeys::RecordChannel[3]), 11);
        QCOMPARE(settings->readInt(SysSetKeys::SamplingStep), 0);
        QCOMPARE(settings->readInt(SysSetKeys::SaveStep), 5);
        QCOMPARE(settings->readInt(SysSetKeys::TemperatureInterface), -1);
        QCOMPARE(label(7), QString("Voltage"));
        QCOMPARE(label(10), QString("Temperature 2"));
        QCOMPARE(window->statusText(0), QString("Step: 1S"));
        QCOMPARE(window->statusText(1), QString("SaveSetp:60S"));
        QCOMPARE(window->recorder().samplingTimer().interval(), 1000);
        QCOMPARE(window->recorder().saveTimer().interval(), 60000);
        QCOMPARE(notifier.messages, QStringList{TemperatureInputMessage()});
        QVERIFY(dialog.isHidden());

        // A 30 s step from the file shows no selection and survives "Enter".
        settings->writeInt(SysSetKeys::SamplingStep, 11);
        RecordWindow second(state, LoadRecordSettings(*settings), colors, notifier, PenDataFolder());
        RecordSettingsDialog again(*settings, second.recorder(), notifier);
        QCOMPARE(again.findChild<QComboBox*>("ComboBox2")->currentIndex(), -1);
        again.enter();
        QCOMPARE(second.recorder().settings().samplingStep, 11);
        QCOMPARE(settings->readInt(SysSetKeys::SamplingStep), 11);
    }
};

QTEST_MAIN(RecordWindowTest)
#include "test_record_window.moc"
