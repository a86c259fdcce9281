#pragma once
// The record settings dialog (TRecSetForm, caption "Record Seting"): the
// quantity of each of the six channels, the sampling step and the save step.
// Created once per run; its lists keep their selection between showings, so
// what the user changed before "Cancel" is still there next time. "Enter"
// stores the settings in SysSet.ini and puts them into effect in the record
// window at once.

#include "appearance/windows/window_texts.h"

#include <QDialog>

#include <array>

class Notifier;
class QComboBox;
class Recorder;
class SysSettings;

class RecordSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Selects in the lists what SysSet.ini holds (a value the lists do not
    // have, such as the 30 s sampling step, leaves its list unselected).
    RecordSettingsDialog(SysSettings& settings, Recorder& recorder, Notifier& notifier, QWidget* parent = nullptr);

    // "Enter": stores, applies, warns about temperature channels, closes.
    void enter();

protected:
    void changeEvent(QEvent* event) override;

private:
    SysSettings& settings_;
    Recorder& recorder_;
    Notifier& notifier_;
    std::array<QComboBox*, 6> channelLists_{};  // ComboBox3 .. ComboBox8
    QComboBox* samplingStepList_ = nullptr;     // ComboBox2
    QComboBox* saveStepList_ = nullptr;         // ComboBox1
    QComboBox* temperatureList_ = nullptr;      // ComboBox9
    WindowTexts texts_;
};
