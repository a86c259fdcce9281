#pragma once
// The calibration window's requests: the reference voltage and current
// (registers 154, 158), the unlock code (185), the temperature commands
// (166) and the narrowband and broadband phase corrections (167, 168).
// The instrument calibrates itself against these values; its
// acknowledgements carry nothing the window shows.

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class InstrumentRequests;
class Notifier;

// Phase corrections travel as the angle's share of one 50 Hz period, in
// seconds; the instrument gives them back the same way (read-back x 18000).
float PhaseAngleToSeconds(double degrees);

constexpr double kMaxPhaseCorrection = 30.0;  // degrees, either way; both ends allowed

enum class TemperatureCommand : uint8_t {
    CalibrateRoomTemperature = 0,  // "校准常温"
    CalibrateLowTemperature = 1,   // "校准低温"
    CompensationOff = 2,           // "关闭温度补偿"
    CompensationOn = 3,            // "开启温度补偿"
};

class CalibrationCommands {
    Q_DECLARE_TR_FUNCTIONS(CalibrationCommands)

public:
    // Opens the serial port when it is closed; false with the reason when it
    // cannot be opened.
    using PortOpener = std::function<bool(QString* reason)>;

    CalibrationCommands(InstrumentRequests& requests, PortOpener openPort, Notifier& notifier);

    // The reference value applied at the input (empty text: 0). A closed port
    // is opened first; a text that is no number or a port that will not open
    // is reported and nothing is sent.
    void calibrateVoltage(const QString& text);
    void calibrateCurrent(const QString& text);

    void unlock();
    void sendTemperatureCommand(TemperatureCommand command);

    // reg is 167 (narrowband) or 168 (broadband). The angle (empty text: 0)
    // must lie within 30 degrees either way.
    void writePhase(uint16_t reg, const QString& text);
    void readPhase(uint16_t reg);

    // The text of a phase edit after a step button: the number in text (the
    // edit of row reg) plus step, in general form. A text that is no number,
    // an empty one included, is reported and gives nothing.
    std::optional<QString> steppedPhase(uint16_t reg, const QString& text, double step);

private:
    std::optional<double> typedValue(const QString& caption, const QString& text, bool emptyIsZero);
    void calibrate(uint16_t reg, const QString& caption, const QString& text);
    void reportNotConnected();

    InstrumentRequests& requests_;
    PortOpener openPort_;
    Notifier& notifier_;
};
