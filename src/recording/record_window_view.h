#pragma once
// What the recorder may do to the record window. The window implements it;
// tests use a recording fake.

#include <QString>

class RecordWindowView {
public:
    // Each control names a tool button or a menu item on its own, because a
    // few states enable one and not the other.
    enum class Control {
        StartButton,     // SeSkinSpeedButton5
        StartItem,       // "Operating (&R)" / "Start" (N16)
        StopButton,      // SeSkinSpeedButton6
        StopItem,        // "Stop" (N17)
        SettingsButton,  // SeSkinSpeedButton4
        SettingsItem,    // "Options (&O)" / "Seting" (N13)
    };

    // Panels of StatusBar1.
    enum Panel {
        StepPanel = 0,
        SaveStepPanel = 1,
        StartPanel = 2,
        EndPanel = 3,
        LengthPanel = 4,
        ModePanel = 5,
        RangePanel = 6,
    };

    virtual ~RecordWindowView() = default;

    virtual void setControlEnabled(Control control, bool enabled) = 0;
    virtual void setStatusText(int panel, const QString& text) = 0;
    // Label7 .. Label12: the quantity of CH1 .. CH6.
    virtual void setChannelLabel(int channel, const QString& text) = 0;
    // GridTimer runs while recording; its interval belongs to the view (zoom).
    virtual void setGridTimerEnabled(bool enabled) = 0;
    // Start of a recording: the chart shows the live record from its newest
    // sample at zoom 1 (see ShowLiveRecordFromStart).
    virtual void showLiveRecordFromStart() = 0;
    virtual void redrawTrendChart() = 0;
};
