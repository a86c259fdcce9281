#include "reports/record_report.h"

#include "display/number_format.h"
#include "display/pixel_lines.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPolygon>

#include <algorithm>
#include <vector>

namespace {

int Round(double x) { return int(RoundHalfEven(x)); }

const QColor kGridGrey(221, 221, 221);
const QColor kTimeLabelTeal(0, 128, 128);
const QString kNote = QStringLiteral(
    "Icons for the overflow flag when a channel overflow in the upper right corner and lower right corner of a "
    "corresponding color icon.");

// --- Preview -----------------------------------------------------------------

// The chart below the title rule, f high; the rows under it at fixed
// distances from f, the footer's rule at H - 100.
constexpr int kPreviewChartTop = 75;
constexpr int kChartCropTop = 12;  // the chart picture's top rows stay off the page
constexpr int kDescriptionRow = 80;
constexpr int kChannelRow = 90;
constexpr int kUnderlineRow = 103;
constexpr int kStatusRow = 115;
constexpr int kChannelLeft = 135;
constexpr int kChannelPitch = 90;
constexpr int kFooterHeight = 100;
constexpr int kAboveFooter = 6;  // free pixels between the status row and the footer's rule
constexpr int kTextGap = 4;

// f: the chart's height on a page W wide, in the proportions of the record
// window's chart.
int PreviewChartHeight(int W, QSize chart)
{
    if (chart.width() <= 0 || chart.height() <= 0) return 0;
    return std::max(Round((W - 100) / (double(chart.width()) / chart.height())), 0);
}

// The lowest pixel row the texts under a chart of height f reach.
int PreviewTextsBottom(int f) { return f + kStatusRow + QFontMetrics(ReportPreviewFont(8)).height(); }

// "Channel signal description:" within the room left of CH1 and above its
// underline: on two lines where one would reach CH1, in the largest type
// up to the row's own that fits.
void DrawDescription(QPainter& p, const QRect& room)
{
    const QString text = QCoreApplication::translate("RecordReport", "Channel signal description: ");
    QFont font = ReportPreviewFont(10);
    for (int size = font.pixelSize(); size > 4; --size) {
        font.setPixelSize(size);
        const QRect needed = QFontMetrics(font).boundingRect(room, Qt::TextWordWrap, text);
        if (needed.width() <= room.width() && needed.height() <= room.height()) break;
    }
    p.setFont(font);
    p.setPen(kReportBlack);
    p.drawText(room, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
}

void DrawPreviewTexts(QPainter& p, int W, int f, const RecordReportSource& s)
{
    // Every text whole; one that would reach the next is drawn smaller.
    DrawDescription(p, QRect(50, f + kDescriptionRow, kChannelLeft - 50 - kTextGap,
                             kUnderlineRow - kDescriptionRow - 1));
    DrawPixelLine(p, QPoint(50, f + kUnderlineRow), QPoint(128, f + kUnderlineRow), kReportBlack);

    p.setFont(ReportPreviewFont(8));
    for (int k = 0; k < kTrendChannelCount; ++k) {
        const int x = kChannelLeft + kChannelPitch * k;
        const int room = k + 1 < kTrendChannelCount ? kChannelPitch - kTextGap : W - 50 - x;
        DrawReportText(p, x, f + kChannelRow, QCoreApplication::translate("RecordReport", "CH%1: ").arg(k + 1) + s.channelLabels[size_t(k)],
                       kTrendChannelColors[size_t(k)], std::max(room, 1));
    }
    const int xs[4] = {50, 200, 350, 500};
    const QString texts[4] = {s.samplingStep, s.start, s.end, s.length + QCoreApplication::translate("RecordReport", "点")};
    for (int i = 0; i < 4; ++i) {
        const int room = i < 3 ? xs[i + 1] - xs[i] - kTextGap : W - 50 - xs[i];
        DrawReportText(p, xs[i], f + kStatusRow, texts[i], kReportGrey, std::max(room, 1));
    }
}

// --- Printed page ------------------------------------------------------------

// The page's chart: plot area from left to right - 700 dots and from y0 to
// y0 + gh, the percentage scale in the 700 dots to its right.
struct PageChart {
    int left, right, plotRight, y0, gh;
};

// A triangle of half width `half` whose apex is `height` above (negative:
// below) its base.
void DrawPageTriangle(QPainter& p, int apexX, int apexY, int baseY, int half, const QColor& pen, const QColor& brush,
                      int penWidth)
{
    QPen outline(pen);
    outline.setWidth(std::max(penWidth, 1));
    outline.setJoinStyle(Qt::MiterJoin);
    p.setPen(outline);
    p.setBrush(brush);
    const QPoint corners[3] = {QPoint(apexX - half, baseY), QPoint(apexX + half, baseY), QPoint(apexX, apexY)};
    p.drawPolygon(corners, 3);
    p.setBrush(Qt::NoBrush);
}

void DrawPageGrid(QPainter& p, const ReportPage& page, const PageChart& c)
{
    const int pen = page.dots(1);
    for (int i = 0; i <= 10; ++i) {
        const int y = c.y0 + Round(c.gh * i / 10.0);
        DrawReportLine(p, c.left, y, c.plotRight, y, kGridGrey, pen, Qt::DotLine);
    }
    const int spacing = std::max(page.dots(200), 1);
    const int columns = (c.plotRight - c.left) / spacing + 1;
    for (int n = 0; n < columns; ++n) {
        const int x = c.left + n * spacing;
        DrawReportLine(p, x, c.y0, x, c.y0 + c.gh, kGridGrey, pen, Qt::DotLine);
    }
}

void DrawPageScale(QPainter& p, const ReportPage& page, const PageChart& c, TrendRange range)
{
    const int pen = page.dots(3);
    const int axis = c.right - page.dots(500);
    for (int i = 0; i <= 50; ++i) {
        const int y = c.y0 + Round(c.gh * i / 50.0);
        if (i % 5 == 0) {
            DrawReportLine(p, c.right - page.dots(700), y, axis, y, kReportBlack, pen);
            DrawReportText(p, c.right - page.dots(450), y - page.dots(60), TrendScaleStripLabel(i, range), kReportBlack);
        } else {
            DrawReportLine(p, c.right - page.dots(600), y, axis, y, kReportBlack, pen);
        }
    }
    DrawReportLine(p, axis, c.y0, axis, c.y0 + c.gh, kReportBlack, page.dots(6));
}

void DrawPageTraces(QPainter& p, const ReportPage& page, const PageChart& c, const TrendChartInput& in)
{
    const int step = std::max(page.dots(10), 1);
    const int zoom = std::max(in.zoom, 1);
    const int start = std::max(in.start, 0);
    const int count = TrendPointCount(in.newestIndex, start, zoom, RecordReportPagePoints(page));
    if (count == 0) return;
    const float unit = float(c.gh) / 500.0f;
    const TrendRange range = in.range;
    // The screen's rows, moved so that its top grid line (16) lies at y0.
    const auto row = [&](int raw) { return TrendRow(raw, range, c.gh + 32) + c.y0 - 16; };

    const QRect plot(QPoint(c.left, c.y0), QPoint(c.plotRight, c.y0 + c.gh));
    std::vector<QPoint> points(static_cast<size_t>(count));
    QColor outline = kGridGrey;  // the triangles' outline: the last trace's colour
    for (int k = 0; k < kTrendChannelCount; ++k) {
        const float* values = in.values[size_t(k)];
        if (values == nullptr) continue;
        bool above = false, below = false;
        const float* sample = values + (in.newestIndex - start);
        for (int i = 0; i < count; ++i, sample -= zoom) {
            const int y = row(TrendRawHeight(*sample, in.scale[size_t(k)], unit));
            above |= y < c.y0;
            below |= y > c.y0 + c.gh;
            points[size_t(i)] = QPoint(c.left + step * i, y);
        }
        const QColor& color = kTrendChannelColors[size_t(k)];
        if (in.visible[size_t(k)]) {
            outline = color;
            QPen pen(color);
            pen.setWidth(page.dots(10));
            pen.setJoinStyle(Qt::RoundJoin);
            pen.setCapStyle(Qt::RoundCap);
            p.save();
            p.setClipRect(plot);  // what leaves the plot area is not drawn
            p.setPen(pen);
            if (count == 1)
                p.drawPoint(points[0]);
            else
                p.drawPolyline(points.data(), count);
            p.restore();
        }
        // As on screen, ten times larger: apex 67 .. 7 units left of the
        // plot's right edge.
        static constexpr int kApexFromRight[kTrendChannelCount] = {67, 55, 43, 31, 19, 7};
        const int apexX = c.plotRight - page.dots(10 * kApexFromRight[k]);
        const int half = page.dots(50);
        if (above) DrawPageTriangle(p, apexX, c.y0, c.y0 + page.dots(50), half, outline, color, page.dots(3));
        if (below)
            DrawPageTriangle(p, apexX, c.y0 + c.gh, c.y0 + c.gh - page.dots(50), half, outline, color, page.dots(3));
    }
}

} // namespace

void DrawRecordReportPreview(QPainter& painter, QSize size, const RecordReportSource& source,
                             const ReportInfo& info)
{
    DrawPreviewFrame(painter, size, ReportKind::Record, info);
    const int W = size.width();
    const int H = size.height();
    const QSize chart = source.chartSize;
    int f = PreviewChartHeight(W, chart);
    int width = W - 100;
    // The page normally grows to hold the chart (RecordReportPreviewSize);
    // only on a page that could not, the chart is made smaller rather than
    // pushing the texts under it into the footer.
    const int roomForTexts = H - kFooterHeight - kAboveFooter - (PreviewTextsBottom(f) - f);
    if (f > roomForTexts && f > 0) {
        width = std::max(Round(double(width) * std::max(roomForTexts, 1) / f), 1);
        f = std::max(roomForTexts, 1);
    }
    if (!source.chartPicture.isNull() && f > 0 && chart.height() > kChartCropTop) {
        // The chart with its scale strip, without its top rows.
        const QRect from =
            QRect(0, kChartCropTop, chart.width() + kTrendScaleStripWidth, chart.height() - kChartCropTop)
                .intersected(source.chartPicture.rect());
        painter.drawImage(QRect(50, kPreviewChartTop, width, f), source.chartPicture, from);
    }
    DrawPreviewTexts(painter, W, f, source);
}

QSize RecordReportPreviewSize(QSize page, const RecordReportSource& source)
{
    const int needed = PreviewTextsBottom(PreviewChartHeight(page.width(), source.chartSize)) + kAboveFooter +
                       kFooterHeight;
    return QSize(page.width(), std::max(page.height(), needed));
}

int RecordReportPagePoints(const ReportPage& page)
{
    return std::max((page.right - page.dots(700) - page.left) / std::max(page.dots(10), 1), 1);
}

void DrawRecordReportPage(QPainter& painter, const ReportPage& page, const RecordReportSource& source,
                          const ReportInfo& info)
{
    DrawPageFrame(painter, page, ReportKind::Record);
    PageChart chart;
    chart.left = page.left;
    chart.right = page.right;
    chart.plotRight = page.right - page.dots(700);
    chart.y0 = Round(page.top * 2.2);
    chart.gh = page.ph - 2 * page.top - Round(page.ph * 0.3);

    painter.setFont(ReportPageFont(8));
    DrawPageGrid(painter, page, chart);
    DrawPageScale(painter, page, chart, source.trend.range);
    if (source.trend.recordDataReady) DrawPageTraces(painter, page, chart, source.trend);

    // The rows under the chart, at fixed distances of a 600-dot page; a page
    // narrower than the rows were made for moves them closer together so
    // that the sixth channel still ends on the page.
    const double across = std::min(page.unit, page.W / 7300.0);
    const auto x = [&](double dots) { return page.left + Round(dots * across); };
    // One font for the rows, small enough for the description to end before CH1.
    const QString description = QCoreApplication::translate("RecordReport", "Channel signal description:");
    QFont rowFont = ReportPageFont(8);
    const int descriptionRoom = x(1000) - x(50) - page.dots(40);
    const int descriptionWidth = QFontMetrics(rowFont, painter.device()).horizontalAdvance(description);
    if (descriptionWidth > descriptionRoom) rowFont.setPointSizeF(8.0 * descriptionRoom / descriptionWidth);
    painter.setFont(rowFont);
    int y = chart.gh + Round(page.top * 2.3);
    DrawReportText(painter, x(50), y, TrendTimeScaleLabel(source.trend.zoom), kTimeLabelTeal, x(1000) - x(50));
    for (int k = 0; k < kTrendChannelCount; ++k) {
        DrawReportText(painter, x(1000 * (k + 1)), y,
                       TrendChannelScaleLabel(k, source.trend.scale[size_t(k)], source.trend.range),
                       kTrendChannelColors[size_t(k)], x(1000) - x(50));
    }
    y = chart.gh + 4 * page.top;
    DrawReportText(painter, x(50), y, description, kReportBlack);
    for (int k = 0; k < kTrendChannelCount; ++k) {
        const int at = x(1000 + 1100 * k);
        DrawReportText(painter, at, y, QCoreApplication::translate("RecordReport", "CH%1: ").arg(k + 1) + source.channelLabels[size_t(k)],
                       kTrendChannelColors[size_t(k)], k < 5 ? x(1050) - x(0) : page.right - at);
    }
    y = chart.gh + 5 * page.top;
    DrawReportText(painter, x(50), y, source.samplingStep, kReportGrey, x(1450) - x(50));
    DrawReportText(painter, x(1500), y, source.start, kReportGrey, x(3450) - x(1500));
    DrawReportText(painter, x(3500), y, source.end, kReportGrey, x(5450) - x(3500));
    DrawReportText(painter, x(5500), y, source.length + QCoreApplication::translate("RecordReport", "点"), kReportGrey, page.right - x(5500));

    y = chart.gh + 6 * page.top;
    DrawReportText(painter, x(50), y, QCoreApplication::translate("RecordReport", "Note:"), kReportGrey);
    const int textHeight = painter.fontMetrics().height();
    const int half = std::max(Round(textHeight * 0.3), 1);
    const int upBase = y + textHeight - half / 2;
    DrawPageTriangle(painter, x(600), upBase - 2 * half, upBase, half, kReportGrey, kReportGrey, 1);
    DrawPageTriangle(painter, x(750), upBase, upBase - 2 * half, half, kReportGrey, kReportGrey, 1);
    DrawReportText(painter, x(900), y, kNote, kReportGrey, page.right - x(900));

    const QString unit = TemperatureUnitText(info.celsius);
    PageFooterTexts footer;
    footer.cells[0][0] = QCoreApplication::translate("RecordReport", "Project Name: ") + info.projectName;
    footer.cells[0][1] = QCoreApplication::translate("RecordReport", "Test Organization:") + info.company;
    footer.cells[0][2] = QCoreApplication::translate("RecordReport", "Test by:") + info.tester;
    footer.cells[1][0] = QCoreApplication::translate("RecordReport", "Date") + info.date;
    footer.cells[1][1] = QCoreApplication::translate("RecordReport", "Test Instruments:Velquor QZR6100");
    footer.cells[1][2] = QCoreApplication::translate("RecordReport", "Ambient temperature:") + info.temperature + unit;
    DrawPageFooter(painter, page, footer);
}
