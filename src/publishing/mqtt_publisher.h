#pragma once
// Publishes measurements to an MQTT broker (publish_topics.h names the
// topics) through libmosquitto, on a thread of its own: the caller's thread
// only formats a measurement and puts it in the queue, so sampling never
// waits for the network.
//
// The connection: the Last Will "offline" and the retained "online" on the
// availability topic, the retained status, the discovery configurations on
// request, then the queued measurements in order. When the broker goes
// away the measurements wait in the bounded queue (publish_queue.h) and go
// out with their own times once it is back; reconnection waits 1 s after a
// failure and doubles up to 30 s. A broker that refuses the credentials or
// a failed TLS handshake is not tried again: that needs the user.

#include "publishing/broker_address.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

struct TestRecordImage;

struct PublisherConfig {
    BrokerAddress broker;
    QString name;          // bench name, one topic level (IsValidBenchName)
    QString username;      // empty: none
    QString password;
    QString caFile;        // TLS: the authority that signed the broker's certificate; empty: the system's
    QString certFile;      // TLS client certificate and its key, both or neither
    QString keyFile;
    bool haDiscovery = false;
    int qos = 1;           // 0 or 1
    int queueLimit = 100000;
};

enum class BrokerState {
    Connecting,  // the first attempt, or an attempt after a wait
    Connected,
    Waiting,     // unreachable or connection lost; tried again after a wait
    Refused,     // the broker refuses the credentials (or the client); not tried again
    TlsFailed,   // the TLS handshake failed; not tried again
    Stopped,
};

struct PublisherStatus {
    BrokerState state = BrokerState::Connecting;
    QString problem;            // the last failure as one line naming the broker; empty after connecting
    bool everConnected = false;
    int failedAttempts = 0;     // in a row, since the last connection
    int retryInSeconds = 0;     // while Waiting
    qint64 queued = 0;          // measurements not yet confirmed, in flight included
    quint64 published = 0;      // measurements confirmed
    quint64 lost = 0;           // measurements that gave way in a full queue

    bool operator==(const PublisherStatus& o) const;
    bool operator!=(const PublisherStatus& o) const { return !(*this == o); }
};

class MqttPublisher : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxRetryDelaySeconds = 30;

    explicit MqttPublisher(const PublisherConfig& config, QObject* parent = nullptr);
    // Stops at once (offline and disconnect when connected, the queue left).
    ~MqttPublisher() override;

    // Checks the TLS files and starts the thread; false with a one-line
    // reason when the configuration cannot work.
    bool start(QString* error);

    // Queues one measurement: the readouts as received (before the NaN
    // repair) and the time it was taken.
    void publish(const QDateTime& when, const TestRecordImage& received);
    // The retained status text: "sampling", "instrument not answering", ...
    void setSamplingState(const QString& text);

    // Publishes what is queued for at most flushMs, then "offline", and
    // disconnects; finished() follows.
    void stop(int flushMs);
    bool running() const;

    PublisherStatus status() const;
    const PublisherConfig& config() const { return config_; }

signals:
    // The status changed (looked at every 100 ms).
    void statusChanged();
    // The thread has ended after stop() or a refusal.
    void finished();

private:
    struct Shared;
    void poll();

    PublisherConfig config_;
    std::shared_ptr<Shared> shared_;
    QTimer pollTimer_;
    PublisherStatus lastStatus_;
    bool started_ = false;
    bool finishedSent_ = false;
};
