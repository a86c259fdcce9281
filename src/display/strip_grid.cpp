#include "display/strip_grid.h"

#include "display/number_format.h"
#include "display/pixel_lines.h"

void DrawStripGrid(QPainter& painter, int width, int height, int phase, const QColor& color)
{
    const int plotHeight = height - 2 * kStripGridMargin;
    for (int i = 0; i <= kStripGridRows; ++i) {
        const int y = int(RoundHalfEven(plotHeight * i / double(kStripGridRows))) + kStripGridMargin;
        DrawPixelLine(painter, QPoint(0, y), QPoint(width, y), color, LineStyle::Dotted);
    }
    for (int n = 0; n <= width / kStripGridColumnSpacing; ++n) {
        const int x = kStripGridColumnSpacing * n + phase;
        DrawPixelLine(painter, QPoint(x, kStripGridMargin), QPoint(x, height - kStripGridMargin), color,
                      LineStyle::Dotted);
    }
}
