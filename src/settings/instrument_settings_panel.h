#pragma once
// What the calibration window may do to the instrument-settings window: set
// its controls and press its buttons, as a user would, so that range and
// bandwidth are switched through the one place that owns the settings block.

class InstrumentSettingsPanel {
public:
    virtual ~InstrumentSettingsPanel() = default;
    virtual void selectBandwidth(int item) = 0;    // "Current Bandwidth": 0 narrowband, 1 broadband
    virtual void selectLockedRange(int item) = 0;  // range list item 0..3, then "Lock"
    virtual void pressDefault() = 0;               // "Default"
    virtual void pressSave() = 0;                  // "Saved to instrument"
};
