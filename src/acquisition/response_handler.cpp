#include "acquisition/response_handler.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/fundamental_phase.h"
#include "acquisition/main_window_view.h"
#include "acquisition/notifier.h"
#include "acquisition/reply_sinks.h"
#include "acquisition/sampling_controller.h"
#include "acquisition/status_date.h"
#include "display/number_format.h"
#include "link/modbus_framing.h"
#include "link/register_map.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

const char* const kSynchronizedText = QT_TRANSLATE_NOOP("ResponseHandler", "Successful synchronization");

// A register read reply: address, function, byte count, data, CRC.
constexpr int kReadDataOffset = 3;
constexpr int kReadOverhead = kReadDataOffset + 2;

// Samples per waveform that the calibration phases are taken over.
constexpr int kPhaseWindow = 128;
constexpr int kPhaseDecimals = 2;
constexpr int kAlarmLimitDecimals = 4;
// Seconds of a 50 Hz period per degree, inverted: the phase registers hold
// the angle as a time.
constexpr float kSecondsToDegrees = 18000.0f;

QString DefaultDateTimeText() { return StatusDateTimeText(QDateTime::currentDateTime()); }

bool IsAlarmLimit(uint16_t reg) { return reg >= Reg::AlarmFirst && reg <= Reg::AlarmLast; }

} // namespace

ResponseHandler::ResponseHandler(AcquisitionState& state, InstrumentRequests& requests,
                                 SamplingController& sampling, MainWindowView& view, Notifier& notifier,
                                 ReplySinks& sinks)
    : dateTimeText(DefaultDateTimeText),
      state_(state),
      requests_(requests),
      sampling_(sampling),
      view_(view),
      notifier_(notifier),
      sinks_(sinks)
{
    requests_.setRouter(this);
}

ResponseHandler::~ResponseHandler() { requests_.setRouter(nullptr); }

void ResponseHandler::replyTo(const LinkRequest& request, const QByteArray& received)
{
    const auto* reply = reinterpret_cast<const uint8_t*>(received.constData());
    switch (ReplyFormFor(request)) {
    case ReplyForm::Measurement: handleBulkReply(reply); break;
    case ReplyForm::StartingBlock: handleStartingBlock(StartingBlockOf(request), reply); break;
    case ReplyForm::TriggerAck: handleTriggerAck(); break;
    case ReplyForm::Register: handleReadReply(request.reg, reply, int(received.size())); break;
    case ReplyForm::WriteAck: handleWriteAck(request.reg); break;
    case ReplyForm::Nothing: break;
    }
}

void ResponseHandler::ended(const LinkRequest& request, LinkMaster::End end)
{
    if (end == LinkMaster::End::Answered) return;
    const bool read = request.form == LinkRequest::Form::Read;
    const bool alarm = request.reg >= Reg::AlarmFirst && request.reg <= Reg::AlarmEnable;
    if (alarm && read) {
        // A follow-up read that found the port closed is told as when it
        // could not be sent at all.
        if (end == LinkMaster::End::NotSent) notifier_.message(RequestNotSentText());
        if (sinks_.alarm) sinks_.alarm->readOutEnded(false);
    } else if (alarm) {
        if (sinks_.alarm) sinks_.alarm->writeEnded(false);
    } else if (request.reg == Reg::InstrumentSettings) {
        if (sinks_.instrumentSettings) {
            if (read)
                sinks_.instrumentSettings->readEnded(false);
            else
                sinks_.instrumentSettings->saveEnded(false);
        }
    } else if (StartingBlockOf(request) > 0 && StartingBlockOf(request) == state_.StartBlockIndex &&
               end != LinkMaster::End::Cancelled) {
        // The transfer cannot go on; a block that still comes is nobody's.
        state_.StartBlockIndex = 0;
    }
}

void ResponseHandler::handleBulkReply(const uint8_t* reply)
{
    std::memcpy(state_.TestRecord.bytes(), reply, kMeasurementImageSize);
    std::memcpy(state_.ReceivedRecord.bytes(), reply, kMeasurementImageSize);
    RepairMeasurementImage(state_.TestRecord);
    view_.redrawMainDisplay();
    view_.setStatusText(MainWindowView::LinkPanel, tr("Communication success!"));
    view_.setStatusText(MainWindowView::DatePanel, tr("Date: ") + dateTimeText());
    sampling_.bulkReplyHandled();
    showCalibrationPhases();
}

void ResponseHandler::showCalibrationPhases()
{
    if (!sinks_.calibration) return;
    const auto phaseText = [](float degrees) {
        return FormatGeneral(RoundDecimals(degrees, kPhaseDecimals)) + QStringLiteral("   ");
    };
    const TestRecordImage& record = state_.TestRecord;
    sinks_.calibration->showVoltagePhase(phaseText(FundamentalPhase(record.VoltageSamples, kPhaseWindow)));
    sinks_.calibration->showCurrentPhase(phaseText(FundamentalPhase(record.CurrentSamples, kPhaseWindow)));
}

void ResponseHandler::handleStartingBlock(int block, const uint8_t* reply)
{
    // Only the block the running transfer waits for is taken, and only
    // once: a new start, or a transfer already past it, leaves it out.
    if (block < 1 || block > kStartingBlockCount || state_.StartBlockIndex != block) return;

    std::memcpy(state_.StartingStaging + (block - 1) * kStartingBlockSize, reply, kStartingBlockSize);
    const int next = block + 1;
    state_.StartBlockIndex = uint8_t(next);

    if (next <= kStartingBlockCount) {
        requests_.RequestStartingBlock(next);
        state_.LastRequestRegister = uint8_t(Reg::Starting);
        state_.LastRequestCount = uint8_t(next);
        if (sinks_.starting) sinks_.starting->showStatus(tr("Receiving data") + QString::number(next));
        return;
    }
    // The capture is replaced only as a whole.
    std::memcpy(state_.StartingCapture.bytes(), state_.StartingStaging, kStartingImageSize);
    state_.StartBlockIndex = 0;
    if (sinks_.starting) {
        sinks_.starting->showStatus(tr("Testing completed"));
        sinks_.starting->drawStartingPlot();
    }
}

void ResponseHandler::handleReadReply(uint16_t reg, const uint8_t* reply, int length)
{
    const uint8_t* data = reply + kReadDataOffset;
    const int dataLength = length - kReadOverhead;
    // A reply too short for what its register carries would be read past its
    // end; it routes to nothing.
    const auto carries = [dataLength](int bytes) { return dataLength >= bytes; };

    if (IsAlarmLimit(reg)) {
        if (carries(4)) {
            handleAlarmLimitRead(reg, BytesToFloat(data));
        } else if (sinks_.alarm) {
            sinks_.alarm->readOutEnded(false);
        }
    } else if (reg == Reg::AlarmEnable) {
        if (!carries(1)) {
            if (sinks_.alarm) sinks_.alarm->readOutEnded(false);
            return;
        }
        state_.AlarmEnableBits = data[0];
        ++state_.AlarmReadStep;
        view_.setStatusText(MainWindowView::LinkPanel, tr(kSynchronizedText));
        if (sinks_.alarm) {
            sinks_.alarm->showEnableBits(data[0]);
            sinks_.alarm->showStatus(tr(kSynchronizedText));
            sinks_.alarm->readOutEnded(true);
        }
    } else if (reg == Reg::NarrowbandPhase || reg == Reg::BroadbandPhase) {
        if (!carries(4) || !sinks_.calibration) return;
        const float value = BytesToFloat(data);
        // In float arithmetic, so that an angle written as a time reads back
        // as the same angle (1 degree -> 5.5555556e-05 s -> 1).
        const float shown = sinks_.calibration->angleToTimeChecked() ? value * kSecondsToDegrees : value;
        const QString text = FormatFloat32Value(shown);
        if (reg == Reg::NarrowbandPhase)
            sinks_.calibration->showNarrowbandPhase(text);
        else
            sinks_.calibration->showBroadbandPhase(text);
    } else if (reg == Reg::InstrumentSettings) {
        if (!carries(kCtSettingsSize)) {
            if (sinks_.instrumentSettings) sinks_.instrumentSettings->readEnded(false);
            return;
        }
        std::memcpy(state_.CtSettings.bytes(), data, kCtSettingsSize);
        view_.setStatusText(MainWindowView::LinkPanel, tr(kSynchronizedText));
        if (sinks_.instrumentSettings) {
            sinks_.instrumentSettings->showStatus(tr(kSynchronizedText));
            sinks_.instrumentSettings->showSettings(state_.CtSettings);
        }
        view_.setStatusText(MainWindowView::BandwidthPanel, state_.CtSettings.Bandwidth != 0
                                                                ? tr("Broadband")
                                                                : tr("Narrowband"));
        if (sinks_.instrumentSettings) sinks_.instrumentSettings->readEnded(true);
    }
}

void ResponseHandler::handleAlarmLimitRead(uint16_t reg, float value)
{
    const int index = reg - Reg::AlarmFirst;  // 0..7
    state_.AlarmLimits[index] = value;
    if (sinks_.alarm) sinks_.alarm->showLimitText(index + 1, FormatGeneral(RoundDecimals(value, kAlarmLimitDecimals)));

    // A read-out that has moved past this step (one started again over it)
    // only refreshes the field; it must not run a second chain.
    if (state_.AlarmReadStep > index) return;
    const bool sent = reg == Reg::AlarmLast ? requests_.ReadAlarmEnableBits() : requests_.ReadAlarmLimit(uint16_t(reg + 1));
    state_.LastRequestRegister = uint8_t(reg + 1);
    state_.LastRequestCount = 2;
    ++state_.AlarmReadStep;
    if (!sent) {
        notifier_.message(RequestNotSentText());
        if (sinks_.alarm) sinks_.alarm->readOutEnded(false);
    }
}

void ResponseHandler::handleWriteAck(uint16_t reg)
{
    if (reg >= Reg::AlarmFirst && reg < Reg::AlarmLast) {
        // The label names the limit that goes out next.
        static const std::array<const char*, 7> kSendingText = {
            QT_TRANSLATE_NOOP("ResponseHandler", "Sending AL1L"), QT_TRANSLATE_NOOP("ResponseHandler", "Sending AL2H"),
            QT_TRANSLATE_NOOP("ResponseHandler", "Sending AL2L"), QT_TRANSLATE_NOOP("ResponseHandler", "Sending AL3H"),
            QT_TRANSLATE_NOOP("ResponseHandler", "Sending AL3L"), QT_TRANSLATE_NOOP("ResponseHandler", "Sending AL4H"),
            QT_TRANSLATE_NOOP("ResponseHandler", "Sending AL4L"),
        };
        const int index = reg - Reg::AlarmFirst;
        if (sinks_.alarm) sinks_.alarm->showStatus(tr(kSendingText[size_t(index)]));
        // A closed port stops the chain; the window learns that it ended.
        if (!requests_.WriteAlarmLimit(uint16_t(reg + 1), state_.AlarmLimits[index + 1]) && sinks_.alarm)
            sinks_.alarm->writeEnded(false);
    } else if (reg == Reg::AlarmLast) {
        const bool sent = requests_.WriteAlarmEnableBits(state_.AlarmEnableBits);
        if (sinks_.alarm) {
            sinks_.alarm->showStatus(tr("Data transfer is complete."));
            if (!sent) sinks_.alarm->writeEnded(false);
        }
    } else if (reg == Reg::AlarmEnable) {
        if (sinks_.alarm) {
            sinks_.alarm->showStatus(tr("Data transmission completed."));
            sinks_.alarm->writeEnded(true);
        }
    } else if (reg == Reg::InstrumentSettings) {
        if (sinks_.instrumentSettings) {
            sinks_.instrumentSettings->showStatus(tr("Successfully write data to the instrument"));
            sinks_.instrumentSettings->saveEnded(true);
        }
    }
}

void ResponseHandler::handleTriggerAck()
{
    if (sinks_.starting) sinks_.starting->showStatus(tr("Successfully triggered"));
    state_.StartBlockIndex = 1;
    state_.LastRequestCount = 1;
    requests_.RequestStartingBlock(1);
}
