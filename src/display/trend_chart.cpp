#include "display/trend_chart.h"

#include "display/strip_grid.h"

#include "display/number_format.h"
#include "display/pixel_lines.h"
#include "recording/ole_date.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

// Pixel rules (x right, y down, from the paint box's top-left corner):
// - a line covers its start point and not its end point; traces use a 2-pixel
//   pen whose extra pixel lies below a mostly horizontal segment and right of
//   a mostly vertical one (see DrawPixelLine);
// - grid lines are dotted, three pixels on and three off from each line's
//   start;
// - the plot height is ph = H - 32 between the grid rows 16 and H - 16, and
//   500 vertical units fill it;
// - rounding is to the nearest integer with ties to even.

namespace {

constexpr int kMargin = kStripGridMargin;  // rows above the top grid line and below the bottom one
constexpr int kGridColumnSpacing = kStripGridColumnSpacing;
constexpr int kUnitsPerPlot = 500;
constexpr int kFontPointSize = 8;
constexpr int kTracePenWidth = 2;
constexpr int kMarkerAboveNewestPoint = 7;
constexpr int kRawLimit = 1 << 28;

constexpr int kStripTicks = 50;
constexpr int kStripLongTickLeft = 3;
constexpr int kStripShortTickLeft = 7;
constexpr int kStripAxisX = 13;
constexpr int kStripLabelX = 20;
constexpr int kStripLabelRaise = 6;

constexpr int kTriangleHalfWidth = 5;
constexpr int kTriangleHeight = 5;
// Apex x of each channel's triangles, counted back from the right edge W.
constexpr std::array<int, kTrendChannelCount> kTriangleApexFromRight{67, 55, 43, 31, 19, 7};
constexpr std::array<int, kTrendChannelCount> kScaleLabelX{100, 185, 270, 355, 440, 525};
constexpr int kTimeLabelX = 5;
constexpr int kLabelRaise = 12;  // labels stand this far above the bottom edge

TrendRange KnownRange(TrendRange range)
{
    return range == TrendRange::PlusMinus || range == TrendRange::Negative ? range : TrendRange::Positive;
}

// Text with its top-left corner at (x, y) on an opaque box of `background`
// as wide as the text's advance and as high as the font.
void DrawLabel(QPainter& p, int x, int y, const QString& text, const QColor& color, const QColor& background)
{
    const QFontMetrics metrics = p.fontMetrics();
    p.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), background);
    p.setPen(color);
    DrawTextTopLeft(p, x, y, text);
}

// A triangle of the given apex and base rows (base 5 rows from the apex,
// 5 columns to either side): inside in the brush colour, then its three sides
// as lines in the pen colour; because the outline is closed, every corner is
// covered.
void DrawTriangle(QPainter& p, int apexX, int apexY, int baseY, const QColor& penColor, const QColor& brushColor)
{
    const int direction = baseY > apexY ? 1 : -1;
    for (int k = 1; k < kTriangleHeight; ++k) {  // rows strictly between apex and base
        const int halfWidth = k * kTriangleHalfWidth / kTriangleHeight;
        p.fillRect(QRect(apexX - halfWidth + 1, apexY + direction * k, 2 * halfWidth - 1, 1), brushColor);
    }
    const QPoint left(apexX - kTriangleHalfWidth, baseY);
    const QPoint right(apexX + kTriangleHalfWidth, baseY);
    const QPoint apex(apexX, apexY);
    DrawPixelLine(p, left, right, penColor);
    DrawPixelLine(p, right, apex, penColor);
    DrawPixelLine(p, apex, left, penColor);
}

QString StampOrZero(const char* label, const double* times, long long index, int newestIndex,
                    const QLocale& locale)
{
    QString text;
    if (times != nullptr && index >= 0 && index <= newestIndex) text = FormatRecordStamp(times[index], locale);
    const QString caption = QCoreApplication::translate("TrendChart", label);
    if (text.isEmpty()) return caption + QLatin1String(" 0");
    return caption + text;
}

void DrawGrid(QPainter& p, const TrendChartInput& in, int W, int H)
{
    // While recording the columns drift right with the data.
    DrawStripGrid(p, W, H, in.viewMode == ViewMode::Recording ? in.gridPhase : 0, in.colors.ScaleColor);
}

void DrawLabels(QPainter& p, const TrendChartInput& in, int H, TrendRange range)
{
    const QColor& background = in.colors.GraphBackgroundColor;
    const int y = H - kLabelRaise;
    const QColor& timeColor =
        in.viewMode == ViewMode::Recording ? kTrendTimeLabelRecordingColor : kTrendTimeLabelInspectionColor;
    DrawLabel(p, kTimeLabelX, y, TrendTimeScaleLabel(in.zoom), timeColor, background);
    for (int k = 0; k < kTrendChannelCount; ++k) {
        DrawLabel(p, kScaleLabelX[size_t(k)], y, TrendChannelScaleLabel(k, in.scale[size_t(k)], range),
                  kTrendChannelColors[size_t(k)], background);
    }
}

void DrawScaleStrip(QImage& surface, const TrendChartInput& in, int H, int ph, TrendRange range)
{
    QPainter p(&surface);
    const QColor white(255, 255, 255);
    const QColor black(0, 0, 0);
    p.fillRect(QRect(0, 0, kTrendScaleStripWidth, in.screenSize.height()), white);
    QFont font;
    font.setPointSize(kFontPointSize);
    p.setFont(font);
    for (int i = 0; i <= kStripTicks; ++i) {
        const int y = int(RoundHalfEven(ph * i / double(kStripTicks))) + kMargin;
        if (i % 5 == 0) {
            DrawPixelLine(p, QPoint(kStripLongTickLeft, y), QPoint(kStripAxisX, y), black);
            DrawLabel(p, kStripLabelX, y - kStripLabelRaise, TrendScaleStripLabel(i, range), black, white);
        } else {
            DrawPixelLine(p, QPoint(kStripShortTickLeft, y), QPoint(kStripAxisX, y), black);
        }
    }
    DrawPixelLine(p, QPoint(kStripAxisX, kMargin), QPoint(kStripAxisX, H - kMargin), black, LineStyle::Solid, 2);
}

// Traces, markers and triangles of the points in view, if any.
void DrawTraces(QPainter& p, const TrendChartInput& in, int W, int H, int ph, TrendRange range,
                TrendChartResult& result)
{
    const int zoom = std::max(in.zoom, 1);
    const int start = std::max(in.start, 0);
    const int count = TrendPointCount(in.newestIndex, start, zoom, W);
    if (count == 0) return;

    const float unit = float(ph) / float(kUnitsPerPlot);
    std::vector<QPoint> points(static_cast<size_t>(count));
    // The outline of a triangle takes the colour of the last trace drawn
    // before it (the grid colour before the first), its inside the colour of
    // its own channel.
    QColor penColor = in.colors.ScaleColor;
    for (int k = 0; k < kTrendChannelCount; ++k) {
        const float* values = in.values[size_t(k)];
        if (values == nullptr) continue;
        const float scale = in.scale[size_t(k)];
        bool above = false, below = false;
        // Point i shows sample newest - (start + zoom * i); all of them are
        // within 1 .. newest because count <= (newest - start) div zoom.
        const float* sample = values + (in.newestIndex - start);
        for (int i = 0; i < count; ++i, sample -= zoom) {
            const int y = TrendRow(TrendRawHeight(*sample, scale, unit), range, H);
            above |= y < 0;
            below |= y > H;
            points[size_t(i)] = QPoint(i, y);
        }
        result.above[size_t(k)] = above;
        result.below[size_t(k)] = below;

        const QColor& color = kTrendChannelColors[size_t(k)];
        if (in.visible[size_t(k)]) {
            penColor = color;
            result.markerTop[size_t(k)] = points[0].y() - kMarkerAboveNewestPoint;
            DrawPixelPolyline(p, points.data(), count, color, kTracePenWidth);
        }
        const int apexX = W - kTriangleApexFromRight[size_t(k)];
        if (above) DrawTriangle(p, apexX, 0, kTriangleHeight, penColor, color);
        if (below) DrawTriangle(p, apexX, H - 1, H - 1 - kTriangleHeight, penColor, color);
    }
}

} // namespace

int TrendPointCount(int newestIndex, int start, int zoom, int width)
{
    const long long span = (long long)newestIndex - std::max(start, 0);
    if (span <= 0) return 0;
    return int(std::min<long long>(span / std::max(zoom, 1), std::max(width, 0)));
}

int TrendRawHeight(float value, float scale, float unit)
{
    const double raw = RoundHalfEven(double(value) * double(scale) * double(unit));
    if (std::isnan(raw)) return 0;
    return int(std::clamp(raw, -double(kRawLimit), double(kRawLimit)));
}

int TrendRow(int raw, TrendRange range, int height)
{
    switch (KnownRange(range)) {
    case TrendRange::PlusMinus:
        return height / 2 - int(RoundHalfEven(raw / 2.0));
    case TrendRange::Negative:
        return kMargin - raw;
    case TrendRange::Positive:
        break;
    }
    return (height - kMargin) - raw;
}

QString TrendTimeScaleLabel(int zoom)
{
    return QCoreApplication::translate("TrendChart", "Time/DIV=") + QString::number((long long)std::max(zoom, 1) * kGridColumnSpacing) +
           QLatin1Char('S');
}

QString TrendChannelScaleLabel(int channel, float scale, TrendRange range)
{
    const double perDivision = KnownRange(range) == TrendRange::PlusMinus
                                   ? RoundHalfEven(250000 / double(scale)) / 10000
                                   : RoundHalfEven(50000 / double(scale)) / 1000;
    return QCoreApplication::translate("TrendChart", "CH%1/DIV=").arg(channel + 1) + FormatGeneral(perDivision);
}

QString TrendScaleStripLabel(int tick, TrendRange range)
{
    switch (KnownRange(range)) {
    case TrendRange::PlusMinus:
        return QString::number(100 - 4 * tick) + QLatin1Char('%');
    case TrendRange::Negative:
        return QLatin1Char('-') + QString::number(2 * tick) + QLatin1Char('%');
    case TrendRange::Positive:
        break;
    }
    return QString::number(100 - 2 * tick) + QLatin1Char('%');
}

TrendStatusTexts TrendStatus(int newestIndex, int start, int zoom, int pointCount, const double* times,
                             const QLocale& locale)
{
    zoom = std::max(zoom, 1);
    start = std::max(start, 0);
    const long long leftEdge = (long long)newestIndex - start;
    // The rightmost point, or with none the left edge itself rather than a
    // sample beyond the newest one.
    const long long rightmost = pointCount > 0 ? leftEdge - (long long)(pointCount - 1) * zoom : leftEdge;

    TrendStatusTexts texts;
    texts.samplingStep = QCoreApplication::translate("TrendChart", "Sampling step:") + QString::number(zoom) + QLatin1Char('S');
    texts.start = StampOrZero(QT_TRANSLATE_NOOP("TrendChart", "Start:"), times, rightmost, newestIndex, locale);
    texts.end = StampOrZero(QT_TRANSLATE_NOOP("TrendChart", "End:"), times, leftEdge, newestIndex, locale);
    texts.length = QCoreApplication::translate("TrendChart", "Length:") + QString::number(pointCount);
    return texts;
}

TrendChartResult DrawTrendChart(QImage& trendSurface, QImage& scaleSurface, const TrendChartInput& in)
{
    TrendChartResult result;
    const int W = in.picSize.width();
    const int H = in.picSize.height();
    const int ph = H - 2 * kMargin;
    const TrendRange range = KnownRange(in.range);

    if (in.recordDataReady) {
        const int count = TrendPointCount(in.newestIndex, in.start, in.zoom, W);
        result.status = TrendStatus(in.newestIndex, in.start, in.zoom, count, in.times, in.locale);
    }
    if (!trendSurface.isNull()) {
        QPainter p(&trendSurface);
        p.fillRect(QRect(QPoint(0, 0), in.screenSize), in.colors.GraphBackgroundColor);
        QFont font;
        font.setPointSize(kFontPointSize);
        p.setFont(font);
        DrawGrid(p, in, W, H);
        if (in.recordDataReady) DrawTraces(p, in, W, H, ph, range, result);
        DrawLabels(p, in, H, range);
    }
    if (!scaleSurface.isNull()) DrawScaleStrip(scaleSurface, in, H, ph, range);
    return result;
}
