// qzr6100-cli publish end to end: the built program against the simulated
// instrument on a pseudo-terminal, a Mosquitto broker of the test's own on
// 127.0.0.1 and a libmosquitto subscriber. Values are checked against the
// measurement replies the program logged (--trace), so what arrives is
// compared with what the instrument sent, one by one and in order.

#include "support/mqtt_test_broker.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/measurement_data.h"
#include "pty_simulator.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <memory>

using mqtt_test::Broker;
using mqtt_test::BrokerOptions;
using mqtt_test::Message;
using mqtt_test::Subscriber;

namespace {

QString CliBinary() { return qEnvironmentVariable("QZ_CLI_BINARY"); }

// The fifteen readouts of every whole measurement reply in a communication log.
QList<std::array<float, TestRecordImage::kReadoutCount>> LoggedReadouts(const QString& tracePath)
{
    QList<std::array<float, TestRecordImage::kReadoutCount>> found;
    QFile file(tracePath);
    if (!file.open(QIODevice::ReadOnly)) return found;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().simplified().split(' ');
        if (fields.size() < 4 || fields[2] != "RX" || fields[3].toInt() != kMeasurementImageSize + 2) continue;
        QByteArray bytes;
        for (int i = 4; i < fields.size(); ++i) bytes += char(fields[i].toInt(nullptr, 16));
        std::array<float, TestRecordImage::kReadoutCount> readouts{};
        std::memcpy(readouts.data(), bytes.constData(), sizeof readouts);
        found.append(readouts);
    }
    return found;
}

QJsonObject JsonOf(const Message& m) { return QJsonDocument::fromJson(m.payload).object(); }

// The measurement objects are each the one the instrument sent at that place.
void CompareWithLog(const QList<Message>& measurements, const QString& tracePath)
{
    const auto logged = LoggedReadouts(tracePath);
    QVERIFY2(measurements.size() <= logged.size(), "more published than measured");
    // At most the reply that came in while stopping is left unpublished.
    QVERIFY2(measurements.size() >= logged.size() - 1,
             qPrintable(QStringLiteral("%1 published of %2 measured").arg(measurements.size()).arg(logged.size())));
    QDateTime previous;
    for (int i = 0; i < measurements.size(); ++i) {
        const QJsonObject json = JsonOf(measurements[i]);
        for (int r = 0; r < TestRecordImage::kReadoutCount; ++r) {
            const QJsonValue value = json.value(QString::fromLatin1(MeasurementReadoutAt(r).key));
            QVERIFY2(value.isDouble() && float(value.toDouble()) == logged[i][size_t(r)],
                     qPrintable(QStringLiteral("measurement %1, %2").arg(i).arg(MeasurementReadoutAt(r).key)));
        }
        const QDateTime when = QDateTime::fromString(json.value("time").toString(), Qt::ISODateWithMs);
        QVERIFY(when.isValid());
        if (previous.isValid()) QVERIFY2(when > previous, "out of order or twice");
        previous = when;
    }
}

} // namespace

class MqttPublishSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<sim::PtySimulator> simulator;

    QString path(const QString& name) const { return dir.filePath(name); }

    std::unique_ptr<QProcess> startPublisher(const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        process->start(CliBinary(), QStringList{QStringLiteral("publish"), QStringLiteral("--port"),
                                                 QString::fromStdString(simulator->slavePath()),
                                                 QStringLiteral("--settings"), path("SysSet.ini")}
                                        << arguments);
        process->waitForStarted();
        return process;
    }
    // Signals the publisher and waits for its end; its exit status, or -1.
    int stopPublisher(QProcess& process, int signalNumber = SIGTERM)
    {
        ::kill(pid_t(process.processId()), signalNumber);
        if (!process.waitForFinished(20000)) return -2;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    // A publisher that must end on its own (a broker it gives up on).
    struct Outcome {
        int status;
        QString err;
    };
    Outcome runToEnd(const QStringList& arguments)
    {
        auto process = startPublisher(arguments);
        const bool ended = process->waitForFinished(30000);
        if (!ended) stopPublisher(*process, SIGKILL);
        return {ended ? process->exitCode() : -1, QString::fromUtf8(process->readAllStandardError())};
    }
    static QString brokerUrl(const char* scheme, int port)
    {
        return QStringLiteral("%1://127.0.0.1:%2").arg(QString::fromLatin1(scheme)).arg(port);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(CliBinary()), "QZ_CLI_BINARY names no program");
        QVERIFY2(!mqtt_test::Program("mosquitto").isEmpty(), "mosquitto is not installed (tools/install-deps.sh)");
        QVERIFY(dir.isValid());
    }
    void init()
    {
        simulator = std::make_unique<sim::PtySimulator>();
        std::string reason;
        QVERIFY2(simulator->start(&reason), reason.c_str());
    }
    void cleanup() { simulator.reset(); }

    void measurementsArriveInOrderAsSentWithDiscoveryAndOfflineAtStop()
    {
        QTemporaryDir brokerDir;
        Broker broker(brokerDir.path());
        QString error;
        QVERIFY2(broker.start(&error), qPrintable(error));
        Subscriber all(broker.port(), "#", "test-all");
        QVERIFY(all.waitSubscribed());

        const QString trace = path("fifty.log");
        auto publisher = startPublisher({"--broker", brokerUrl("mqtt", broker.port()), "--name", "bench1", "--interval",
                                         "0", "--ha-discovery", "--trace", trace});
        QVERIFY2(all.waitForCount("qzr6100/bench1/measurement", 50, 30000),
                 qPrintable(QString::fromUtf8(publisher->readAllStandardError())));
        QCOMPARE(stopPublisher(*publisher), 0);

        // SIGTERM: everything measured went out before "offline", the last word.
        const QList<Message> messages = all.messages();
        QVERIFY(!messages.isEmpty());
        QCOMPARE(messages.last().topic, QByteArray("qzr6100/bench1/availability"));
        QCOMPARE(messages.last().payload, QByteArray("offline"));
        CompareWithLog(all.on("qzr6100/bench1/measurement"), trace);
        QCOMPARE(all.on("qzr6100/bench1/availability").first().payload, QByteArray("online"));
        QCOMPARE(all.on("qzr6100/bench1/status").last().payload, QByteArray("sampling"));
        const QJsonObject first = JsonOf(all.on("qzr6100/bench1/measurement").first());
        QCOMPARE(first.value("units").toObject().value("Urms").toString(), QStringLiteral("V"));

        // Discovery: one retained configuration per readout, JSON naming the
        // topics, one device; a new subscriber gets them from the broker.
        Subscriber late(broker.port(), "homeassistant/#", "test-late");
        QVERIFY(late.waitForCount("homeassistant/sensor/qzr6100_bench1/Kwh/config", 1, 5000));
        QVERIFY(late.waitForCount("homeassistant/sensor/qzr6100_bench1/Urms/config", 1, 5000));
        QTest::qWait(300);
        QCOMPARE(late.messages().size(), TestRecordImage::kReadoutCount);
        for (const Message& m : late.messages()) {
            QVERIFY(m.retained);
            QJsonParseError parseError;
            const QJsonObject config = QJsonDocument::fromJson(m.payload, &parseError).object();
            QVERIFY2(parseError.error == QJsonParseError::NoError, m.payload.constData());
            QCOMPARE(config.value("availability_topic").toString(), QStringLiteral("qzr6100/bench1/availability"));
            QCOMPARE(config.value("state_topic").toString(), QStringLiteral("qzr6100/bench1/measurement"));
            QCOMPARE(config.value("device").toObject().value("identifiers").toArray().first().toString(),
                     QStringLiteral("qzr6100_bench1"));
            QVERIFY(config.value("value_template").toString().contains(m.topic.split('/').at(3)));
        }
    }

    void brokerOutageLosesNothingAndSendsNothingTwice()
    {
        QTemporaryDir brokerDir;
        BrokerOptions options;
        options.persistent = true;  // the subscriber's session outlives the restart
        Broker broker(brokerDir.path(), options);
        QString error;
        QVERIFY2(broker.start(&error), qPrintable(error));
        const QByteArray topic = "qzr6100/outage/measurement";
        std::unique_ptr<Subscriber> subscriber =
            std::make_unique<Subscriber>(broker.port(), topic, "test-outage", true);
        QVERIFY(subscriber->waitSubscribed());

        const QString trace = path("outage.log");
        auto publisher = startPublisher(
            {"--broker", brokerUrl("mqtt", broker.port()), "--name", "outage", "--interval", "0.2", "--trace", trace});
        QVERIFY(subscriber->waitForCount(topic, 5, 20000));
        broker.stop();
        const QDateTime down = QDateTime::currentDateTime();
        QTest::qWait(5000);
        const QDateTime up = QDateTime::currentDateTime();
        QVERIFY2(broker.start(&error), qPrintable(error));
        // The publisher tries again within 30 s; then the queue goes out.
        const int before = int(LoggedReadouts(trace).size());
        QVERIFY2(subscriber->waitForCount(topic, before + 3, 45000),
                 qPrintable(QString::fromUtf8(publisher->readAllStandardError())));
        QCOMPARE(stopPublisher(*publisher), 0);
        QTest::qWait(500);

        const QList<Message> measurements = subscriber->on(topic);
        CompareWithLog(measurements, trace);
        int duringOutage = 0;
        for (const Message& m : measurements) {
            const QDateTime when = QDateTime::fromString(JsonOf(m).value("time").toString(), Qt::ISODateWithMs);
            if (when > down && when < up) ++duringOutage;
        }
        QVERIFY2(duringOutage >= 15, qPrintable(QStringLiteral("%1 from the outage").arg(duringOutage)));
    }

    void aFullQueueGivesUpTheOldestAndSaysHowMany()
    {
        QTemporaryDir brokerDir;
        Broker broker(brokerDir.path());
        QString error;
        QVERIFY2(broker.start(&error), qPrintable(error));
        auto publisher = startPublisher({"--broker", brokerUrl("mqtt", broker.port()), "--name", "full", "--interval",
                                         "0", "--queue", "100"});
        {
            Subscriber first(broker.port(), "qzr6100/full/measurement", "test-full-1");
            QVERIFY(first.waitForCount("qzr6100/full/measurement", 10, 15000));
        }
        broker.stop();
        QTest::qWait(5000);  // some 400 measurements at full speed, room for 100
        QVERIFY2(broker.start(&error), qPrintable(error));
        Subscriber status(broker.port(), "qzr6100/full/status", "test-full-2");
        Subscriber measurements(broker.port(), "qzr6100/full/measurement", "test-full-3");
        QVERIFY(status.waitSubscribed() && measurements.waitSubscribed());
        // Once back, the status says how many went; the newest 100 are not among them.
        QVERIFY(status.waitForCount("qzr6100/full/status", 1, 40000));
        QVERIFY(measurements.waitForCount("qzr6100/full/measurement", 5, 10000));
        QCOMPARE(stopPublisher(*publisher), 0);
        const QByteArray said = status.on("qzr6100/full/status").last().payload;
        QVERIFY2(said.startsWith("sampling; ") && said.endsWith(" measurements lost") &&
                     said.split(' ').at(1).toInt() > 100,
                 said.constData());
        const QString err = QString::fromUtf8(publisher->readAllStandardError());
        QVERIFY2(err.contains("the queue of 100 measurements is full"), qPrintable(err));
    }

    void aSilentInstrumentIsReportedAndAskedOn()
    {
        QTemporaryDir brokerDir;
        Broker broker(brokerDir.path());
        QString error;
        QVERIFY2(broker.start(&error), qPrintable(error));
        Subscriber subscriber(broker.port(), "qzr6100/silent/#", "test-silent");
        QVERIFY(subscriber.waitSubscribed());
        auto publisher = startPublisher(
            {"--broker", brokerUrl("mqtt", broker.port()), "--name", "silent", "--interval", "0.2", "--qos", "0"});
        QVERIFY(subscriber.waitForCount("qzr6100/silent/measurement", 3, 15000));

        sim::Options silent;
        silent.dropShare = 1.0;
        simulator->setFaultShares(silent);
        QVERIFY(subscriber.waitForPayload("qzr6100/silent/status", "instrument not answering", 20000));
        const int before = subscriber.count("qzr6100/silent/measurement");
        simulator->setFaultShares(sim::Options());
        QVERIFY(subscriber.waitForCount("qzr6100/silent/measurement", before + 3, 15000));
        QCOMPARE(subscriber.on("qzr6100/silent/status").last().payload, QByteArray("sampling"));
        QCOMPARE(publisher->state(), QProcess::Running);
        QCOMPARE(stopPublisher(*publisher), 0);
        QVERIFY(QString::fromUtf8(publisher->readAllStandardError()).contains("answers again"));
    }

    void lastWillOnKill()
    {
        QTemporaryDir brokerDir;
        Broker broker(brokerDir.path());
        QString error;
        QVERIFY2(broker.start(&error), qPrintable(error));
        Subscriber subscriber(broker.port(), "qzr6100/killed/#", "test-killed");
        QVERIFY(subscriber.waitSubscribed());
        auto publisher = startPublisher({"--broker", brokerUrl("mqtt", broker.port()), "--name", "killed"});
        QVERIFY(subscriber.waitForCount("qzr6100/killed/measurement", 1, 15000));
        QCOMPARE(subscriber.on("qzr6100/killed/availability").last().payload, QByteArray("online"));
        stopPublisher(*publisher, SIGKILL);
        QVERIFY(subscriber.waitForPayload("qzr6100/killed/availability", "offline", 10000));
    }

    void tlsWithPasswordAndWhatEndsWithStatusTwo()
    {
        QTemporaryDir certs;
        const QString openssl = mqtt_test::Program("openssl");
        QVERIFY2(!openssl.isEmpty(), "openssl is not installed");
        const auto file = [&](const char* name) { return certs.filePath(QString::fromLatin1(name)); };
        QByteArray out;
        const auto makeCa = [&](const char* key, const char* cert) {
            return mqtt_test::Run(openssl, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                                            "/CN=Test bench CA", "-keyout", file(key), "-out", file(cert)},
                                  &out);
        };
        QVERIFY2(makeCa("ca.key", "ca.crt") == 0, out.constData());
        QVERIFY2(makeCa("other.key", "other.crt") == 0, out.constData());
        QVERIFY2(mqtt_test::Run(openssl, {"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1", "-keyout",
                                          file("server.key"), "-out", file("server.csr")},
                                &out) == 0,
                 out.constData());
        QFile ext(file("san.ext"));
        QVERIFY(ext.open(QIODevice::WriteOnly));
        ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n");
        ext.close();
        QVERIFY2(mqtt_test::Run(openssl, {"x509", "-req", "-in", file("server.csr"), "-CA", file("ca.crt"), "-CAkey",
                                          file("ca.key"), "-CAcreateserial", "-days", "2", "-extfile", file("san.ext"),
                                          "-out", file("server.crt")},
                                &out) == 0,
                 out.constData());

        QTemporaryDir brokerDir;
        BrokerOptions options;
        options.user = QStringLiteral("bench");
        options.password = QStringLiteral("s3cret pass");
        options.caFile = file("ca.crt");
        options.certFile = file("server.crt");
        options.keyFile = file("server.key");
        Broker broker(brokerDir.path(), options);
        QString error;
        QVERIFY2(broker.start(&error), qPrintable(error));
        QFile passwordFile(path("password"));
        QVERIFY(passwordFile.open(QIODevice::WriteOnly));
        passwordFile.write("s3cret pass\n");
        passwordFile.close();

        // The right authority and password: measurements flow over TLS.
        Subscriber subscriber(broker.port(), "qzr6100/tls/#", "test-tls", false, "bench", "s3cret pass",
                              QFile::encodeName(file("ca.crt")));
        QVERIFY(subscriber.waitSubscribed());
        auto publisher = startPublisher({"--broker", brokerUrl("mqtts", broker.port()), "--name", "tls", "--cafile",
                                         file("ca.crt"), "--username", "bench", "--password-file", path("password")});
        QVERIFY2(subscriber.waitForCount("qzr6100/tls/measurement", 2, 15000),
                 qPrintable(QString::fromUtf8(publisher->readAllStandardError())));
        QCOMPARE(stopPublisher(*publisher), 0);
        QVERIFY(subscriber.waitForPayload("qzr6100/tls/availability", "offline", 5000));

        // A certificate signed by an authority not asked for.
        Outcome wrongCa = runToEnd({"--broker", brokerUrl("mqtts", broker.port()), "--name", "tls", "--cafile",
                                    file("other.crt"), "--username", "bench", "--password-file", path("password")});
        QCOMPARE(wrongCa.status, 2);
        QVERIFY2(wrongCa.err.contains(QStringLiteral("TLS handshake with the MQTT broker mqtts://127.0.0.1:%1 failed")
                                          .arg(broker.port())),
                 qPrintable(wrongCa.err));

        // The wrong password, from the environment.
        qputenv("QZR6100_MQTT_PASSWORD", "wrong");
        Outcome wrongPassword = runToEnd({"--broker", brokerUrl("mqtts", broker.port()), "--name", "tls", "--cafile",
                                          file("ca.crt"), "--username", "bench"});
        qunsetenv("QZR6100_MQTT_PASSWORD");
        QCOMPARE(wrongPassword.status, 2);
        QVERIFY2(wrongPassword.err.contains(QStringLiteral("refuses the credentials")), qPrintable(wrongPassword.err));
        QCOMPARE(wrongPassword.err.count(u'\n'), 1);

        // Nobody listening: status 2 at once, unless --wait, which waits
        // until it is stopped.
        const int nobody = mqtt_test::FreePort();
        Outcome unreachable = runToEnd({"--broker", brokerUrl("mqtt", nobody)});
        QCOMPARE(unreachable.status, 2);
        QVERIFY2(unreachable.err.contains(QStringLiteral("the MQTT broker mqtt://127.0.0.1:%1 cannot be reached")
                                              .arg(nobody)),
                 qPrintable(unreachable.err));
        auto waiting = startPublisher({"--broker", brokerUrl("mqtt", nobody), "--wait"});
        QTest::qWait(3000);
        QCOMPARE(waiting->state(), QProcess::Running);
        QCOMPARE(stopPublisher(*waiting, SIGHUP), 0);
    }
};

QTEST_GUILESS_MAIN(MqttPublishSimTest)
#include "test_mqtt_publish_sim.moc"
