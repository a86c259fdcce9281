#pragma once
// Drives the program's transfers as a user does, through the windows'
// controls: an alarm save or read-out, a settings save or read, a calibration
// reference; tells when one has ended with its success text, and whether the
// values are the right ones, on the simulated instrument and in the windows.
// Shared by the end-to-end tests and the link benchmarks.

#include "acquisition/windows/program.h"
#include "pty_simulator.h"
#include "settings/windows/alarm_dialog.h"
#include "settings/windows/calibration_window.h"
#include "settings/windows/instrument_settings_window.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QString>

#include <array>
#include <cstring>
#include <vector>

class TransferDriver {
public:
    enum class Kind { AlarmSave, AlarmReadOut, SettingsSave, SettingsRead, CalibrationWrite };
    static constexpr std::array<Kind, 5> kKinds = {Kind::AlarmSave, Kind::AlarmReadOut, Kind::SettingsSave,
                                                   Kind::SettingsRead, Kind::CalibrationWrite};

    // The calibration reference needs the program started with --factory.
    TransferDriver(Program& program, sim::PtySimulator& simulator) : program_(program), simulator_(simulator) {}

    static const char* name(Kind kind)
    {
        switch (kind) {
        case Kind::AlarmSave: return "alarm save";
        case Kind::AlarmReadOut: return "alarm read-out";
        case Kind::SettingsSave: return "settings save";
        case Kind::SettingsRead: return "settings read";
        case Kind::CalibrationWrite: return "calibration write";
        }
        return "";
    }

    // Bytes of the transfer's requests and replies on the line.
    static int lineBytes(Kind kind)
    {
        switch (kind) {
        case Kind::AlarmSave: return 9 * (13 + 5);         // nine writes, nine acknowledgements
        case Kind::AlarmReadOut: return 9 * (8 + 9);       // nine reads of one value each
        case Kind::SettingsSave: return (9 + 19) + 5;      // the block and its acknowledgement
        case Kind::SettingsRead: return 8 + (5 + 19);      // a read and the block
        case Kind::CalibrationWrite: return 13 + 5;
        }
        return 0;
    }

    // Starts the transfer from its window; round makes the values its own.
    void begin(Kind kind, int round)
    {
        AlarmDialog& alarm = program_.alarmDialog();
        InstrumentSettingsWindow& settings = program_.instrumentSettingsWindow();
        switch (kind) {
        case Kind::AlarmSave:
            limits_ = {250.0f + round, 0.5f, 10.25f + round, 1.0f, 5000.0f + round, 10.0f, 0.95f, 0.125f};
            bits_ = uint8_t(0xA5 ^ round);
            for (int n = 0; n < 8; ++n) {
                edit(alarm, QStringLiteral("Edit%1").arg(n + 1))->setText(QString::number(double(limits_[size_t(n)])));
                child<QCheckBox>(alarm, QStringLiteral("CheckBox%1").arg(n + 1))->setChecked((bits_ >> n) & 1);
            }
            alarm.saveToInstrument();
            break;
        case Kind::AlarmReadOut:
            for (int n = 0; n < 8; ++n) edit(alarm, QStringLiteral("Edit%1").arg(n + 1))->setText(QStringLiteral("9999"));
            alarm.readInstrument();
            break;
        case Kind::SettingsSave:
            ratio_ = 1.5f + float(round);
            edit(settings, QStringLiteral("Edit3"))->setText(QString::number(double(ratio_)));
            settings.save();
            break;
        case Kind::SettingsRead:
            edit(settings, QStringLiteral("Edit3"))->setText(QStringLiteral("77"));
            settings.readFromInstrument();
            break;
        case Kind::CalibrationWrite:
            reference_ = float(100 + round);
            edit(program_.calibrationWindow(), QStringLiteral("Edit1"))->setText(QString::number(100 + round));
            child<QAbstractButton>(program_.calibrationWindow(), QStringLiteral("SeSkinButton1"))->click();
            break;
        }
    }

    // The transfer has ended with its success text (a calibration reference
    // has none: it has reached the instrument).
    bool done(Kind kind)
    {
        switch (kind) {
        case Kind::AlarmSave: return program_.alarmDialog().statusText() == QLatin1String("Data transmission completed.");
        case Kind::AlarmReadOut:
            return program_.alarmDialog().statusText() == QLatin1String("Successful synchronization") &&
                   child<QAbstractButton>(program_.alarmDialog(), QStringLiteral("Button3"))->isEnabled();
        case Kind::SettingsSave:
            return program_.instrumentSettingsWindow().statusText() ==
                   QLatin1String("Successfully write data to the instrument");
        case Kind::SettingsRead:
            return program_.instrumentSettingsWindow().statusText() == QLatin1String("Successful synchronization");
        case Kind::CalibrationWrite: return floatAt(simulator_.storedRegister(154)) == reference_;
        }
        return false;
    }

    // Empty when the values are where they belong; otherwise what is wrong.
    QString check(Kind kind)
    {
        switch (kind) {
        case Kind::AlarmSave:
            for (int n = 0; n < 8; ++n) {
                if (floatAt(simulator_.storedRegister(118 + n)) != limits_[size_t(n)])
                    return QStringLiteral("limit %1 not written as %2").arg(n + 1).arg(double(limits_[size_t(n)]));
            }
            if (simulator_.storedRegister(126).empty() || simulator_.storedRegister(126).front() != bits_)
                return QStringLiteral("enable bits not written");
            break;
        case Kind::AlarmReadOut:
            for (int n = 0; n < 8; ++n) {
                const QString shown = edit(program_.alarmDialog(), QStringLiteral("Edit%1").arg(n + 1))->text();
                if (program_.state().AlarmLimits[n] != limits_[size_t(n)] ||
                    shown != QString::number(double(limits_[size_t(n)])))
                    return QStringLiteral("limit %1 read as %2, not %3").arg(n + 1).arg(shown).arg(double(limits_[size_t(n)]));
            }
            if (program_.state().AlarmEnableBits != bits_) return QStringLiteral("enable bits read wrong");
            break;
        case Kind::SettingsSave:
            if (floatAt(simulator_.storedRegister(188), 4) != ratio_) return QStringLiteral("ratio not written");
            break;
        case Kind::SettingsRead: {
            const QString shown = edit(program_.instrumentSettingsWindow(), QStringLiteral("Edit3"))->text();
            if (shown != QString::number(double(ratio_))) return QStringLiteral("ratio read as %1").arg(shown);
            break;
        }
        case Kind::CalibrationWrite: break;
        }
        return QString();
    }

private:
    template <typename T> static T* child(QWidget& window, const QString& name)
    {
        T* found = window.findChild<T*>(name);
        if (!found) qFatal("no %s", qPrintable(name));
        return found;
    }
    static QLineEdit* edit(QWidget& window, const QString& name) { return child<QLineEdit>(window, name); }
    static float floatAt(const std::vector<uint8_t>& bytes, size_t offset = 0)
    {
        float value = 0;
        if (bytes.size() >= offset + 4) std::memcpy(&value, bytes.data() + offset, 4);  // little-endian, as the instrument
        return value;
    }

    Program& program_;
    sim::PtySimulator& simulator_;
    // What the instrument holds, as far as the transfers so far have set it
    // (its factory values until then).
    std::array<float, 8> limits_{300.0f, 0.0f, 20.0f, 0.0f, 6000.0f, 0.0f, 1.0f, 0.0f};
    uint8_t bits_ = 0;
    float ratio_ = 1.0f;
    float reference_ = 0.0f;
};
