// Writes the seed corpora of the fuzz targets into fuzz/corpus/ (run by hand
// when a format changes: build-fuzz/fuzz/make_fuzz_seeds <repository>). The
// seeds are made the way the program makes the real thing: requests composed
// by the program's own request builders and answered by the simulated
// instrument, test and record files saved by the program's own writers,
// settings files written through its INI writer.

#include "acquisition/acquisition_state.h"
#include "acquisition/ini_file.h"
#include "acquisition/sys_settings.h"
#include "acquisition/test_file.h"
#include "link/link_master.h"
#include "link/modbus_framing.h"
#include "link/register_map.h"
#include "recording/ole_date.h"
#include "recording/record_writer.h"
#include "support/recording_main_window_view.h"
#include "support/test_support.h"

#include "instrument_model.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace {

QString gCorpus;

void Write(const char* target, const char* name, const QByteArray& bytes)
{
    const QString folder = gCorpus + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
    std::printf("%s/%s: %lld bytes\n", target, name, static_cast<long long>(bytes.size()));
}

QByteArray Copy(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        std::exit(1);
    }
    return file.readAll();
}

// The program's requests, answered by the simulated instrument.
class Exchange {
public:
    Exchange() { state.SlaveAddress = 2; }

    // Sends what `request` composes and returns the instrument's answer.
    QByteArray ask(const std::function<bool(InstrumentRequests&)>& request)
    {
        port.written.clear();
        // A link of its own for each request, so that it goes out at once.
        LinkMaster link(state, framing, view);
        InstrumentRequests requests(state, link);
        request(requests);
        const QByteArray frame = port.written.value(0);
        const std::optional<sim::Reply> reply =
            model.answer(std::vector<uint8_t>(frame.begin(), frame.end()), clock += 0.5);
        return reply ? QByteArray(reinterpret_cast<const char*>(reply->bytes.data()), qsizetype(reply->bytes.size()))
                     : QByteArray();
    }

    AcquisitionState state;
    ScriptedPort port;
    ModbusMaster framing{state, port};
    RecordingMainWindowView view;
    sim::InstrumentModel model{2, 50.0, 7};
    double clock = 100.0;
};

// The request on the line and the link state a reply handler input starts
// from (see fuzz_reply_handler.cpp).
struct HandlerState {
    uint8_t reg = 0, write = 0;
    uint16_t count = 0;
    uint8_t startBlock = 0, alarmStep = 0, samplingMode = 0, usbLink = 0;
    uint8_t flags = 0x1E;  // port open, every window registered
};

QByteArray HandlerInput(const HandlerState& s, const QList<QByteArray>& replies)
{
    QByteArray in;
    for (const uint8_t b : {s.reg, s.write, uint8_t(s.count & 0xFF), uint8_t(s.count >> 8), s.startBlock, s.alarmStep,
                            s.samplingMode, s.usbLink, s.flags})
        in += char(b);
    for (const QByteArray& reply : replies) {
        const int length = int(reply.size());
        in += char(length & 0xFF);
        in += char((length >> 8) & 0x7F);
        in += reply;
    }
    return in;
}

HandlerState Reading(uint16_t reg, uint16_t count)
{
    HandlerState s;
    s.reg = uint8_t(reg);
    s.count = count;
    return s;
}

HandlerState Writing(uint16_t reg)
{
    HandlerState s;
    s.reg = uint8_t(reg);
    s.write = 1;
    return s;
}

void ReplySeeds()
{
    Exchange x;
    const QByteArray bulk = x.ask([](InstrumentRequests& r) { return r.ReadMeasurement() != 0; });
    HandlerState s = Reading(Reg::Measurement, 2);
    s.samplingMode = SamplingContinuous;
    Write("reply_handler", "bulk", HandlerInput(s, {bulk}));
    // Two replies run together, then one cut short.
    s.usbLink = LinkInstrumentUsb;
    Write("reply_handler", "bulk_doubled_cut", HandlerInput(s, {bulk + bulk, bulk.left(1200)}));

    Write("reply_handler", "settings",
          HandlerInput(Reading(Reg::InstrumentSettings, 2),
                       {x.ask([](InstrumentRequests& r) { return r.ReadInstrumentSettings(2); })}));

    // Replies of the alarm read-out: eight limits and the enable bits.
    QList<QByteArray> limits;
    for (uint16_t reg = Reg::AlarmFirst; reg <= Reg::AlarmLast; ++reg)
        limits << x.ask([reg](InstrumentRequests& r) { return r.ReadAlarmLimit(reg); });
    Write("reply_handler", "alarm_readout", HandlerInput(Reading(Reg::AlarmFirst, 2), limits));
    Write("reply_handler", "alarm_bits",
          HandlerInput(Reading(Reg::AlarmEnable, 2),
                       {x.ask([](InstrumentRequests& r) { return r.ReadAlarmEnableBits(); })}));

    // Acknowledgements of the alarm write-out and of the settings block.
    QList<QByteArray> acks;
    for (uint16_t reg = Reg::AlarmFirst; reg <= Reg::AlarmLast; ++reg)
        acks << x.ask([reg](InstrumentRequests& r) { return r.WriteAlarmLimit(reg, 250.0f + reg); });
    Write("reply_handler", "write_acks", HandlerInput(Writing(Reg::AlarmFirst + 3), acks));
    CtSettingsBlock block{};
    block.CurrentRatio.set(1.0f);
    block.VoltageRatio.set(1.0f);
    block.FilterCoefficient = 5;
    block.Range = 1;
    Write("reply_handler", "settings_ack",
          HandlerInput(Writing(Reg::InstrumentSettings),
                       {x.ask([&](InstrumentRequests& r) { return r.WriteInstrumentSettings(block); })}));

    // Calibration: the two phase corrections, shown as times.
    s = Reading(Reg::NarrowbandPhase, 2);
    s.flags |= 0x20;
    Write("reply_handler", "phases",
          HandlerInput(s, {x.ask([](InstrumentRequests& r) { return r.ReadPhaseCorrection(Reg::NarrowbandPhase); })}));

    // The starting test: the trigger acknowledgement while a keep-alive is on
    // the line, then the last two of the six blocks, which complete the
    // capture and draw it.
    s = Reading(Reg::KeepAlive, 15);
    s.flags |= 0x40;
    const QByteArray trigger = x.ask([](InstrumentRequests& r) { return r.TriggerStartingTest(1); });
    Write("reply_handler", "starting_trigger", HandlerInput(s, {trigger}));
    s = Reading(Reg::Starting, 5 * 256);
    s.startBlock = 5;
    Write("reply_handler", "starting_blocks",
          HandlerInput(s, {x.ask([](InstrumentRequests& r) { return r.RequestStartingBlock(5); }),
                           x.ask([](InstrumentRequests& r) { return r.RequestStartingBlock(6); })}));
}

void TestFileSeeds(const QString& scratch)
{
    auto state = std::make_unique<AcquisitionState>();
    InitAcquisitionState(*state, QSize(1920, 1080), nullptr);
    const QString path = scratch + QStringLiteral("/seed.vqm");
    QString error;
    SaveTestFile(path, state->TestRecord, &error);
    Write("test_file", "startup.vqm", Copy(path));

    Exchange x;
    const QByteArray bulk = x.ask([](InstrumentRequests& r) { return r.ReadMeasurement(); });
    std::memcpy(state->TestRecord.bytes(), bulk.constData(), kMeasurementImageSize);
    SaveTestFile(path, state->TestRecord, &error);
    Write("test_file", "measured.vqm", Copy(path));
}

void RecordFileSeeds(const QString& scratch)
{
    auto live = std::make_unique<LiveRecord>();
    const double start = OleDateFromLocal(QDateTime(QDate(2024, 3, 14), QTime(18, 0)));
    const auto fill = [&](int count) {
        for (int i = 0; i < count; ++i) {
            for (int ch = 0; ch < kRecordChannelCount; ++ch) live->data.channel(ch)[i] = 230.0f + ch + float(i % 17) / 8;
            live->data.times()[i] = start + i * 3.0 / 86400.0;
        }
        live->count = count;
    };
    const QString path = scratch + QStringLiteral("/seed.vqr");
    QString error;
    RecordFileWriter writer;
    writer.create(path, {0, 1, 2, 6, 7, 10}, 2, &error);
    fill(12);
    writer.save(*live);
    Write("record_file", "short.vqr", Copy(path));

    RecordFileWriter two;
    two.create(path, {2, 2, 3, 4, 8, 9}, 11, &error);
    fill(1234);
    two.save(*live);
    Write("record_file", "two_blocks.vqr", Copy(path));
}

void IniSeeds(const QString& scratch)
{
    const QString path = scratch + QStringLiteral("/SysSet.ini");
    QFile::remove(path);
    SysSettings settings(path);
    settings.writeInt(SysSetKeys::Baudrate, 7);
    settings.writeText(SysSetKeys::Port, QStringLiteral("/dev/ttyUSB0"));
    settings.writeInt(SysSetKeys::Address, 2);
    settings.writeInt(SysSetKeys::Skin, 3);
    settings.writeInt(SysSetKeys::WaveBackground, 1);
    settings.writeInt(SysSetKeys::ScaleColor, 0);
    for (int ch = 0; ch < kRecordChannelCount; ++ch) settings.writeInt(SysSetKeys::RecordChannel[ch], ch * 2);
    settings.writeInt(SysSetKeys::SamplingStep, 11);
    settings.writeInt(SysSetKeys::SaveStep, 5);
    settings.writeInt(SysSetKeys::TemperatureInterface, -1);
    Write("ini_file", "SysSet.ini", Copy(path));

    const QString info = scratch + QStringLiteral("/EnterInfo.ini");
    QFile::remove(info);
    IniFile enter(info);
    enter.writeString(QStringLiteral("PrintInfo"), QStringLiteral("ProjectName"), QStringLiteral("变压器 T2 负载测试"));
    enter.writeString(QStringLiteral("PrintInfo"), QStringLiteral("company"), QStringLiteral("Prüflabor Nord"));
    enter.writeString(QStringLiteral("PrintInfo"), QStringLiteral("conner"), QStringLiteral("王工"));
    enter.writeString(QStringLiteral("PrintInfo"), QStringLiteral("date"), QStringLiteral("2024/3/14"));
    enter.writeString(QStringLiteral("PrintInfo"), QStringLiteral("temperature"), QStringLiteral("23.5"));
    enter.writeString(QStringLiteral("PrintInfo"), QStringLiteral("units"), QStringLiteral("1"));
    Write("ini_file", "EnterInfo.ini", Copy(info));

    // Written by hand on another system: CR LF, comments, blanks around
    // names, case, a repeated section and key, a key outside any section.
    Write("ini_file", "by_hand.ini",
          QByteArray("Skin=4\r\n; settings\r\n[ recordset ]\r\n  CH0 = 9 \r\nch0=3\r\n# old\r\n"
                     "SampingSetp=x\r\n\r\n[WaveSet]\r\nWaveBackground=+2\r\n[RecordSet]\r\nSaveSetp=-1\r\n"
                     "[CommPort]\r\nPort=3\r\n[SkinSet]\r\nSkin=99999999999\r\n[broken\r\n]Ch1=1\r\n"));
}

void SkinSeeds(const QString& repository)
{
    // The head of a real skin, cut after a rule, and a small sheet with
    // every form of image path a skin may use.
    const QByteArray skin = Copy(repository + QStringLiteral("/resources/SkinsFile/02.vqs"));
    const qsizetype cut = skin.lastIndexOf('}', 6000);
    Write("skin_file", "skin_head.vqs", skin.left(cut + 1) + '\n');
    Write("skin_file", "urls.vqs",
          QByteArray("QPushButton { border-image: url(02/button.svg) 4; }\n"
                     "QCheckBox::indicator { image: url(\"02/check box.svg\"); }\n"
                     "QRadioButton::indicator { image: url('02/radio.svg'); }\n"
                     "QToolButton { background: url(:/icons/open.svg); }\n"
                     "QSlider::handle { image: url(/usr/share/pixmaps/x.png); }\n"
                     "QScrollBar { background: url(file:///tmp/y.png); color: #102030; }\n"
                     "QWidget#StatusBar1 QLabel { padding: 1px 4px; font: bold 9pt \"Noto Sans CJK SC\"; }\n"));
}

void PictureSeeds(const QString& repository, const QString& scratch)
{
    for (const char* name : {"green.dat", "12.dat"})
        Write("pen_markers", name, Copy(repository + QStringLiteral("/resources/PenData/") + QLatin1String(name)));
    // The same marker in the other PNG colour types libpng converts.
    QImage marker;
    marker.load(repository + QStringLiteral("/resources/PenData/red.dat"), "PNG");
    const struct {
        const char* name;
        QImage::Format format;
    } kinds[] = {{"palette.dat", QImage::Format_Indexed8},
                 {"gray.dat", QImage::Format_Grayscale8},
                 {"deep.dat", QImage::Format_RGBA64}};
    for (const auto& kind : kinds) {
        const QString path = scratch + QLatin1Char('/') + QLatin1String(kind.name);
        marker.convertToFormat(kind.format).save(path, "PNG");
        Write("pen_markers", kind.name, Copy(path));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds <repository>\n");
        return 2;
    }
    const QString repository = QString::fromLocal8Bit(argv[1]);
    gCorpus = repository + QStringLiteral("/fuzz/corpus");
    const QString scratch = QDir::tempPath() + QStringLiteral("/qzr6100-seeds");
    QDir(scratch).removeRecursively();
    QDir().mkpath(scratch);
    ReplySeeds();
    TestFileSeeds(scratch);
    RecordFileSeeds(scratch);
    IniSeeds(scratch);
    SkinSeeds(repository);
    PictureSeeds(repository, scratch);
    QDir(scratch).removeRecursively();
    return 0;
}
