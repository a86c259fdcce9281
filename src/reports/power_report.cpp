#include "reports/power_report.h"

#include "acquisition/acquisition_state.h"
#include "display/display_colors.h"
#include "display/number_format.h"
#include "display/pixel_lines.h"

#include <QCoreApplication>
#include <QFontMetrics>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

int Round(double x) { return int(RoundHalfEven(x)); }

const QColor kWhite(255, 255, 255);
const QColor kBarGreen(0, 128, 0);

// Orders whose number is written under the harmonic charts.
bool IsLabelledOrder(int k) { return k == 0 || k == 1 || k % 5 == 0; }

// A waveform as deviations from its zero level, with the largest deviation.
struct Deviations {
    std::array<int, kWaveformSamples> d{};
    int largest = 0;
};

Deviations DeviationsOf(const le::U16 (&samples)[kWaveformSamples], uint16_t zero)
{
    Deviations out;
    for (int i = 0; i < kWaveformSamples; ++i) {
        out.d[size_t(i)] = int(samples[i].get()) - int(zero);
        out.largest = std::max(out.largest, std::abs(out.d[size_t(i)]));
    }
    return out;
}

// Largest amplitude of orders 0..50, from 0 up: negative or non-finite
// entries never raise it.
double LargestAmplitude(const le::F32 (&amplitudes)[kHarmonicCount])
{
    double m = 0;
    for (const le::F32& a : amplitudes) {
        const double v = a.get();
        if (std::isfinite(v) && v > m) m = v;
    }
    return m;
}

// A bar's height in units of the chart: what is not a positive number
// stands at the baseline.
double BarAmplitude(float a) { return std::isfinite(a) && a > 0 ? double(a) : 0.0; }

// Text on a white box, as a caption that interrupts the line under it.
void DrawCaption(QPainter& p, int x, int y, const QString& text, const QColor& color)
{
    const QFontMetrics metrics = p.fontMetrics();
    p.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), kWhite);
    DrawReportText(p, x, y, text, color);
}

void DrawPixelBox(QPainter& p, int left, int top, int right, int bottom, const QColor& color)
{
    DrawPixelLine(p, QPoint(left, top), QPoint(right, top), color);
    DrawPixelLine(p, QPoint(right - 1, top), QPoint(right - 1, bottom), color);
    DrawPixelLine(p, QPoint(left, bottom - 1), QPoint(right, bottom - 1), color);
    DrawPixelLine(p, QPoint(left, top), QPoint(left, bottom), color);
}

// --- Preview -----------------------------------------------------------------

void DrawPreviewWaveform(QPainter& p, const TestRecordImage& r)
{
    constexpr int kLeft = 50, kTop = 80, kRight = 400, kCentre = 73;
    QPen dashDot(kReportGrey);
    dashDot.setStyle(Qt::DashDotLine);
    p.setPen(dashDot);
    for (int y : {101, 153, 206}) p.drawLine(kLeft, y, kRight, y);

    const double step = r.SampleCount.get() != 0 ? 350.0 / kWaveformSamples : 0.0;
    const auto trace = [&](const Deviations& dev, int reach, const QColor& color, int pen) {
        const double scale = dev.largest != 0 ? double(kCentre - reach) / dev.largest : 0.0;
        std::vector<QPoint> points(kWaveformSamples);
        for (int i = 0; i < kWaveformSamples; ++i)
            points[size_t(i)] = QPoint(kLeft + Round(i * step), kTop + kCentre - Round(dev.d[size_t(i)] * scale));
        DrawPixelPolyline(p, points.data(), int(points.size()), color, pen);
    };
    trace(DeviationsOf(r.CurrentSamples, r.CurrentZero.get()), 20, kCurrentTraceColor, 1);
    trace(DeviationsOf(r.VoltageSamples, r.VoltageZero.get()), 15, kVoltageTraceColor, 2);
}

void DrawPreviewHarmonics(QPainter& p, const le::F32 (&amplitudes)[kHarmonicCount], int y0)
{
    DrawPixelLine(p, QPoint(50, y0), QPoint(399, y0), kReportGrey, LineStyle::Solid, 2);
    const double m = LargestAmplitude(amplitudes);
    p.setFont(ReportPreviewFont(6));
    for (int k = 0; k < kHarmonicCount; ++k) {
        const int x = 53 + 6 * k;
        if (IsLabelledOrder(k)) DrawReportText(p, x, y0 + 3, QString::number(k), kReportBlack);
        if (m == 0) continue;  // nothing measured: no bars
        const int top = y0 - Round(BarAmplitude(amplitudes[k].get()) * 115.0 / m);
        DrawPixelLine(p, QPoint(x + 5, top), QPoint(x + 5, y0 - 2), kReportBlack);
    }
}

void DrawPreviewTable(QPainter& p, int W, const TestRecordImage& r)
{
    DrawPixelLine(p, QPoint(50, 550), QPoint(W - 50, 550), kReportGrey, LineStyle::Solid, 2);
    p.setFont(ReportPreviewFont(10));
    DrawCaption(p, W - 200, 540, QCoreApplication::translate("PowerReport", " The harmonic content "), kReportBlack);

    constexpr int kTop = 560, kBottom = 883, kRow = 17, kOrderColumn = 30;
    const int right = W - 48;
    // Outer rectangle, pen 2.
    DrawPixelLine(p, QPoint(50, kTop), QPoint(right, kTop), kReportGrey, LineStyle::Solid, 2);
    DrawPixelLine(p, QPoint(50, kBottom - 1), QPoint(right, kBottom - 1), kReportGrey, LineStyle::Solid, 2);
    DrawPixelLine(p, QPoint(50, kTop), QPoint(50, kBottom), kReportGrey, LineStyle::Solid, 2);
    DrawPixelLine(p, QPoint(right - 1, kTop), QPoint(right - 1, kBottom), kReportGrey, LineStyle::Solid, 2);
    for (int y = kTop + kRow; y < kBottom - kRow / 2; y += kRow)
        DrawPixelLine(p, QPoint(50, y), QPoint(right, y), kReportGrey);
    // Order column, then voltage RMS | percent, current RMS | percent, three
    // times; the line inside a quantity starts under its name.
    const int c = Round((W - 190) / 12.0);
    int x = 50;
    for (int group = 0; group < 3; ++group) {
        x += kOrderColumn;
        DrawPixelLine(p, QPoint(x, kTop), QPoint(x, kBottom), kReportGrey);
        for (int column = 1; column <= 4; ++column) {
            x += c;
            const bool insideQuantity = column % 2 == 1;
            const bool groupEnd = column == 4;
            if (groupEnd && group == 2) break;  // the outer rectangle
            DrawPixelLine(p, QPoint(x, insideQuantity ? kTop + kRow : kTop), QPoint(x, kBottom), kReportGrey,
                          LineStyle::Solid, groupEnd ? 2 : 1);
        }
    }

    p.setFont(ReportPreviewFont(6));
    const auto text = [&](int tx, int ty, const QString& s) { DrawReportText(p, tx, ty, s, kReportBlack); };
    for (int tx : {112, 312, 512}) text(tx, 562, QCoreApplication::translate("PowerReport", "Voltage"));
    for (int tx : {192, 392, 592}) text(tx, 562, QCoreApplication::translate("PowerReport", "Current"));
    for (int tx : {53, 255, 458}) text(tx, 579, QCoreApplication::translate("PowerReport", "Order"));
    for (int tx : {84, 170, 287, 372, 488, 574}) text(tx, 579, QCoreApplication::translate("PowerReport", "RMS"));
    for (int tx : {128, 213, 329, 414, 531, 617}) text(tx, 579, QCoreApplication::translate("PowerReport", "Percent"));
    constexpr int kOrderX[3] = {60, 263, 463}, kVoltageRmsX[3] = {86, 290, 490}, kVoltagePctX[3] = {128, 328, 530},
                  kCurrentRmsX[3] = {171, 371, 571}, kCurrentPctX[3] = {213, 413, 615};
    const double uFundamental = r.VoltageHarmonics[1].get();
    const double iFundamental = r.CurrentHarmonics[1].get();
    for (int row = 0; row < 17; ++row) {
        const int y = 596 + kRow * row;
        for (int g = 0; g < 3; ++g) {
            const int k = row + 17 * g;
            const double u = r.VoltageHarmonics[k].get();
            const double i = r.CurrentHarmonics[k].get();
            text(kOrderX[g], y, QString::number(k));
            text(kVoltageRmsX[g], y, ReportHarmonicRms(u));
            text(kVoltagePctX[g], y, ReportHarmonicPercent(u, uFundamental));
            text(kCurrentRmsX[g], y, ReportHarmonicRms(i));
            text(kCurrentPctX[g], y, ReportHarmonicPercent(i, iFundamental));
        }
    }
}

// --- Printed page ------------------------------------------------------------

struct PageBox {
    int left, top, width, height;
    int right() const { return left + width; }
};

void DrawPageBox(QPainter& p, const ReportPage& page, const PageBox& box, const QPoint& captionAt,
                 const QString& caption)
{
    QPen pen(kReportBlack);
    pen.setWidth(std::max(Round(page.H * 0.0008), 1));
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(box.left, box.top, box.width, box.height));
    p.setFont(ReportPageFont(page.portrait ? 10 : 7));
    DrawCaption(p, captionAt.x(), captionAt.y(), caption, kReportBlack);
}

void DrawPageWaveform(QPainter& p, const ReportPage& page, const PageBox& box, const TestRecordImage& r)
{
    const int h = box.height;
    for (int y : {h / 7, h / 2, 6 * h / 7})
        DrawReportLine(p, box.left, box.top + y, box.right(), box.top + y, kReportGrey, page.dots(1), Qt::DashDotLine);
    const double step = r.SampleCount.get() != 0 ? double(box.width) / kWaveformSamples : 0.0;
    const int centre = box.top + h / 2;
    const auto trace = [&](const Deviations& dev, double reach, const QColor& color, int pen) {
        const double scale = dev.largest != 0 ? Round(h * reach / 7) / double(dev.largest) : 0.0;
        std::vector<QPoint> points(kWaveformSamples);
        for (int i = 0; i < kWaveformSamples; ++i)
            points[size_t(i)] = QPoint(box.left + Round(i * step), centre - Round(dev.d[size_t(i)] * scale));
        QPen tracePen(color);
        tracePen.setWidth(std::max(pen, 1));
        tracePen.setJoinStyle(Qt::RoundJoin);
        tracePen.setCapStyle(Qt::RoundCap);
        p.setPen(tracePen);
        p.drawPolyline(points.data(), int(points.size()));
    };
    trace(DeviationsOf(r.CurrentSamples, r.CurrentZero.get()), 2.5, kCurrentTraceColor, Round(page.H * 0.0008));
    trace(DeviationsOf(r.VoltageSamples, r.VoltageZero.get()), 2.8, kVoltageTraceColor, Round(page.H * 0.0015));
}

void DrawPageHarmonics(QPainter& p, const ReportPage& page, const PageBox& box,
                       const le::F32 (&amplitudes)[kHarmonicCount])
{
    const int h = box.height;
    const int y0 = box.top + Round(h * 0.85);
    DrawReportLine(p, box.left, y0, box.right(), y0, kReportGrey, Round(page.H * 0.0015));
    const int pitch = Round(box.width / 53.0);
    const int barOffset = Round(box.width * 0.013);
    const double m = LargestAmplitude(amplitudes);
    const double scale = m != 0 ? Round(h * 0.8) / m : 0.0;
    QPen barPen(kBarGreen);
    barPen.setWidth(std::max(Round(page.H * 0.0025), 1));
    barPen.setJoinStyle(Qt::MiterJoin);
    p.setFont(ReportPageFont(6));
    int x = box.left + pitch / 2;
    for (int k = 0; k < kHarmonicCount; ++k, x += pitch) {
        if (IsLabelledOrder(k)) DrawReportText(p, x, y0 + 3 + Round(h * 0.03), QString::number(k), kReportBlack);
        if (m == 0) continue;
        const int top = y0 + 1 - Round(BarAmplitude(amplitudes[k].get()) * scale);
        p.setPen(barPen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(QPoint(x + barOffset, top), QPoint(x + barOffset + page.dots(7), y0 - 1)).normalized());
    }
}

void DrawPageReadouts(QPainter& p, const ReportPage& page, const PageBox& box, const TestRecordImage& r)
{
    p.setFont(ReportPageFont(12));
    const int labelX = box.right() + Round(page.pw * 0.009);
    const int valueX = box.right() + Round(page.pw * 0.23);
    const int first = Round(page.ph * 0.085);
    const int pitch = Round(page.ph * 0.033);
    for (int n = 0; n < kReportReadoutRows; ++n) {
        const int y = first + n * pitch;
        // Whole, in a smaller type where a label would reach its value or a
        // value the page's edge.
        DrawReportText(p, labelX, y, PrintedReadoutLabel(n), kReportBlack, valueX - labelX - page.dots(20));
        DrawReportText(p, valueX, y, PrintedReadoutValue(r, n), kReportBlack, page.right - valueX);
    }
}

// The table's texts, each one within its column: the font of the table
// unless its widest cell would run over the column's line, then as much
// smaller as it needs. A number is never shortened.
QFont TableFont(QPainter& p, double pointSize, int room, const QStringList& texts)
{
    QFont font = ReportPageFont(pointSize);
    const QFontMetrics metrics(font, p.device());
    int widest = 1;
    for (const QString& t : texts) widest = std::max(widest, metrics.horizontalAdvance(t));
    if (widest > room) font.setPointSizeF(pointSize * room / widest);
    return font;
}

void DrawPageTable(QPainter& p, const ReportPage& page, const TestRecordImage& r)
{
    const int thick = std::max(Round(page.H * 0.0012), 1);
    const int ruleY = Round(page.ph * 0.555);
    DrawReportLine(p, page.left, ruleY, page.right, ruleY, kReportBlack, thick);
    const double pointSize = page.portrait ? 10 : 6;
    p.setFont(ReportPageFont(pointSize));
    DrawCaption(p, Round(page.right * 0.75), Round(page.ph * 0.548), QCoreApplication::translate("PowerReport", " The harmonic content "),
                kReportBlack);

    const int top = Round(page.ph * 0.565);
    const int bottom = Round(page.ph * 0.905);
    const double rowHeight = (bottom - top) / 19.0;
    const int row = Round(rowHeight);
    const int column = Round((page.right - page.left) / 15.0);
    const int thin = std::max(page.dots(1), 1);
    for (int i = 1; i <= 18; ++i)
        DrawReportLine(p, page.left, top + row * i, page.right, top + row * i, kReportGrey, thin);
    for (int i = 1; i <= 14; ++i) {
        const int x = page.left + i * column;
        const bool groupEnd = i == 5 || i == 10;
        const bool insideQuantity = i % 5 == 2 || i % 5 == 4;
        // The lines between the three groups: grey like the rest of the
        // grid, in the outline's heavier pen.
        DrawReportLine(p, x, insideQuantity ? top + row : top, x, bottom, kReportGrey, groupEnd ? thick : thin);
    }
    QPen outline(kReportBlack);
    outline.setWidth(thick);
    outline.setJoinStyle(Qt::MiterJoin);
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(page.left, top), QPoint(page.right, bottom)));

    QStringList texts{QCoreApplication::translate("PowerReport", "Percent"), QCoreApplication::translate("PowerReport", " Order")};
    for (int k = 0; k < kHarmonicCount; ++k) {
        texts << ReportHarmonicRms(r.VoltageHarmonics[k].get()) << ReportHarmonicRms(r.CurrentHarmonics[k].get())
              << ReportHarmonicPercent(r.VoltageHarmonics[k].get(), r.VoltageHarmonics[1].get())
              << ReportHarmonicPercent(r.CurrentHarmonics[k].get(), r.CurrentHarmonics[1].get());
    }
    p.setFont(TableFont(p, pointSize, column - Round(column * 0.1) - thin - std::max(page.dots(20), 1), texts));
    const QFontMetrics metrics = p.fontMetrics();
    const int lift = (row - metrics.height()) / 2;  // texts sit in the middle of their row
    const int orderIndent = Round(column * 0.3);
    const int valueIndent = Round(column * 0.1);
    const auto cell = [&](int columnIndex, int rowIndex, int indent, const QString& s) {
        DrawReportText(p, page.left + columnIndex * column + indent, top + rowIndex * row + lift, s, kReportBlack);
    };
    for (int g = 0; g < 3; ++g) {
        const int base = 5 * g;
        const auto centred = [&](int firstColumn, const QString& s) {
            const int x = page.left + firstColumn * column + (2 * column - metrics.horizontalAdvance(s)) / 2;
            DrawReportText(p, x, top + lift, s, kReportBlack);
        };
        centred(base + 1, QCoreApplication::translate("PowerReport", "Voltage"));
        centred(base + 3, QCoreApplication::translate("PowerReport", "Current"));
        cell(base, 1, valueIndent, QCoreApplication::translate("PowerReport", " Order"));
        cell(base + 1, 1, valueIndent, QCoreApplication::translate("PowerReport", "  RMS"));
        cell(base + 2, 1, valueIndent, QCoreApplication::translate("PowerReport", "Percent"));
        cell(base + 3, 1, valueIndent, QCoreApplication::translate("PowerReport", "  RMS"));
        cell(base + 4, 1, valueIndent, QCoreApplication::translate("PowerReport", "Percent"));
    }
    const double uFundamental = r.VoltageHarmonics[1].get();
    const double iFundamental = r.CurrentHarmonics[1].get();
    for (int n = 0; n < 17; ++n) {
        for (int g = 0; g < 3; ++g) {
            const int k = n + 17 * g;
            const int base = 5 * g;
            const double u = r.VoltageHarmonics[k].get();
            const double i = r.CurrentHarmonics[k].get();
            cell(base, n + 2, orderIndent, QString::number(k));
            cell(base + 1, n + 2, valueIndent, ReportHarmonicRms(u));
            cell(base + 2, n + 2, valueIndent, ReportHarmonicPercent(u, uFundamental));
            cell(base + 3, n + 2, valueIndent, ReportHarmonicRms(i));
            cell(base + 4, n + 2, valueIndent, ReportHarmonicPercent(i, iFundamental));
        }
    }
}

} // namespace

void DrawPowerReportPreview(QPainter& painter, QSize size, const TestRecordImage& record, const ReportInfo& info)
{
    DrawPreviewFrame(painter, size, ReportKind::Power, info);
    DrawPixelBox(painter, 50, 80, 400, 227, kReportBlack);
    DrawPixelBox(painter, 50, 237, 400, 384, kReportBlack);
    DrawPixelBox(painter, 50, 394, 400, 541, kReportBlack);
    painter.setFont(ReportPreviewFont(10));
    DrawCaption(painter, 58, 72, QCoreApplication::translate("PowerReport", " Waveform "), kReportBlack);
    DrawCaption(painter, 58, 227, QCoreApplication::translate("PowerReport", " Voltage Harmonics "), kReportBlack);
    DrawCaption(painter, 58, 385, QCoreApplication::translate("PowerReport", " Current Harmonics "), kReportBlack);
    DrawPreviewWaveform(painter, record);
    DrawPreviewHarmonics(painter, record.VoltageHarmonics, 361);
    DrawPreviewHarmonics(painter, record.CurrentHarmonics, 518);
    painter.setFont(ReportPreviewFont(10));
    for (int n = 0; n < kReportReadoutRows; ++n)
        DrawReportText(painter, 420, 90 + 32 * n, PreviewReadoutText(record, n), kReportBlack, size.width() - 50 - 420);
    DrawPreviewTable(painter, size.width(), record);
}

void DrawPowerReportPage(QPainter& painter, const ReportPage& page, const TestRecordImage& record,
                         const ReportInfo& info)
{
    DrawPageFrame(painter, page, ReportKind::Power);
    const int width = Round(page.pw * 0.55);
    const int height = Round(page.ph * 0.15);
    const int captionX = Round(page.pw * 0.072);
    const PageBox wave{page.left, Round(page.ph * 0.072), width, height};
    const PageBox voltage{page.left, Round(page.ph * 0.23), width, height};
    const PageBox current{page.left, Round(page.ph * 0.388), width, height};
    DrawPageBox(painter, page, wave, QPoint(captionX, Round(page.ph * 0.065)), QCoreApplication::translate("PowerReport", " Waveform "));
    DrawPageBox(painter, page, voltage, QPoint(captionX, Round(page.ph * 0.223)), QCoreApplication::translate("PowerReport", " Voltage harmonics "));
    DrawPageBox(painter, page, current, QPoint(captionX, Round(page.ph * 0.382)),
                QCoreApplication::translate("PowerReport", " 电流谐波分布图 "));
    DrawPageWaveform(painter, page, wave, record);
    DrawPageHarmonics(painter, page, voltage, record.VoltageHarmonics);
    DrawPageHarmonics(painter, page, current, record.CurrentHarmonics);
    DrawPageReadouts(painter, page, wave, record);
    DrawPageTable(painter, page, record);

    const QString unit = TemperatureUnitText(info.celsius);
    PageFooterTexts footer;
    footer.cells[0][0] = QCoreApplication::translate("PowerReport", "Project Name: ") + info.projectName;
    footer.cells[0][1] = QCoreApplication::translate("PowerReport", "Testing organization: ") + info.company;
    footer.cells[0][2] = QCoreApplication::translate("PowerReport", "Test by:") + info.tester;
    footer.cells[1][0] = QCoreApplication::translate("PowerReport", "Date: ") + info.date;
    footer.cells[1][1] = QCoreApplication::translate("PowerReport", "Test Instruments:Velquor QZR6100");
    footer.cells[1][2] = QCoreApplication::translate("PowerReport", "Temperature:") + info.temperature + unit;
    DrawPageFooter(painter, page, footer);
}
