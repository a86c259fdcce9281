// TComm against the simulated instrument on a pseudo-terminal: the bulk
// measurement reply, a reply that arrives in two parts, and the device
// vanishing and coming back under the same link path.

#include "link/modbus_framing.h"
#include "link/tcomm.h"
#include "pty_simulator.h"
#include "support/test_support.h"

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

const QByteArray kBulkRead = FromHex("02 03 00 94 00 02 85 D4");
constexpr int kBulkReplySize = 2532;

bool Send(TComm& comm, const QByteArray& request)
{
    return comm.writeBytes(reinterpret_cast<const uint8_t*>(request.constData()), int(request.size()));
}

// The bulk reply is the bare measurement image followed by its CRC.
bool IsBulkReply(const QByteArray& reply)
{
    return reply.size() == kBulkReplySize
        && HasValidCrc(reinterpret_cast<const uint8_t*>(reply.constData()), int(reply.size()));
}

// Waits as the program's reply handler does, without letting timers run.
void WaitQueued(const TComm& comm, int count)
{
    QDeadlineTimer deadline(5000);
    while (comm.dataCount() < count && !deadline.hasExpired()) QThread::msleep(5);
}

std::unique_ptr<sim::PtySimulator> StartSimulator(const sim::Options& options)
{
    auto simulator = std::make_unique<sim::PtySimulator>(options);
    std::string error;
    if (!simulator->start(&error)) qWarning("simulator: %s", error.c_str());
    return simulator;
}

} // namespace

class TCommSimulatorTest : public QObject {
    Q_OBJECT

private slots:
    void bulkReplyInOneRead();
    void splitReplyArrivesInTwoReads();
    void unplugAndReopenByLink();
};

void TCommSimulatorTest::bulkReplyInOneRead()
{
    sim::Options options;
    options.baud = 115200;  // paced: the reply takes about 220 ms to arrive
    auto simulator = StartSimulator(options);
    QVERIFY(simulator->pluggedIn());
    RecordingNotifier notifier;
    TComm comm(notifier);
    comm.setCommPort(QString::fromStdString(simulator->slavePath()));
    comm.setBaudRate(TComm::br115200);
    comm.setRThreshold(1);
    QList<QByteArray> replies;
    comm.OnReceiveData = [&] {
        WaitQueued(comm, kBulkReplySize);
        replies << comm.readInputBytes();
    };
    comm.setPortOpen(true);

    QVERIFY(Send(comm, kBulkRead));
    QTRY_COMPARE_WITH_TIMEOUT(replies.size(), 1, 5000);
    QVERIFY(IsBulkReply(replies.first()));
    QTest::qWait(3 * TComm::kPollIntervalMs);
    QCOMPARE(replies.size(), 1);
    QVERIFY(simulator->requests() == std::vector<std::vector<uint8_t>>({{kBulkRead.begin(), kBulkRead.end()}}));
    QVERIFY(notifier.messages.isEmpty());
}

void TCommSimulatorTest::splitReplyArrivesInTwoReads()
{
    sim::Options options;
    options.splitPauseMs = 400;
    auto simulator = StartSimulator(options);
    QVERIFY(simulator->pluggedIn());
    RecordingNotifier notifier;
    TComm comm(notifier);
    comm.setCommPort(QString::fromStdString(simulator->slavePath()));
    comm.setBaudRate(TComm::br14400);
    comm.setRThreshold(1);
    QList<QByteArray> reads;
    int total = 0;
    comm.OnReceiveData = [&] {
        reads << comm.readInputBytes();
        total += int(reads.last().size());
    };
    comm.setPortOpen(true);

    simulator->injectNext(sim::Fault::Split);
    QVERIFY(Send(comm, kBulkRead));
    QTRY_VERIFY_WITH_TIMEOUT(total >= kBulkReplySize, 5000);
    QVERIFY(reads.size() >= 2);
    QVERIFY(reads.first().size() < kBulkReplySize);
    QVERIFY(IsBulkReply(reads.join()));
}

void TCommSimulatorTest::unplugAndReopenByLink()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    sim::Options options;
    options.linkPath = dir.filePath(QStringLiteral("qzr6100")).toStdString();
    auto simulator = StartSimulator(options);
    QVERIFY(simulator->pluggedIn());
    RecordingNotifier notifier;
    TComm comm(notifier);
    comm.setCommPort(QString::fromStdString(options.linkPath));
    comm.setRThreshold(1);
    int notifications = 0;
    QByteArray reply;
    comm.OnReceiveData = [&] {
        ++notifications;
        WaitQueued(comm, kBulkReplySize);
        reply = comm.readInputBytes();
    };
    comm.setPortOpen(true);
    QVERIFY(Send(comm, kBulkRead));
    QTRY_VERIFY_WITH_TIMEOUT(IsBulkReply(reply), 5000);

    simulator->unplug();
    notifications = 0;
    // Requests vanish quietly, the last reply stays, the poll stays silent.
    QVERIFY(Send(comm, kBulkRead));
    QCOMPARE(comm.readInputBytes(), reply);
    QTest::qWait(10 * TComm::kPollIntervalMs);
    QCOMPARE(notifications, 0);
    QVERIFY(notifier.messages.isEmpty());

    comm.setPortOpen(false);
    QVERIFY_THROWS_EXCEPTION(ECommError, comm.setPortOpen(true));
    QVERIFY(!comm.portOpen());

    std::string error;
    QVERIFY2(simulator->plugBack(&error), error.c_str());
    comm.setPortOpen(true);
    reply.clear();
    QVERIFY(Send(comm, kBulkRead));
    QTRY_VERIFY_WITH_TIMEOUT(IsBulkReply(reply), 5000);
    QCOMPARE(notifications, 1);
}

QTEST_GUILESS_MAIN(TCommSimulatorTest)
#include "test_tcomm_simulator.moc"
