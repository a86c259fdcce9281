// TComm on pseudo-terminals the test opens itself (the master side plays the
// instrument), and on a scripted device for what a pseudo-terminal cannot
// show: modem lines, line errors and an overfull input queue.

#include "link/serial_platform.h"
#include "link/tcomm.h"
#include "support/test_support.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

const QString kOpenFailed = QStringLiteral("通讯出现异常！请检查连接是否正确或重新启动程序和仪器。");
const QByteArray kBulkRead = FromHex("02 03 00 94 00 02 85 D4");

bool Send(TComm& comm, const QByteArray& bytes)
{
    return comm.writeBytes(reinterpret_cast<const uint8_t*>(bytes.constData()), int(bytes.size()));
}

// A pseudo-terminal pair; the test writes and reads on the master side.
class Pty {
public:
    Pty()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0)
            slavePath_ = QString::fromLocal8Bit(ptsname(master_));
        if (slavePath_.isEmpty()) qFatal("cannot open a pseudo-terminal");
    }
    ~Pty() { hangUp(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    QString slavePath() const { return slavePath_; }

    void hangUp()
    {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    bool send(const QByteArray& bytes)
    {
        int done = 0;
        QDeadlineTimer deadline(3000);
        while (done < bytes.size() && !deadline.hasExpired()) {
            const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) done += int(n);
            else QThread::msleep(1);
        }
        return done == bytes.size();
    }

    QByteArray receive(int count)
    {
        QByteArray out;
        QDeadlineTimer deadline(3000);
        while (out.size() < count && !deadline.hasExpired()) {
            pollfd p {master_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            char buffer[256];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) out.append(buffer, int(n));
        }
        return out;
    }

private:
    int master_ = -1;
    QString slavePath_;
};

// Waits, without letting the poll timer run, until count bytes are queued.
bool WaitQueued(const TComm& comm, int count)
{
    QDeadlineTimer deadline(3000);
    while (comm.dataCount() < count) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(2);
    }
    return true;
}

class ScriptedDevice : public serial::Device {
public:
    serial::OpenResult open(const std::string&) override
    {
        opened = true;
        return serial::OpenResult::Opened;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    bool applySettings(const serial::LineSettings&) override { return true; }
    uint32_t lineSpeed() const override { return 0; }
    int bytesQueued() override { return queued; }
    uint32_t takeLineErrors() override { return std::exchange(errors, 0u); }
    int read(uint8_t* buffer, int maxBytes) override
    {
        ++reads;
        const int n = std::min(maxBytes, queued);
        std::fill(buffer, buffer + n, uint8_t(reads));
        queued -= n;
        return n;
    }
    bool write(const uint8_t*, int) override { return true; }
    void discardInput() override
    {
        ++discards;
        queued = 0;
    }
    void purge() override { queued = 0; }
    bool modemLines(serial::ModemLines& out) override
    {
        out = lines;
        return true;
    }
    void setDtr(bool) override {}
    void setRts(bool) override {}

    bool opened = false;
    int queued = 0;
    int reads = 0;
    int discards = 0;
    uint32_t errors = 0;
    serial::ModemLines lines;
};

} // namespace

class TCommTest : public QObject {
    Q_OBJECT

private slots:
    void portNaming();
    void receiveNotification_data();
    void receiveNotification();
    void openTwiceKeepsFirstHandle();
    void openFailures_data();
    void openFailures();
    void writeWhenClosed();
    void queueAndLastRead();
    void readBounds_data();
    void readBounds();
    void everyBaudRateApplies_data();
    void everyBaudRateApplies();
    void binaryBytesPassUnchanged();
    void hangUpWhileOpen();
    void pollReportsModemAndErrorsInOrder();
};

void TCommTest::portNaming()
{
    RecordingNotifier notifier;
    TComm comm(notifier);
    QCOMPARE(comm.commPort(), QStringLiteral("/dev/ttyS1"));  // COM2
    comm.setCommPort(QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(comm.commPort(), QStringLiteral("/dev/ttyUSB0"));
    comm.setCommPort(QStringLiteral("255"));
    QCOMPARE(comm.commPort(), QStringLiteral("/dev/ttyS254"));
    comm.setCommPortNumber(0);
    comm.setCommPortNumber(256);
    QCOMPARE(comm.commPort(), QStringLiteral("/dev/ttyS254"));
    comm.setCommPortNumber(1);
    QCOMPARE(comm.commPort(), QStringLiteral("/dev/ttyS0"));
}

void TCommTest::receiveNotification_data()
{
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("fires");
    QTest::newRow("threshold 1, one byte") << 1 << 1 << true;
    QTest::newRow("threshold 0 never") << 0 << 5 << false;
    QTest::newRow("threshold 3, two bytes") << 3 << 2 << false;
    QTest::newRow("threshold 3, three bytes") << 3 << 3 << true;
}

void TCommTest::receiveNotification()
{
    QFETCH(int, threshold);
    QFETCH(int, bytes);
    QFETCH(bool, fires);
    Pty pty;
    RecordingNotifier notifier;
    TComm comm(notifier);
    comm.setRThreshold(threshold);
    QList<QByteArray> reads;
    comm.OnReceiveData = [&] { reads << comm.readInputBytes(); };
    comm.setCommPort(pty.slavePath());
    comm.setPortOpen(true);

    QVERIFY(pty.send(QByteArray(bytes, 'a')));
    QVERIFY(WaitQueued(comm, bytes));
    comm.pollTick();
    if (!fires) {
        QTest::qWait(3 * TComm::kPollIntervalMs);  // the timer's ticks stay silent too
        QCOMPARE(reads.size(), 0);
        return;
    }
    QTRY_COMPARE(reads, QList<QByteArray> {QByteArray(bytes, 'a')});
    // The component's own timer raises the next one.
    QVERIFY(pty.send(QByteArray(threshold, 'b')));
    QTRY_COMPARE_WITH_TIMEOUT(reads.size(), 2, 3000);
    QCOMPARE(reads.last(), QByteArray(threshold, 'b'));
}

void TCommTest::openTwiceKeepsFirstHandle()
{
    Pty pty;
    RecordingNotifier notifier;
    {
        TComm comm(notifier);
        comm.setCommPort(pty.slavePath());
        comm.setPortOpen(true);
        comm.setPortOpen(true);
        QCOMPARE(notifier.messages, QStringList {QStringLiteral("COM Port has been opened!")});
        QVERIFY(pty.send("ping"));
        QVERIFY(WaitQueued(comm, 4));
        QCOMPARE(comm.readInputBytes(), QByteArray("ping"));
    }
    // Destruction closed the port and released it for the next owner.
    TComm next(notifier);
    next.setCommPort(pty.slavePath());
    next.setPortOpen(true);
    QVERIFY(next.portOpen());
}

void TCommTest::openFailures_data()
{
    QTest::addColumn<QString>("path");  // empty: the pseudo-terminal, held by another TComm
    QTest::addColumn<QString>("message");
    QTest::newRow("held by another open") << QString() << kOpenFailed;
    QTest::newRow("no such device") << "/dev/qz-no-such-port" << kOpenFailed;
    QTest::newRow("not a serial line") << "/dev/null" << "Cannot setup comm buffer";
}

void TCommTest::openFailures()
{
    QFETCH(QString, path);
    QFETCH(QString, message);
    Pty pty;
    RecordingNotifier notifier;
    TComm holder(notifier);
    if (path.isEmpty()) {
        path = pty.slavePath();
        holder.setCommPort(path);
        holder.setPortOpen(true);
    }
    TComm comm(notifier);
    comm.setCommPort(path);
    try {
        comm.setPortOpen(true);
        QFAIL("opened");
    } catch (const ECommError& e) {
        QCOMPARE(e.message(), message);
        QCOMPARE(QString::fromUtf8(e.what()), message);
    }
    QVERIFY(!comm.portOpen());
    QVERIFY(notifier.messages.isEmpty());
    if (holder.portOpen()) {
        holder.setPortOpen(false);
        comm.setPortOpen(true);
        QVERIFY(comm.portOpen());
    }
}

void TCommTest::writeWhenClosed()
{
    RecordingNotifier notifier;
    TComm comm(notifier);
    QVERIFY(!Send(comm, kBulkRead));
    QCOMPARE(notifier.messages, QStringList {QStringLiteral("COM Port is not opened yet!")});
}

void TCommTest::queueAndLastRead()
{
    Pty pty;
    RecordingNotifier notifier;
    TComm comm(notifier);
    comm.setCommPort(pty.slavePath());
    comm.setPortOpen(true);
    QCOMPARE(comm.readInputBytes(), QByteArray());
    QVERIFY(pty.send("AB"));
    QVERIFY(WaitQueued(comm, 2));
    QCOMPARE(comm.readInputBytes(), QByteArray("AB"));
    QCOMPARE(comm.readInputBytes(), QByteArray("AB"));  // nothing queued: the previous read again

    QVERIFY(pty.send(QByteArray(10, 'x')));
    QVERIFY(WaitQueued(comm, 10));
    comm.setDataCount(5);
    QCOMPARE(comm.dataCount(), 10);
    comm.setDataCount(0);
    QCOMPARE(comm.dataCount(), 0);
    QCOMPARE(comm.input(), QByteArray("AB"));
}

void TCommTest::readBounds_data()
{
    QTest::addColumn<int>("queued");
    QTest::addColumn<int>("inputLen");
    QTest::addColumn<int>("readLength");  // -1: discarded, the previous read stays
    QTest::addColumn<int>("queuedAfter");
    QTest::newRow("16384 read whole") << 16384 << 0 << 16384 << 0;
    QTest::newRow("16385 discarded unread") << 16385 << 0 << -1 << 0;
    QTest::newRow("InputLen takes part") << 100 << 10 << 10 << 90;
    QTest::newRow("InputLen above queue") << 7 << 10 << 7 << 0;
}

void TCommTest::readBounds()
{
    QFETCH(int, queued);
    QFETCH(int, inputLen);
    QFETCH(int, readLength);
    QFETCH(int, queuedAfter);
    RecordingNotifier notifier;
    auto owned = std::make_unique<ScriptedDevice>();
    ScriptedDevice& device = *owned;
    TComm comm(notifier, std::move(owned));
    comm.setPortOpen(true);
    device.queued = 3;
    const QByteArray previous = comm.readInputBytes();  // three bytes of value 1

    comm.setInputLen(inputLen);
    device.queued = queued;
    const QByteArray got = comm.readInputBytes();
    QCOMPARE(device.queued, queuedAfter);
    QCOMPARE(got, readLength < 0 ? previous : QByteArray(readLength, char(2)));
    QCOMPARE(device.reads, readLength < 0 ? 1 : 2);
    QCOMPARE(device.discards, readLength < 0 ? 1 : 0);
}

void TCommTest::everyBaudRateApplies_data()
{
    QTest::addColumn<int>("rate");
    const uint32_t speeds[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400,
                               19200, 38400, 56000, 57600, 76800, 115200, 230400};
    for (int i = 0; i <= TComm::br230400; ++i) {
        QCOMPARE(TComm::BaudRateSpeed(TComm::TBaudRate(i)), speeds[i]);
        QTest::addRow("%u", speeds[i]) << i;
    }
}

void TCommTest::everyBaudRateApplies()
{
    QFETCH(int, rate);
    const auto baud = TComm::TBaudRate(rate);
    const uint32_t speed = TComm::BaudRateSpeed(baud);
    QTest::failOnWarning(QRegularExpression(QStringLiteral("not accepted")));
    Pty pty;
    RecordingNotifier notifier;
    auto owned = serial::CreatePlatformDevice();
    serial::Device& device = *owned;
    TComm comm(notifier, std::move(owned));
    comm.setCommPort(pty.slavePath());

    comm.setBaudRate(baud);  // while closed: taken by the next open
    comm.setPortOpen(true);
    QCOMPARE(device.lineSpeed(), speed);
    // While open: applied at once, also after a non-standard rate.
    const auto other = baud == TComm::br14400 ? TComm::br9600 : TComm::br14400;
    comm.setBaudRate(other);
    QCOMPARE(device.lineSpeed(), TComm::BaudRateSpeed(other));
    comm.setBaudRate(baud);
    QCOMPARE(device.lineSpeed(), speed);
}

void TCommTest::binaryBytesPassUnchanged()
{
    Pty pty;
    RecordingNotifier notifier;
    TComm comm(notifier);
    comm.setCommPort(pty.slavePath());
    comm.setBaudRate(TComm::br14400);
    comm.setPortOpen(true);
    const QByteArray bytes = FromHex("0D 11 13 7F 0A 00 FF 03 04 1A 1C 0D 0A");

    QVERIFY(Send(comm, bytes));
    QCOMPARE(pty.receive(int(bytes.size())), bytes);
    QVERIFY(pty.send(bytes));
    QVERIFY(WaitQueued(comm, int(bytes.size())));
    QCOMPARE(comm.readInputBytes(), bytes);
}

void TCommTest::hangUpWhileOpen()
{
    auto pty = std::make_unique<Pty>();
    RecordingNotifier notifier;
    TComm comm(notifier);
    comm.setRThreshold(1);
    int received = 0, modemEvents = 0, errors = 0;
    comm.OnReceiveData = [&] { ++received; comm.readInputBytes(); };
    comm.OnModemStateChange = [&](uint32_t) { ++modemEvents; };
    comm.OnReceiveError = [&](uint32_t) { ++errors; };
    comm.setCommPort(pty->slavePath());
    comm.setPortOpen(true);
    QVERIFY(pty->send("AB"));
    QVERIFY(WaitQueued(comm, 2));
    QCOMPARE(comm.readInputBytes(), QByteArray("AB"));

    pty->hangUp();
    QVERIFY(Send(comm, kBulkRead));  // fails quietly
    QCOMPARE(comm.readInputBytes(), QByteArray("AB"));
    QCOMPARE(comm.dataCount(), 0);
    QTest::qWait(10 * TComm::kPollIntervalMs);  // about ten ticks on the vanished device
    QCOMPARE(received + modemEvents + errors, 0);
    QVERIFY(notifier.messages.isEmpty());
    QVERIFY(comm.portOpen());

    comm.setPortOpen(false);
    pty = std::make_unique<Pty>();
    comm.setCommPort(pty->slavePath());
    comm.setPortOpen(true);
    QVERIFY(Send(comm, kBulkRead));
    QCOMPARE(pty->receive(int(kBulkRead.size())), kBulkRead);
    QVERIFY(pty->send("CD"));
    QTRY_COMPARE_WITH_TIMEOUT(received, 1, 3000);
    QCOMPARE(comm.readInputBytes(), QByteArray("CD"));
}

void TCommTest::pollReportsModemAndErrorsInOrder()
{
    RecordingNotifier notifier;
    auto owned = std::make_unique<ScriptedDevice>();
    ScriptedDevice& device = *owned;
    TComm comm(notifier, std::move(owned));
    QStringList events;
    comm.setRThreshold(1);
    // The receive handler reads, as the program's does, and so takes the
    // line errors; the poll still reports what it saw before.
    comm.OnReceiveData = [&] { events << "data"; comm.readInputBytes(); };
    comm.OnModemStateChange = [&](uint32_t mask) { events << QStringLiteral("modem %1").arg(mask); };
    comm.OnReceiveError = [&](uint32_t mask) { events << QStringLiteral("error %1").arg(mask); };

    device.lines.cd = true;
    comm.pollTick();  // closed: nothing at all
    QVERIFY(events.isEmpty());

    comm.setPortOpen(true);
    device.queued = 1;
    device.lines.cts = true;
    device.errors = serial::FramingError;
    comm.pollTick();
    // Delivered from the event loop once the tick is over, so that a handler
    // that opens a dialog does not hold the poll; a second tick before then
    // adds no second receive notification.
    QVERIFY(events.isEmpty());
    comm.pollTick();
    QCoreApplication::processEvents();
    QCOMPARE(events, QStringList({"data", "modem 40", "error 8"}));
    QVERIFY(comm.cdHolding() && comm.ctsHolding() && !comm.dsrHolding() && !comm.riHolding());

    events.clear();
    comm.pollTick();  // nothing changed
    QCoreApplication::processEvents();
    QVERIFY(events.isEmpty());
    device.lines = {false, true, true, true};  // CD drops, DSR and RING rise
    comm.pollTick();
    QCoreApplication::processEvents();
    QCOMPARE(events, QStringList({"modem 304"}));
    QCOMPARE(comm.commEvent(), 304u);
}

QTEST_GUILESS_MAIN(TCommTest)
#include "test_tcomm.moc"
