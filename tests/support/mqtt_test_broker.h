#pragma once
// A private Mosquitto broker for a test or a benchmark: on 127.0.0.1 at a
// free port, with a configuration written into the caller's folder (users
// with a password file, TLS with files the caller made), started and
// stopped by its owner and restartable at the same port. And a subscriber
// on libmosquitto's own thread that keeps every message it gets.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QThread>

#include <mosquitto.h>

#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mqtt_test {

inline int FreePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

// Whether something listens on 127.0.0.1:port.
inline bool Listening(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

inline QString Program(const char* name)
{
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (!found.isEmpty()) return found;
    return QStandardPaths::findExecutable(QString::fromLatin1(name), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")});
}

// Runs a tool to its end; its exit status, or -1.
inline int Run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) return -1;
    if (output) *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

struct BrokerOptions {
    QString user, password;               // a password file with this one user; empty: anonymous
    QString caFile, certFile, keyFile;    // TLS listener when certFile is set
    bool persistent = false;              // sessions survive a restart
};

class Broker {
public:
    Broker(const QString& folder, const BrokerOptions& options = {}) : folder_(folder), options_(options) {}
    ~Broker() { stop(); }

    int port() const { return port_; }
    // What the broker wrote, up to its last stop.
    QString log() const { return QString::fromUtf8(log_); }

    // Writes the configuration (at first start) and starts the broker;
    // false with the reason when it does not listen within 10 s.
    bool start(QString* error)
    {
        if (port_ == 0) {
            port_ = FreePort();
            if (!writeConfig(error)) return false;
        }
        process_ = std::make_unique<QProcess>();
        process_->setProcessChannelMode(QProcess::MergedChannels);
        process_->start(Program("mosquitto"), {QStringLiteral("-c"), configPath()});
        if (!process_->waitForStarted(10000)) {
            *error = QStringLiteral("mosquitto does not start: ") + process_->errorString();
            return false;
        }
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 10000) {
            if (Listening(port_)) return true;
            if (process_->state() == QProcess::NotRunning) break;
            QThread::msleep(50);
        }
        process_->waitForFinished(100);
        *error = QStringLiteral("mosquitto does not listen: ") + QString::fromUtf8(process_->readAll());
        return false;
    }

    void stop()
    {
        if (!process_) return;
        process_->terminate();
        if (!process_->waitForFinished(5000)) {
            process_->kill();
            process_->waitForFinished(2000);
        }
        log_ += process_->readAll();
        process_.reset();
    }

private:
    QString configPath() const { return QDir(folder_).filePath(QStringLiteral("mosquitto.conf")); }

    bool writeConfig(QString* error)
    {
        QByteArray conf;
        const passwd* me = ::getpwuid(::getuid());
        // Started as root the broker would become the "mosquitto" user and
        // lose the test's folder; it stays who the test is.
        if (me) conf += "user " + QByteArray(me->pw_name) + "\n";
        conf += "listener " + QByteArray::number(port_) + " 127.0.0.1\n";
        if (!options_.certFile.isEmpty()) {
            conf += "cafile " + QFile::encodeName(options_.caFile) + "\n";
            conf += "certfile " + QFile::encodeName(options_.certFile) + "\n";
            conf += "keyfile " + QFile::encodeName(options_.keyFile) + "\n";
        }
        if (options_.user.isEmpty()) {
            conf += "allow_anonymous true\n";
        } else {
            const QString passwords = QDir(folder_).filePath(QStringLiteral("passwords"));
            QByteArray output;
            if (Run(Program("mosquitto_passwd"), {QStringLiteral("-c"), QStringLiteral("-b"), passwords, options_.user,
                                                  options_.password},
                    &output) != 0) {
                *error = QStringLiteral("mosquitto_passwd failed: ") + QString::fromUtf8(output);
                return false;
            }
            QFile::setPermissions(passwords, QFile::ReadOwner | QFile::WriteOwner);
            conf += "allow_anonymous false\npassword_file " + QFile::encodeName(passwords) + "\n";
        }
        if (options_.persistent) {
            conf += "persistence true\npersistence_location " + QFile::encodeName(folder_) + "/\n";
        } else {
            conf += "persistence false\n";
        }
        QFile file(configPath());
        if (!file.open(QIODevice::WriteOnly) || file.write(conf) != conf.size()) {
            *error = QStringLiteral("cannot write ") + configPath();
            return false;
        }
        return true;
    }

    QString folder_;
    BrokerOptions options_;
    int port_ = 0;
    std::unique_ptr<QProcess> process_;
    QByteArray log_;
};

struct Message {
    QByteArray topic;
    QByteArray payload;
    bool retained = false;
    qint64 receivedMs = 0;  // ms since the epoch
};

// Subscribes to one filter at QoS 1 (over TLS when given the authority). persistent: a session the broker keeps
// (with a persistent broker, messages published while this subscriber was
// away reach it after a restart).
class Subscriber {
public:
    Subscriber(int port, const QByteArray& filter, const QByteArray& clientId, bool persistent = false,
               const QByteArray& user = {}, const QByteArray& password = {}, const QByteArray& caFile = {})
        : filter_(filter)
    {
        mosquitto_lib_init();
        mosq_ = mosquitto_new(clientId.constData(), !persistent, this);
        if (!user.isEmpty()) mosquitto_username_pw_set(mosq_, user.constData(), password.constData());
        if (!caFile.isEmpty()) mosquitto_tls_set(mosq_, caFile.constData(), nullptr, nullptr, nullptr, nullptr);
        mosquitto_reconnect_delay_set(mosq_, 1, 1, false);
        mosquitto_connect_callback_set(mosq_, [](mosquitto* m, void* self, int rc) {
            auto* s = static_cast<Subscriber*>(self);
            if (rc == 0) mosquitto_subscribe(m, nullptr, s->filter_.constData(), 1);
        });
        mosquitto_subscribe_callback_set(mosq_, [](mosquitto*, void* self, int, int, const int*) {
            auto* s = static_cast<Subscriber*>(self);
            std::lock_guard<std::mutex> lock(s->mutex_);
            ++s->subscriptions_;
        });
        mosquitto_message_callback_set(mosq_, [](mosquitto*, void* self, const mosquitto_message* m) {
            auto* s = static_cast<Subscriber*>(self);
            Message message{QByteArray(m->topic), QByteArray(static_cast<const char*>(m->payload), m->payloadlen),
                            m->retain, QDateTime::currentMSecsSinceEpoch()};
            std::lock_guard<std::mutex> lock(s->mutex_);
            s->messages_.append(message);
        });
        mosquitto_connect_async(mosq_, "127.0.0.1", port, 10);
        mosquitto_loop_start(mosq_);
    }
    ~Subscriber()
    {
        mosquitto_disconnect(mosq_);
        mosquitto_loop_stop(mosq_, false);
        mosquitto_destroy(mosq_);
    }

    // Waits (up to timeoutMs) for the first subscription to be confirmed.
    bool waitSubscribed(int timeoutMs = 10000) const
    {
        return waitFor([this] { return subscriptions_ > 0; }, timeoutMs);
    }
    QList<Message> messages() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }
    QList<Message> on(const QByteArray& topic) const
    {
        QList<Message> found;
        for (const Message& m : messages())
            if (m.topic == topic) found.append(m);
        return found;
    }
    // Without waiting (a test whose program runs in its own event loop waits with QTRY_*).
    int count(const QByteArray& topic) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return countOn(topic);
    }
    bool has(const QByteArray& topic, const QByteArray& payload) const
    {
        for (const Message& m : messages())
            if (m.topic == topic && m.payload == payload) return true;
        return false;
    }
    // Waits without an event loop (for a program in another process).
    bool waitForCount(const QByteArray& topic, int count, int timeoutMs) const
    {
        return waitFor([&] { return countOn(topic) >= count; }, timeoutMs);
    }
    bool waitForPayload(const QByteArray& topic, const QByteArray& payload, int timeoutMs) const
    {
        return waitFor(
            [&] {
                for (const Message& m : messages_)
                    if (m.topic == topic && m.payload == payload) return true;
                return false;
            },
            timeoutMs);
    }

private:
    int countOn(const QByteArray& topic) const
    {
        int n = 0;
        for (const Message& m : messages_)
            if (m.topic == topic) ++n;
        return n;
    }
    template <typename Predicate>
    bool waitFor(Predicate done, int timeoutMs) const
    {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (done()) return true;
            }
            if (waited.elapsed() > timeoutMs) return false;
            QThread::msleep(20);
        }
    }

    QByteArray filter_;
    mosquitto* mosq_ = nullptr;
    mutable std::mutex mutex_;
    QList<Message> messages_;
    int subscriptions_ = 0;
};

} // namespace mqtt_test
