#include "acquisition/sampling_controller.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/main_window_view.h"
#include "acquisition/notifier.h"
#include "link/register_map.h"

#include <QCoreApplication>

namespace {

using Control = MainWindowView::Control;

void setUpTimer(QTimer& timer, const char* name, int intervalMs)
{
    timer.setObjectName(QString::fromLatin1(name));
    timer.setInterval(intervalMs);
}

// Enabling a timer that already runs leaves its countdown alone, as a
// window timer's Enabled flag does; QTimer::start would restart it.
void enable(QTimer& timer)
{
    if (!timer.isActive()) timer.start();
}

} // namespace

SamplingController::SamplingController(AcquisitionState& state, InstrumentRequests& requests, MainWindowView& view,
                                       Notifier& notifier, QObject* parent)
    : QObject(parent),
      state_(state),
      requests_(requests),
      view_(view),
      notifier_(notifier),
      continuousReadTimer_(this),
      mOpenTimer_(this)
{
    setUpTimer(continuousReadTimer_, "ContinuousReadTimer", kContinuousReadIntervalMs);
    setUpTimer(mOpenTimer_, "MOpenTimer", kRecordFileHandOverMs);
    connect(&continuousReadTimer_, &QTimer::timeout, this, &SamplingController::continuousReadTick);
    connect(&mOpenTimer_, &QTimer::timeout, this, &SamplingController::recordFileHandOverTick);
}

void SamplingController::request()
{
    // One measurement asked for at a time; one still unanswered is asked
    // again by the link, not twice by us.
    if (request_ != 0) return;
    const quint64 mine = ++generation_;
    request_ = requests_.ReadMeasurement([this, mine](LinkMaster::End) {
        if (mine == generation_) request_ = 0;
    });
}

void SamplingController::start(uint8_t mode)
{
    // A closed port is reported, but the sampling still waits: the link asks
    // again as soon as the port is open.
    if (!requests_.portOpen()) notifier_.message(RequestNotSentText());
    request();
    state_.LastRequestRegister = uint8_t(Reg::Measurement);
    state_.LastRequestCount = uint8_t(FindRegister(Reg::Measurement, RegisterAccess::Read)->count);
    state_.SamplingMode = mode;

    view_.setControlEnabled(Control::SingleButton, false);
    view_.setControlEnabled(Control::ContinuousButton, false);
    view_.setControlEnabled(Control::StopButton, true);
    if (mode == SamplingContinuous) {
        // The line must not be reconfigured under a running sampling.
        view_.setControlEnabled(Control::CommSettingsItem, false);
        view_.setControlEnabled(Control::SingleItem, false);
        view_.setControlEnabled(Control::ContinuousItem, false);
        view_.setControlEnabled(Control::StopItem, true);
    }

    // The link watchdog starts counting afresh from this request.
    state_.KeepAliveTicks = 0;
    state_.SilenceTicks = 0;

    view_.redrawMainDisplay();
}

void SamplingController::startSingle() { start(SamplingSingle); }

void SamplingController::startContinuous() { start(SamplingContinuous); }

void SamplingController::stop()
{
    state_.SamplingMode = SamplingIdle;
    view_.setControlEnabled(Control::SingleButton, true);
    view_.setControlEnabled(Control::ContinuousButton, true);
    view_.setControlEnabled(Control::StopItem, true);
    view_.setControlEnabled(Control::CommSettingsItem, true);
    view_.setControlEnabled(Control::SingleItem, true);
    view_.setControlEnabled(Control::ContinuousItem, true);
    continuousReadTimer_.stop();
    // A reply already on its way is still shown; nothing is asked again.
    const LinkMaster::Id asked = request_;
    request_ = 0;
    ++generation_;
    requests_.link().cancel(asked);
    requests_.link().samplingDueIn(-1);
}

void SamplingController::closeQuery()
{
    // Tells the instrument's USB side that the program is going away; a plain
    // serial line has nobody to tell.
    if (state_.UsbLinkState == LinkInstrumentUsb) requests_.SendClosingNotice();
}

void SamplingController::armRecordFileHandOver() { enable(mOpenTimer_); }

void SamplingController::bulkReplyHandled()
{
    if (state_.SamplingMode == SamplingContinuous) {
        enable(continuousReadTimer_);
        // Transfer steps that would still be on the line when the rest is
        // over wait for the next rest.
        requests_.link().samplingDueIn(kContinuousReadIntervalMs);
    }
    if (state_.SamplingMode == SamplingSingle) {
        state_.SamplingMode = SamplingIdle;
        view_.setControlEnabled(Control::SingleButton, true);
        view_.setControlEnabled(Control::ContinuousButton, true);
        view_.setControlEnabled(Control::ContinuousItem, true);
        view_.setControlEnabled(Control::StopItem, true);
    }
    emit measurementHandled();
}

void SamplingController::continuousReadTick()
{
    view_.setStatusText(MainWindowView::LinkPanel, tr("Request data!"));
    // No message here: a closed port shows up as the re-read timer's status.
    request();
    state_.LastRequestRegister = uint8_t(Reg::Measurement);
    continuousReadTimer_.stop();
}

void SamplingController::recordFileHandOverTick()
{
    mOpenTimer_.stop();
    if (onRecordFileHandOver) onRecordFileHandOver();
}
