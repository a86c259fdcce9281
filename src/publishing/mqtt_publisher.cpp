#include "mqtt_publisher.h"

#include "publishing/publish_queue.h"
#include "publishing/publish_topics.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/measurement_data.h"

#include <QFile>
#include <QFileInfo>

#include <mosquitto.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Measurements handed to the library at a time; the rest wait in our own
// queue, where a full queue can still drop the oldest of them.
constexpr size_t kWindow = 32;
constexpr int kKeepAliveSeconds = 30;
// A connection that brings no answer to CONNECT in this time is given up.
constexpr auto kConnackWait = std::chrono::seconds(10);
// How long a clean stop waits for "offline" to be confirmed.
constexpr auto kOfflineWait = std::chrono::seconds(2);
// The retained status is not rewritten more often than this.
constexpr auto kStatusSpacing = std::chrono::seconds(1);

void InitLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// "error:0A000086:SSL routines::certificate verify failed" -> the reason.
QString OpenSslReason(const QString& line)
{
    const int colon = line.lastIndexOf(u':');
    const QString reason = colon >= 0 ? line.mid(colon + 1).trimmed() : line.trimmed();
    return reason.isEmpty() ? line.trimmed() : reason;
}

// The library's text for an error, as part of a sentence.
QString LibraryText(int rc)
{
    QString text = QString::fromUtf8(mosquitto_strerror(rc)).trimmed();
    if (text.endsWith(u'.')) text.chop(1);
    if (!text.isEmpty()) text[0] = text[0].toLower();
    return text;
}

} // namespace

bool PublisherStatus::operator==(const PublisherStatus& o) const
{
    return state == o.state && problem == o.problem && everConnected == o.everConnected &&
           failedAttempts == o.failedAttempts && retryInSeconds == o.retryInSeconds && queued == o.queued &&
           published == o.published && lost == o.lost;
}

// Everything the thread and the caller share. The thread owns the
// libmosquitto handle and is the only one to call the library; the caller
// reaches the thread through the queue, a few flags and the wake-up
// eventfd. The thread holds its own reference, so a thread that must be
// left behind (a connect hanging on an unreachable network at exit) never
// touches a destroyed publisher.
struct MqttPublisher::Shared {
    explicit Shared(const PublisherConfig& c) : config(c), topics(c.name), queue(size_t(std::max(1, c.queueLimit))) {}
    ~Shared()
    {
        if (wakeFd >= 0) ::close(wakeFd);
    }

    void wake() const
    {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
    }

    // Thread side.
    void run();
    bool connectOnce();
    void lose(int rc);
    void fail(BrokerState state, const QString& problem);
    void scheduleRetry();
    void pump();
    void publishControl(const QByteArray& topic, const QByteArray& payload, bool retain, int* mid = nullptr);
    void onConnect(int rc);
    void onPublish(int mid);

    const PublisherConfig config;
    const PublishTopics topics;
    int wakeFd = -1;

    mutable std::mutex mutex;
    // Guarded by mutex.
    PublishQueue queue;
    PublisherStatus status;
    QString samplingState = QStringLiteral("sampling");
    bool statusDirty = true;
    bool stopRequested = false;
    Clock::time_point flushDeadline;
    std::atomic<bool> done{false};
    std::condition_variable doneSignal;

    // The thread's own.
    mosquitto* mosq = nullptr;
    bool linked = false;       // a socket is open (CONNECT sent, or connected)
    bool connected = false;    // CONNACK accepted
    bool connectionLost = false;
    bool everTriedConnect = false;
    QString tlsError;          // the last OpenSSL complaint in the library's log
    Clock::time_point connectStarted;
    Clock::time_point nextAttempt;
    int retryDelaySeconds = 1;
    Clock::time_point lastStatusSent;
    bool discoveryDue = false;
    bool offlineSent = false;
    int offlineMid = -1;
    bool offlineConfirmed = false;
    Clock::time_point offlineDeadline;
};

void MqttPublisher::Shared::fail(BrokerState state, const QString& problem)
{
    std::lock_guard<std::mutex> lock(mutex);
    status.state = state;
    status.problem = problem;
    ++status.failedAttempts;
}

void MqttPublisher::Shared::scheduleRetry()
{
    nextAttempt = Clock::now() + std::chrono::seconds(retryDelaySeconds);
    {
        std::lock_guard<std::mutex> lock(mutex);
        status.retryInSeconds = retryDelaySeconds;
    }
    retryDelaySeconds = std::min(retryDelaySeconds * 2, kMaxRetryDelaySeconds);
}

bool MqttPublisher::Shared::connectOnce()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (status.state != BrokerState::Connected) status.state = BrokerState::Connecting;
        status.retryInSeconds = 0;
    }
    tlsError.clear();
    errno = 0;
    const QByteArray host = config.broker.host.toUtf8();
    const int rc = everTriedConnect ? mosquitto_reconnect(mosq)
                                    : mosquitto_connect(mosq, host.constData(), config.broker.port, kKeepAliveSeconds);
    everTriedConnect = true;
    const QString broker = config.broker.text();
    if (rc == MOSQ_ERR_SUCCESS) {
        linked = true;
        connectionLost = false;
        connectStarted = Clock::now();
        return true;
    }
    if (rc == MOSQ_ERR_TLS) {
        fail(BrokerState::TlsFailed, QStringLiteral("the TLS handshake with the MQTT broker %1 failed: %2")
                                         .arg(broker, tlsError.isEmpty() ? QStringLiteral("TLS error") : tlsError));
        return false;
    }
    QString reason;
    if (rc == MOSQ_ERR_ERRNO) reason = QString::fromLocal8Bit(std::strerror(errno ? errno : ECONNREFUSED));
    else if (rc == MOSQ_ERR_EAI) reason = QStringLiteral("the host name cannot be resolved");
    else reason = LibraryText(rc);
    fail(BrokerState::Waiting, QStringLiteral("the MQTT broker %1 cannot be reached: %2").arg(broker, reason));
    scheduleRetry();
    return false;
}

// The connection went (or never got as far as CONNACK).
void MqttPublisher::Shared::lose(int rc)
{
    const bool wasConnected = connected;
    linked = false;
    connected = false;
    const QString broker = config.broker.text();
    {
        std::lock_guard<std::mutex> lock(mutex);
        // The library keeps QoS 1 messages and sends them again itself after
        // reconnecting; QoS 0 ones not yet written are forgotten by it.
        if (config.qos == 0) queue.takeBackInFlight();
    }
    if (!wasConnected && config.broker.tls && (rc == MOSQ_ERR_TLS || !tlsError.isEmpty())) {
        fail(BrokerState::TlsFailed, QStringLiteral("the TLS handshake with the MQTT broker %1 failed: %2")
                                         .arg(broker, tlsError.isEmpty() ? QStringLiteral("TLS error") : tlsError));
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (status.state == BrokerState::Refused) return;
    }
    const QString reason = rc == MOSQ_ERR_SUCCESS ? QStringLiteral("no answer") : LibraryText(rc);
    if (wasConnected) {
        fail(BrokerState::Waiting, rc == MOSQ_ERR_CONN_LOST || rc == MOSQ_ERR_SUCCESS || rc == MOSQ_ERR_NO_CONN
                                       ? QStringLiteral("the connection to the MQTT broker %1 was lost").arg(broker)
                                       : QStringLiteral("the connection to the MQTT broker %1 was lost: %2").arg(broker, reason));
    } else {
        fail(BrokerState::Waiting, QStringLiteral("the MQTT broker %1 cannot be reached: %2").arg(broker, reason));
    }
    scheduleRetry();
}

void MqttPublisher::Shared::onConnect(int rc)
{
    if (rc != 0) {
        // 4: bad user name or password, 5: not authorised (what a broker with
        // a password file answers for both).
        const QString what = rc == 4 || rc == 5 ? QStringLiteral("refuses the credentials")
                                                : QStringLiteral("refuses the connection");
        fail(BrokerState::Refused, QStringLiteral("the MQTT broker %1 %2: %3")
                                       .arg(config.broker.text(), what, QString::fromUtf8(mosquitto_connack_string(rc))));
        return;
    }
    connected = true;
    retryDelaySeconds = 1;
    discoveryDue = config.haDiscovery;
    {
        std::lock_guard<std::mutex> lock(mutex);
        status.state = BrokerState::Connected;
        status.problem.clear();
        status.everConnected = true;
        status.failedAttempts = 0;
        status.retryInSeconds = 0;
        statusDirty = true;
    }
    publishControl(topics.availability, "online", true);
}

void MqttPublisher::Shared::onPublish(int mid)
{
    if (offlineSent && mid == offlineMid) {
        offlineConfirmed = true;
        return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    queue.confirm(mid);
}

void MqttPublisher::Shared::publishControl(const QByteArray& topic, const QByteArray& payload, bool retain, int* mid)
{
    mosquitto_publish(mosq, mid, topic.constData(), int(payload.size()), payload.constData(), 1, retain);
}

void MqttPublisher::Shared::pump()
{
    if (!connected) return;
    if (discoveryDue) {
        discoveryDue = false;
        for (int i = 0; i < TestRecordImage::kReadoutCount; ++i)
            publishControl(topics.discoveryTopic(i), topics.discoveryConfig(i), true);
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (statusDirty && Clock::now() - lastStatusSent >= kStatusSpacing) {
        statusDirty = false;
        lastStatusSent = Clock::now();
        publishControl(topics.status, StatusText(samplingState, queue.lost()), true);
    }
    if (offlineSent) return;
    while (queue.inFlight() < kWindow) {
        const QByteArray* payload = queue.next();
        if (!payload) break;
        int mid = -1;
        // Threaded mode (set at start) makes the library only queue the
        // packet here; it goes out in the loop, never in a callback under our lock.
        const int rc = mosquitto_publish(mosq, &mid, topics.measurement.constData(), int(payload->size()),
                                         payload->constData(), config.qos, false);
        if (rc != MOSQ_ERR_SUCCESS) break;
        queue.handedOver(mid);
    }
}

void MqttPublisher::Shared::run()
{
    const QByteArray clientId = "qzr6100-" + config.name.toUtf8();
    mosq = mosquitto_new(clientId.constData(), true, this);
    if (!mosq) {
        fail(BrokerState::Stopped, QStringLiteral("the MQTT library could not start"));
        done = true;
        return;
    }
    // Packets are queued by mosquitto_publish and written by this loop.
    mosquitto_threaded_set(mosq, true);
    mosquitto_max_inflight_messages_set(mosq, kWindow + 2 * TestRecordImage::kReadoutCount);
    mosquitto_int_option(mosq, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_will_set(mosq, topics.availability.constData(), 7, "offline", 1, true);
    if (!config.username.isEmpty()) {
        mosquitto_username_pw_set(mosq, config.username.toUtf8().constData(),
                                  config.password.isEmpty() ? nullptr : config.password.toUtf8().constData());
    }
    if (config.broker.tls) {
        const QByteArray ca = QFile::encodeName(config.caFile), cert = QFile::encodeName(config.certFile),
                         key = QFile::encodeName(config.keyFile);
        if (config.caFile.isEmpty()) mosquitto_int_option(mosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        // Without an authority of its own the broker is checked against the
        // system's (Debian keeps them in /etc/ssl/certs).
        const int rc = mosquitto_tls_set(mosq, ca.isEmpty() ? nullptr : ca.constData(),
                                          ca.isEmpty() ? "/etc/ssl/certs" : nullptr,
                                          cert.isEmpty() ? nullptr : cert.constData(),
                                          key.isEmpty() ? nullptr : key.constData(), nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            // Never on to a plain connection when TLS was asked for.
            fail(BrokerState::TlsFailed, QStringLiteral("the TLS set-up for the MQTT broker %1 failed: %2")
                                             .arg(config.broker.text(), LibraryText(rc)));
            mosquitto_destroy(mosq);
            mosq = nullptr;
            done = true;
            return;
        }
    }
    mosquitto_connect_callback_set(mosq, [](mosquitto*, void* self, int rc) { static_cast<Shared*>(self)->onConnect(rc); });
    mosquitto_publish_callback_set(mosq, [](mosquitto*, void* self, int mid) { static_cast<Shared*>(self)->onPublish(mid); });
    mosquitto_disconnect_callback_set(mosq, [](mosquitto*, void* self, int) { static_cast<Shared*>(self)->connectionLost = true; });
    mosquitto_log_callback_set(mosq, [](mosquitto*, void* self, int level, const char* text) {
        if (level == MOSQ_LOG_ERR && std::strstr(text, "OpenSSL Error") && static_cast<Shared*>(self)->tlsError.isEmpty())
            static_cast<Shared*>(self)->tlsError = OpenSslReason(QString::fromUtf8(text));
    });

    nextAttempt = Clock::now();
    for (;;) {
        bool stopping;
        Clock::time_point deadline;
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = stopRequested;
            deadline = flushDeadline;
        }
        BrokerState state;
        {
            std::lock_guard<std::mutex> lock(mutex);
            state = status.state;
        }
        if (state == BrokerState::Refused || state == BrokerState::TlsFailed) break;

        if (!linked) {
            if (stopping) break;
            const auto now = Clock::now();
            if (now < nextAttempt) {
                pollfd wake{wakeFd, POLLIN, 0};
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextAttempt - now).count();
                if (::poll(&wake, 1, int(std::min<long long>(wait, 1000))) > 0) {
                    uint64_t n;
                    [[maybe_unused]] const ssize_t r = ::read(wakeFd, &n, sizeof n);
                }
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    status.retryInSeconds = int(std::chrono::duration_cast<std::chrono::seconds>(
                                                    nextAttempt - Clock::now() + std::chrono::milliseconds(999))
                                                    .count());
                }
                continue;
            }
            connectOnce();
            continue;
        }

        // Stopping: what is queued goes out until the deadline, then
        // "offline", then the disconnect that keeps the Last Will back.
        if (stopping) {
            if (!connected) {
                if (Clock::now() >= deadline) break;
            } else if (!offlineSent) {
                bool empty;
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    empty = queue.size() == 0;
                }
                if (empty || Clock::now() >= deadline) {
                    offlineSent = true;
                    offlineDeadline = Clock::now() + kOfflineWait;
                    publishControl(topics.availability, "offline", true, &offlineMid);
                }
            } else if (offlineConfirmed || Clock::now() >= offlineDeadline) {
                mosquitto_disconnect(mosq);
                mosquitto_loop_write(mosq, 1);
                break;
            }
        }

        pump();
        const int sock = mosquitto_socket(mosq);
        if (sock < 0) {
            lose(MOSQ_ERR_CONN_LOST);
            continue;
        }
        pollfd fds[2] = {{sock, short(POLLIN | (mosquitto_want_write(mosq) ? POLLOUT : 0)), 0}, {wakeFd, POLLIN, 0}};
        int timeoutMs = 1000;
        if (stopping) timeoutMs = 50;
        if (!connected) timeoutMs = 100;
        ::poll(fds, 2, timeoutMs);
        if (fds[1].revents & POLLIN) {
            uint64_t n;
            [[maybe_unused]] const ssize_t r = ::read(wakeFd, &n, sizeof n);
        }
        int rc = MOSQ_ERR_SUCCESS;
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) rc = mosquitto_loop_read(mosq, 1);
        if (rc == MOSQ_ERR_SUCCESS) pump();
        if (rc == MOSQ_ERR_SUCCESS && mosquitto_want_write(mosq)) rc = mosquitto_loop_write(mosq, 1);
        if (rc == MOSQ_ERR_SUCCESS) rc = mosquitto_loop_misc(mosq);
        if (rc == MOSQ_ERR_SUCCESS && !connected && Clock::now() - connectStarted > kConnackWait) rc = MOSQ_ERR_CONN_LOST;
        bool refused;
        {
            std::lock_guard<std::mutex> lock(mutex);
            refused = status.state == BrokerState::Refused;
        }
        if (refused) break;
        if (rc != MOSQ_ERR_SUCCESS || connectionLost) lose(rc);
    }
    mosquitto_destroy(mosq);
    mosq = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (status.state != BrokerState::Refused && status.state != BrokerState::TlsFailed)
            status.state = BrokerState::Stopped;
        status.retryInSeconds = 0;
        done = true;
    }
    doneSignal.notify_all();
}

MqttPublisher::MqttPublisher(const PublisherConfig& config, QObject* parent) : QObject(parent), config_(config)
{
    pollTimer_.setInterval(100);
    connect(&pollTimer_, &QTimer::timeout, this, &MqttPublisher::poll);
}

MqttPublisher::~MqttPublisher()
{
    if (!shared_ || shared_->done) return;
    stop(0);
    // Only at exit or when the desktop's settings change and the old
    // publisher is dropped: the thread says "offline" and disconnects, which
    // takes a moment; a thread stuck in a connect to an unreachable network
    // is left to end on its own with its share of the state, and the broker
    // publishes the Last Will for it.
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->doneSignal.wait_for(lock, std::chrono::seconds(2), [this] { return shared_->done.load(); });
}

bool MqttPublisher::start(QString* error)
{
    if (started_) return true;
    const auto unreadable = [](const QString& path) {
        return !path.isEmpty() && !QFileInfo(path).isReadable();
    };
    for (const QString& path : {config_.caFile, config_.certFile, config_.keyFile}) {
        if (unreadable(path)) {
            *error = QStringLiteral("cannot read the TLS file %1").arg(path);
            return false;
        }
    }
    if (config_.certFile.isEmpty() != config_.keyFile.isEmpty()) {
        *error = QStringLiteral("a client certificate needs its key, and a key its certificate");
        return false;
    }
    if (!IsValidBenchName(config_.name)) {
        *error = QStringLiteral("'%1' cannot be a bench name: letters, digits, - and _ only").arg(config_.name);
        return false;
    }
    InitLibraryOnce();
    auto shared = std::make_shared<Shared>(config_);
    shared->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (shared->wakeFd < 0) {
        *error = QStringLiteral("the publisher could not start: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    shared_ = shared;
    std::thread([shared] { shared->run(); }).detach();
    started_ = true;
    pollTimer_.start();
    return true;
}

void MqttPublisher::publish(const QDateTime& when, const TestRecordImage& received)
{
    if (!shared_) return;
    const QByteArray payload = MeasurementJson(when, received);
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (shared_->stopRequested) return;
        const quint64 lostBefore = shared_->queue.lost();
        shared_->queue.push(payload);
        if (shared_->queue.lost() != lostBefore) shared_->statusDirty = true;
    }
    shared_->wake();
}

void MqttPublisher::setSamplingState(const QString& text)
{
    if (!shared_) return;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (shared_->samplingState == text) return;
        shared_->samplingState = text;
        shared_->statusDirty = true;
    }
    shared_->wake();
}

void MqttPublisher::stop(int flushMs)
{
    if (!shared_) return;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (shared_->stopRequested) return;
        shared_->stopRequested = true;
        shared_->flushDeadline = Clock::now() + std::chrono::milliseconds(std::max(0, flushMs));
    }
    shared_->wake();
}

bool MqttPublisher::running() const { return shared_ && !shared_->done; }

PublisherStatus MqttPublisher::status() const
{
    if (!shared_) {
        PublisherStatus s;
        s.state = BrokerState::Stopped;
        return s;
    }
    std::lock_guard<std::mutex> lock(shared_->mutex);
    PublisherStatus s = shared_->status;
    s.queued = qint64(shared_->queue.size());
    s.published = shared_->queue.confirmed();
    s.lost = shared_->queue.lost();
    return s;
}

void MqttPublisher::poll()
{
    const PublisherStatus now = status();
    if (now != lastStatus_) {
        lastStatus_ = now;
        emit statusChanged();
    }
    if (shared_ && shared_->done && !finishedSent_) {
        finishedSent_ = true;
        pollTimer_.stop();
        emit finished();
    }
}
