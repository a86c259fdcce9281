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
#include "link/reply_timing.h"
#include "link/serial_port.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

const QString kSynchronizedText = QStringLiteral("Successful synchronization");

constexpr uint8_t kReadFunction = 0x03;
constexpr uint8_t kWriteAckFunction = 0x09;
constexpr uint8_t kTriggerAckFunction = 0x0A;
constexpr uint8_t kTriggerAckCode = 0x92;

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

bool IsAlarmLimit(uint8_t reg) { return reg >= Reg::AlarmFirst && reg <= Reg::AlarmLast; }

} // namespace

ResponseHandler::ResponseHandler(AcquisitionState& state, SerialPort& port, InstrumentRequests& requests,
                                 SamplingController& sampling, MainWindowView& view, Notifier& notifier,
                                 ReplySinks& sinks)
    : dateTimeText(DefaultDateTimeText),
      state_(state),
      port_(port),
      requests_(requests),
      sampling_(sampling),
      view_(view),
      notifier_(notifier),
      sinks_(sinks),
      receiver_(port, view)
{
    receiver_.onReply = [this](const QByteArray& reply) { handleReply(reply); };
    overdueTimer_.setSingleShot(true);
    QObject::connect(&overdueTimer_, &QTimer::timeout, &overdueTimer_, [this] { replyOverdue(); });
}

void ResponseHandler::Comm1ReceiveData()
{
    if (overdueTimer_.isActive()) {
        overdueTimer_.stop();
        slowestStartMs_ = std::max(slowestStartMs_, sinceRequest_.elapsed());
    }
    receiver_.bytesWaiting(state_.UsbLinkState == LinkInstrumentUsb);
}

void ResponseHandler::requestSent()
{
    // Only the two long replies are watched: the trigger of a starting test
    // is answered when the instrument's switch is pressed, which may take
    // any time, and the short replies end chains the user can simply redo.
    const ReplyExpectation expected = ExpectReplyTo(port_.lastWritten());
    const bool watched = expected.kind == ReplyExpectation::Kind::Fixed &&
                         (expected.length == kBulkReplyLength || expected.length == kStartingBlockReplyLength);
    if (!watched) {
        overdueTimer_.stop();
        return;
    }
    if (!repeatingOverdue_) overdueRepeats_ = 0;
    sinceRequest_.start();
    overdueTimer_.start(int(std::max<qint64>(kOverdueMinMs, 4 * slowestStartMs_)));
}

void ResponseHandler::replyOverdue()
{
    if (replyInProgress()) return;  // it has begun after all
    // Only while the request still matters: sampling goes on, or a starting
    // test waits for its blocks.
    const bool wanted = (state_.LastRequestRegister == Reg::Measurement && state_.SamplingMode != SamplingIdle) ||
                        (state_.LastRequestRegister == Reg::Starting && state_.StartBlockIndex >= 1);
    if (!wanted || overdueRepeats_ >= kOverdueRepeats) return;
    ++overdueRepeats_;
    repeatingOverdue_ = true;
    requests_.ReRequest();
    repeatingOverdue_ = false;
}

bool ResponseHandler::replyInProgress() const { return receiver_.busy() || port_.bytesQueued() > 0; }

void ResponseHandler::handleReply(const QByteArray& received)
{
    const int length = int(received.size());
    const auto* reply = reinterpret_cast<const uint8_t*>(received.constData());

    // Any reply at all shows the USB link alive.
    if (state_.UsbLinkState == LinkInstrumentUsb) {
        state_.KeepAliveTicks = 0;
        state_.SilenceTicks = 0;
    }

    // Too short to be a reply, or longer than any reply (two replies run
    // together, or line noise): ask again rather than guess.
    if (length <= 4 || length > kLongestReplyLength) {
        reRequest();
        return;
    }
    if (!HasValidCrc(reply, length)) {
        reRequest();
        return;
    }

    if (length == kBulkReplyLength) {
        handleBulkReply(reply);
    } else if (length == kStartingBlockReplyLength) {
        handleStartingBlock(reply);
    } else {
        switch (reply[1]) {
        case kReadFunction: handleReadReply(reply, length); break;
        case kWriteAckFunction: handleWriteAck(reply[2]); break;
        case kTriggerAckFunction: handleTriggerAck(reply); break;
        default: break;
        }
    }
}

void ResponseHandler::reRequest()
{
    // Nothing has been asked yet: the bytes were nobody's reply.
    if (state_.LastRequestRegister == 0) return;
    receiver_.clearLine([this] { requests_.ReRequest(); });
}

void ResponseHandler::handleBulkReply(const uint8_t* reply)
{
    std::memcpy(state_.TestRecord.bytes(), reply, kMeasurementImageSize);
    RepairMeasurementImage(state_.TestRecord);
    view_.redrawMainDisplay();
    view_.setStatusText(MainWindowView::LinkPanel, QStringLiteral("Communication success!"));
    view_.setStatusText(MainWindowView::DatePanel, QStringLiteral("Date: ") + dateTimeText());
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

void ResponseHandler::handleStartingBlock(const uint8_t* reply)
{
    // Blocks outside a transfer (none triggered, or a new start reset it)
    // must not touch the staging area.
    const int block = state_.StartBlockIndex;
    if (block < 1 || block > kStartingBlockCount) return;

    std::memcpy(state_.StartingStaging + (block - 1) * kStartingBlockSize, reply, kStartingBlockSize);
    const int next = block + 1;
    state_.StartBlockIndex = uint8_t(next);

    if (next <= kStartingBlockCount) {
        requests_.RequestStartingBlock(next);
        state_.LastRequestRegister = uint8_t(Reg::Starting);
        state_.LastRequestCount = uint8_t(next);
        if (sinks_.starting) sinks_.starting->showStatus(QStringLiteral("Receiving data") + QString::number(next));
        return;
    }
    // The capture is replaced only as a whole.
    std::memcpy(state_.StartingCapture.bytes(), state_.StartingStaging, kStartingImageSize);
    state_.StartBlockIndex = 0;
    if (sinks_.starting) {
        sinks_.starting->showStatus(QStringLiteral("Testing completed"));
        sinks_.starting->drawStartingPlot();
    }
}

void ResponseHandler::handleReadReply(const uint8_t* reply, int length)
{
    // The reply itself does not name the register; the last read request does.
    const uint8_t reg = state_.RequestBuffer[3];
    const uint8_t* data = reply + kReadDataOffset;
    const int dataLength = length - kReadOverhead;
    // A reply too short for what its register carries would be read past its
    // end; it routes to nothing.
    const auto carries = [dataLength](int bytes) { return dataLength >= bytes; };

    if (IsAlarmLimit(reg)) {
        if (carries(4)) handleAlarmLimitRead(reg, BytesToFloat(data));
    } else if (reg == Reg::AlarmEnable) {
        if (!carries(1)) return;
        state_.AlarmEnableBits = data[0];
        ++state_.AlarmReadStep;
        view_.setStatusText(MainWindowView::LinkPanel, kSynchronizedText);
        if (sinks_.alarm) {
            sinks_.alarm->showEnableBits(data[0]);
            sinks_.alarm->showStatus(kSynchronizedText);
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
        if (!carries(kCtSettingsSize)) return;
        std::memcpy(state_.CtSettings.bytes(), data, kCtSettingsSize);
        view_.setStatusText(MainWindowView::LinkPanel, kSynchronizedText);
        if (sinks_.instrumentSettings) {
            sinks_.instrumentSettings->showStatus(kSynchronizedText);
            sinks_.instrumentSettings->showSettings(state_.CtSettings);
        }
        view_.setStatusText(MainWindowView::BandwidthPanel, state_.CtSettings.Bandwidth != 0
                                                                ? QStringLiteral("Broadband")
                                                                : QStringLiteral("Narrowband"));
    }
}

void ResponseHandler::handleAlarmLimitRead(uint8_t reg, float value)
{
    const int index = reg - Reg::AlarmFirst;  // 0..7
    state_.AlarmLimits[index] = value;
    if (sinks_.alarm) sinks_.alarm->showLimitText(index + 1, FormatGeneral(RoundDecimals(value, kAlarmLimitDecimals)));

    // A reply that comes again after the read-out has moved on only refreshes
    // its field; it must not start a second chain.
    if (state_.AlarmReadStep > index) return;
    const bool sent = reg == Reg::AlarmLast ? requests_.ReadAlarmEnableBits() : requests_.ReadAlarmLimit(reg + 1);
    if (!sent) notifier_.message(RequestNotSentText());
    // A damaged reply to this read is asked for again, not the first read
    // of the chain (whose reply would be taken as already handled and end it).
    state_.LastRequestRegister = uint8_t(reg + 1);
    state_.LastRequestCount = 2;
    ++state_.AlarmReadStep;
}

void ResponseHandler::handleWriteAck(uint8_t reg)
{
    if (reg >= Reg::AlarmFirst && reg < Reg::AlarmLast) {
        // The label names the limit that goes out next.
        static const std::array<QString, 7> kSendingText = {
            QStringLiteral("Sending AL1L"), QStringLiteral("Sending AL2H"), QStringLiteral("Sending AL2L"),
            QStringLiteral("Sending AL3H"), QStringLiteral("Sending AL3L"), QStringLiteral("Sending AL4H"),
            QStringLiteral("Sending AL4L"),
        };
        const int index = reg - Reg::AlarmFirst;
        if (sinks_.alarm) sinks_.alarm->showStatus(kSendingText[size_t(index)]);
        requests_.WriteAlarmLimit(uint16_t(reg + 1), state_.AlarmLimits[index + 1]);
    } else if (reg == Reg::AlarmLast) {
        requests_.WriteAlarmEnableBits(state_.AlarmEnableBits);
        if (sinks_.alarm) sinks_.alarm->showStatus(QStringLiteral("Data transfer is complete."));
    } else if (reg == Reg::AlarmEnable) {
        if (sinks_.alarm) sinks_.alarm->showStatus(QStringLiteral("Data transmission completed."));
    } else if (reg == Reg::InstrumentSettings) {
        if (sinks_.instrumentSettings)
            sinks_.instrumentSettings->showStatus(QStringLiteral("Successfully write data to the instrument"));
    }
}

void ResponseHandler::handleTriggerAck(const uint8_t* reply)
{
    if (reply[2] != kTriggerAckCode) return;
    if (sinks_.starting) sinks_.starting->showStatus(QStringLiteral("Successfully triggered"));
    state_.StartBlockIndex = 1;
    state_.LastRequestCount = 1;
    requests_.RequestStartingBlock(1);
}
