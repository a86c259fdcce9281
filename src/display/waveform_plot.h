#pragma once
// The main window's waveform plot: a 10 x 8 division grid, the current trace
// scaled to about three divisions, the voltage trace to four, and a caption
// with the time, voltage and current per division.

#include "acquisition/acquisition_state.h"
#include "display/display_colors.h"

#include <QImage>
#include <QSize>
#include <QString>

// "SEC/DIV:8ms   Vol/DIV:50V   Amp/DIV:1A   Trigger Source:Vol" with the
// figures of the record; 8, 50 and 1 stand in when Frequency, Urms or Irms is
// not above zero.
QString WaveformCaption(const TestRecordImage& record);

// Draws the plot for a paint box of picSize into the top-left of surface.
// Returns the scale (pixels per count) the last trace was drawn with; the
// harmonic charts carry it on when they have no amplitude of their own.
float DrawWaveform(QImage& surface, const QSize& picSize, const TestRecordImage& record, const DisplayColors& colors);
