#pragma once
// The dotted grid shared by the starting-test plot and the trend chart: ten
// rows over the plot height between 16-pixel margins, and a column every 20
// pixels, shifted right by phase (the trend chart's drift while recording).

#include <QColor>
#include <QPainter>

constexpr int kStripGridMargin = 16;
constexpr int kStripGridRows = 10;
constexpr int kStripGridColumnSpacing = 20;

// W and H: the paint box; the plot height is H - 32.
void DrawStripGrid(QPainter& painter, int width, int height, int phase, const QColor& color);
