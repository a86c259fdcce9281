#pragma once
// "CalibrateForm" (TCalibrateForm): the factory tool that tells the
// instrument which reference voltage and current are applied at its input,
// sets its narrowband and broadband phase corrections and its temperature
// compensation, and shows the measured phases of voltage and current after
// every sampling. Range and bandwidth are switched through the
// instrument-settings window, sampling through the main window's toolbar
// buttons. Created once and kept, shown non-modally; reached only when the
// program runs with --factory.

#include "acquisition/reply_sinks.h"
#include "appearance/windows/window_texts.h"
#include "settings/calibration_commands.h"

#include <QDialog>
#include <QList>

#include <functional>

class InstrumentSettingsPanel;
class QAction;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CalibrationWindow : public QDialog, public CalibrationReplySink {
    Q_OBJECT
public:
    // The main window's toolbar buttons that "单次测试", "连续测试" and "停止"
    // press. A press the main window would refuse (its button is off: no
    // port, or sampling already under way) goes to `refused`, which lets the
    // main window show why.
    struct SamplingButtons {
        QAction* single = nullptr;
        QAction* continuous = nullptr;
        QAction* stop = nullptr;
        std::function<void(QAction* refusedButton)> refused;
    };

    CalibrationWindow(InstrumentRequests& requests, CalibrationCommands::PortOpener openPort, Notifier& notifier,
                      SamplingButtons sampling, QWidget* parent = nullptr);

    // The instrument-settings window, created after this one. Until it is
    // set, the band, range and factory buttons are disabled.
    void setInstrumentSettings(InstrumentSettingsPanel* panel);

    // CalibrationReplySink
    void showVoltagePhase(const QString& text) override;
    void showCurrentPhase(const QString& text) override;
    bool angleToTimeChecked() const override;
    void showNarrowbandPhase(const QString& text) override;
    void showBroadbandPhase(const QString& text) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    QGroupBox* buildVoltageGroup();
    QGroupBox* buildCurrentGroup();
    QWidget* buildPhaseRows(QWidget* parent);
    QGroupBox* buildTemperatureGroup();
    QPushButton* addButton(QWidget* parent, const QString& text, const QString& name = QString());
    QPushButton* addSamplingButton(const char* name, const QString& text, QAction* action,
                                   const std::function<void(QAction*)>& refused);
    // A step button of a phase row: the row's edit takes from's number plus
    // step, then the row is written.
    QPushButton* addStepButton(QWidget* parent, const QString& text, uint16_t reg, QLineEdit* from, double step);
    void writePhase(uint16_t reg);
    QLineEdit* phaseEdit(uint16_t reg) const;
    // Presses controls of the instrument-settings window, then its save.
    void driveInstrumentSettings(const std::function<void(InstrumentSettingsPanel&)>& setUp);

    CalibrationCommands commands_;
    InstrumentSettingsPanel* instrumentSettings_ = nullptr;
    QLineEdit* voltageEdit_ = nullptr;      // Edit1
    QLineEdit* currentEdit_ = nullptr;      // Edit2
    QLineEdit* narrowbandEdit_ = nullptr;   // Edit7
    QLineEdit* broadbandEdit_ = nullptr;    // Edit8
    QLabel* voltagePhaseLabel_ = nullptr;   // Label8
    QLabel* currentPhaseLabel_ = nullptr;   // Label9
    QCheckBox* angleToTimeBox_ = nullptr;   // CheckBox1
    QList<QPushButton*> settingsButtons_;   // need the instrument-settings window
    WindowTexts texts_;
};
