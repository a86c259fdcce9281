#include "reports/report_frame.h"

#include "display/number_format.h"
#include "display/pixel_lines.h"

#include <QCoreApplication>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPortraitRatio = 1.414;
constexpr int kPreviewPageInset = 33;  // scroll bar and margins beside the page
constexpr double kReferenceDotsPerInch = 600.0;

int Round(double x) { return int(RoundHalfEven(x)); }

QFont ReportFont()
{
    QFont font;
    // Arial's metrics where the system has them (or a font made to match
    // them); Chinese texts from a CJK font rather than empty boxes.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// Footer labels of the preview; the record report writes them with a blank
// after the colon.
struct PreviewFooterLabels {
    const char* project;
    const char* company;
    const char* tester;
    const char* date;
    const char* temperature;
};
const PreviewFooterLabels kPowerFooter{
    QT_TRANSLATE_NOOP("ReportFrame", "Project Name:"), QT_TRANSLATE_NOOP("ReportFrame", "Testing organization:"),
    QT_TRANSLATE_NOOP("ReportFrame", "Test by:"), QT_TRANSLATE_NOOP("ReportFrame", "Date:"),
    QT_TRANSLATE_NOOP("ReportFrame", "Temperature:")};
const PreviewFooterLabels kRecordFooter{
    QT_TRANSLATE_NOOP("ReportFrame", "Project Name: "), QT_TRANSLATE_NOOP("ReportFrame", "Testing organization: "),
    QT_TRANSLATE_NOOP("ReportFrame", "Test by: "), QT_TRANSLATE_NOOP("ReportFrame", "Date: "),
    QT_TRANSLATE_NOOP("ReportFrame", "Temperature: ")};
const char* const kInstrumentText = QT_TRANSLATE_NOOP("ReportFrame", "Test Instruments:Velquor QZR6100");

QString Label(const char* text) { return QCoreApplication::translate("ReportFrame", text); }

} // namespace

QSize ReportPreviewPageSize(ReportKind kind, int viewportWidth)
{
    const int width = std::max(viewportWidth - kPreviewPageInset, 1);
    const double height = kind == ReportKind::Power ? width * kPortraitRatio : width / kPortraitRatio;
    return QSize(width, std::max(Round(height), 1));
}

QFont ReportPreviewFont(int pointSize)
{
    QFont font = ReportFont();
    font.setPixelSize(std::max(Round(pointSize * 96.0 / 72.0), 1));
    return font;
}

QFont ReportPageFont(double pointSize)
{
    QFont font = ReportFont();
    font.setPointSizeF(pointSize);
    return font;
}

void DrawReportText(QPainter& painter, int x, int y, const QString& text, const QColor& color, int width)
{
    painter.setPen(color);
    const QString shown = width > 0 ? painter.fontMetrics().elidedText(text, Qt::ElideRight, width) : text;
    DrawTextTopLeft(painter, x, y, shown);
}

void DrawReportLine(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& color, int width,
                    Qt::PenStyle style)
{
    QPen pen(color);
    pen.setWidth(std::max(width, 1));
    pen.setStyle(style);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(x1, y1, x2, y2);
}

void DrawPreviewFrame(QPainter& painter, QSize size, ReportKind kind, const ReportInfo& info)
{
    const int W = size.width();
    const int H = size.height();
    painter.setFont(ReportPreviewFont(20));
    DrawReportText(painter, kind == ReportKind::Power ? 70 : 60, 30, ReportTitle(kind), kReportGrey);
    DrawPixelLine(painter, QPoint(50, 70), QPoint(W - 50, 70), kReportGrey, LineStyle::Solid, 2);
    DrawPixelLine(painter, QPoint(50, H - 100), QPoint(W - 50, H - 100), kReportGrey, LineStyle::Solid, 2);
    painter.setFont(ReportPreviewFont(10));
    if (kind == ReportKind::Power) DrawReportText(painter, W - 120, 45, QCoreApplication::translate("ReportFrame", "Page 1/1"), kReportGrey);

    const PreviewFooterLabels& l = kind == ReportKind::Power ? kPowerFooter : kRecordFooter;
    const QString unit = TemperatureUnitText(info.celsius);
    // Each text stays within its column.
    const int widths[3] = {195, 265, std::max(W - 50 - 520, 1)};
    const int xs[3] = {50, 250, 520};
    const QString top[3] = {Label(l.project) + info.projectName, Label(l.company) + info.company,
                            Label(l.tester) + info.tester};
    const QString bottom[3] = {Label(l.date) + info.date, Label(kInstrumentText),
                               Label(l.temperature) + info.temperature + unit};
    for (int c = 0; c < 3; ++c) {
        DrawReportText(painter, xs[c], H - 90, top[c], kReportGrey, widths[c]);
        DrawReportText(painter, xs[c], H - 70, bottom[c], kReportGrey, widths[c]);
    }
}

int ReportPage::dots(double d) const { return Round(d * unit); }

ReportPage ReportPageOf(int pageWidth, int pageHeight, int dotsPerInch)
{
    ReportPage p;
    p.pw = pageWidth;
    p.ph = pageHeight;
    p.left = pageWidth / 18;
    p.top = pageHeight / 26;
    p.right = pageWidth - pageWidth / 18;
    p.bottom = pageHeight - pageHeight / 26;
    p.W = p.right - p.left;
    p.H = p.bottom - p.top;
    p.unit = dotsPerInch > 0 ? dotsPerInch / kReferenceDotsPerInch : 1.0;
    p.portrait = pageHeight >= pageWidth;
    return p;
}

void DrawPageFrame(QPainter& painter, const ReportPage& page, ReportKind kind)
{
    painter.setFont(ReportPageFont(page.portrait ? 17 : 14));
    DrawReportText(painter, page.left, page.top, ReportTitle(kind), kReportBlack);
    painter.setFont(ReportPageFont(page.portrait ? 10 : 7));
    DrawReportText(painter, Round(page.W * 0.985), page.top + Round(page.H * 0.01), QCoreApplication::translate("ReportFrame", "Page 1/1"),
                   kReportGrey);
    const int y = page.top + Round(page.H * 0.027);
    DrawReportLine(painter, page.left, y, page.right, y, kReportGrey, Round(page.H * 0.0015));
}

void DrawPageFooter(QPainter& painter, const ReportPage& page, const PageFooterTexts& texts)
{
    const int ruleY = page.top + Round(page.H * 0.95);
    DrawReportLine(painter, page.left, ruleY, page.right, ruleY, kReportGrey, Round(page.H * 0.0015));
    painter.setFont(ReportPageFont(10));
    const int ys[2] = {page.top + Round(page.H * 0.955), page.top + Round(page.H * 0.975)};
    const int xs[3] = {page.left, page.left + Round(page.W * 0.37), page.left + Round(page.W * 0.74)};
    const int widths[3] = {xs[1] - xs[0] - page.dots(20), xs[2] - xs[1] - page.dots(20), page.right - xs[2]};
    for (int line = 0; line < 2; ++line) {
        for (int c = 0; c < 3; ++c) DrawReportText(painter, xs[c], ys[line], texts.cells[line][c], kReportBlack, widths[c]);
    }
}
