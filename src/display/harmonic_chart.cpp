#include "display/harmonic_chart.h"

#include "display/number_format.h"
#include "display/pixel_lines.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFullScaleY = 15;  // the 100 % line
constexpr int kHighestOrder = kHarmonicCount - 1;
constexpr int kScaleSteps = 10;
constexpr int kLabelDrop = 6;    // labels stand this far below the baseline
constexpr int kPixelLimit = 1 << 20;

// trunc(fullHeight * a / largest). Dividing last keeps the largest bar exactly
// at full height (fullHeight / largest * largest can fall a hair short and be
// truncated one pixel low). Non-numbers give no bar; huge values are clamped
// so that coordinates stay integers.
int BarHeight(int fullHeight, float amplitude, float largest)
{
    const double h = std::trunc(double(fullHeight) * double(amplitude) / double(largest));
    if (std::isnan(h)) return 0;
    return int(std::clamp(h, double(-kPixelLimit), double(kPixelLimit)));
}

} // namespace

void DrawHarmonicChart(QImage& surface, const QSize& picSize, const le::F32 (&amplitudes)[kHarmonicCount],
                       const QColor& barColor, const DisplayColors& colors, float& carriedScale)
{
    const int W = picSize.width();
    const int H = picSize.height();
    const int gy = H - 6;
    const int bw = W - 14;
    const int y0 = int(std::trunc(gy * 0.9));
    const int fullHeight = y0 - kFullScaleY;

    float largest = 0.0f;
    for (const le::F32& a : amplitudes) largest = std::max(largest, a.get());  // NaN never wins
    if (largest != 0) carriedScale = float(double(fullHeight) / double(largest));

    if (surface.isNull()) return;
    QPainter p(&surface);
    p.fillRect(QRect(0, 0, W, H), colors.GraphBackgroundColor);

    // Baseline, 2 pixels wide: rows y0 - 1 and y0, from x = 2 up to W - 3.
    if (W - 5 > 0) p.fillRect(QRect(2, y0 - 1, W - 5, 2), colors.ScaleColor);

    p.setPen(kChartLabelColor);
    p.setFont(QFont());
    // Ticks take the pen colour in force: the scale colour before the first
    // bar, the bar colour after it.
    QColor tickColor = colors.ScaleColor;
    for (int n = 0; n <= kHighestOrder; ++n) {
        const int x = int(RoundHalfEven(n * bw / 50.0)) + 2;
        const QPoint tickTop(x + 5, y0 - 1);
        const QPoint tickEnd(x + 5, y0 + 3);
        if (n == 0) {
            DrawTextTopLeft(p, x + 1, y0 + kLabelDrop, QStringLiteral("0"));
            DrawPixelLine(p, tickTop, tickEnd, tickColor);
            for (int u = 0; u < kScaleSteps; ++u) {
                const int y = fullHeight * u / kScaleSteps + kFullScaleY;
                DrawPixelLine(p, QPoint(3, y), QPoint(x + 5, y), colors.ScaleColor);
                DrawPixelLine(p, QPoint(x + 5, y), QPoint(W - 3, y), colors.ScaleColor, LineStyle::Dotted);
            }
            DrawTextTopLeft(p, 1, 1, QStringLiteral("100%"));
        } else if (n == 5) {
            DrawTextTopLeft(p, x + 2, y0 + kLabelDrop, QStringLiteral("5"));
            DrawPixelLine(p, tickTop, tickEnd, tickColor);
        } else if (n % 5 == 0) {
            DrawTextTopLeft(p, x - 1, y0 + kLabelDrop, QString::number(n));
            DrawPixelLine(p, tickTop, tickEnd, tickColor);
        }

        const int h = largest != 0 ? BarHeight(fullHeight, amplitudes[n].get(), largest) : 0;
        DrawOutlinedRect(p, x + 5, y0 - h, x + 7, y0, barColor, colors.GraphBackgroundColor);
        tickColor = barColor;
    }
}
