#pragma once
// The recorder: while the main window samples continuously, copies the six
// chosen quantities out of AcquisitionState at the sampling step into the
// live record and brings the record file up to date at the save step.
//
// States and what the window shows in each:
//   state          Start     Stop (button / item)   settings   timers
//   NoFile         off       off / off              on         none
//   FileReady      on        off / off              on         none
//   Recording      off       on / on                off        sampling, save, grid
//   Stopped        off       off / off              on         none
//   Full           off       off / on               off        grid
//   SamplingLost   off       off / on               off        save, grid
// New is accepted in every state and starts the live record again at sample
// 0: in Recording the timers keep running into the new file (and Start is
// enabled again), from every other state it leads to FileReady.
//
// The file holds every sample taken: Stop, reaching 450000 samples and
// losing continuous sampling each save at once, as does New for the file it
// leaves. A save that fails is reported once, with the file's name and the
// system's reason, until a save succeeds again; recording in memory goes on
// and the save timer tries again (after Stop or at the limit it keeps
// running, unseen, until the file is up to date). New while the file it
// leaves cannot be brought up to date asks first, saying how many samples
// are not on disk: Yes starts the new file (they are lost), No keeps the
// record and its retries.

#include "recording/record_arrays.h"
#include "recording/record_settings.h"
#include "recording/record_writer.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>

struct AcquisitionState;
class Notifier;
class RecordWindowView;

class Recorder : public QObject {
    Q_OBJECT

public:
    enum class State { NoFile, FileReady, Recording, Stopped, Full, SamplingLost };

    // Shows the creation state: the settings' intervals, the creation-time
    // step texts in panels 0 and 1, the channel labels, Start and Stop
    // disabled. The timers are children found by the object names "Timer1"
    // (sampling) and "TimerSave".
    Recorder(const AcquisitionState& acquisition, const RecordSettings& settings, RecordWindowView& view,
             Notifier& notifier, QObject* parent = nullptr);

    // Applies settings: both timers' intervals, the step texts of panels 0
    // and 1 in the given form and the six channel labels.
    void applySettings(const RecordSettings& settings, StepTextForm form);
    const RecordSettings& settings() const { return settings_; }

    // New, once the user has chosen `path` in the save dialog. Asks before
    // replacing an existing file, and before leaving samples that could not
    // be saved. False when the user declined or the file could not be
    // created (reported); nothing has changed then.
    bool newRecordFile(const QString& path);
    void start();
    void stop();
    // Writes every sample taken to the file whatever the state (a recording
    // is stopped first); for the program's exit.
    void flush();
    // A record file was opened in the viewer: there is data to draw, and the
    // settings are out of reach until the next New or Stop.
    void noteRecordOpened();

    // Timer ticks, public so that tests and the window can drive them.
    void samplingTick();
    void saveTick();

    State state() const { return state_; }
    bool recordDataReady() const { return recordDataReady_; }
    const LiveRecord& liveRecord() const { return live_; }
    // Samples in the file after its last good save.
    int32_t savedCount() const { return savedCount_; }
    // The quantity on each channel of the live record: what its samples were
    // taken as (the settings may have changed since Stop); before the first
    // sample what its file was created with, and without a file the settings.
    const std::array<int32_t, kRecordChannelCount>& liveRecordCodes() const;
    const QString& fileName() const { return writer_.fileName(); }
    const QTimer& samplingTimer() const { return samplingTimer_; }
    const QTimer& saveTimer() const { return saveTimer_; }
    // Block writes of the last save that reached the file.
    int lastSaveBlockWrites() const { return lastSaveBlockWrites_; }

    // The time stamped on each sample, as an OLE date; the local clock unless
    // a test sets another.
    std::function<double()> clock;

private:
    void refreshValueTable();
    void enterFull();
    void enterSamplingLost();
    // Saves and reports a failure unless already reported; true when the
    // file is now up to date.
    bool saveNow();
    // Saves without reporting; false with the system's reason in *error.
    bool trySave(QString* error);
    // Before New leaves the current file: true when every sample taken is
    // on disk, or the user agreed to lose those that could not be saved.
    bool leaveCurrentFile();
    // The save at Stop, the limit and the loss of sampling; keeps the save
    // timer running while it fails.
    void finalSave();
    void setStartEnabled(bool enabled);
    void setStopEnabled(bool button, bool item);
    void setSettingsEnabled(bool enabled);

    const AcquisitionState& acquisition_;
    RecordWindowView& view_;
    Notifier& notifier_;
    RecordSettings settings_;
    LiveRecord live_;
    RecordFileWriter writer_;
    std::array<float, kQuantityCodeCount> valueTable_{};
    QTimer samplingTimer_;
    QTimer saveTimer_;
    State state_ = State::NoFile;
    bool recordDataReady_ = false;
    bool fileUpToDate_ = true;
    bool saveFailureReported_ = false;
    int32_t savedCount_ = 0;  // samples in the file after the last good save
    std::array<int32_t, kRecordChannelCount> liveCodes_{};
    int lastSaveBlockWrites_ = 0;
};
