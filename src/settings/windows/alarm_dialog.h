#pragma once
// "报警值设定" (TAlarmForm): the instrument's eight alarm limits, an upper and
// a lower one for voltage, current, power and power factor, each with its
// "on" box. "读仪器数据" reads them, "保存到仪器" writes them; the window only
// starts each transfer, and the reply handler fills the fields and the red
// status line as the replies come in. Created once and kept, so the fields
// keep their values between showings. Modal, but without an event loop of
// its own: replies keep arriving while it is shown.

#include "acquisition/reply_sinks.h"
#include "appearance/windows/window_texts.h"
#include "settings/alarm_transfer.h"

#include <QDialog>

#include <array>

class InstrumentRequests;
class Notifier;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct AcquisitionState;

class AlarmDialog : public QDialog, public AlarmReplySink {
    Q_OBJECT
public:
    static constexpr int kWidth = 437;
    static constexpr int kHeight = 297;

    AlarmDialog(AcquisitionState& state, InstrumentRequests& requests, Notifier& notifier, QWidget* parent = nullptr);

    // The main window's "Alarm limits": starts a read-out and shows the window.
    void openAndReadOut();
    // "读仪器数据" (Button3), disabled while its read-out runs.
    void readInstrument();
    // "保存到仪器" (Button1). A box that holds no number stops the save
    // before anything is sent, with a message naming the box.
    void saveToInstrument();

    QString statusText() const;

    // AlarmReplySink
    void showLimitText(int field, const QString& text) override;
    void showEnableBits(uint8_t bits) override;
    void showStatus(const QString& text) override;
    void readOutEnded(bool complete) override;
    void writeEnded(bool complete) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void setButtonsEnabled(bool enabled);

    AlarmTransfer transfer_;
    Notifier& notifier_;
    std::array<QLineEdit*, kAlarmLimitCount> limitEdits_{};    // Edit1 .. Edit8
    std::array<QCheckBox*, kAlarmLimitCount> enableBoxes_{};  // CheckBox1 .. CheckBox8
    QLabel* statusLabel_ = nullptr;                            // Label7
    QPushButton* saveButton_ = nullptr;                        // Button1
    QPushButton* exitButton_ = nullptr;                        // Button2
    QPushButton* readButton_ = nullptr;                        // Button3
    bool readingOut_ = false;
    WindowTexts texts_;
};
