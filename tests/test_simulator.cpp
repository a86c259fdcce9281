// The simulated instrument: its CRC against the published check values, the
// request framer, every reply form of the instrument model, the measurement
// image against its own samples, the starting-test capture, the fault forms,
// and the whole thing through a real pseudo-terminal: unplugging, reply
// timing, stray bytes and a babbling line included, and the qzr6100-sim
// program's command line.
// Image fields are decoded here by their byte offsets, independently of the
// simulator's own layout code.

#include "instrument_model.h"
#include "line_signal.h"
#include "pty_simulator.h"
#include "reply_faults.h"
#include "request_framer.h"
#include "sim_crc.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using Bytes = std::vector<uint8_t>;
Q_DECLARE_METATYPE(sim::Fault)

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr size_t kBulkReplySize = 2532;
constexpr size_t kBlockReplySize = 1710;
// Upper bound for anything to arrive through the pseudo-terminal; only a
// hung simulator ever waits this long.
constexpr int kArrivalLimitMs = 3000;

Bytes FromHex(const QByteArray& spaced)
{
    const QByteArray raw = QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
    return Bytes(raw.begin(), raw.end());
}

QByteArray ToHex(const Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size())).toHex(' ').toUpper();
}

Bytes WithCrc(Bytes body)
{
    sim::appendCrc(body);
    return body;
}

bool CrcOk(const Bytes& frame)
{
    return sim::crcMatches(frame.data(), frame.size());
}

float F32(const Bytes& b, size_t offset)
{
    const uint32_t bits = uint32_t(b[offset]) | uint32_t(b[offset + 1]) << 8 | uint32_t(b[offset + 2]) << 16
        | uint32_t(b[offset + 3]) << 24;
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

uint16_t U16(const Bytes& b, size_t offset)
{
    return uint16_t(b[offset] | b[offset + 1] << 8);
}

Bytes Answer(sim::InstrumentModel& model, const Bytes& request, double now = 1.0)
{
    const auto reply = model.answer(request, now);
    return reply ? reply->bytes : Bytes();
}

// Readouts at their offsets in the measurement image.
struct ImageView {
    explicit ImageView(const Bytes& image) : b(image) {}
    float readout(int index) const { return F32(b, 4 * size_t(index)); }
    float urms() const { return readout(0); }
    float upeak() const { return readout(1); }
    float frequency() const { return readout(2); }
    float irms() const { return readout(3); }
    float ipeak() const { return readout(4); }
    float iphase() const { return readout(5); }
    float pf() const { return readout(6); }
    float p() const { return readout(7); }
    float s() const { return readout(8); }
    float q() const { return readout(9); }
    float uthd() const { return readout(10); }
    float ithd() const { return readout(11); }
    float uff() const { return readout(12); }
    float iff() const { return readout(13); }
    float kwh() const { return readout(14); }
    float voltageHarmonic(int n) const { return F32(b, 60 + 4 * size_t(n)); }
    float currentHarmonic(int n) const { return F32(b, 264 + 4 * size_t(n)); }
    int voltageSample(int k) const { return U16(b, 478 + 2 * size_t(k)); }
    int currentSample(int k) const { return U16(b, 1502 + 2 * size_t(k)); }
    const Bytes& b;
};

struct ChannelStats {
    double rms = 0, peak = 0, meanAbs = 0;
};

template <class Sample>
ChannelStats Stats(Sample sample, int count, int zero, double scale)
{
    ChannelStats s;
    for (int k = 0; k < count; ++k) {
        const double v = (sample(k) - zero) * scale;
        s.rms += v * v;
        s.meanAbs += std::fabs(v);
        s.peak = std::max(s.peak, std::fabs(v));
    }
    s.rms = std::sqrt(s.rms / count);
    s.meanAbs /= count;
    return s;
}

// Phase in degrees of the first harmonic over one period of 128 samples.
template <class Sample>
double FirstHarmonicPhase(Sample sample)
{
    double re = 0, im = 0;
    for (int k = 0; k < 128; ++k) {
        re += sample(k) * std::cos(2 * kPi * k / 128);
        im -= sample(k) * std::sin(2 * kPi * k / 128);
    }
    return std::atan2(im, re) * 180.0 / kPi;
}

bool Near(double actual, double expected, double relative)
{
    return std::fabs(actual - expected) <= relative * std::fabs(expected);
}

// Bytes as they came off the line, each with the moment it was read
// (milliseconds on the test's clock, never earlier than it was sent).
struct Arrivals {
    Bytes bytes;
    std::vector<double> atMs;
    double fromMs = 0, untilMs = 0;  // the stretch the line was watched

    // Where `what` begins among the bytes, or -1.
    long find(const Bytes& what) const
    {
        const auto at = std::search(bytes.begin(), bytes.end(), what.begin(), what.end());
        return at == bytes.end() ? -1 : long(at - bytes.begin());
    }
    // The longest stretch without a byte, the edges of the watch included.
    double longestQuietMs() const
    {
        double longest = 0, last = fromMs;
        for (const double t : atMs) {
            longest = std::max(longest, t - last);
            last = t;
        }
        return std::max(longest, untilMs - last);
    }
};

double MsOn(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// ---- the slave side of the pseudo-terminal, as a program opens it --------

class SlaveLine {
public:
    explicit SlaveLine(const std::string& path)
    {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0) {
            termios tio{};
            tcgetattr(fd_, &tio);
            cfmakeraw(&tio);
            tcsetattr(fd_, TCSANOW, &tio);
        }
    }
    ~SlaveLine()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SlaveLine(const SlaveLine&) = delete;
    SlaveLine& operator=(const SlaveLine&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    bool send(const Bytes& bytes) const
    {
        return ::write(fd_, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }

    // Reads until `count` bytes are in, the line hangs up, or the arrival limit passes.
    Bytes receive(size_t count) const
    {
        Bytes got;
        QDeadlineTimer deadline(kArrivalLimitMs);
        while (got.size() < count && !deadline.hasExpired()) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, int(std::max<qint64>(1, deadline.remainingTime()))) <= 0)
                continue;
            uint8_t buffer[4096];
            const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n > 0)
                got.insert(got.end(), buffer, buffer + n);
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                break;
        }
        return got;
    }

    // Reads into `into` until `enough()` holds or forMs pass.
    template <class Enough>
    void collect(Arrivals& into, const QElapsedTimer& clock, int forMs, Enough enough) const
    {
        QDeadlineTimer deadline(forMs);
        if (into.atMs.empty())
            into.fromMs = MsOn(clock);
        while (!enough() && !deadline.hasExpired()) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, int(std::max<qint64>(1, deadline.remainingTime()))) <= 0)
                continue;
            uint8_t buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            const double at = MsOn(clock);
            if (n > 0) {
                into.bytes.insert(into.bytes.end(), buffer, buffer + n);
                into.atMs.insert(into.atMs.end(), size_t(n), at);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                break;
            }
        }
        into.untilMs = MsOn(clock);
    }

    Arrivals receiveTimed(size_t count, const QElapsedTimer& clock) const
    {
        Arrivals got;
        collect(got, clock, kArrivalLimitMs, [&] { return got.bytes.size() >= count; });
        return got;
    }

    // Everything that arrives within forMs.
    Arrivals listen(int forMs, const QElapsedTimer& clock) const
    {
        Arrivals got;
        collect(got, clock, forMs, [] { return false; });
        return got;
    }

    Bytes roundTrip(const Bytes& request, size_t replySize) const
    {
        return send(request) ? receive(replySize) : Bytes();
    }

    // Waits for the hang-up a vanished device leaves on its slave.
    bool seesHangUp() const
    {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, kArrivalLimitMs) <= 0)
            return false;
        if (p.revents & POLLHUP)
            return true;
        uint8_t byte;
        const ssize_t n = ::read(fd_, &byte, 1);
        return n == 0 || (n < 0 && errno == EIO);
    }

private:
    int fd_ = -1;
};

std::string LinkTarget(const QString& link)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link.toLocal8Bit().constData(), target, sizeof target - 1);
    return n > 0 ? std::string(target, size_t(n)) : std::string();
}

const Bytes kBulkRead = FromHex("02 03 00 94 00 02 85 D4");
const Bytes kRead118 = FromHex("02 03 00 76 00 02 25 E2");
const Bytes kRead119 = FromHex("02 03 00 77 00 02 74 22");
const Bytes kReply118 = WithCrc(FromHex("02 03 04 00 00 96 43"));  // 300.0
const Bytes kReply119 = WithCrc(FromHex("02 03 04 00 00 00 00"));  // 0.0
const char* const kFactorySettings = "00 00 00 00 00 00 80 3F 00 00 80 3F 00 00 0A 01 00 00 04";

Bytes Joined(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// For failure messages: how long after `sinceMs` something arrived.
QByteArray Took(double atMs, double sinceMs)
{
    return QByteArray::number(atMs - sinceMs, 'f', 1) + " ms";
}

// The qzr6100-sim program: named by the test environment, or beside the
// tests' folder in the build tree when run by hand.
QString SimProgram()
{
    const QString named = qEnvironmentVariable("QZ_SIM_BINARY");
    return named.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../qzr6100-sim") : named;
}

// The program's first line: the slave device it serves.
QString FirstLine(QProcess& process)
{
    QDeadlineTimer deadline(kArrivalLimitMs);
    while (!process.canReadLine() && !deadline.hasExpired()
           && process.state() != QProcess::NotRunning)
        process.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

void Finish(QProcess& process)
{
    process.terminate();
    if (!process.waitForFinished(kArrivalLimitMs)) {
        process.kill();
        process.waitForFinished();
    }
}

} // namespace

class SimulatorTest : public QObject {
    Q_OBJECT

private slots:
    void crcMatchesPublishedFrames_data();
    void crcMatchesPublishedFrames();
    void framerFindsFramesInNoise_data();
    void framerFindsFramesInNoise();
    void registerReplies_data();
    void registerReplies();
    void writesAreStoredAndAcknowledged_data();
    void writesAreStoredAndAcknowledged();
    void measurementImageAgreesWithItsSamples_data();
    void measurementImageAgreesWithItsSamples();
    void measurementDriftsAndEnergyAccumulates();
    void startingTestDeliversSixBlocks_data();
    void startingTestDeliversSixBlocks();
    void faultForms_data();
    void faultForms();

    void ptyServesRequests();
    void ptyInjectedFaults_data();
    void ptyInjectedFaults();
    void ptyUnplugAndPlugBack();
    void ptyPeriodicUnplugAndPacedReplies();
    void ptyTurnaroundBeforeEachReply();
    void ptyLateReplyHoldsBackTheRest_data();
    void ptyLateReplyHoldsBackTheRest();
    void ptyStrayBytesAreNoReply();
    void ptyBabblingLine();

    void programTakesEveryOptionItLists();
    void programServesWithTurnaroundAndBabble();
};

void SimulatorTest::crcMatchesPublishedFrames_data()
{
    QTest::addColumn<QByteArray>("frame");  // hex, the last two bytes the expected CRC
    QTest::newRow("read 148") << QByteArray("02 03 00 94 00 02 85 D4");
    QTest::newRow("block 2") << QByteArray("02 03 00 93 02 00 B4 B4");
    QTest::newRow("block 1") << QByteArray("02 03 00 93 01 00 B4 44");
    QTest::newRow("trigger") << QByteArray("02 03 00 93 00 00 B5 D4");
    QTest::newRow("float 300 to 118") << QByteArray("02 10 00 76 00 02 04 00 00 96 43 55 B4");
    QTest::newRow("enable bits 0x05") << QByteArray("02 10 00 7E 00 02 04 05 00 00 00 7A 8F");
    QTest::newRow("enable bits 0x0F") << QByteArray("02 10 00 7E 00 02 04 0F 00 00 00 79 57");
    QTest::newRow("settings block") << QByteArray(
        "02 10 00 BC 00 09 13 00 00 00 00 00 00 80 3F 00 00 80 3F 00 00 0A 01 00 00 04 A1 EA");
    QTest::newRow("read 188 count 18") << QByteArray("02 03 00 BC 00 12 04 10");
}

void SimulatorTest::crcMatchesPublishedFrames()
{
    QFETCH(QByteArray, frame);
    const char check[] = "123456789";
    QCOMPARE(sim::modbusCrc(reinterpret_cast<const uint8_t*>(check), 9), uint16_t(0x4B37));

    const Bytes bytes = FromHex(frame);
    QVERIFY(CrcOk(bytes));
    Bytes rebuilt(bytes.begin(), bytes.end() - 2);
    QCOMPARE(ToHex(WithCrc(rebuilt)), ToHex(bytes));
    Bytes corrupt = bytes;
    corrupt[2] ^= 0x01;
    QVERIFY(!CrcOk(corrupt));
}

void SimulatorTest::framerFindsFramesInNoise_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");  // fed one after another
    QTest::addColumn<QList<QByteArray>>("frames");  // expected, in order
    QTest::addColumn<int>("leftover");               // bytes still waiting for more
    const QByteArray read148 = "02 03 00 94 00 02 85 D4";
    const QByteArray write188 =
        "02 10 00 BC 00 09 13 00 00 00 00 00 00 80 3F 00 00 80 3F 00 00 0A 01 00 00 04 A1 EA";

    QTest::newRow("clean") << QList<QByteArray>{read148} << QList<QByteArray>{read148} << 0;
    QTest::newRow("garbage prefix") << QList<QByteArray>{"FF 00 55 " + read148} << QList<QByteArray>{read148} << 0;
    QTest::newRow("prefix that looks like a long write")
        << QList<QByteArray>{"02 10 00 00 00 00 FF " + read148} << QList<QByteArray>{read148} << 0;
    QTest::newRow("torn frame then a whole one")
        << QList<QByteArray>{"02 03 00 94 00", read148} << QList<QByteArray>{read148} << 0;
    QTest::newRow("corrupt CRC then good") << QList<QByteArray>{"02 03 00 94 00 02 85 D5 " + read148}
                                           << QList<QByteArray>{read148} << 0;
    QTest::newRow("arrives byte by byte")
        << QList<QByteArray>{"02", "03", "00", "94", "00", "02", "85", "D4"} << QList<QByteArray>{read148} << 0;
    QTest::newRow("write then read, one chunk")
        << QList<QByteArray>{write188 + " " + read148} << QList<QByteArray>{write188, read148} << 0;
    QTest::newRow("write split across chunks")
        << QList<QByteArray>{write188.left(20), write188.mid(20)} << QList<QByteArray>{write188} << 0;
    QTest::newRow("other slave's frame is still a frame")
        << QList<QByteArray>{"05 03 00 94 00 02 84 63"} << QList<QByteArray>{"05 03 00 94 00 02 84 63"} << 0;
    // The last byte might still begin a frame.
    QTest::newRow("noise only") << QList<QByteArray>{"00 11 22 33 44 55 66 77 88 99"} << QList<QByteArray>{} << 1;
    QTest::newRow("start of a read kept") << QList<QByteArray>{"55 02 03 00"} << QList<QByteArray>{} << 3;
}

void SimulatorTest::framerFindsFramesInNoise()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(int, leftover);
    sim::RequestFramer framer;
    QList<QByteArray> got;
    Bytes frame;
    for (const QByteArray& chunk : chunks) {
        const Bytes bytes = FromHex(chunk);
        framer.feed(bytes.data(), bytes.size());
        while (framer.next(frame))
            got << ToHex(frame);
    }
    QList<QByteArray> expected;
    for (const QByteArray& f : frames)
        expected << ToHex(FromHex(f));
    QCOMPARE(got, expected);
    QCOMPARE(int(framer.buffered()), leftover);
}

void SimulatorTest::registerReplies_data()
{
    QTest::addColumn<QByteArray>("request");  // without CRC
    QTest::addColumn<QByteArray>("reply");    // without CRC; empty when the instrument stays silent

    QTest::newRow("118 voltage upper 300") << QByteArray("02 03 00 76 00 02") << QByteArray("02 03 04 00 00 96 43");
    QTest::newRow("119 voltage lower 0") << QByteArray("02 03 00 77 00 02") << QByteArray("02 03 04 00 00 00 00");
    QTest::newRow("120 current upper 20") << QByteArray("02 03 00 78 00 02") << QByteArray("02 03 04 00 00 A0 41");
    QTest::newRow("122 power upper 6000") << QByteArray("02 03 00 7A 00 02") << QByteArray("02 03 04 00 80 BB 45");
    QTest::newRow("124 PF upper 1") << QByteArray("02 03 00 7C 00 02") << QByteArray("02 03 04 00 00 80 3F");
    QTest::newRow("125 PF lower 0") << QByteArray("02 03 00 7D 00 02") << QByteArray("02 03 04 00 00 00 00");
    QTest::newRow("126 enable bits") << QByteArray("02 03 00 7E 00 02") << QByteArray("02 03 04 00 00 00 00");
    QTest::newRow("167 narrowband phase") << QByteArray("02 03 00 A7 00 02") << QByteArray("02 03 04 00 00 00 00");
    QTest::newRow("168 broadband phase") << QByteArray("02 03 00 A8 00 02") << QByteArray("02 03 04 00 00 00 00");
    QTest::newRow("188 count 2") << QByteArray("02 03 00 BC 00 02") << QByteArray("02 03 13 ") + kFactorySettings;
    QTest::newRow("188 count 18") << QByteArray("02 03 00 BC 00 12") << QByteArray("02 03 13 ") + kFactorySettings;
    QTest::newRow("187 keep-alive")
        << QByteArray("02 03 00 BB 00 0F") << QByteArray("02 03 1E") + QByteArray(" 00").repeated(30);
    QTest::newRow("147 trigger, range code 0x20") << QByteArray("02 03 00 93 00 20") << QByteArray("02 0A 92");
    QTest::newRow("186 closing: silent") << QByteArray("02 03 00 BA 00 00") << QByteArray();
    QTest::newRow("147 block 7: silent") << QByteArray("02 03 00 93 07 00") << QByteArray();
    QTest::newRow("154 is write-only") << QByteArray("02 03 00 9A 00 02") << QByteArray();
    QTest::newRow("unknown register") << QByteArray("02 03 00 C8 00 02") << QByteArray();
    QTest::newRow("another slave") << QByteArray("03 03 00 76 00 02") << QByteArray();
    QTest::newRow("write to a read-only register") << QByteArray("02 10 00 94 00 02 04 00 00 00 00")
                                                  << QByteArray();
    QTest::newRow("write of the wrong size") << QByteArray("02 10 00 BC 00 02 04 00 00 00 00") << QByteArray();
}

void SimulatorTest::registerReplies()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    sim::InstrumentModel model(2, 50.0, 7);
    const Bytes answer = Answer(model, WithCrc(FromHex(request)));
    if (reply.isEmpty()) {
        QVERIFY2(answer.empty(), ToHex(answer).constData());
        return;
    }
    QCOMPARE(ToHex(answer), ToHex(WithCrc(FromHex(reply))));
    QCOMPARE(model.writtenRegister((FromHex(request)[2] << 8) | FromHex(request)[3]), Bytes());
}

void SimulatorTest::writesAreStoredAndAcknowledged_data()
{
    QTest::addColumn<QByteArray>("write");     // the whole frame, CRC included
    QTest::addColumn<int>("reg");
    QTest::addColumn<QByteArray>("stored");    // data bytes of the write
    QTest::addColumn<QByteArray>("readBack");  // request without CRC, empty for write-only registers

    QTest::newRow("118 float 300") << QByteArray("02 10 00 76 00 02 04 00 00 96 43 55 B4") << 118
                                   << QByteArray("00 00 96 43") << QByteArray("02 03 00 76 00 02");
    QTest::newRow("126 enable bits 0x05") << QByteArray("02 10 00 7E 00 02 04 05 00 00 00 7A 8F") << 126
                                          << QByteArray("05 00 00 00") << QByteArray("02 03 00 7E 00 02");
    QTest::newRow("188 settings block") << QByteArray(
        "02 10 00 BC 00 09 13 00 00 00 00 00 00 80 3F 00 00 80 3F 00 00 0A 01 00 00 04 A1 EA")
                                        << 188 << QByteArray(kFactorySettings)
                                        << QByteArray("02 03 00 BC 00 12");

    // Frames built here: value bytes per register.
    struct Row {
        const char* name;
        int reg;
        const char* data;
        bool readable;
    };
    const Row rows[] = {
        {"125 PF lower 0.5", 125, "00 00 00 3F", true}, {"154 voltage reference 220", 154, "00 00 5C 43", false},
        {"158 current reference 5", 158, "00 00 A0 40", false}, {"166 temperature command 3", 166, "03 00 00 00", false},
        {"167 narrowband phase", 167, "0A D7 23 3C", true},   {"168 broadband phase", 168, "CD CC 4C 3D", true},
        {"185 unlock", 185, "6B 00 00 00", false},
    };
    for (const Row& r : rows) {
        Bytes frame = {0x02, 0x10, 0x00, uint8_t(r.reg), 0x00, 0x02, 0x04};
        const Bytes data = FromHex(r.data);
        frame.insert(frame.end(), data.begin(), data.end());
        QByteArray readBack;
        if (r.readable)
            readBack = ToHex({0x02, 0x03, 0x00, uint8_t(r.reg), 0x00, 0x02});
        QTest::newRow(r.name) << ToHex(WithCrc(frame)) << r.reg << QByteArray(r.data) << readBack;
    }
}

void SimulatorTest::writesAreStoredAndAcknowledged()
{
    QFETCH(QByteArray, write);
    QFETCH(int, reg);
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, readBack);
    sim::InstrumentModel model(2, 50.0, 7);

    QCOMPARE(ToHex(Answer(model, FromHex(write))), ToHex(WithCrc({0x02, 0x09, uint8_t(reg)})));
    QCOMPARE(ToHex(model.writtenRegister(reg)), ToHex(FromHex(stored)));
    if (readBack.isEmpty())
        return;
    const Bytes data = FromHex(stored);
    Bytes expected = {0x02, 0x03, uint8_t(data.size())};
    expected.insert(expected.end(), data.begin(), data.end());
    QCOMPARE(ToHex(Answer(model, WithCrc(FromHex(readBack)))), ToHex(WithCrc(expected)));
}

void SimulatorTest::measurementImageAgreesWithItsSamples_data()
{
    QTest::addColumn<double>("frequency");
    QTest::addColumn<unsigned>("seed");
    QTest::newRow("50 Hz") << 50.0 << 1u;
    QTest::newRow("60 Hz") << 60.0 << 2u;
    QTest::newRow("50 Hz, other seed") << 50.0 << 99u;
}

void SimulatorTest::measurementImageAgreesWithItsSamples()
{
    QFETCH(double, frequency);
    QFETCH(unsigned, seed);
    sim::InstrumentModel model(2, frequency, seed);
    const Bytes reply = Answer(model, kBulkRead, 5.0);
    QCOMPARE(reply.size(), kBulkReplySize);
    QVERIFY(CrcOk(reply));
    const ImageView img(reply);

    // Layout: factors, sample count, zero levels.
    QCOMPARE(F32(reply, 468), 1.0f);
    QCOMPARE(F32(reply, 472), 1.0f);
    QCOMPARE(int(U16(reply, 476)), 512);
    QCOMPARE(int(U16(reply, 2526)), 2047);
    QCOMPARE(int(U16(reply, 2528)), 2047);

    // The samples: a good part of the 12-bit range, never clipped.
    const auto v = [&](int k) { return img.voltageSample(k); };
    const auto i = [&](int k) { return img.currentSample(k); };
    const ChannelStats u = Stats(v, 512, 2047, sim::kVoltsPerCount);
    const ChannelStats c = Stats(i, 512, 2047, sim::kAmpsPerCount);
    QVERIFY2(u.peak / sim::kVoltsPerCount > 800 && u.peak / sim::kVoltsPerCount < 2040, qPrintable(QString::number(u.peak)));
    QVERIFY2(c.peak / sim::kAmpsPerCount > 800 && c.peak / sim::kAmpsPerCount < 2040, qPrintable(QString::number(c.peak)));

    // Readouts agree with the samples.
    QVERIFY2(Near(img.urms(), u.rms, 0.01), qPrintable(QString("%1 vs %2").arg(img.urms()).arg(u.rms)));
    QVERIFY(Near(img.upeak(), u.peak, 0.01));
    QVERIFY(Near(img.irms(), c.rms, 0.01));
    QVERIFY(Near(img.ipeak(), c.peak, 0.01));
    QVERIFY(Near(img.uff(), u.rms / u.meanAbs, 0.01));
    QVERIFY(Near(img.iff(), c.rms / c.meanAbs, 0.01));
    double power = 0;
    for (int k = 0; k < 512; ++k)
        power += (v(k) - 2047) * sim::kVoltsPerCount * (i(k) - 2047) * sim::kAmpsPerCount;
    power /= 512;
    QVERIFY(Near(img.p(), power, 0.01));
    QVERIFY(Near(img.s(), u.rms * c.rms, 0.01));
    QVERIFY(Near(img.pf(), power / (u.rms * c.rms), 0.01));
    QVERIFY(Near(double(img.p()) * img.p() + double(img.q()) * img.q(), double(img.s()) * img.s(), 0.01));

    // ... and describe a plausible line and load.
    QVERIFY(Near(img.urms(), 230.0, 0.05));
    QVERIFY(Near(img.irms(), 5.0, 0.2));
    QVERIFY(std::fabs(img.frequency() - frequency) < 0.2);
    QVERIFY(img.pf() > 0.5f && img.pf() < 1.0f);
    QVERIFY(img.q() > 0);  // the load is inductive
    QVERIFY(img.uthd() > 0.005f && img.uthd() < 0.1f);
    QVERIFY(img.ithd() > 0.05f && img.ithd() < 0.6f);
    QVERIFY(img.kwh() >= 0);

    // Spectra: peak amplitudes, order 1 the fundamental.
    double uHarmonics = 0, iHarmonics = 0;
    for (int n = 2; n <= 50; ++n) {
        uHarmonics += double(img.voltageHarmonic(n)) * img.voltageHarmonic(n);
        iHarmonics += double(img.currentHarmonic(n)) * img.currentHarmonic(n);
    }
    QVERIFY(Near(img.uthd(), std::sqrt(uHarmonics) / img.voltageHarmonic(1), 0.01));
    QVERIFY(Near(img.ithd(), std::sqrt(iHarmonics) / img.currentHarmonic(1), 0.01));
    QVERIFY(Near(img.voltageHarmonic(1) / std::sqrt(2.0) * std::sqrt(1 + double(img.uthd()) * img.uthd()), u.rms, 0.01));
    QVERIFY(img.voltageHarmonic(0) < 1.0f);  // no offset beyond converter noise
    QVERIFY(img.currentHarmonic(3) > img.currentHarmonic(2) * 10);  // odd harmonics dominate

    // The current phase is the fundamental's lag behind the voltage.
    const double lag = FirstHarmonicPhase(v) - FirstHarmonicPhase(i);
    const double wrapped = std::remainder(lag, 360.0);
    QVERIFY2(std::fabs(wrapped - img.iphase()) < 1.0, qPrintable(QString("%1 vs %2").arg(wrapped).arg(img.iphase())));
    QVERIFY(img.iphase() > 15 && img.iphase() < 50);
    QVERIFY(Near(std::cos(img.iphase() * kPi / 180) * img.voltageHarmonic(1) * img.currentHarmonic(1) / 2, power, 0.05));
}

void SimulatorTest::measurementDriftsAndEnergyAccumulates()
{
    sim::InstrumentModel model(2, 50.0, 3);
    const Bytes first = Answer(model, kBulkRead, 10.0);
    const Bytes hourLater = Answer(model, kBulkRead, 3610.0);
    const ImageView a(first), b(hourLater);

    QVERIFY(a.urms() != b.urms());
    QVERIFY(a.irms() != b.irms());
    QVERIFY(a.frequency() != b.frequency());
    QVERIFY(Near(b.urms(), 230.0, 0.05));
    QVERIFY(Near(b.irms(), 5.0, 0.25));

    // An hour at roughly a kilowatt adds roughly a kilowatt-hour.
    const double added = b.kwh() - a.kwh();
    QVERIFY2(Near(added, b.p() / 1000.0, 0.3), qPrintable(QString("%1 kWh at %2 W").arg(added).arg(b.p())));

    // Images taken at the same moment still differ by converter noise only.
    const Bytes again = Answer(model, kBulkRead, 3610.0);
    QVERIFY(Near(ImageView(again).urms(), b.urms(), 0.005));
    QCOMPARE(ImageView(again).kwh(), b.kwh());
}

void SimulatorTest::startingTestDeliversSixBlocks_data()
{
    QTest::addColumn<int>("rangeCode");
    QTest::addColumn<float>("voltsPerCount");
    QTest::addColumn<float>("ampsPerCount");
    QTest::newRow("highest ranges") << 0x00 << 0.25f << 0.05f;
    QTest::newRow("current range 3") << 0x10 << 0.25f << 0.025f;
}

void SimulatorTest::startingTestDeliversSixBlocks()
{
    QFETCH(int, rangeCode);
    QFETCH(float, voltsPerCount);
    QFETCH(float, ampsPerCount);
    sim::InstrumentModel model(2, 50.0, 11);

    QCOMPARE(ToHex(Answer(model, WithCrc({0x02, 0x03, 0x00, 0x93, 0x00, uint8_t(rangeCode)}))),
             ToHex(WithCrc({0x02, 0x0A, 0x92})));
    Bytes capture;
    for (int k = 1; k <= 6; ++k) {
        const Bytes block = Answer(model, WithCrc({0x02, 0x03, 0x00, 0x93, uint8_t(k), 0x00}));
        QCOMPARE(block.size(), kBlockReplySize);
        QVERIFY(CrcOk(block));
        capture.insert(capture.end(), block.begin(), block.end() - 2);
    }
    QCOMPARE(capture.size(), size_t(10248));
    QCOMPARE(F32(capture, 0), voltsPerCount);
    QCOMPARE(F32(capture, 4), ampsPerCount);

    const auto v = [&](int k) { return int(U16(capture, 8 + 2 * size_t(k))); };
    const auto i = [&](int k) { return int(U16(capture, 5128 + 2 * size_t(k))); };
    for (int k = 0; k < 2560; ++k) {
        QVERIFY(v(k) >= 0 && v(k) <= 4095);
        QVERIFY(i(k) >= 0 && i(k) <= 4095);
    }
    // Voltage steady at the line's level throughout.
    const auto vLate = [&](int k) { return v(k + 2048); };
    QVERIFY(Near(Stats(v, 512, 2047, voltsPerCount).rms, 230.0, 0.15));
    QVERIFY(Near(Stats(vLate, 512, 2047, voltsPerCount).rms, 230.0, 0.15));
    // No current before the switch closes; an inrush that settles.
    QVERIFY(Stats(i, 64, 2047, 1.0).peak <= 3);
    const auto iEarly = [&](int k) { return i(k + 128); };
    const auto iLate = [&](int k) { return i(k + 2048); };
    const double early = Stats(iEarly, 512, 2047, ampsPerCount).peak;
    const double late = Stats(iLate, 512, 2047, ampsPerCount).peak;
    QVERIFY2(early > 2.5 * late, qPrintable(QString("%1 A then %2 A").arg(early).arg(late)));
    QVERIFY(Near(Stats(iLate, 512, 2047, ampsPerCount).rms, 5.0, 0.4));

    // A new trigger records a new capture.
    Answer(model, WithCrc({0x02, 0x03, 0x00, 0x93, 0x00, uint8_t(rangeCode)}));
    const Bytes firstBlockAgain = Answer(model, WithCrc({0x02, 0x03, 0x00, 0x93, 0x01, 0x00}));
    QVERIFY(!std::equal(capture.begin(), capture.begin() + 1708, firstBlockAgain.begin()));
}

void SimulatorTest::faultForms_data()
{
    QTest::addColumn<sim::Fault>("fault");
    QTest::addColumn<bool>("bulk");
    QTest::addColumn<QByteArray>("expected");  // concatenated output, hex; "same" for the untouched reply
    QTest::addColumn<int>("segments");
    const QByteArray reply = ToHex(kReply118);

    QTest::newRow("drop") << sim::Fault::Drop << false << QByteArray() << 0;
    QTest::newRow("bad CRC") << sim::Fault::BadCrc << false << ToHex(FromHex("02 03 04 00 00 96 43 E7 9D")) << 1;
    QTest::newRow("truncate") << sim::Fault::Truncate << false << ToHex(FromHex("02 03 04 00")) << 1;
    QTest::newRow("split") << sim::Fault::Split << false << reply << 2;
    QTest::newRow("foreign address") << sim::Fault::ForeignAddress << false
                                     << ToHex(WithCrc(FromHex("03 03 04 00 00 96 43"))) << 1;
    QTest::newRow("NaN on a register reply changes nothing") << sim::Fault::NanReadouts << false << reply << 1;
    QTest::newRow("foreign address on the bulk reply changes nothing")
        << sim::Fault::ForeignAddress << true << QByteArray("same") << 1;
    QTest::newRow("NaN readouts") << sim::Fault::NanReadouts << true << QByteArray("nan") << 1;
    QTest::newRow("late, whole") << sim::Fault::Late << true << QByteArray("same") << 1;
}

void SimulatorTest::faultForms()
{
    QFETCH(sim::Fault, fault);
    QFETCH(bool, bulk);
    QFETCH(QByteArray, expected);
    QFETCH(int, segments);
    sim::InstrumentModel model(2, 50.0, 5);
    const auto reply = model.answer(bulk ? kBulkRead : kRead118, 1.0);
    QVERIFY(reply);
    const std::vector<sim::WriteSegment> out = sim::applyFault(*reply, fault, 2, 250, 900);
    QCOMPARE(int(out.size()), segments);
    Bytes sent;
    for (const sim::WriteSegment& s : out)
        sent.insert(sent.end(), s.bytes.begin(), s.bytes.end());
    if (segments == 2) {
        QCOMPARE(out[0].pauseBeforeMs, 0);
        QCOMPARE(out[1].pauseBeforeMs, 250);
        QCOMPARE(out[0].bytes.size(), reply->bytes.size() / 2);
    }
    if (segments == 1)
        QCOMPARE(out[0].pauseBeforeMs, fault == sim::Fault::Late ? 900 : 0);
    if (expected == "same") {
        QVERIFY(sent == reply->bytes);
    } else if (expected == "nan") {
        QCOMPARE(sent.size(), kBulkReplySize);
        QVERIFY(CrcOk(sent));
        for (int r = 0; r < 15; ++r)
            QVERIFY(std::isnan(F32(sent, 4 * size_t(r))));
        QVERIFY(std::equal(sent.begin() + 60, sent.end() - 2, reply->bytes.begin() + 60));
    } else {
        QCOMPARE(ToHex(sent), expected);
    }
}

void SimulatorTest::ptyServesRequests()
{
    sim::PtySimulator simulator;
    std::string error;
    QVERIFY2(simulator.start(&error), error.c_str());
    QVERIFY(simulator.pluggedIn());
    SlaveLine line(simulator.slavePath());
    QVERIFY(line.isOpen());

    const Bytes bulk = line.roundTrip(kBulkRead, kBulkReplySize);
    QCOMPARE(bulk.size(), kBulkReplySize);
    QVERIFY(CrcOk(bulk));
    QVERIFY(Near(ImageView(bulk).urms(), 230.0, 0.05));

    // Noise before a request, a request for another slave, then ours: only
    // ours is answered.
    QVERIFY(line.send(FromHex("FF 00 55 05 03 00 94 00 02 84 63")));
    QCOMPARE(ToHex(line.roundTrip(kRead118, kReply118.size())), ToHex(kReply118));

    // A write goes through and is kept.
    const Bytes write = FromHex("02 10 00 76 00 02 04 00 00 96 43 55 B4");
    QCOMPARE(ToHex(line.roundTrip(write, 5)), ToHex(WithCrc({0x02, 0x09, 0x76})));
    QCOMPARE(ToHex(simulator.storedRegister(118)), ToHex(FromHex("00 00 96 43")));
    QVERIFY(simulator.storedRegister(119).empty());

    const auto requests = simulator.requests();
    QCOMPARE(requests.size(), size_t(4));
    QCOMPARE(ToHex(requests[0]), ToHex(kBulkRead));
    QCOMPARE(ToHex(requests[1]), ToHex(FromHex("05 03 00 94 00 02 84 63")));
    QCOMPARE(ToHex(requests[3]), ToHex(write));
    QCOMPARE(simulator.replyCount(), size_t(3));
    simulator.clearRequests();
    QCOMPARE(simulator.requestCount(), size_t(0));
}

void SimulatorTest::ptyInjectedFaults_data()
{
    QTest::addColumn<sim::Fault>("fault");
    QTest::addColumn<QByteArray>("expected");  // all bytes received after reading 118, then 119
    const QByteArray reply119 = " " + ToHex(kReply119);
    QTest::newRow("drop") << sim::Fault::Drop << reply119.mid(1);
    QTest::newRow("bad CRC") << sim::Fault::BadCrc << QByteArray("02 03 04 00 00 96 43 E7 9D") + reply119;
    QTest::newRow("truncate") << sim::Fault::Truncate << QByteArray("02 03 04 00") + reply119;
    QTest::newRow("split") << sim::Fault::Split << ToHex(kReply118) + reply119;
    QTest::newRow("foreign address") << sim::Fault::ForeignAddress << ToHex(WithCrc(FromHex("03 03 04 00 00 96 43")))
                                            + reply119;
    QTest::newRow("late") << sim::Fault::Late << ToHex(kReply118) + reply119;
}

void SimulatorTest::ptyInjectedFaults()
{
    QFETCH(sim::Fault, fault);
    QFETCH(QByteArray, expected);
    sim::Options options;
    options.splitPauseMs = 100;
    options.lateMs = 300;
    sim::PtySimulator simulator(options);
    QVERIFY(simulator.start());
    SlaveLine line(simulator.slavePath());
    QVERIFY(line.isOpen());

    // The fault hits the reply to 118 only; the reply to 119 follows intact,
    // so whatever arrived of the first shows in front of it.
    simulator.injectNext(fault);
    QVERIFY(line.send(kRead118));
    const Bytes want = FromHex(expected);
    // Let the first reply go out (or not) before asking again, so the two
    // cannot be reordered whatever the fault.
    QTRY_COMPARE_WITH_TIMEOUT(simulator.requestCount(), size_t(1), kArrivalLimitMs);
    QVERIFY(line.send(kRead119));
    QCOMPARE(ToHex(line.receive(want.size())), ToHex(want));
    QCOMPARE(simulator.replyCount(), size_t(fault == sim::Fault::Drop ? 1 : 2));
}

void SimulatorTest::ptyUnplugAndPlugBack()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("qzr6100");
    sim::Options options;
    options.linkPath = link.toStdString();
    sim::PtySimulator simulator(options);
    QVERIFY(simulator.start());
    const std::string firstPath = simulator.slavePath();
    QCOMPARE(LinkTarget(link), firstPath);

    SlaveLine oldLine(link.toStdString());  // opened through the link, as the program does
    QVERIFY(oldLine.isOpen());
    QCOMPARE(oldLine.roundTrip(kRead118, kReply118.size()), kReply118);

    simulator.unplug();
    QVERIFY(!simulator.pluggedIn());
    QVERIFY(simulator.slavePath().empty());
    struct stat st {};
    QVERIFY(::lstat(link.toLocal8Bit().constData(), &st) != 0);
    QVERIFY(oldLine.seesHangUp());

    // The old device stays held by us, so the new one gets another name.
    std::string error;
    QVERIFY2(simulator.plugBack(&error), error.c_str());
    QVERIFY(simulator.pluggedIn());
    const std::string secondPath = simulator.slavePath();
    QVERIFY(secondPath != firstPath);
    QCOMPARE(LinkTarget(link), secondPath);
    SlaveLine newLine(link.toStdString());
    QVERIFY(newLine.isOpen());
    const Bytes bulk = newLine.roundTrip(kBulkRead, kBulkReplySize);
    QCOMPARE(bulk.size(), kBulkReplySize);
    QVERIFY(CrcOk(bulk));

    simulator.stop();
    QVERIFY(::lstat(link.toLocal8Bit().constData(), &st) != 0);
    QVERIFY(newLine.seesHangUp());
}

void SimulatorTest::ptyPeriodicUnplugAndPacedReplies()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("analyser");
    sim::Options options;
    options.linkPath = link.toStdString();
    options.baud = 115200;  // paced: the bulk reply trickles out in small writes
    options.unplugEverySeconds = 1.0;
    options.unplugForSeconds = 0.2;
    sim::PtySimulator simulator(options);
    QVERIFY(simulator.start());
    const std::string firstPath = simulator.slavePath();
    {
        SlaveLine line(firstPath);
        QVERIFY(line.isOpen());
        const Bytes bulk = line.roundTrip(kBulkRead, kBulkReplySize);
        QCOMPARE(bulk.size(), kBulkReplySize);
        QVERIFY(CrcOk(bulk));
        QVERIFY(line.seesHangUp());
        // Held open until here, so the replacement cannot reuse its name.
        QTRY_VERIFY_WITH_TIMEOUT(simulator.pluggedIn(), kArrivalLimitMs);
    }
    const std::string secondPath = simulator.slavePath();
    QVERIFY(!secondPath.empty());
    QVERIFY(secondPath != firstPath);
    QCOMPARE(LinkTarget(link), secondPath);
}

void SimulatorTest::ptyTurnaroundBeforeEachReply()
{
    constexpr int kTurnaroundMs = 400;
    sim::Options options;
    options.turnaroundMs = kTurnaroundMs;
    sim::PtySimulator simulator(options);
    QVERIFY(simulator.start());
    SlaveLine line(simulator.slavePath());
    QVERIFY(line.isOpen());
    QElapsedTimer clock;
    clock.start();

    // An idle instrument: the turnaround runs from the request, once. Twice
    // the turnaround is far beyond any scheduling delay.
    double sent = MsOn(clock);
    QVERIFY(line.send(kRead118));
    const Arrivals one = line.receiveTimed(kReply118.size(), clock);
    QCOMPARE(ToHex(one.bytes), ToHex(kReply118));
    QVERIFY2(one.atMs.front() - sent >= kTurnaroundMs, Took(one.atMs.front(), sent));
    QVERIFY2(one.atMs.front() - sent < 2 * kTurnaroundMs, Took(one.atMs.front(), sent));

    // Two requests at once: the second reply's turnaround follows the first
    // reply, and they leave in order.
    sent = MsOn(clock);
    QVERIFY(line.send(Joined(kRead118, kRead119)));
    const Arrivals two = line.receiveTimed(kReply118.size() + kReply119.size(), clock);
    QCOMPARE(ToHex(two.bytes), ToHex(Joined(kReply118, kReply119)));
    const double second = two.atMs[kReply118.size()];
    QVERIFY2(second - sent >= 2 * kTurnaroundMs, Took(second, sent));
    QCOMPARE(simulator.replyCount(), size_t(3));
}

void SimulatorTest::ptyLateReplyHoldsBackTheRest_data()
{
    QTest::addColumn<bool>("everyReply");  // drawn at random with share 1, else injected once
    QTest::newRow("injected once") << false;
    QTest::newRow("drawn for every reply") << true;
}

void SimulatorTest::ptyLateReplyHoldsBackTheRest()
{
    QFETCH(bool, everyReply);
    constexpr int kLateMs = 600;
    sim::Options options;
    options.lateMs = kLateMs;
    options.lateShare = everyReply ? 1.0 : 0.0;
    sim::PtySimulator simulator(options);
    QVERIFY(simulator.start());
    SlaveLine line(simulator.slavePath());
    QVERIFY(line.isOpen());
    if (!everyReply)
        simulator.injectNext(sim::Fault::Late);
    QElapsedTimer clock;
    clock.start();

    // The second request goes out while the first reply is held back; its
    // reply still comes second.
    const double sentFirst = MsOn(clock);
    QVERIFY(line.send(kRead118));
    QTRY_COMPARE_WITH_TIMEOUT(simulator.requestCount(), size_t(1), kArrivalLimitMs);
    QVERIFY(line.send(kRead119));
    const Arrivals got = line.receiveTimed(kReply118.size() + kReply119.size(), clock);
    QCOMPARE(ToHex(got.bytes), ToHex(Joined(kReply118, kReply119)));
    QCOMPARE(simulator.replyCount(), size_t(2));

    const double first = got.atMs.front();
    const double second = got.atMs[kReply118.size()];
    QVERIFY2(first - sentFirst >= kLateMs, Took(first, sentFirst));
    if (everyReply) {
        // Late in its own right, counted from when the first one went out.
        QVERIFY2(second - sentFirst >= 2 * kLateMs, Took(second, sentFirst));
    } else {
        // Only held up by the late one, not late itself: it follows the
        // late one closely (a whole delay of margin for scheduling).
        QVERIFY2(second - first < kLateMs, Took(second, first));
    }
}

void SimulatorTest::ptyStrayBytesAreNoReply()
{
    sim::Options options;
    options.turnaroundMs = 200;
    sim::PtySimulator simulator(options);
    QVERIFY(simulator.start());
    SlaveLine line(simulator.slavePath());
    QVERIFY(line.isOpen());
    const Bytes stray = FromHex("AA 55 00 FF 02");

    // On a quiet line they go out at once.
    simulator.injectStray(stray);
    QCOMPARE(ToHex(line.receive(stray.size())), ToHex(stray));

    // Behind a reply still waiting out its turnaround: after it, not into it.
    QVERIFY(line.send(kRead118));
    QTRY_COMPARE_WITH_TIMEOUT(simulator.requestCount(), size_t(1), kArrivalLimitMs);
    simulator.injectStray(stray);
    QCOMPARE(ToHex(line.receive(kReply118.size() + stray.size())), ToHex(Joined(kReply118, stray)));

    // A request after them is answered as usual.
    QCOMPARE(ToHex(line.roundTrip(kRead119, kReply119.size())), ToHex(kReply119));
    QCOMPARE(simulator.replyCount(), size_t(2));
}

void SimulatorTest::ptyBabblingLine()
{
    sim::Options options;
    options.baud = 9600;  // a reply goes out in several small writes; the noise must not get between them
    sim::PtySimulator simulator(options);
    QVERIFY(simulator.start());
    SlaveLine line(simulator.slavePath());
    QVERIFY(line.isOpen());
    QElapsedTimer clock;
    clock.start();

    simulator.setBabble(true);
    const Arrivals noise = line.listen(1000, clock);
    QVERIFY2(noise.bytes.size() >= 100, qPrintable(QString::number(noise.bytes.size())));
    QVERIFY2(noise.longestQuietMs() < 50, qPrintable(QString::number(noise.longestQuietMs())));

    // A request is still answered; its reply is whole somewhere in the noise.
    QVERIFY(line.send(kRead118));
    Arrivals heard;
    line.collect(heard, clock, kArrivalLimitMs, [&] { return heard.find(kReply118) >= 0; });
    QVERIFY2(heard.find(kReply118) >= 0, ToHex(heard.bytes).constData());
    QCOMPARE(simulator.replyCount(), size_t(1));

    // Switched off, the line falls quiet once what was under way is read.
    simulator.setBabble(false);
    line.listen(100, clock);
    const Arrivals after = line.listen(300, clock);
    QVERIFY2(after.bytes.empty(), ToHex(after.bytes).constData());
    QCOMPARE(ToHex(line.roundTrip(kRead119, kReply119.size())), ToHex(kReply119));
}

void SimulatorTest::programTakesEveryOptionItLists()
{
    const QString program = SimProgram();
    if (!QFileInfo(program).isExecutable())
        QSKIP("qzr6100-sim is not built beside the tests");
    QProcess help;
    help.start(program, {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(kArrivalLimitMs));
    QCOMPARE(help.exitCode(), 0);
    const QString usage = QString::fromLocal8Bit(help.readAllStandardOutput());

    // Each option the help lists, given a value where it names one, starts
    // the simulator: all at once, each on its own device.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QRegularExpression listed(QStringLiteral("^  (--[a-z-]+)(?: ([A-Z]+))?"),
                                    QRegularExpression::MultilineOption);
    std::vector<std::unique_ptr<QProcess>> runs;
    QStringList names;
    for (auto it = listed.globalMatch(usage); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1) == QLatin1String("--help"))
            continue;
        QStringList arguments{m.captured(1)};
        if (m.captured(2) == QLatin1String("PATH"))
            arguments << dir.filePath(QStringLiteral("analyser"));
        else if (!m.captured(2).isEmpty())
            arguments << QStringLiteral("1");
        names << arguments.join(' ');
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->start(program, arguments);
    }
    for (const char* added : {"--turnaround 1", "--late 1", "--late-delay 1", "--babble"})
        QVERIFY2(names.contains(QLatin1String(added)), added);
    for (size_t k = 0; k < runs.size(); ++k) {
        const QString device = FirstLine(*runs[k]);
        const QString complaint = QString::fromLocal8Bit(runs[k]->readAllStandardError());
        Finish(*runs[k]);
        QVERIFY2(device.startsWith(QLatin1String("/dev/")), qPrintable(names[int(k)] + ": " + complaint));
        QCOMPARE(runs[k]->exitCode(), 0);
    }
}

void SimulatorTest::programServesWithTurnaroundAndBabble()
{
    const QString program = SimProgram();
    if (!QFileInfo(program).isExecutable())
        QSKIP("qzr6100-sim is not built beside the tests");
    constexpr int kTurnaroundMs = 300;
    QProcess simulator;
    simulator.start(program, {QStringLiteral("--turnaround=%1").arg(kTurnaroundMs), QStringLiteral("--babble")});
    const QString device = FirstLine(simulator);
    QVERIFY2(device.startsWith(QLatin1String("/dev/")), simulator.readAllStandardError().constData());
    SlaveLine line(device.toStdString());
    QVERIFY(line.isOpen());
    QElapsedTimer clock;
    clock.start();

    const double sent = MsOn(clock);
    QVERIFY(line.send(kRead118));
    Arrivals heard;
    line.collect(heard, clock, kArrivalLimitMs, [&] { return heard.find(kReply118) >= 0; });
    Finish(simulator);
    const long at = heard.find(kReply118);
    QVERIFY2(at >= 0, ToHex(heard.bytes).constData());
    QVERIFY(at > 0);  // noise came first
    QVERIFY2(heard.atMs[size_t(at)] - sent >= kTurnaroundMs, Took(heard.atMs[size_t(at)], sent));
}

QTEST_GUILESS_MAIN(SimulatorTest)
#include "test_simulator.moc"
