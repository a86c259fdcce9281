#include "publish_settings.h"

#include "acquisition/ini_file.h"
#include "publishing/publish_topics.h"

#include <QSysInfo>

namespace {

const QString kSection = QStringLiteral("Mqtt");

} // namespace

PublishSettings LoadPublishSettings(const IniFile& ini)
{
    PublishSettings s;
    s.enabled = ini.readInt(kSection, QStringLiteral("Enabled"), 0) == 1;
    s.broker = ini.readString(kSection, QStringLiteral("Broker"), QString());
    s.name = ini.readString(kSection, QStringLiteral("Name"), QString());
    s.username = ini.readString(kSection, QStringLiteral("Username"), QString());
    s.caFile = ini.readString(kSection, QStringLiteral("CaFile"), QString());
    s.certFile = ini.readString(kSection, QStringLiteral("CertFile"), QString());
    s.keyFile = ini.readString(kSection, QStringLiteral("KeyFile"), QString());
    s.discovery = ini.readInt(kSection, QStringLiteral("Discovery"), 0) == 1;
    s.qos = ini.readInt(kSection, QStringLiteral("Qos"), 1) == 0 ? 0 : 1;
    return s;
}

bool SavePublishSettings(IniFile& ini, const PublishSettings& s, QString* error)
{
    return ini.writeInt(kSection, QStringLiteral("Enabled"), s.enabled ? 1 : 0, error) &&
           ini.writeString(kSection, QStringLiteral("Broker"), s.broker, error) &&
           ini.writeString(kSection, QStringLiteral("Name"), s.name, error) &&
           ini.writeString(kSection, QStringLiteral("Username"), s.username, error) &&
           ini.writeString(kSection, QStringLiteral("CaFile"), s.caFile, error) &&
           ini.writeString(kSection, QStringLiteral("CertFile"), s.certFile, error) &&
           ini.writeString(kSection, QStringLiteral("KeyFile"), s.keyFile, error) &&
           ini.writeInt(kSection, QStringLiteral("Discovery"), s.discovery ? 1 : 0, error) &&
           ini.writeInt(kSection, QStringLiteral("Qos"), s.qos, error);
}

bool MakePublisherConfig(const PublishSettings& s, const QString& password, PublisherConfig* config, QString* error)
{
    if (s.broker.trimmed().isEmpty()) {
        *error = QStringLiteral("no broker is named");
        return false;
    }
    const std::optional<BrokerAddress> broker = ParseBrokerAddress(s.broker, error);
    if (!broker) return false;
    config->broker = *broker;
    config->name = s.name.trimmed().isEmpty() ? BenchNameFrom(QSysInfo::machineHostName()) : s.name.trimmed();
    if (!IsValidBenchName(config->name)) {
        *error = QStringLiteral("'%1' cannot be a bench name: letters, digits, - and _ only").arg(config->name);
        return false;
    }
    if (s.certFile.isEmpty() != s.keyFile.isEmpty()) {
        *error = QStringLiteral("a client certificate needs its key, and a key its certificate");
        return false;
    }
    config->username = s.username.trimmed();
    config->password = config->username.isEmpty() ? QString() : password;
    config->caFile = broker->tls ? s.caFile : QString();
    config->certFile = broker->tls ? s.certFile : QString();
    config->keyFile = broker->tls ? s.keyFile : QString();
    config->haDiscovery = s.discovery;
    config->qos = s.qos;
    return true;
}
