#include "recording/recorder.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/notifier.h"
#include "recording/ole_date.h"
#include "recording/record_window_view.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

using Control = RecordWindowView::Control;

const char* const kRecordCaption = QT_TRANSLATE_NOOP("Recorder", "Record");

} // namespace

Recorder::Recorder(const AcquisitionState& acquisition, const RecordSettings& settings, RecordWindowView& view,
                   Notifier& notifier, QObject* parent)
    : QObject(parent),
      clock(OleDateNow),
      acquisition_(acquisition),
      view_(view),
      notifier_(notifier),
      liveCodes_(settings.channelCodes)
{
    samplingTimer_.setObjectName(QStringLiteral("Timer1"));
    saveTimer_.setObjectName(QStringLiteral("TimerSave"));
    samplingTimer_.setParent(this);
    saveTimer_.setParent(this);
    connect(&samplingTimer_, &QTimer::timeout, this, &Recorder::samplingTick);
    connect(&saveTimer_, &QTimer::timeout, this, &Recorder::saveTick);

    applySettings(settings, StepTextForm::Creation);
    setStartEnabled(false);
    setStopEnabled(false, false);
    setSettingsEnabled(true);
    view_.setGridTimerEnabled(false);
}

void Recorder::applySettings(const RecordSettings& settings, StepTextForm form)
{
    settings_ = settings;
    samplingTimer_.setInterval(settings_.samplingIntervalMs());
    saveTimer_.setInterval(settings_.saveIntervalMs());
    view_.setStatusText(RecordWindowView::StepPanel, SamplingStepText(settings_.samplingStep, form));
    view_.setStatusText(RecordWindowView::SaveStepPanel, SaveStepText(settings_.saveStep, form));
    for (int ch = 0; ch < kRecordChannelCount; ++ch)
        view_.setChannelLabel(ch, QuantityLabelText(settings_.channelCodes[size_t(ch)]));
}

bool Recorder::newRecordFile(const QString& path)
{
    if (QFileInfo::exists(path)
        && notifier_.question(tr("File already exists, overwrite?"), tr("File exists"))
               != Notifier::Answer::Yes)
        return false;

    if (!leaveCurrentFile()) return false;

    QString error;
    if (!writer_.create(path, settings_.channelCodes, settings_.samplingStep, &error)) {
        notifier_.message(tr("Could not create the record file %1:\n%2").arg(path, error), tr(kRecordCaption),
                          Notifier::Icon::Error);
        return false;
    }
    live_.count = 0;
    liveCodes_ = settings_.channelCodes;
    savedCount_ = 0;
    fileUpToDate_ = true;
    saveFailureReported_ = false;
    recordDataReady_ = true;

    setStartEnabled(true);
    if (state_ != State::Recording) {
        // Whatever ran for the previous file (the grid while full, saving
        // after sampling was lost, a retried save) has nothing left to do.
        samplingTimer_.stop();
        saveTimer_.stop();
        view_.setGridTimerEnabled(false);
        setStopEnabled(false, false);
        setSettingsEnabled(true);
        state_ = State::FileReady;
    }
    // While recording the settings stay out of reach: the timers run on, and
    // the intervals and codes must not change under them.
    view_.setStatusText(RecordWindowView::ModePanel, tr("Recording"));
    return true;
}

void Recorder::start()
{
    if (acquisition_.SamplingMode != SamplingContinuous) {
        notifier_.message(
            tr("To start the recording must be in continuous sampling mode, records do not start!"));
        return;
    }
    if (!recordDataReady_ || !writer_.hasFile()) {
        notifier_.message(tr("Please Create a new record file !"));
        return;
    }
    // A file without samples takes the settings the samples are taken with,
    // so its codes name what it holds even when the settings changed after
    // New.
    if (live_.count == 0) {
        writer_.setFileFields(settings_.channelCodes, settings_.samplingStep);
        liveCodes_ = settings_.channelCodes;
        fileUpToDate_ = false;
    }
    if (!samplingTimer_.isActive()) samplingTimer_.start();
    if (!saveTimer_.isActive()) saveTimer_.start();
    view_.setGridTimerEnabled(true);
    setSettingsEnabled(false);
    setStartEnabled(false);
    setStopEnabled(true, true);
    view_.showLiveRecordFromStart();
    state_ = State::Recording;
}

void Recorder::stop()
{
    if (state_ != State::Recording && state_ != State::Full && state_ != State::SamplingLost) return;
    samplingTimer_.stop();
    saveTimer_.stop();
    view_.setGridTimerEnabled(false);
    setStopEnabled(false, false);
    setSettingsEnabled(true);
    setStartEnabled(false);  // recording again needs a new file
    state_ = State::Stopped;
    finalSave();
}

void Recorder::noteRecordOpened()
{
    recordDataReady_ = true;
    setSettingsEnabled(false);
}

void Recorder::samplingTick()
{
    if (state_ != State::Recording) return;  // a tick that was already on its way
    if (acquisition_.SamplingMode == SamplingContinuous) {
        if (live_.count >= kRecordCapacity) {
            enterFull();
        } else {
            refreshValueTable();
            const int32_t i = live_.count;
            for (int ch = 0; ch < kRecordChannelCount; ++ch)
                live_.data.channel(ch)[i] = valueTable_[size_t(settings_.channelCodes[size_t(ch)])];
            live_.data.times()[i] = clock();
            live_.count = i + 1;
            fileUpToDate_ = false;
            if (live_.count == kRecordCapacity) enterFull();
        }
    } else {
        enterSamplingLost();
    }
    view_.redrawTrendChart();
}

void Recorder::saveTick()
{
    if (!recordDataReady_ || !writer_.hasFile()) return;
    // Nothing new since the last save (sampling lost, or a pause in
    // sampling): the block on disk is already what it would write.
    if (fileUpToDate_ && state_ != State::Recording) return;
    // After Stop or at the limit the timer only runs to retry a failed save.
    if (saveNow() && (state_ == State::Stopped || state_ == State::Full)) saveTimer_.stop();
}

void Recorder::refreshValueTable()
{
    for (int code = 0; code < kMeasuredQuantityCount; ++code)
        valueTable_[size_t(code)] = QuantityValue(acquisition_.TestRecord, code);
}

void Recorder::enterFull()
{
    samplingTimer_.stop();
    saveTimer_.stop();
    setStartEnabled(false);
    setStopEnabled(false, true);
    state_ = State::Full;
    finalSave();
    notifier_.message(
        tr("Recorded data has exceeded the maximum file limit, create a new file and start again."));
}

void Recorder::enterSamplingLost()
{
    samplingTimer_.stop();
    state_ = State::SamplingLost;
    finalSave();
    notifier_.message(tr("You have to stop the continuous sampling, record stop!"));
    setStopEnabled(false, true);
}

const std::array<int32_t, kRecordChannelCount>& Recorder::liveRecordCodes() const
{
    return writer_.hasFile() ? liveCodes_ : settings_.channelCodes;
}

bool Recorder::trySave(QString* error)
{
    const RecordFileWriter::SaveResult result = writer_.save(live_);
    if (result.ok) {
        lastSaveBlockWrites_ = result.blockWrites;
        savedCount_ = live_.count;
        fileUpToDate_ = true;
        saveFailureReported_ = false;
        return true;
    }
    fileUpToDate_ = false;
    *error = result.error;
    return false;
}

bool Recorder::saveNow()
{
    QString error;
    if (trySave(&error)) return true;
    if (!saveFailureReported_) {
        saveFailureReported_ = true;
        notifier_.message(tr("Could not save the record file %1:\n%2\n"
                                         "The samples are kept in memory; saving is tried again at the next "
                                         "save step.")
                              .arg(writer_.fileName(), error),
                          tr(kRecordCaption), Notifier::Icon::Error);
    }
    return false;
}

bool Recorder::leaveCurrentFile()
{
    if (fileUpToDate_ || !writer_.hasFile()) return true;
    QString error;
    if (trySave(&error)) return true;
    // Starting the new file empties the live record, and with it the only
    // copy of the samples the file lacks; the user decides, knowing how many.
    const int32_t unsaved = live_.count - savedCount_;
    if (unsaved <= 0) return true;
    const QString samples = unsaved == 1 ? tr("1 sample is") : tr("%1 samples are").arg(unsaved);
    const Notifier::Answer answer = notifier_.question(
        tr("The record file %1 could not be saved:\n%2\n%3 not on disk and will be lost.\n\n"
                       "Start the new record file anyway?\n"
                       "(No keeps the current record; saving it is tried again at each save step.)")
            .arg(writer_.fileName(), error, samples),
        tr(kRecordCaption));
    if (answer == Notifier::Answer::Yes) return true;
    // The user has been told; the save timer keeps trying, as after Stop.
    saveFailureReported_ = true;
    if (!saveTimer_.isActive()) saveTimer_.start();
    return false;
}

void Recorder::flush()
{
    if (state_ == State::Recording) {
        stop();
        return;
    }
    finalSave();
}

void Recorder::finalSave()
{
    if (fileUpToDate_ || !writer_.hasFile()) return;
    if (!saveNow() && !saveTimer_.isActive()) saveTimer_.start();
}

void Recorder::setStartEnabled(bool enabled)
{
    view_.setControlEnabled(Control::StartButton, enabled);
    view_.setControlEnabled(Control::StartItem, enabled);
}

void Recorder::setStopEnabled(bool button, bool item)
{
    view_.setControlEnabled(Control::StopButton, button);
    view_.setControlEnabled(Control::StopItem, item);
}

void Recorder::setSettingsEnabled(bool enabled)
{
    view_.setControlEnabled(Control::SettingsButton, enabled);
    view_.setControlEnabled(Control::SettingsItem, enabled);
}
