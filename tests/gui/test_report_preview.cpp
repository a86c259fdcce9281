// The record report's preview page, pixel by pixel, from a chart picture
// made for the test: which rows of the picture reach the page and where
// the rows under the chart land; and report texts too long for their place,
// read back from a PDF of the preview to find every character of them.

#include "display/trend_chart.h"
#include "reports/record_report.h"
#include "reports/report_frame.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

const QColor kCropped(0, 255, 255);  // rows the page must leave out
const QColor kStrip(0, 0, 128);      // the scale strip right of the chart
const QColor kBlack(0, 0, 0);
const QColor kGrey(128, 128, 128);

bool Near(QRgb pixel, const QColor& colour)
{
    const QColor c = QColor::fromRgb(pixel);
    return std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
           std::abs(c.blue() - colour.blue()) < 40;
}

// The bounding box of the pixels of `area` near `colour` (white: of every
// pixel that is not white); empty when there are none.
QRect Extent(const QImage& image, const QRect& area, const QColor& colour)
{
    QRect box;
    const bool ink = colour == Qt::white;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (ink ? image.pixel(x, y) != qRgb(255, 255, 255) : Near(image.pixel(x, y), colour))
                box |= QRect(x, y, 1, 1);
    return box;
}

// A record window's chart of `chart` with its 50-pixel scale strip: its top
// twelve rows in a colour of their own, then a black band, white, and a
// bottom row and the strip in navy.
RecordReportSource Source(QSize chart)
{
    RecordReportSource s;
    s.chartSize = chart;
    QImage picture(chart.width() + kTrendScaleStripWidth, chart.height(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.fillRect(QRect(0, 0, picture.width(), 12), kCropped);
    p.fillRect(QRect(0, 12, chart.width(), 2), kBlack);
    p.fillRect(QRect(0, chart.height() - 1, picture.width(), 1), kStrip);
    p.fillRect(QRect(chart.width(), 12, kTrendScaleStripWidth, chart.height() - 12), kStrip);
    p.end();
    s.chartPicture = picture;
    for (int k = 0; k < kTrendChannelCount; ++k) s.channelLabels[size_t(k)] = QStringLiteral("Current");
    s.samplingStep = QStringLiteral("Sampling step:1S");
    s.start = QStringLiteral("Start:2024-03-14");
    s.end = QStringLiteral("End:2024-03-14");
    s.length = QStringLiteral("Length:299");
    return s;
}

QString PdfText(const QString& path, const QStringList& options = {})
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), options + QStringList{path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) qFatal("pdftotext failed");
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A name of `length` characters in words, ending in a mark of its own.
QString LongName(const QString& word, int length)
{
    QString name;
    while (name.size() < length - 4) name += word + QLatin1Char(' ');
    name.truncate(length - 4);
    return name + QStringLiteral("#END");
}

} // namespace

class ReportPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void recordPreviewRowsUnderTheCroppedChart()
    {
        // A chart half as high as wide: on the usual page the rows under it
        // would reach the footer, so the page grows instead.
        const RecordReportSource source = Source(QSize(600, 300));
        const QSize usual = ReportPreviewPageSize(ReportKind::Record, 741);
        const QSize size = RecordReportPreviewSize(usual, source);
        const int W = size.width(), H = size.height();
        const int f = int(std::lround((W - 100) / 2.0));
        QCOMPARE(W, usual.width());
        QVERIFY(H > usual.height());

        QImage page(W, H, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            DrawRecordReportPreview(painter, size, source, ReportInfo{});
        }

        // The picture from its thirteenth row, stretched from x = 50 to
        // W - 50 and from y = 75 down f rows.
        QVERIFY(Extent(page, page.rect(), kCropped).isEmpty());
        QCOMPARE(Extent(page, QRect(W / 2, 60, 1, 40), kBlack).top(), 75);
        QCOMPARE(Extent(page, QRect(W / 2, 60, 1, f + 20), kStrip).bottom(), 75 + f - 1);
        const QRect strip = Extent(page, QRect(0, 75 + f / 2, W, 1), kStrip);
        QCOMPARE(strip.right(), W - 51);
        QVERIFY(std::abs(strip.left() - (50 + (W - 100) * 600 / 650)) <= 2);

        // The channels from y = f + 90, each starting at its column and
        // ending before the next one; the last one ends on the page.
        for (int k = 0; k < kTrendChannelCount; ++k) {
            const int x = 135 + 90 * k;
            const QRect text = Extent(page, QRect(x - 20, f + 76, 130, 30), kTrendChannelColors[size_t(k)]);
            QVERIFY2(text.top() >= f + 90 && text.top() <= f + 94 && text.bottom() <= f + 102 &&
                         text.left() >= x && text.left() <= x + 3 &&
                         text.right() < (k + 1 < kTrendChannelCount ? x + 87 : W - 50),
                     qPrintable(QStringLiteral("CH%1 at %2, %3 .. %4, %5")
                                    .arg(k + 1).arg(text.left()).arg(text.top() - f).arg(text.right())
                                    .arg(text.bottom() - f)));
        }
        // The description left of CH1, above its underline from x = 50 to 128.
        const QRect description = Extent(page, QRect(40, f + 76, 95, 27), Qt::white);
        QVERIFY(description.left() >= 50 && description.top() >= f + 80 && description.right() < 131);
        QCOMPARE(Extent(page, QRect(40, f + 103, 100, 1), kBlack), QRect(50, f + 103, 78, 1));
        // The status row from y = f + 115, above the footer's rule.
        const QRect status = Extent(page, QRect(50, f + 104, W - 100, H - 100 - (f + 104)), kGrey);
        QVERIFY2(status.top() >= f + 115 && status.top() <= f + 119, qPrintable(QString::number(status.top() - f)));
        QVERIFY(status.bottom() < H - 100 && status.left() <= 52 && status.right() > 500);
        QCOMPARE(page.pixel(W / 2, H - 100), kGrey.rgb());

        // A wide chart leaves the page as it was.
        QCOMPARE(RecordReportPreviewSize(usual, Source(QSize(900, 300))), usual);
    }

    void longFooterTextsAreDrawnWhole()
    {
        // 120 characters of project, a long organisation and tester: every
        // character on the page, nothing over the page's edge or over the
        // next text.
        ReportInfo info;
        info.projectName = LongName(QStringLiteral("Pumping station"), 120);
        info.company = LongName(QStringLiteral("Laboratory"), 60);
        info.tester = LongName(QStringLiteral("Inspector"), 40);
        info.date = QStringLiteral("2024-05-01");
        info.temperature = QStringLiteral("23");
        QTemporaryDir dir;
        const QString path = dir.filePath("footer.pdf");
        const QSize size = ReportPreviewPageSize(ReportKind::Record, 741);
        {
            QPdfWriter writer(path);
            writer.setResolution(72);
            writer.setPageLayout(QPageLayout(QPageSize(QSizeF(size), QPageSize::Point), QPageLayout::Portrait, {}));
            QPainter painter(&writer);
            DrawPreviewFrame(painter, size, ReportKind::Record, info);
        }
        const QString text = PdfText(path).simplified();
        for (const QString& typed : {info.projectName, info.company, info.tester})
            QVERIFY2(text.contains(typed), qPrintable(text));

        // Word boxes: the three texts of the line one after the other, all
        // within the page's right margin.
        const QString boxes = PdfText(path, {QStringLiteral("-bbox")});
        const QRegularExpression word(QStringLiteral(
            "<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>"));
        double rightmost = 0;
        QList<std::pair<double, double>> ends;  // xMin, xMax of each "#END"
        for (auto it = word.globalMatch(boxes); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            rightmost = std::max(rightmost, m.captured(2).toDouble());
            if (m.captured(3).endsWith(QStringLiteral("#END")))
                ends << std::pair{m.captured(1).toDouble(), m.captured(2).toDouble()};
        }
        QVERIFY(rightmost <= size.width() - 50 + 0.5);
        QCOMPARE(ends.size(), 3);
        std::sort(ends.begin(), ends.end());
        QVERIFY(ends[0].second < ends[1].first && ends[1].second < ends[2].first);
    }
};

QTEST_MAIN(ReportPreviewTest)
#include "test_report_preview.moc"
