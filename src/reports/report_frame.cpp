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

namespace {

// The font made smaller by `scale` (0 < scale <= 1); the preview's fonts stay
// in pixels.
QFont ScaledFont(const QFont& font, double scale)
{
    QFont scaled = font;
    if (font.pixelSize() > 0)
        scaled.setPixelSize(std::max(int(std::floor(font.pixelSize() * scale)), 1));
    else
        scaled.setPointSizeF(std::max(font.pointSizeF() * scale, 0.5));
    return scaled;
}

double TextWidth(const QPainter& painter, const QFont& font, const QString& text)
{
    return QFontMetricsF(font, painter.device()).horizontalAdvance(text);
}

// The painter's font, or a smaller one in which `text` fits `room`.
QFont FittingFont(const QPainter& painter, const QString& text, double room)
{
    const QFont font = painter.font();
    const double width = TextWidth(painter, font, text);
    if (room <= 0 || width <= room) return font;
    double scale = room / width;
    QFont fitting = ScaledFont(font, scale);
    // Hinted widths are not quite proportional to the size.
    for (int i = 0; i < 40 && TextWidth(painter, fitting, text) > room; ++i) {
        scale *= 0.97;
        fitting = ScaledFont(font, scale);
    }
    return fitting;
}

void DrawInFont(QPainter& painter, const QFont& font, int x, int y, const QString& text)
{
    const QFont before = painter.font();
    painter.setFont(font);
    DrawTextTopLeft(painter, x, y, text);
    painter.setFont(before);
}

} // namespace

void DrawReportText(QPainter& painter, int x, int y, const QString& text, const QColor& color, int room)
{
    painter.setPen(color);
    if (room > 0)
        DrawInFont(painter, FittingFont(painter, text, room), x, y, text);
    else
        DrawTextTopLeft(painter, x, y, text);
}

void DrawReportTextRow(QPainter& painter, int y, const std::array<int, 3>& anchors,
                       const std::array<QString, 3>& texts, int right, int gap, const QColor& color)
{
    const QFont base = painter.font();
    std::array<bool, 3> tooWide{};
    for (size_t i = 0; i < 3; ++i) {
        const int columnEnd = i + 1 < 3 ? anchors[i + 1] - gap : right;
        tooWide[i] = TextWidth(painter, base, texts[i]) > columnEnd - anchors[i];
    }
    std::array<int, 3> xs{};
    std::array<QFont, 3> fonts{base, base, base};
    // Places the texts with the too-wide ones at `scale`; true when the
    // last one ends by `right`.
    const auto place = [&](double scale) {
        double end = anchors[0];
        for (size_t i = 0; i < 3; ++i) {
            fonts[i] = tooWide[i] ? ScaledFont(base, scale) : base;
            xs[i] = i == 0 ? anchors[0] : std::max(anchors[i], int(std::ceil(end)) + gap);
            end = xs[i] + TextWidth(painter, fonts[i], texts[i]);
        }
        return end <= right;
    };
    if (!place(1.0)) {
        constexpr double kSmallest = 0.05;
        // Texts that each fit their own column cannot fill the line; should
        // the page be too narrow even for them, all of them shrink.
        if (!place(kSmallest)) tooWide.fill(true);
        double fits = kSmallest, fails = 1.0;
        for (int i = 0; i < 20; ++i) {
            const double middle = (fits + fails) / 2;
            (place(middle) ? fits : fails) = middle;
        }
        place(fits);
    }
    painter.setPen(color);
    for (size_t i = 0; i < 3; ++i) DrawInFont(painter, fonts[i], xs[i], y, texts[i]);
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
    const std::array<int, 3> xs{50, 250, 520};
    const std::array<QString, 3> top{Label(l.project) + info.projectName,
                                     Label(l.company) + info.company, Label(l.tester) + info.tester};
    const std::array<QString, 3> bottom{Label(l.date) + info.date, Label(kInstrumentText),
                                        Label(l.temperature) + info.temperature + unit};
    constexpr int kGap = 8;
    DrawReportTextRow(painter, H - 90, xs, top, W - 50, kGap, kReportGrey);
    DrawReportTextRow(painter, H - 70, xs, bottom, W - 50, kGap, kReportGrey);
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
    const std::array<int, 3> xs{page.left, page.left + Round(page.W * 0.37), page.left + Round(page.W * 0.74)};
    for (int line = 0; line < 2; ++line) {
        const std::array<QString, 3> row{texts.cells[line][0], texts.cells[line][1], texts.cells[line][2]};
        DrawReportTextRow(painter, ys[line], xs, row, page.right, std::max(page.dots(20), 1), kReportBlack);
    }
}
