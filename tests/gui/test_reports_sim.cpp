// Reports end to end: the whole program against the simulated instrument,
// a test file or record file opened as a user would, the report information
// entered in its dialog, the report window opened from the main window and
// from the record window, and the printed page written through the window's
// own print path and "Save as PDF", then read back with poppler (pdftotext,
// pdfinfo, pdftoppm) to find every part at its place on the page.

#include "acquisition/acquisition_state.h"
#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "recording/record_writer.h"
#include "recording/windows/record_window.h"
#include "reports/power_report.h"
#include "reports/report_info.h"
#include "acquisition/ini_file.h"
#include "reports/windows/enter_info_dialog.h"
#include "reports/windows/report_window.h"
#include "support/test_support.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QDate>
#include <QLineEdit>
#include <QLocale>
#include <QPdfWriter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace {

struct PdfWord {
    QString text;
    QRectF box;
};

struct PdfPage {
    QSizeF size;
    QList<PdfWord> words;

    // The box of the words of `phrase`, one after the other.
    std::optional<QRectF> find(const QString& phrase) const
    {
        const QStringList parts = phrase.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (int i = 0; i + parts.size() <= words.size(); ++i) {
            QRectF box;
            bool all = true;
            for (int k = 0; k < parts.size() && all; ++k) {
                all = words[i + k].text == parts[k];
                box = box.isNull() ? words[i + k].box : box.united(words[i + k].box);
            }
            if (all) return box;
        }
        return std::nullopt;
    }
    // How many words have this text.
    int count(const QString& text) const
    {
        return int(std::count_if(words.begin(), words.end(), [&](const PdfWord& w) { return w.text == text; }));
    }
};

QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return QString::fromUtf8(process.readAllStandardOutput());
}

PdfPage ReadPdfPage(const QString& path)
{
    const QString html = Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    PdfPage page;
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\"")).match(html);
    page.size = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString text = m.captured(5);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        page.words << PdfWord{text, QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                           QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))};
    }
    return page;
}

QString PdfInfoField(const QString& path, const QString& field)
{
    const QString info = Run(QStringLiteral("pdfinfo"), {path});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^%1:\\s*(.*)$").arg(field), QRegularExpression::MultilineOption).match(info);
    return m.captured(1).trimmed();
}

QImage RenderPdf(const QString& path, int dpi)
{
    const QString prefix = path + QStringLiteral("-page");
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-r"), QString::number(dpi), path, prefix});
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// Pixels of roughly this colour (antialiased edges count) within the rectangle.
int CountColour(const QImage& image, const QRect& area, const QColor& colour)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = QColor::fromRgb(image.pixel(x, y));
            n += std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
                 std::abs(c.blue() - colour.blue()) < 40;
        }
    }
    return n;
}

// The page's own layout in points: margins of 1/18 and 1/26 of the page.
struct Frame {
    double pw, ph, left, top, right, W, H;
    explicit Frame(QSizeF size)
        : pw(size.width()), ph(size.height()), left(pw / 18), top(ph / 26), right(pw - pw / 18), W(right - left),
          H(ph - 2 * ph / 26)
    {
    }
};

const QColor kGrey(128, 128, 128);
const QColor kBlack(0, 0, 0);
const QColor kGreen(0, 128, 0);
constexpr double kFirstStamp = 45365.75;  // 2024-03-14 18:00:00

} // namespace

#define VERIFY_AT(page, phrase, expectedX, expectedY)                                                              \
    do {                                                                                                           \
        const std::optional<QRectF> found_ = (page).find(phrase);                                                  \
        QVERIFY2(found_, qPrintable(QStringLiteral("\"%1\" is not on the page").arg(phrase)));                     \
        const double dx_ = std::abs(found_->left() - (expectedX)), dy_ = std::abs(found_->top() - (expectedY));    \
        QVERIFY2(dx_ < (page).size.width() * 0.012 && dy_ < (page).size.height() * 0.008,                          \
                 qPrintable(QStringLiteral("\"%1\" at (%2, %3), expected (%4, %5)")                                \
                                .arg(phrase)                                                                       \
                                .arg(found_->left())                                                               \
                                .arg(found_->top())                                                                \
                                .arg(double(expectedX))                                                            \
                                .arg(double(expectedY))));                                                         \
    } while (false)

class ReportsSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    RecordingNotifier notifier;
    std::unique_ptr<Program> program;

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

    ReportWindow& reportWindow() { return program->reportWindow(); }

    // Runs `inside` while the report window is shown modally by `open`, then
    // closes it.
    void whileReportShown(const std::function<void()>& open, const std::function<void()>& inside)
    {
        bool ran = false;
        QTimer::singleShot(0, &reportWindow(), [&] {
            QVERIFY(reportWindow().isVisible());
            inside();
            ran = true;
            reportWindow().reject();
        });
        open();
        QVERIFY(ran);
    }

    // The window's real print path, to a PDF file on A4 without printer margins.
    QString printToPdf(const QString& name)
    {
        QPrinter& printer = reportWindow().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (!reportWindow().printReport()) return QString();
        return dir.filePath(name);
    }

    QString saveAsPdf(const QString& name)
    {
        QString proposed;
        reportWindow().chooseSavePath = [&](const QString& p) {
            proposed = p;
            return dir.filePath(name);
        };
        return reportWindow().saveAsPdf() ? dir.filePath(name) : QString();
    }

    QString writeTestFile()
    {
        TestRecordImage r{};
        r.Urms.set(230.125f);  // a tie: rounds to the even 230.12
        r.Upeak.set(325.5f);
        r.Frequency.set(50.0f);
        r.Irms.set(1.5f);
        r.Ipeak.set(2.125f);
        r.Iphase.set(30.0f);
        r.PowerFactor.set(0.866f);
        r.ActivePower.set(298.9f);
        r.ApparentPower.set(345.0f);
        r.ReactivePower.set(172.5f);
        r.Uthd.set(0.05123f);
        r.Ithd.set(0.1f);
        r.Uff.set(1.11f);
        r.Iff.set(1.2f);
        r.VoltageHarmonics[1].set(1.414f);
        r.VoltageHarmonics[3].set(2.1f);
        r.AuxFactor1.set(1.0f);
        r.AuxFactor2.set(1.0f);
        r.SampleCount.set(512);
        r.VoltageZero.set(2047);
        r.CurrentZero.set(2047);
        for (int i = 0; i < kWaveformSamples; ++i) {
            const double phase = 2 * M_PI * 4 * i / kWaveformSamples;
            r.VoltageSamples[i].set(uint16_t(2047 + std::lround(1000 * std::sin(phase))));
            r.CurrentSamples[i].set(uint16_t(2047 + std::lround(500 * std::sin(phase - 0.5))));
        }
        const QString path = dir.filePath("test.vqm");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(r.bytes()), sizeof r) != sizeof r)
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void init()
    {
        QFile::remove(dir.filePath("SysSet.ini"));
        QFile::remove(dir.filePath("EnterInfo.ini"));
        notifier = RecordingNotifier();
    }
    void cleanup() { program.reset(); }

    void powerReportOfAnOpenedTest()
    {
        startProgram({writeTestFile()});

        // First start: no EnterInfo.ini yet.
        EnterInfoDialog& info = program->enterInfoDialog();
        auto edit = [&](const char* name) { return info.findChild<QLineEdit*>(name); };
        QCOMPARE(edit("Edit1")->text(), QString("2"));
        QCOMPARE(edit("Edit4")->text(), QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(info.findChild<QRadioButton*>("RadioButton2")->isChecked());  // "F"
        edit("Edit1")->setText("Plant 7");
        edit("Edit2")->setText("Test Lab");
        edit("Edit3")->setText("Ann Lee");
        edit("Edit4")->setText("2024-05-01");
        edit("Edit5")->setText("23.5");
        info.findChild<QRadioButton*>("RadioButton1")->setChecked(true);  // "℃"
        info.enter();
        const IniFile file(dir.filePath("EnterInfo.ini"));
        QCOMPARE(file.readString("PrintInfo", "units", ""), QString("1"));
        QCOMPARE(file.readString("PrintInfo", "conner", ""), QString("Ann Lee"));

        QAction* print = program->mainWindow().toolAction(MainWindow::Command::Print);
        QString printed, saved;
        // The first showing is scrolled down by the user; the next one starts at the top again.
        whileReportShown([&] { print->trigger(); }, [&] {
            QScrollBar* bar = reportWindow().scrollBox()->verticalScrollBar();
            QVERIFY(bar->maximum() > 0);
            bar->setValue(bar->maximum());
        });
        whileReportShown([&] { print->trigger(); }, [&] {
            QCOMPARE(reportWindow().size(), QSize(747, 500));
            QCOMPARE(reportWindow().kind(), ReportKind::Power);
            QCOMPARE(reportWindow().scrollBox()->verticalScrollBar()->value(), 0);

            // The preview at its pixel positions: rules, box, table, bars.
            const QImage& s = reportWindow().previewSurface();
            const QSize page = reportWindow().previewPageSize();
            const int W = page.width(), H = page.height();
            QCOMPARE(H, qRound(W * 1.414));
            QCOMPARE(s.pixel(W / 2, 70), kGrey.rgb());
            QCOMPARE(s.pixel(W / 2, 71), kGrey.rgb());
            QVERIFY(s.pixel(W / 2, 68) != kGrey.rgb());
            QCOMPARE(s.pixel(W / 2, H - 100), kGrey.rgb());
            QCOMPARE(s.pixel(300, 80), kBlack.rgb());        // waveform box, top edge
            QCOMPARE(s.pixel(200, 560), kGrey.rgb());        // table outline
            QCOMPARE(s.pixel(80, 700), kGrey.rgb());         // after the order column
            QCOMPARE(s.pixel(282, 700), kGrey.rgb());        // and in the second group, under its texts
            QCOMPARE(s.pixel(76, 250), kBlack.rgb());        // order 3: the largest voltage bar, 115 high
            QVERIFY(s.pixel(76, 240) != kBlack.rgb());
            QVERIFY(s.pixel(64, 280) != kBlack.rgb());       // order 1: 77 high, from 284
            QCOMPARE(s.pixel(64, 290), kBlack.rgb());
            QVERIFY(s.pixel(64, 510) != kBlack.rgb());       // no current harmonics: no bars

            printed = printToPdf("power-printed.pdf");
            saved = saveAsPdf("power-saved.pdf");
        });
        QVERIFY(notifier.messages.isEmpty());
        QVERIFY(!printed.isEmpty() && !saved.isEmpty());

        QCOMPARE(PdfInfoField(printed, "Title"), QString("Plant 7TestReport"));
        QCOMPARE(PdfInfoField(printed, "Pages"), QString("1"));
        QCOMPARE(PdfInfoField(saved, "Title"), QString("Plant 7TestReport"));
        QVERIFY(PdfInfoField(saved, "Page size").contains("(A4)"));

        for (const QString& path : {printed, saved}) {
            const PdfPage p = ReadPdfPage(path);
            const Frame f(p.size);
            QVERIFY(p.size.height() > p.size.width());
            VERIFY_AT(p, "Power Analysis Report", f.left, f.top);
            VERIFY_AT(p, "Page 1/1", f.W * 0.985, f.top + f.H * 0.01);
            // Readouts: label, then number and unit in their own column.
            const double boxRight = f.left + f.pw * 0.55;
            const double row = f.ph * 0.033;
            VERIFY_AT(p, "Voltage:", boxRight + f.pw * 0.009, f.ph * 0.085);
            VERIFY_AT(p, "230.12 V", boxRight + f.pw * 0.23, f.ph * 0.085);
            VERIFY_AT(p, "50 Hz", boxRight + f.pw * 0.23, f.ph * 0.085 + 2 * row);
            VERIFY_AT(p, "2.125 A", boxRight + f.pw * 0.23, f.ph * 0.085 + 4 * row);
            VERIFY_AT(p, "0.866", boxRight + f.pw * 0.23, f.ph * 0.085 + 7 * row);
            VERIFY_AT(p, "5.12 %", boxRight + f.pw * 0.23, f.ph * 0.085 + 12 * row);
            // The harmonic table: RMS of 1.414 and 2.1, shares of the
            // fundamental, and a current without fundamental.
            const double tableTop = f.ph * 0.565, tableRow = (f.ph * 0.905 - tableTop) / 19, column = f.W / 15;
            VERIFY_AT(p, "1.00", f.left + 1.1 * column, tableTop + 3 * tableRow + 1);
            VERIFY_AT(p, "100.0%", f.left + 2.1 * column, tableTop + 3 * tableRow + 1);
            VERIFY_AT(p, "1.49", f.left + 1.1 * column, tableTop + 5 * tableRow + 1);
            VERIFY_AT(p, "148.51%", f.left + 2.1 * column, tableTop + 5 * tableRow + 1);
            VERIFY_AT(p, "34", f.left + 10.3 * column, tableTop + 2 * tableRow + 1);
            // Every share but those of orders 1 and 3 of the voltage: 49 of
            // the voltage, 51 of a current without fundamental.
            QCOMPARE(p.count("0.0%"), 100);
            VERIFY_AT(p, "Project Name: Plant 7", f.left, f.top + f.H * 0.955);
            VERIFY_AT(p, "Testing organization: Test Lab", f.left + f.W * 0.37, f.top + f.H * 0.955);
            VERIFY_AT(p, "Date: 2024-05-01", f.left, f.top + f.H * 0.975);
            VERIFY_AT(p, "Temperature:23.5℃", f.left + f.W * 0.74, f.top + f.H * 0.975);
        }
        // Bars in the harmonic boxes: the voltage box has them.
        const QImage picture = RenderPdf(printed, 40);
        const double k = picture.width() / 595.28;
        const Frame f(QSizeF(595.28, 841.89));
        QVERIFY(CountColour(picture, QRect(int(f.left * k), int(f.ph * 0.23 * k), int(f.pw * 0.55 * k), int(f.ph * 0.15 * k)), kGreen) > 20);

        // The preview's texts at their pixels: the same drawing on a PDF page
        // of the preview's size, one point per pixel.
        const QString previewPdf = dir.filePath("preview.pdf");
        const QSize size = reportWindow().previewPageSize();
        {
            QPdfWriter writer(previewPdf);
            writer.setResolution(72);
            writer.setPageLayout(QPageLayout(QPageSize(QSizeF(size), QPageSize::Point), QPageLayout::Portrait, {}));
            QPainter painter(&writer);
            DrawPowerReportPreview(painter, size, program->state().TestRecord, LoadReportInfo(file));
        }
        const PdfPage preview = ReadPdfPage(previewPdf);
        VERIFY_AT(preview, "Power Analysis Report", 70, 30);
        VERIFY_AT(preview, "Voltage: 230.12 V", 420, 90);
        VERIFY_AT(preview, "Voltage THD: 5.1 %", 420, 90 + 32 * 12);
        VERIFY_AT(preview, "Project Name:Plant 7", 50, size.height() - 90);
        VERIFY_AT(preview, "Temperature:23.5℃", 520, size.height() - 70);
    }

    void powerReportBeforeAnyMeasurement()
    {
        // A units value that is no whole number selects F instead of
        // stopping the report.
        QFile info(dir.filePath("EnterInfo.ini"));
        QVERIFY(info.open(QIODevice::WriteOnly));
        info.write("[PrintInfo]\nProjectName=Empty\nunits=1.5\n");
        info.close();
        startProgram();
        QVERIFY(program->enterInfoDialog().findChild<QRadioButton*>("RadioButton2")->isChecked());

        QString printed;
        whileReportShown([&] { program->mainWindow().action(MainWindow::Command::Print)->trigger(); },
                         [&] { printed = printToPdf("empty.pdf"); });
        QVERIFY(!printed.isEmpty());
        const PdfPage p = ReadPdfPage(printed);
        const Frame f(p.size);
        const double valueX = f.left + f.pw * 0.55 + f.pw * 0.23;
        VERIFY_AT(p, "0 V", valueX, f.ph * 0.085);
        VERIFY_AT(p, "0 A", valueX, f.ph * 0.085 + 3 * f.ph * 0.033);
        VERIFY_AT(p, "0 %", valueX, f.ph * 0.085 + 12 * f.ph * 0.033);
        VERIFY_AT(p, "Temperature:2F", f.left + f.W * 0.74, f.top + f.H * 0.975);
        // Flat traces and no bars: nothing green below the waveform box.
        const QImage picture = RenderPdf(printed, 40);
        const double k = picture.width() / f.pw;
        QCOMPARE(CountColour(picture, QRect(0, int(f.ph * 0.23 * k), picture.width(), int(f.ph * 0.32 * k)), kGreen), 0);
        QVERIFY(CountColour(picture, QRect(0, int(f.ph * 0.072 * k), picture.width(), int(f.ph * 0.15 * k)), kGreen) > 0);
        QVERIFY(notifier.messages.isEmpty());
    }

    // Long report information reaches the paper whole: every character of
    // a 120-character project name, read back from the printed page, each
    // text of the footer line clear of the next one and of the page's edge.
    void longReportInformationIsPrintedWhole()
    {
        QString project;
        for (int i = 0; project.size() < 120; ++i) project += QStringLiteral("Feeder%1 ").arg(i);
        project = project.left(119) + QLatin1Char('Z');
        const QString company = QStringLiteral("Testing and Calibration Laboratory of the Northern Grid");
        QFile info(dir.filePath("EnterInfo.ini"));
        QVERIFY(info.open(QIODevice::WriteOnly));
        info.write(QStringLiteral("[PrintInfo]\nProjectName=%1\ncompany=%2\nconner=Ann Lee\nunits=1\n")
                       .arg(project, company)
                       .toUtf8());
        info.close();
        startProgram({writeTestFile()});
        QString printed;
        whileReportShown([&] { program->mainWindow().action(MainWindow::Command::Print)->trigger(); },
                         [&] { printed = printToPdf("long.pdf"); });
        QVERIFY(!printed.isEmpty());
        QCOMPARE(PdfInfoField(printed, "Title"), project + QStringLiteral("TestReport"));
        const QString text = Run(QStringLiteral("pdftotext"), {printed, QStringLiteral("-")}).simplified();
        QVERIFY2(text.contains(QStringLiteral("Project Name: ") + project), qPrintable(text.right(600)));
        QVERIFY(text.contains(company));

        const PdfPage p = ReadPdfPage(printed);
        const Frame f(p.size);
        const std::optional<QRectF> name = p.find(QStringLiteral("Project Name: ") + project);
        const std::optional<QRectF> organisation = p.find(QStringLiteral("Testing organization: ") + company);
        const std::optional<QRectF> tester = p.find(QStringLiteral("Test by:Ann Lee"));
        QVERIFY(name && organisation && tester);
        QVERIFY(std::abs(name->left() - f.left) < 1);
        QVERIFY(name->right() < organisation->left());
        QVERIFY(organisation->right() < tester->left());
        QVERIFY(tester->right() <= f.right + 0.5);
        // The short texts under them keep their places.
        VERIFY_AT(p, "Test Instruments:Velquor QZR6100", f.left + f.W * 0.37, f.top + f.H * 0.975);
        QVERIFY(notifier.messages.isEmpty());
    }

    // Each report turns the paper its own way when its window opens, until
    // the user turns it in Printer Setup; then that way stays.
    void orientationChosenInPrinterSetupStays()
    {
        startProgram();
        AcquisitionState& state = program->state();
        const auto shownOrientation = [&](bool record) {
            state.PrintFromRecorder = record;
            QPageLayout::Orientation seen = QPageLayout::Portrait;
            whileReportShown([&] { reportWindow().exec(); },
                             [&] { seen = reportWindow().printer().pageLayout().orientation(); });
            return seen;
        };
        // A setup that changes only the paper leaves each report its own way.
        reportWindow().runPrinterSetup = [](QPrinter& printer) {
            printer.setPageSize(QPageSize(QPageSize::Letter));
            return true;
        };
        QCOMPARE(shownOrientation(true), QPageLayout::Landscape);
        reportWindow().printerSetup();
        QCOMPARE(shownOrientation(false), QPageLayout::Portrait);
        QCOMPARE(shownOrientation(true), QPageLayout::Landscape);

        // Turned to landscape on the power report: every report keeps it.
        whileReportShown([&] {
            state.PrintFromRecorder = false;
            reportWindow().exec();
        }, [&] {
            reportWindow().runPrinterSetup = [](QPrinter& printer) {
                printer.setPageOrientation(QPageLayout::Landscape);
                return true;
            };
            reportWindow().printerSetup();
        });
        QCOMPARE(shownOrientation(false), QPageLayout::Landscape);
        QCOMPARE(shownOrientation(true), QPageLayout::Landscape);
        QCOMPARE(shownOrientation(false), QPageLayout::Landscape);
    }

    void recordReportOfAnOpenedRecord()
    {
        // 300 samples a second apart; CH1 holds 100 (a fifth of the scale), CH2 900 (off the top).
        auto live = std::make_unique<LiveRecord>();
        for (int i = 0; i < 300; ++i) {
            for (int c = 0; c < 6; ++c) live->data.channel(c)[i] = c == 0 ? 100.0f : c == 1 ? 900.0f : 10.0f * c;
            live->data.times()[i] = kFirstStamp + i / 86400.0;
        }
        live->count = 300;
        const QString record = dir.filePath("record.vqr");
        RecordFileWriter writer;
        QString error;
        QVERIFY2(writer.create(record, {0, 1, 2, 6, 7, 3}, 0, &error) && writer.save(*live).ok, qPrintable(error));

        startProgram();
        RecordWindow& window = program->recordWindow();
        window.resize(1000, 700);
        window.show();
        QVERIFY(window.openRecordFile(record));
        QString printed, saved;
        whileReportShown([&] { window.findChild<QAction*>("SeSkinSpeedButton3")->trigger(); }, [&] {
            QCOMPARE(reportWindow().kind(), ReportKind::Record);
            // Landscape, or taller where the chart would push its rows into the footer.
            const QSize page = reportWindow().previewPageSize();
            QVERIFY(page.height() >= qRound(page.width() / 1.414));
            // The chart copied into the page, below the title rule.
            const QImage& s = reportWindow().previewSurface();
            QVERIFY(CountColour(s, QRect(50, 75, page.width() - 100, page.height() - 240), kGreen) > 50);
            // The page can be dragged: the hand moves it up.
            QScrollArea* box = reportWindow().scrollBox();
            QWidget* sheet = box->widget()->findChild<QWidget*>("image1");
            QCOMPARE(box->viewport()->cursor().shape(), Qt::OpenHandCursor);
            QTest::mousePress(sheet, Qt::LeftButton, {}, QPoint(100, 100));
            QCOMPARE(box->viewport()->cursor().shape(), Qt::ClosedHandCursor);
            QMouseEvent move(QEvent::MouseMove, QPointF(100, 40), sheet->mapToGlobal(QPointF(100, 40)), Qt::LeftButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(sheet, &move);
            QTest::mouseRelease(sheet, Qt::LeftButton, {}, QPoint(100, 40));
            QCOMPARE(box->verticalScrollBar()->value(), std::min(60, box->verticalScrollBar()->maximum()));
            QVERIFY(box->verticalScrollBar()->value() > 0);
            QCOMPARE(box->viewport()->cursor().shape(), Qt::OpenHandCursor);

            QCOMPARE(s.pixel(page.width() / 2, page.height() - 100), kGrey.rgb());
            printed = printToPdf("record-printed.pdf");
            saved = saveAsPdf("record-saved.pdf");
        });
        QVERIFY(notifier.messages.isEmpty());
        QCOMPARE(PdfInfoField(printed, "Title"), QString("RecordReport"));
        QCOMPARE(PdfInfoField(printed, "Pages"), QString("1"));
        QVERIFY(PdfInfoField(saved, "Page size").contains("(A4)"));

        const PdfPage p = ReadPdfPage(saved);
        QVERIFY(p.size.width() > p.size.height());
        const Frame f(p.size);
        const double dot = 72.0 / 600;  // a dot of the 600-dot page, in points
        const double gh = f.ph - 2 * f.top - f.ph * 0.3;
        const double across = std::min(1.0, f.W / dot / 7300);  // the rows are drawn closer on A4
        VERIFY_AT(p, "Record Report", f.left, f.top);
        VERIFY_AT(p, "Time/DIV=20S", f.left + 50 * dot * across, gh + f.top * 2.3);
        VERIFY_AT(p, "CH1: Voltage", f.left + 1000 * dot * across, gh + 4 * f.top);
        VERIFY_AT(p, "CH6: Apparent power", f.left + 6500 * dot * across, gh + 4 * f.top);
        QVERIFY(p.find("CH6: Apparent power")->right() < f.right);
        QVERIFY(p.find("Length:299") || p.find("Length:299点"));
        VERIFY_AT(p, "Ambient temperature:2F", f.left + f.W * 0.74, f.top + f.H * 0.975);
        // CH1's trace a fifth of the plot up from its bottom line; CH2 left
        // the plot and shows its triangle instead of a trace.
        const QImage picture = RenderPdf(saved, 60);
        const double k = picture.width() / f.pw;
        const double y0 = f.top * 2.2, plotRight = f.right - 700 * dot;
        const int traceRow = int((y0 + gh * 0.8) * k);
        QVERIFY(CountColour(picture, QRect(int(f.left * k), traceRow - 3, int((plotRight - f.left) * k), 7), kGreen) > 50);
        const QColor red(255, 0, 0);
        QCOMPARE(CountColour(picture, QRect(int(f.left * k), int((y0 + 10) * k), int((plotRight - f.left - 100) * k), int((gh - 10) * k)), red), 0);
        QVERIFY(CountColour(picture, QRect(int((plotRight - 72) * k), int(y0 * k), int(12 * k), int(7 * k)), red) > 0);
    }
};

QTEST_MAIN(ReportsSimTest)
#include "test_reports_sim.moc"
