#pragma once
// Everything the main window shows from the shared record: the fifteen
// readouts, the waveform plot and the two harmonic charts. The plots are drawn
// off screen into three surfaces the size of half the screen; the paint boxes
// only copy PlotRect of their surface when they are painted, so a repaint
// never redraws a plot.

#include "acquisition/acquisition_state.h"
#include "display/display_colors.h"
#include "display/harmonic_chart.h"
#include "display/readout_panels.h"
#include "display/waveform_plot.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <array>

// The three off-screen surfaces, created once at (screen width div 2) x
// (screen height div 2) and never resized. They stay null for an empty screen
// size; drawing into a null surface is skipped.
class MainSurfaces : public MainSurfaceFactory {
public:
    // Creates the surfaces unless they exist; once created, they are kept as
    // they are whatever size later calls give.
    void createMainSurfaces(const QSize& screenSize) override;

    QImage WaveSurface;             // shown in Pic1
    QImage VoltageHarmonicSurface;  // shown in Pic2
    QImage CurrentHarmonicSurface;  // shown in Pic3
};

// What RedrawMainDisplay needs of the main window.
class MainDisplayView {
public:
    virtual ~MainDisplayView();
    // Size of Pic1; Pic2 and Pic3 have the same size.
    virtual QSize plotSize() const = 0;
    // Texts of the fifteen readouts, indexed by ReadoutPanel.
    virtual void showReadouts(const std::array<QString, kReadoutPanelCount>& texts) = 0;
    // The three surfaces hold new pictures: the paint boxes should repaint
    // (copy PlotRect of their surface).
    virtual void plotsChanged() = 0;
};

// Refreshes the main window from state.TestRecord: readouts, waveform plot,
// voltage harmonic chart, current harmonic chart, in that order. Sets
// state.PlotRect to (0, 0, width of Pic1, height of Pic1). Replaces a
// ReactivePower that is not a number by 0 in the record.
void RedrawMainDisplay(AcquisitionState& state, MainSurfaces& surfaces, const DisplayColors& colors,
                       MainDisplayView& view);
