#pragma once
// Narrow interfaces through which the reply handler reaches the windows that
// own a multi-step exchange. A window plugs in by implementing its interface
// and registering with ReplySinks; until then the handler still updates the
// shared record and simply has nobody to show it to.

#include <QString>

#include <cstdint>

struct CtSettingsBlock;

class AlarmReplySink {
public:
    virtual ~AlarmReplySink() = default;
    virtual void showLimitText(int field, const QString& text) = 0;  // field 1..8
    virtual void showEnableBits(uint8_t bits) = 0;
    virtual void showStatus(const QString& text) = 0;  // made visible and repainted at once
    // A read-out or a write of the limits has ended: complete with its last
    // step, or not (a step given up on or not sent).
    virtual void readOutEnded(bool complete) { (void)complete; }
    virtual void writeEnded(bool complete) { (void)complete; }
};

class InstrumentSettingsReplySink {
public:
    virtual ~InstrumentSettingsReplySink() = default;
    virtual void showSettings(const CtSettingsBlock& block) = 0;
    virtual void showStatus(const QString& text) = 0;
    // A read or a save of the block has ended: answered, or given up on.
    virtual void readEnded(bool complete) { (void)complete; }
    virtual void saveEnded(bool complete) { (void)complete; }
};

class CalibrationReplySink {
public:
    virtual ~CalibrationReplySink() = default;
    virtual void showVoltagePhase(const QString& text) = 0;
    virtual void showCurrentPhase(const QString& text) = 0;
    virtual bool angleToTimeChecked() const = 0;
    virtual void showNarrowbandPhase(const QString& text) = 0;
    virtual void showBroadbandPhase(const QString& text) = 0;
};

class StartingReplySink {
public:
    virtual ~StartingReplySink() = default;
    virtual void showStatus(const QString& text) = 0;
    virtual void drawStartingPlot() = 0;
};

struct ReplySinks {
    AlarmReplySink* alarm = nullptr;
    InstrumentSettingsReplySink* instrumentSettings = nullptr;
    CalibrationReplySink* calibration = nullptr;
    StartingReplySink* starting = nullptr;
};
