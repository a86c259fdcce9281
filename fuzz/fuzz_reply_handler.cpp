// The reply framing and the reply handler: any bytes as the replies to any
// request. The first bytes of an input set the request on the line and the
// link state the replies meet (the starting-test block, the alarm read-out
// step, the sampling mode, the USB link state, which windows are open,
// whether a start waits for its acknowledgement); the rest is a sequence of
// replies. Each is framed as the link master frames it, judged against the
// request, and, when it is the reply asked for, handed to the handler with
// that request. The handler runs over the real requests and link master, a
// scripted port, and windows that record what they are shown; the
// starting-test window draws its plot.
//
// Header: the register (a byte), whether the request is a write (bit 0 of
// the next byte), the count (two bytes, little-endian), then the block, the
// alarm step, the sampling mode, the USB link state and the flags.
//
// Reply records: two bytes little-endian, whose low 15 bits are the length
// and whose top bit asks for the last two bytes to be made the reply's CRC
// (a fuzzer rarely guesses a CRC), then the reply's bytes.
//
// Properties: a frame's length is never shorter than a reply nor longer than
// the longest; every request the handler sends is a whole frame with its
// CRC; alarm fields are 1 to 8; the starting-test block index stays in 0 to 6.

#include "fuzz_support.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/reply_sinks.h"
#include "acquisition/response_handler.h"
#include "acquisition/sampling_controller.h"
#include "display/display_colors.h"
#include "display/starting_plot.h"
#include "link/link_master.h"
#include "link/modbus_framing.h"
#include "link/register_map.h"
#include "link/reply_framing.h"
#include "support/recording_main_window_view.h"
#include "support/test_support.h"

#include <QImage>

#include <memory>

namespace {

constexpr int kMaxReplies = 16;
constexpr uint16_t kFixCrc = 0x8000;

// Windows that own chains: they take what they are shown, as the real ones
// do, and the starting-test window draws the capture.
struct FuzzSinks : AlarmReplySink, InstrumentSettingsReplySink, CalibrationReplySink, StartingReplySink {
    const AcquisitionState& state;
    bool angleToTime = false;
    QImage startingSurface{QSize(240, 120), QImage::Format_RGB32};
    QStringList shown;

    explicit FuzzSinks(const AcquisitionState& s) : state(s) {}

    void showLimitText(int field, const QString& text) override
    {
        FUZZ_CHECK(field >= 1 && field <= 8);
        shown << text;
    }
    void showEnableBits(uint8_t) override {}
    void showSettings(const CtSettingsBlock&) override {}
    void showStatus(const QString& text) override { shown << text; }
    void showVoltagePhase(const QString& text) override { shown << text; }
    void showCurrentPhase(const QString& text) override { shown << text; }
    bool angleToTimeChecked() const override { return angleToTime; }
    void showNarrowbandPhase(const QString& text) override { shown << text; }
    void showBroadbandPhase(const QString& text) override { shown << text; }
    void drawStartingPlot() override
    {
        DrawStartingPlot(startingSurface, startingSurface.size(), startingSurface.size(), state.StartingCapture,
                         state.TestRecord.VoltageZero.get(), state.TestRecord.CurrentZero.get(), 0, 1,
                         DisplayColors());
    }
};

// Everything the handler talks to, wired as the program wires it.
struct Rig {
    AcquisitionState state;
    ScriptedPort port;
    ModbusMaster framing{state, port};
    RecordingMainWindowView view;
    LinkMaster link{state, framing, view};
    InstrumentRequests requests{state, link};
    RecordingNotifier notifier;
    SamplingController sampling{state, requests, view, notifier};
    FuzzSinks windows{state};
    ReplySinks sinks;
    std::unique_ptr<ResponseHandler> handler;
};

// The one place that knows the handler's constructor.
std::unique_ptr<ResponseHandler> MakeHandler(Rig& rig)
{
    return std::make_unique<ResponseHandler>(rig.state, rig.requests, rig.sampling, rig.view, rig.notifier,
                                             rig.sinks);
}

// The request a header names: a read with its count, or the write of the
// register in the form the program writes it.
LinkRequest RequestFrom(uint16_t reg, bool write, uint16_t count)
{
    if (!write) return LinkRequest::read(reg, count);
    const uint8_t data[kCtSettingsSize] = {};
    if (reg == Reg::InstrumentSettings) return LinkRequest::blockWrite(reg, data, kCtSettingsSize);
    if (reg == Reg::AlarmEnable || reg == Reg::TemperatureMode || reg == Reg::Unlock)
        return LinkRequest::fourByteWrite(reg, data);
    return LinkRequest::floatWrite(reg, 1.0f);
}

// A register the program requests, or 0 (nothing requested yet): the byte
// itself when it names one, otherwise an entry of the register map.
uint16_t RegisterFrom(uint8_t byte)
{
    if (byte == 0) return 0;
    const std::vector<RegisterEntry>& map = RegisterMap();
    for (const RegisterEntry& entry : map)
        if (entry.reg == byte) return byte;
    return map[byte % map.size()].reg;
}

bool IsWholeFrame(const QByteArray& frame)
{
    return frame.size() >= 4 && frame.size() <= kRequestBufferSize
           && HasValidCrc(reinterpret_cast<const uint8_t*>(frame.constData()), int(frame.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzStartQt("fuzz_reply_handler");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzBytes in(data, size);
    auto rig = std::make_unique<Rig>();
    AcquisitionState& state = rig->state;
    InitAcquisitionState(state, QSize(800, 600), nullptr);
    state.SlaveAddress = 2;

    // The request on the line and the link state the replies meet.
    const uint16_t reg = RegisterFrom(in.byte());
    const bool write = (in.byte() & 0x01) != 0;
    const uint16_t count = in.u16();
    const uint8_t startBlock = in.byte();
    const uint8_t alarmStep = in.byte();
    const uint8_t samplingMode = in.byte() % 3;  // idle, single, continuous
    const uint8_t usbLink = in.byte() % 3;       // plain serial, instrument USB, undecided
    const uint8_t flags = in.byte();
    const LinkRequest request = RequestFrom(reg, write, count);
    const ReplyForm form = ReplyFormFor(request);
    state.StartBlockIndex = startBlock;
    state.AlarmReadStep = alarmStep;
    state.SamplingMode = samplingMode;
    state.UsbLinkState = usbLink;
    rig->port.open = (flags & 0x01) == 0;
    if (flags & 0x02) rig->sinks.alarm = &rig->windows;
    if (flags & 0x04) rig->sinks.instrumentSettings = &rig->windows;
    if (flags & 0x08) rig->sinks.calibration = &rig->windows;
    if (flags & 0x10) rig->sinks.starting = &rig->windows;
    rig->windows.angleToTime = (flags & 0x20) != 0;
    const bool triggerAwaited = (flags & 0x40) != 0;
    rig->handler = MakeHandler(*rig);

    const bool blockIndexSane = startBlock <= kStartingBlockCount;
    for (int reply = 0; reply < kMaxReplies && in.left() > 0; ++reply) {
        const uint16_t head = in.u16();
        QByteArray bytes = in.take(head & ~kFixCrc);
        if ((head & kFixCrc) && bytes.size() >= 2) {
            const uint16_t crc = ModbusCrc16(reinterpret_cast<const uint8_t*>(bytes.constData()), int(bytes.size() - 2));
            bytes[bytes.size() - 2] = char(crc & 0xFF);
            bytes[bytes.size() - 1] = char(crc >> 8);
        }
        // Framed as the link master frames what comes in: the length from
        // the first bytes, then the frame judged whole.
        int length = 0;
        for (int have = 0; have <= bytes.size() && length == 0; ++have)
            length = FrameLength(form, triggerAwaited, bytes.left(have));
        FUZZ_CHECK(length == -1 || length == 0 || (length >= kAckReplyLength && length <= kLongestReplyLength));
        if (length <= 0 || length > bytes.size()) continue;
        const QByteArray frame = bytes.left(length);
        switch (JudgeFrame(form, reg, triggerAwaited, frame)) {
        case FrameVerdict::Answer: rig->handler->replyTo(request, frame); break;
        case FrameVerdict::TriggerAck: rig->handler->replyTo(LinkRequest::read(Reg::Starting, 0), frame); break;
        case FrameVerdict::Damaged:
        case FrameVerdict::Other: break;
        }
        if (blockIndexSane) FUZZ_CHECK(state.StartBlockIndex <= kStartingBlockCount);
    }
    for (const QByteArray& frame : rig->port.written) FUZZ_CHECK(IsWholeFrame(frame));
    // Owners go before the link they use.
    rig->handler.reset();
    return 0;
}
