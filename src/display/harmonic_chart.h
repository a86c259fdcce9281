#pragma once
// A harmonic bar chart: the 51 amplitudes of orders 0..50 as 2-pixel bars over
// a baseline, scaled so that the largest reaches the 100 % line, with a
// ten-step percentage scale and order labels every five orders.

#include "acquisition/acquisition_state.h"
#include "display/display_colors.h"

#include <QImage>
#include <QSize>

// Draws the chart for a paint box of picSize into the top-left of surface.
// carriedScale is the scale running through a redraw: it becomes
// (bar height of 100 %) / (largest amplitude) when some amplitude is above 0,
// and is passed on unchanged otherwise. With no amplitude above 0 no bar has
// any height, also where an amplitude is negative, because a scale left over
// from another plot would give such bars a meaningless size.
void DrawHarmonicChart(QImage& surface, const QSize& picSize, const le::F32 (&amplitudes)[kHarmonicCount],
                       const QColor& barColor, const DisplayColors& colors, float& carriedScale);
