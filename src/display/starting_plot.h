#pragma once
// The plot of a starting-test capture: 2551 voltage and current samples shown
// from a start offset with a step of samples per pixel, over a dotted grid,
// with the voltage and current peaks written underneath.

#include "acquisition/acquisition_state.h"
#include "display/display_colors.h"

#include <QImage>
#include <QSize>
#include <QString>

constexpr int kStartingSurfaceWidth = 2400;
constexpr int kStartingSurfaceHeight = 1600;
constexpr int kStartingPlotSamples = 2551;  // capture indices 8 .. 2558

// Largest deviation from the zero level, in counts, over the plotted samples.
struct StartingPeaks {
    int voltage = 0;
    int current = 0;
};
StartingPeaks FindStartingPeaks(const StartingCaptureImage& capture, uint16_t voltageZero, uint16_t currentZero);

// Number of points drawn: (2550 - startOffset) div step, at most plotWidth,
// never below 0. A step below 1 counts as 1.
int StartingPointCount(int startOffset, int step, int plotWidth);

// name + peak * scaleFactor rounded to two decimals + unit, e.g.
// "Voltage peak310.5V".
QString StartingPeakText(const char* name, int peakCounts, float scaleFactor, const char* unit);

// Draws the whole plot into startingSurface (2400 x 1600) for a paint box of
// picSize; screenSize is the rectangle cleared. startOffset is clamped to
// 0..2550 and step to at least 1 so that no sample outside the capture is
// read.
void DrawStartingPlot(QImage& startingSurface, const QSize& picSize, const QSize& screenSize,
                      const StartingCaptureImage& capture, uint16_t voltageZero, uint16_t currentZero,
                      int startOffset, int step, const DisplayColors& colors);
