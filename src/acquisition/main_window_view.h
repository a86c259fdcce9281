#pragma once
// What the core controllers (sampling, reply handling, port discovery) may do
// to the main window. The window implements it; tests use a recording fake.

#include <QString>

class MainWindowView {
public:
    // Controls whose enabled state the controllers change.
    enum class Control {
        SingleButton,      // SeSkinSpeedButton7
        ContinuousButton,  // SeSkinSpeedButton8
        StopButton,        // SeSkinSpeedButton9
        SingleItem,        // N12 "Single sampling"
        ContinuousItem,    // N13 "Continuous  sampling"
        StopItem,          // N14 "Stop  "
        CommSettingsItem,  // "Program communication settings "
    };

    // Status bar panels.
    enum Panel { LinkPanel = 0, BandwidthPanel = 1, CommunicationPanel = 2, DatePanel = 4 };

    virtual ~MainWindowView() = default;

    virtual void setStatusText(int panel, const QString& text) = 0;
    virtual void setControlEnabled(Control control, bool enabled) = 0;
    // ProgressBar1 (range 0..50): set and show; it fills while a reply
    // comes in.
    virtual void setProgress(int value) = 0;
    // RedrawMainDisplay: readouts, waveform and both harmonic charts.
    virtual void redrawMainDisplay() = 0;
};

// Enables or disables the four sampling controls that port discovery governs:
// the single and continuous buttons and their menu items.
inline void SetSamplingControlsEnabled(MainWindowView& view, bool enabled)
{
    view.setControlEnabled(MainWindowView::Control::SingleButton, enabled);
    view.setControlEnabled(MainWindowView::Control::ContinuousButton, enabled);
    view.setControlEnabled(MainWindowView::Control::SingleItem, enabled);
    view.setControlEnabled(MainWindowView::Control::ContinuousItem, enabled);
}
