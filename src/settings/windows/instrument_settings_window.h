#pragma once
// "Instrument settings" (TExternal_CT_form): the instrument's settings block
// of register 188 — angle difference and ratio of an external current
// transformer, ratio of an external voltage transformer, current bandwidth,
// THD algorithm, display filter and current range. Its buttons save the
// block, read it and fill in the factory values; every read reply of the
// block, also the one asked for when the port is opened, fills the controls
// through the reply handler. Created once and kept, shown non-modally; the
// calibration window switches range and bandwidth through it.

#include "acquisition/reply_sinks.h"
#include "appearance/windows/window_texts.h"
#include "settings/ct_settings_codec.h"
#include "settings/instrument_settings_commands.h"
#include "settings/instrument_settings_panel.h"

#include <QDialog>

class InstrumentRequests;
class MainWindowView;
class Notifier;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct AcquisitionState;

class InstrumentSettingsWindow : public QDialog,
                                 public InstrumentSettingsReplySink,
                                 public InstrumentSettingsPanel {
    Q_OBJECT
public:
    InstrumentSettingsWindow(AcquisitionState& state, InstrumentRequests& requests, MainWindowView& mainWindow,
                             Notifier& notifier, QWidget* parent = nullptr);

    // What the controls hold now.
    CtSettingsControls controls() const;
    QString statusText() const;

    void save();                // "Saved to instrument" (Button1)
    void readFromInstrument();  // "Read from instrument" (Button2)
    void restoreDefaults();     // "Default" (Button3): fills in, sends nothing

    // InstrumentSettingsReplySink
    void showSettings(const CtSettingsBlock& block) override;
    void showStatus(const QString& text) override;
    void readEnded(bool complete) override;
    void saveEnded(bool complete) override;

    // InstrumentSettingsPanel
    void selectBandwidth(int item) override;
    void selectLockedRange(int item) override;
    void pressDefault() override { restoreDefaults(); }
    void pressSave() override { save(); }

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildCurrentTransformerGroup();
    QWidget* buildVoltageTransformerGroup();
    QWidget* buildChoiceGroup(const char* name, const QString& caption, const QStringList& items,
                              QButtonGroup** buttons);
    QWidget* buildFilterGroup();
    QWidget* buildRangeGroup();
    // Every control but the reference frequency, which the block does not carry.
    void setControls(const CtSettingsControls& controls);
    void setRangeMode(CurrentRangeMode mode);

    InstrumentSettingsCommands commands_;
    QLineEdit* angleEdit_ = nullptr;          // Edit1
    QComboBox* frequencyList_ = nullptr;      // ComboBox3
    QLineEdit* currentRatioEdit_ = nullptr;   // Edit3
    QLineEdit* voltageRatioEdit_ = nullptr;   // Edit4
    QButtonGroup* bandwidthButtons_ = nullptr;  // RadioGroup1
    QButtonGroup* thdButtons_ = nullptr;        // RadioGroup2
    QComboBox* filterList_ = nullptr;         // ComboBox1
    QCheckBox* filterOnBox_ = nullptr;        // CheckBox1
    QButtonGroup* rangeModeButtons_ = nullptr;
    QRadioButton* autoRangeButton_ = nullptr;  // RadioButton1
    QRadioButton* lockRangeButton_ = nullptr;  // RadioButton2
    QLabel* rangeLabel_ = nullptr;            // Label11
    QComboBox* rangeList_ = nullptr;          // ComboBox2
    QLabel* statusPanel_ = nullptr;           // StatusBar1, its one panel
    WindowTexts texts_;
};
