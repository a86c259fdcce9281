#include "display/starting_plot.h"

#include "display/strip_grid.h"

#include "display/number_format.h"
#include "display/pixel_lines.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kFirstPlottedIndex = 8;   // the capture's first samples are not part of the signal
constexpr int kLastSampleNumber = kStartingPlotSamples - 1;  // 2550
constexpr int kMargin = kStripGridMargin;  // free rows above and below the grid
constexpr int kFontPointSize = 8;

int LargestDeviation(const le::U16 (&samples)[kStartingSamples], int zero)
{
    int largest = 0;
    for (int j = 0; j < kStartingPlotSamples; ++j) {
        largest = std::max(largest, std::abs(int(samples[kFirstPlottedIndex + j].get()) - zero));
    }
    return largest;
}

// The trace starts at x = 2 but its later points lie at x = i, so the first
// segment steps one pixel back; that is how the plot has always looked.
void DrawTrace(QPainter& p, const le::U16 (&samples)[kStartingSamples], int zero, float scale, int mid,
               int startOffset, int step, int count, const QColor& color, std::vector<QPoint>& points)
{
    points.clear();
    for (int i = 0; i < count; ++i) {
        const int v = int(samples[kFirstPlottedIndex + startOffset + i * step].get()) - zero;
        const int y = mid - int(RoundHalfEven(double(v) * double(scale))) + 2;
        points.emplace_back(i == 0 ? 2 : i, y);
    }
    DrawPixelPolyline(p, points.data(), int(points.size()), color);
}

} // namespace

StartingPeaks FindStartingPeaks(const StartingCaptureImage& capture, uint16_t voltageZero, uint16_t currentZero)
{
    return {LargestDeviation(capture.VoltageSamples, voltageZero),
            LargestDeviation(capture.CurrentSamples, currentZero)};
}

int StartingPointCount(int startOffset, int step, int plotWidth)
{
    const int count = (kLastSampleNumber - startOffset) / std::max(step, 1);
    return std::max(0, std::min(count, plotWidth));
}

QString StartingPeakText(const char* name, int peakCounts, float scaleFactor, const char* unit)
{
    const double peak = RoundHalfEven(double(peakCounts) * double(scaleFactor) * 100) / 100;
    return QCoreApplication::translate("StartingPlot", name) + FormatGeneral(peak) + QLatin1String(unit);
}

void DrawStartingPlot(QImage& startingSurface, const QSize& picSize, const QSize& screenSize,
                      const StartingCaptureImage& capture, uint16_t voltageZero, uint16_t currentZero,
                      int startOffset, int step, const DisplayColors& colors)
{
    if (startingSurface.isNull()) return;
    const int W = picSize.width();
    const int H = picSize.height();
    const int ph = H - 32;
    startOffset = std::clamp(startOffset, 0, kLastSampleNumber);
    step = std::max(step, 1);

    QPainter p(&startingSurface);
    p.fillRect(QRect(QPoint(0, 0), screenSize), colors.GraphBackgroundColor);
    QFont font;
    font.setPointSize(kFontPointSize);
    p.setFont(font);

    DrawStripGrid(p, W, H, 0, colors.ScaleColor);

    const int mid = H / 2;
    const int count = StartingPointCount(startOffset, step, W);
    const StartingPeaks peaks = FindStartingPeaks(capture, voltageZero, currentZero);
    const float currentScale =
        peaks.current != 0 ? float(((mid - kMargin) - ph / 10.0) / peaks.current) : 0.00001f;
    const float voltageScale = peaks.voltage != 0 ? float(double(mid - kMargin) / peaks.voltage) : currentScale;

    std::vector<QPoint> points;
    points.reserve(size_t(count));
    DrawTrace(p, capture.CurrentSamples, currentZero, currentScale, mid, startOffset, step, count,
              kCurrentTraceColor, points);
    DrawTrace(p, capture.VoltageSamples, voltageZero, voltageScale, mid, startOffset, step, count,
              kVoltageTraceColor, points);

    const QString voltageText = StartingPeakText(QT_TRANSLATE_NOOP("StartingPlot", "Voltage peak"), peaks.voltage, capture.VoltageScale.get(), "V");
    p.setPen(kVoltageTraceColor);
    DrawTextTopLeft(p, 5, H - 15, voltageText);
    // The current's text starts at x = 125 unless a long voltage peak
    // reaches that far: the two must never run into each other.
    const int currentTextLeft = std::max(125, 5 + p.fontMetrics().horizontalAdvance(voltageText) + 8);
    p.setPen(kCurrentTraceColor);
    DrawTextTopLeft(p, currentTextLeft, H - 15,
                    StartingPeakText(QT_TRANSLATE_NOOP("StartingPlot", "Current peak"), peaks.current, capture.CurrentScale.get(), "A"));
}
