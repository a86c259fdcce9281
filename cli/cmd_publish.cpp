// publish: measurements to an MQTT broker until stopped, each taken as the
// measure command takes it, so that many benches end up on one broker (and
// from there in Home Assistant, Grafana or a control room). The publisher
// (src/publishing) queues while the broker is away; this command decides
// what ends the run: a stop signal (the queue flushed for a few seconds,
// "offline", disconnect, status 0), a broker that refuses the credentials or
// the TLS handshake, or one that cannot be reached at start (status 2).

#include "cli_common.h"
#include "commands.h"
#include "common_options.h"
#include "instrument_command.h"

#include "acquisition/sampling_controller.h"
#include "link/register_map.h"
#include "publishing/mqtt_publisher.h"
#include "publishing/password_file.h"
#include "publishing/publish_topics.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>
#include <QTimer>

#include <memory>

namespace {

// How long a stop waits for the queue to empty before "offline".
constexpr int kFlushMs = 3000;
// A full queue is reported at most this often.
constexpr int kLostReportSpacingMs = 10000;

const QString kSampling = QStringLiteral("sampling");
const QString kNotAnswering = QStringLiteral("instrument not answering");
const QString kPortLost = QStringLiteral("port lost");

class PublishCommand : public InstrumentCommand {
public:
    struct Settings {
        PublisherConfig publisher;
        int intervalMs = 1000;
        bool wait = false;
        bool quiet = false;  // errors and warnings only
    };

    PublishCommand(const LinkOptions& linkOptions, const Settings& settings)
        : InstrumentCommand(linkOptions), settings_(settings), publisher_(settings.publisher)
    {
    }

    bool begin(int* status)
    {
        QString error;
        if (!publisher_.start(&error)) {
            PrintError(error);
            *status = kExitFailure;
            return false;
        }
        // Ctrl-C, SIGTERM and SIGHUP (a closed terminal, a service
        // manager's stop) all end in a clean stop.
        if (!openLink(status, [this] { beginStop(); })) return false;

        watch_.onGiveUp = [this] { instrumentSilent(); };
        link_.view().onStatus = [this](int panel, const QString& text) {
            if (panel != MainWindowView::LinkPanel) return;
            if (text == QStringLiteral("Connection failed!")) {
                portLost_ = true;
                setSamplingState(kPortLost);
            } else if (text == QStringLiteral("Connected")) {
                portLost_ = false;
            }
        };
        QObject::connect(&link_.sampling(), &SamplingController::measurementHandled, this,
                         [this] { measurementTaken(); });
        QObject::connect(&publisher_, &MqttPublisher::statusChanged, this, [this] { publisherChanged(); });
        QObject::connect(&publisher_, &MqttPublisher::finished, this, [this] { publisherFinished(); });
        QTimer::singleShot(0, this, [this] { requestNext(); });
        return true;
    }

private:
    void requestNext()
    {
        if (ended() || stopping_) return;
        sinceRequest_.start();
        link_.sampling().startSingle();
        watch_.arm();
    }

    void measurementTaken()
    {
        if (ended() || stopping_ || !watch_.armed()) return;
        watch_.disarm();
        publisher_.publish(QDateTime::currentDateTime(), link_.state().ReceivedRecord);
        if (samplingState_ != kSampling) {
            if (!samplingState_.isEmpty()) PrintError(QStringLiteral("the instrument on %1 answers again").arg(link_.portName()));
            setSamplingState(kSampling);
        }
        const qint64 wait = std::max<qint64>(0, settings_.intervalMs - sinceRequest_.elapsed());
        QTimer::singleShot(int(wait), this, [this] { requestNext(); });
    }

    // Nothing usable for about 8 s: the publisher says why and the command
    // keeps asking, as the desktop program does, until the instrument is back.
    void instrumentSilent()
    {
        const bool lost = portLost_ || !link_.requests().portOpen();
        const QString state = lost ? kPortLost : kNotAnswering;
        if (samplingState_ != state) {
            PrintError(lost ? QStringLiteral("the port %1 is lost; waiting for it to come back").arg(link_.portName())
                                 : link_.noAnswerText() + QStringLiteral("; asking on"));
            setSamplingState(state);
        }
        // A request withdrawn when the port was reopened is asked for anew.
        if (link_.requests().portOpen()) link_.sampling().startSingle();
        watch_.arm();
    }

    void setSamplingState(const QString& state)
    {
        samplingState_ = state;
        publisher_.setSamplingState(state);
    }

    // A broker that refuses the credentials or the TLS handshake will not
    // change its mind: the command ends with status 2 and the reason.
    bool endIfRejected(const PublisherStatus& s)
    {
        if (s.state != BrokerState::Refused && s.state != BrokerState::TlsFailed) return false;
        PrintError(s.problem);
        end(kExitFailure);
        return true;
    }

    void publisherChanged()
    {
        if (ended()) return;
        const PublisherStatus s = publisher_.status();
        if (endIfRejected(s)) return;
        if (s.state == BrokerState::Waiting && !s.everConnected && !settings_.wait && !stopping_) {
            PrintError(s.problem + QStringLiteral(" (--wait keeps trying)"));
            end(kExitFailure);
            return;
        }
        if (s.state != shownState_) {
            if (s.state == BrokerState::Connected && !settings_.quiet) {
                PrintError(QStringLiteral("%1 to %2 under qzr6100/%3/")
                               .arg(shownState_ == BrokerState::Connecting ? QStringLiteral("publishing")
                                                                          : QStringLiteral("publishing again"),
                                    settings_.publisher.broker.text(), settings_.publisher.name));
            } else if (s.state == BrokerState::Waiting && shownState_ != BrokerState::Connecting) {
                PrintError(QStringLiteral("%1; measurements are queued, trying again in %2 s")
                               .arg(s.problem).arg(s.retryInSeconds));
            } else if (s.state == BrokerState::Waiting) {
                PrintError(QStringLiteral("%1; trying again in %2 s").arg(s.problem).arg(s.retryInSeconds));
            }
            if (s.state != BrokerState::Connecting) shownState_ = s.state;
        }
        if (s.lost > shownLost_ && (!lostReported_.isValid() || lostReported_.elapsed() >= kLostReportSpacingMs)) {
            shownLost_ = s.lost;
            lostReported_.start();
            PrintError(QStringLiteral("the queue of %1 measurements is full: %2 lost so far, the oldest first")
                           .arg(settings_.publisher.queueLimit)
                           .arg(s.lost));
        }
    }

    void beginStop()
    {
        if (stopping_ || ended()) return;
        stopping_ = true;
        watch_.disarm();
        link_.sampling().stop();
        publisher_.stop(kFlushMs);
        // The publisher ends on its own within the flush and the wait for
        // "offline"; this is the backstop.
        QTimer::singleShot(kFlushMs + 4000, this, [this] { end(kExitOk); });
    }

    void publisherFinished()
    {
        if (ended()) return;
        if (endIfRejected(publisher_.status())) return;
        end(kExitOk);
    }

    int ending(int status) override
    {
        link_.sampling().stop();
        const PublisherStatus s = publisher_.status();
        if (stopping_ && !settings_.quiet) {
            PrintError(QStringLiteral("stopped: %1 measurements published, %2 lost to a full queue, %3 not published")
                           .arg(s.published)
                           .arg(s.lost)
                           .arg(s.queued));
        }
        return status;
    }

    Settings settings_;
    MqttPublisher publisher_;
    QElapsedTimer sinceRequest_;
    QString samplingState_;
    bool portLost_ = false;
    bool stopping_ = false;
    BrokerState shownState_ = BrokerState::Connecting;
    quint64 shownLost_ = 0;
    QElapsedTimer lostReported_;
};

} // namespace

CommandDescription PublishDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("publish");
    about.synopsis = QStringLiteral(
        "--broker mqtt://HOST[:PORT] [--name NAME] [--interval S] [--port P | --simulate] "
        "[--username U --password-file F] [--cafile F [--cert F --key F]] [--ha-discovery] [--qos 0|1] [--queue N] "
        "[--wait]");
    about.summary = QStringLiteral("publish measurements to an MQTT broker until stopped");
    about.description = QStringLiteral(
        "Takes measurements as the measure command does, one every --interval seconds, and publishes each to the "
        "MQTT broker as one JSON object on qzr6100/NAME/measurement: the time with its UTC offset, the fifteen "
        "readouts exactly as the instrument sent them (null for a value that is not a number) and their units. "
        "qzr6100/NAME/availability says online (retained) while the command runs and offline when it stops or "
        "dies (the broker's Last Will); qzr6100/NAME/status (retained) says sampling, instrument not answering "
        "or port lost, and how many measurements were lost to a full queue.\n\n"
        "While the broker is away the measurements wait in memory (--queue, 100000 by default; when it is full "
        "the oldest go and are counted) and are published in order, with their own times, when it is back; the "
        "command tries again after 1 s, doubling up to 30 s. A silent instrument or a lost port is asked again "
        "and reopened as the desktop program does. mqtts:// connects with TLS, checking the broker's certificate "
        "against --cafile (or the system's authorities). The password comes from --password-file or the "
        "environment variable QZR6100_MQTT_PASSWORD, never from the command line.\n\n"
        "Ctrl-C, SIGTERM or SIGHUP publish what is queued (for at most 3 s), then offline, disconnect and end "
        "with status 0. A broker that cannot be reached at start (unless --wait), refuses the credentials or "
        "fails the TLS handshake ends the command with status 2 and one line naming it.");
    about.options = {
        QCommandLineOption(QStringLiteral("broker"),
                           QStringLiteral("the broker: mqtt://HOST[:PORT] (port 1883) or mqtts://HOST[:PORT] for "
                                          "TLS (port 8883)"),
                           QStringLiteral("URL")),
        QCommandLineOption(QStringLiteral("name"),
                           QStringLiteral("the bench's name in the topics (letters, digits, - and _); default: "
                                          "the host name"),
                           QStringLiteral("NAME")),
        QCommandLineOption(QStringList{QStringLiteral("i"), QStringLiteral("interval")},
                           QStringLiteral("seconds from one measurement request to the next (default 1; 0: as "
                                          "fast as the link gives)"),
                           QStringLiteral("S")),
        QCommandLineOption(QStringLiteral("username"), QStringLiteral("user name at the broker"), QStringLiteral("U")),
        QCommandLineOption(QStringLiteral("password-file"),
                           QStringLiteral("file whose first line is the password (else QZR6100_MQTT_PASSWORD)"),
                           QStringLiteral("F")),
        QCommandLineOption(QStringLiteral("cafile"),
                           QStringLiteral("certificate authority that signed the broker's certificate (mqtts)"),
                           QStringLiteral("F")),
        QCommandLineOption(QStringLiteral("cert"), QStringLiteral("client certificate (mqtts; with --key)"),
                           QStringLiteral("F")),
        QCommandLineOption(QStringLiteral("key"), QStringLiteral("key of the client certificate"), QStringLiteral("F")),
        QCommandLineOption(QStringLiteral("ha-discovery"),
                           QStringLiteral("publish retained Home Assistant discovery configurations, so the "
                                          "readouts appear there as one device")),
        QCommandLineOption(QStringLiteral("qos"),
                           QStringLiteral("0 or 1 (default 1: each measurement confirmed by the broker)"),
                           QStringLiteral("Q")),
        QCommandLineOption(QStringLiteral("queue"),
                           QStringLiteral("measurements kept while the broker is away (default 100000)"),
                           QStringLiteral("N")),
        QCommandLineOption(QStringLiteral("wait"),
                           QStringLiteral("keep trying a broker that cannot be reached at start")),
        QuietOption(),
    };
    about.options << LinkOptionList();
    about.examples = {
        QStringLiteral("qzr6100-cli publish --simulate --broker mqtt://127.0.0.1 --ha-discovery"),
        QStringLiteral("qzr6100-cli publish --port /dev/qzr6100-1 --name bench1 --broker mqtts://broker.lab "
                       "--cafile /etc/qzr6100/ca.crt --username bench1 --password-file /etc/qzr6100/bench1.pw"),
        QStringLiteral("mosquitto_sub -h broker.lab -t 'qzr6100/#' -v"),
    };
    return about;
}

int RunPublish(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    LinkOptions link;
    int status = kExitOk;
    if (!ParseInstrumentCommand(parser, about, arguments, &link, &status)) return status;
    if (parser.positionalArguments().size() > 1)
        return UsageError(about, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().at(1)));

    PublishCommand::Settings settings;
    PublisherConfig& config = settings.publisher;
    if (!parser.isSet(QStringLiteral("broker")))
        return UsageError(about, QStringLiteral("--broker names the broker, e.g. mqtt://127.0.0.1"));
    QString error;
    const std::optional<BrokerAddress> broker = ParseBrokerAddress(parser.value(QStringLiteral("broker")), &error);
    if (!broker) return UsageError(about, error);
    config.broker = *broker;

    config.name = parser.isSet(QStringLiteral("name")) ? parser.value(QStringLiteral("name"))
                                                       : BenchNameFrom(QSysInfo::machineHostName());
    if (!IsValidBenchName(config.name))
        return UsageError(about, QStringLiteral("--name wants letters, digits, - and _ only (one topic level), "
                                                "not '%1'")
                                     .arg(config.name));
    if (parser.isSet(QStringLiteral("interval"))) {
        const std::optional<double> seconds = ParseDurationSeconds(parser.value(QStringLiteral("interval")));
        if (!seconds || *seconds > 86400)
            return UsageError(about, QStringLiteral("--interval wants seconds from 0 to 86400"));
        settings.intervalMs = int(*seconds * 1000);
    }
    if (parser.isSet(QStringLiteral("qos"))) {
        const std::optional<int> qos = ParseWholeNumber(parser.value(QStringLiteral("qos")), 0, 1);
        if (!qos) return UsageError(about, QStringLiteral("--qos wants 0 or 1"));
        config.qos = *qos;
    }
    if (parser.isSet(QStringLiteral("queue"))) {
        const std::optional<int> limit = ParseWholeNumber(parser.value(QStringLiteral("queue")), 100, 10000000);
        if (!limit) return UsageError(about, QStringLiteral("--queue wants a whole number from 100 to 10000000"));
        config.queueLimit = *limit;
    }
    config.username = parser.value(QStringLiteral("username"));
    if (parser.isSet(QStringLiteral("password-file"))) {
        if (!ReadPasswordFile(parser.value(QStringLiteral("password-file")), &config.password, &error)) {
            PrintError(error);
            return kExitFailure;
        }
    } else {
        config.password = qEnvironmentVariable("QZR6100_MQTT_PASSWORD");
    }
    if (!config.password.isEmpty() && config.username.isEmpty())
        return UsageError(about, QStringLiteral("a password needs --username"));
    config.caFile = parser.value(QStringLiteral("cafile"));
    config.certFile = parser.value(QStringLiteral("cert"));
    config.keyFile = parser.value(QStringLiteral("key"));
    if (!config.broker.tls && !(config.caFile.isEmpty() && config.certFile.isEmpty() && config.keyFile.isEmpty()))
        return UsageError(about, QStringLiteral("--cafile, --cert and --key are for an mqtts:// broker"));
    if (config.certFile.isEmpty() != config.keyFile.isEmpty())
        return UsageError(about, QStringLiteral("--cert and --key go together"));
    config.haDiscovery = parser.isSet(QStringLiteral("ha-discovery"));
    settings.wait = parser.isSet(QStringLiteral("wait"));
    settings.quiet = IsQuiet(parser);

    PublishCommand command(link, settings);
    if (!command.begin(&status)) return status;
    return QCoreApplication::exec();
}
