#pragma once
// The buttons of the instrument-settings window that talk to the instrument:
// "Saved to instrument" and "Read from instrument". What comes back is shown
// by the reply handler through the window's reply sink.

#include "settings/ct_settings_codec.h"

#include <QCoreApplication>
#include <QString>

class InstrumentRequests;
class MainWindowView;
class Notifier;
struct AcquisitionState;

class InstrumentSettingsCommands {
    Q_DECLARE_TR_FUNCTIONS(InstrumentSettingsCommands)

public:
    InstrumentSettingsCommands(AcquisitionState& state, InstrumentRequests& requests, MainWindowView& mainWindow,
                               Notifier& notifier);

    // Sends the block of the controls. An angle beyond 30 degrees either way
    // or a text that is no number is refused with a message; so is a closed
    // port, rather than pretending the block went out. When sent, CtSettings
    // holds the block and the main window's bandwidth panel shows it. Returns
    // the window's new status text, or a null text when nothing was sent.
    QString save(const CtSettingsControls& controls);

    // Asks for the block; a closed port is reported. Returns the window's
    // new status text, or a null text when nothing was sent.
    QString read();

private:
    AcquisitionState& state_;
    InstrumentRequests& requests_;
    MainWindowView& mainWindow_;
    Notifier& notifier_;
};
