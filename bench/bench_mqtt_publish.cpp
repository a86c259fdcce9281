// bench_mqtt_publish [seconds] [interval]: qzr6100-cli publish at full speed
// (--interval 0 unless told) against the simulated instrument answering at
// once and a private Mosquitto broker on 127.0.0.1, for 600 s unless told.
// Prints measurements published and received (in order, none twice), the
// rate, the latency from the measurement's time to the subscriber (median
// and 99th percentile), the publisher's CPU time per measurement and its
// resident memory after the start and at the end.

#include "support/mqtt_test_broker.h"

#include "pty_simulator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// utime + stime of a process in seconds, from /proc.
double CpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    const QByteArray text = file.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return 0;
    return double(fields[11].toLongLong() + fields[12].toLongLong()) / double(::sysconf(_SC_CLK_TCK));
}

long RssKilobytes(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

double Percentile(std::vector<qint64> values, double share)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return double(values[std::min(values.size() - 1, size_t(share * double(values.size())))]);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(10, atoi(argv[1])) : 600;
    const QString interval = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("0");
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/qzr6100-cli");
    if (!QFileInfo::exists(cli)) {
        std::fprintf(stderr, "bench_mqtt_publish: %s is not built\n", qPrintable(cli));
        return 2;
    }

    QTemporaryDir dir;
    mqtt_test::Broker broker(dir.path());
    QString error;
    if (!broker.start(&error)) {
        std::fprintf(stderr, "bench_mqtt_publish: %s\n", qPrintable(error));
        return 2;
    }
    sim::PtySimulator simulator;  // replies at once
    std::string reason;
    if (!simulator.start(&reason)) {
        std::fprintf(stderr, "bench_mqtt_publish: the simulator: %s\n", reason.c_str());
        return 2;
    }
    const QByteArray topic = "qzr6100/bench/measurement";
    mqtt_test::Subscriber subscriber(broker.port(), topic, "bench-subscriber");
    subscriber.waitSubscribed();

    QProcess publisher;
    publisher.start(cli, {QStringLiteral("publish"), QStringLiteral("--port"), QString::fromStdString(simulator.slavePath()),
                          QStringLiteral("--settings"), dir.filePath(QStringLiteral("SysSet.ini")),
                          QStringLiteral("--broker"), QStringLiteral("mqtt://127.0.0.1:%1").arg(broker.port()),
                          QStringLiteral("--name"), QStringLiteral("bench"), QStringLiteral("--interval"), interval});
    publisher.waitForStarted();
    const qint64 pid = publisher.processId();
    std::printf("bench_mqtt_publish: %d s, --interval %s, QoS 1, broker 127.0.0.1:%d\n", seconds,
                qPrintable(interval), broker.port());

    // Warm-up: the start-up is not part of the figures.
    QThread::sleep(10);
    const int startCount = subscriber.count(topic);
    const double cpuStart = CpuSeconds(pid);
    const long rssStart = RssKilobytes(pid);
    for (int t = 10; t < seconds; t += 30) {
        QThread::sleep(unsigned(std::min(30, seconds - t)));
        std::fprintf(stderr, "  %4d s: %d received, RSS %ld kB\n", std::min(t + 30, seconds), subscriber.count(topic),
                     RssKilobytes(pid));
    }
    const int endCount = subscriber.count(topic);
    const double cpuEnd = CpuSeconds(pid);
    const long rssEnd = RssKilobytes(pid);

    ::kill(pid_t(pid), SIGTERM);
    publisher.waitForFinished(20000);
    QThread::msleep(500);
    const QString said = QString::fromUtf8(publisher.readAllStandardError());

    // Order, doubles and latency over everything received.
    const QList<mqtt_test::Message> messages = subscriber.on(topic);
    std::vector<qint64> latencies;
    latencies.reserve(size_t(messages.size()));
    int outOfOrder = 0, twice = 0;
    qint64 previous = 0;
    for (const mqtt_test::Message& m : messages) {
        const QDateTime when =
            QDateTime::fromString(QJsonDocument::fromJson(m.payload).object().value("time").toString(), Qt::ISODateWithMs);
        const qint64 ms = when.toMSecsSinceEpoch();
        if (ms < previous) ++outOfOrder;
        if (ms == previous) ++twice;
        previous = ms;
        latencies.push_back(m.receivedMs - ms);
    }
    const int measured = endCount - startCount;
    const double window = seconds - 10;

    std::printf("publisher says:         %s\n", qPrintable(said.trimmed().split(u'\n').last()));
    std::printf("received:               %lld (%d out of order, %d with the time of the one before)\n",
                static_cast<long long>(messages.size()), outOfOrder, twice);
    std::printf("rate:                   %.2f measurements/s (over the last %.0f s)\n", measured / window, window);
    std::printf("latency to subscriber:  median %.0f ms, 99th percentile %.0f ms, max %.0f ms\n",
                Percentile(latencies, 0.5), Percentile(latencies, 0.99), Percentile(latencies, 1.0));
    std::printf("publisher CPU:          %.3f ms per measurement (link, JSON and MQTT; %.1f s in %.0f s)\n",
                measured > 0 ? (cpuEnd - cpuStart) * 1000.0 / measured : 0.0, cpuEnd - cpuStart, window);
    std::printf("publisher RSS:          %ld kB after 10 s, %ld kB at the end\n", rssStart, rssEnd);
    return 0;
}
