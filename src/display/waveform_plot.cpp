#include "display/waveform_plot.h"

#include "acquisition/measurement_data.h"

#include "display/number_format.h"
#include "display/pixel_lines.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kHorizontalDivisions = 10;
constexpr int kVerticalDivisions = 8;

// A figure with two decimals, given in hundredths.
QString PerDivision(float condition, double hundredths, const char* fallback)
{
    if (!(condition > 0)) return QLatin1String(fallback);
    return FormatGeneral(RoundHalfEven(hundredths) / 100);
}

// Point k of a trace. Scale and x accumulator are single precision; the
// product of a count and a float is exact in double.
void TracePoints(const le::U16 (&samples)[kWaveformSamples], int zero, float scale, int mid,
                 const std::array<int, kWaveformSamples>& xs, std::array<QPoint, kWaveformSamples>& points)
{
    for (int k = 0; k < kWaveformSamples; ++k) {
        const int v = int(samples[k].get()) - zero;
        const int y = mid - int(RoundHalfEven(double(v) * double(scale))) + 2;
        points[size_t(k)] = QPoint(xs[size_t(k)], y);
    }
}

} // namespace

QString WaveformCaption(const TestRecordImage& record)
{
    const float frequency = record.Frequency.get();
    // Ten divisions span four periods of the line frequency; milliseconds.
    const QString time = PerDivision(frequency, 0.4 / double(frequency) * 100000, "8");
    const QString volts = PerDivision(record.Urms.get(), double(record.Upeak.get()) / 4 * 100, "50");
    const QString amps = PerDivision(record.Irms.get(), double(record.Ipeak.get()) / 3 * 100, "1");
    return QCoreApplication::translate("WaveformPlot", "SEC/DIV:") + time + QLatin1String("ms   ") +
           QCoreApplication::translate("WaveformPlot", "Vol/DIV:") + volts + QLatin1String("V   ") +
           QCoreApplication::translate("WaveformPlot", "Amp/DIV:") + amps + QLatin1String("A   ") +
           QCoreApplication::translate("WaveformPlot", "Trigger Source:") + QCoreApplication::translate("WaveformPlot", "Vol");
}

float DrawWaveform(QImage& surface, const QSize& picSize, const TestRecordImage& record, const DisplayColors& colors)
{
    const int W = picSize.width();
    const int H = picSize.height();
    const int gx = W - 6;
    const int gy = H - 6;
    const int mid = gy / 2;

    const int currentZero = record.CurrentZero.get();
    const int voltageZero = record.VoltageZero.get();
    const int currentLargest = LargestDeviation(record.CurrentSamples, currentZero);
    const int voltageLargest = LargestDeviation(record.VoltageSamples, voltageZero);
    const float currentScale = currentLargest != 0 ? float((mid - (H - 2) / 8.0) / currentLargest) : 0.0f;
    // A flat voltage keeps the current's scale; every point is 0 either way.
    const float voltageScale = voltageLargest != 0 ? float(double(mid) / voltageLargest) : currentScale;

    if (surface.isNull()) return voltageScale;
    QPainter p(&surface);
    p.fillRect(QRect(0, 0, W, H), colors.GraphBackgroundColor);

    // Grid, with half-division ticks on the centre lines.
    for (int i = 0; i <= kVerticalDivisions; ++i) {
        const int y = gy * i / kVerticalDivisions + 2;
        DrawPixelLine(p, QPoint(2, y), QPoint(gx + 2, y), colors.ScaleColor, LineStyle::Dotted);
        const int tickY = int(std::trunc(gy * i / 8.0 + gy / 16.0)) + 2;
        DrawPixelLine(p, QPoint(gx / 2 - 1, tickY), QPoint(gx / 2 + 6, tickY), colors.ScaleColor);
    }
    for (int j = 0; j <= kHorizontalDivisions; ++j) {
        const int x = gx * j / kHorizontalDivisions + 2;
        DrawPixelLine(p, QPoint(x, 2), QPoint(x, gy + 2), colors.ScaleColor, LineStyle::Dotted);
        const int tickX = int(std::trunc(gx * j / 10.0 + gx / 20.0)) + 2;
        DrawPixelLine(p, QPoint(tickX, gy / 2 - 1), QPoint(tickX, gy / 2 + 6), colors.ScaleColor);
    }

    // Horizontal positions: a single-precision accumulator, one step per point.
    const float step = record.SampleCount.get() != 0 ? float(gx) / float(kWaveformSamples) : 0.0f;
    std::array<int, kWaveformSamples> xs;
    float x = 0.0f;
    for (int k = 0; k < kWaveformSamples; ++k) {
        if (k > 0) x += step;
        xs[size_t(k)] = int(RoundHalfEven(x)) + 2;
    }

    std::array<QPoint, kWaveformSamples> points;
    TracePoints(record.CurrentSamples, currentZero, currentScale, mid, xs, points);
    DrawPixelPolyline(p, points.data(), kWaveformSamples, kCurrentTraceColor);
    TracePoints(record.VoltageSamples, voltageZero, voltageScale, mid, xs, points);
    DrawPixelPolyline(p, points.data(), kWaveformSamples, kVoltageTraceColor);

    p.setPen(kWaveformCaptionColor);
    p.setFont(QFont());
    DrawTextTopLeft(p, 5, H - 12, WaveformCaption(record));
    return voltageScale;
}
