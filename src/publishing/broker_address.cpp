#include "broker_address.h"

QString BrokerAddress::text() const
{
    const QString shownHost = host.contains(u':') ? u'[' + host + u']' : host;
    return QStringLiteral("%1://%2:%3").arg(tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), shownHost).arg(port);
}

std::optional<BrokerAddress> ParseBrokerAddress(const QString& text, QString* error)
{
    BrokerAddress address;
    QString rest = text.trimmed();
    const int scheme = rest.indexOf(QStringLiteral("://"));
    if (scheme >= 0) {
        const QString name = rest.left(scheme).toLower();
        if (name == QStringLiteral("mqtts")) {
            address.tls = true;
        } else if (name != QStringLiteral("mqtt")) {
            *error = QStringLiteral("'%1' is no broker address: it starts with mqtt:// or mqtts://").arg(text);
            return std::nullopt;
        }
        rest = rest.mid(scheme + 3);
    }
    address.port = address.tls ? 8883 : 1883;
    if (rest.endsWith(u'/')) rest.chop(1);

    QString portText;
    if (rest.startsWith(u'[')) {
        const int close = rest.indexOf(u']');
        if (close < 0) {
            *error = QStringLiteral("'%1' is no broker address: the ] after the IPv6 address is missing").arg(text);
            return std::nullopt;
        }
        address.host = rest.mid(1, close - 1);
        const QString after = rest.mid(close + 1);
        if (after.startsWith(u':')) portText = after.mid(1);
        else if (!after.isEmpty()) address.host.clear();
    } else {
        const int colon = rest.lastIndexOf(u':');
        address.host = colon >= 0 ? rest.left(colon) : rest;
        if (colon >= 0) portText = rest.mid(colon + 1);
    }
    if (address.host.isEmpty() || address.host.contains(u'/') || address.host.contains(u' ') ||
        address.host.contains(u'@')) {
        *error = QStringLiteral("'%1' is no broker address: mqtt://HOST[:PORT] or mqtts://HOST[:PORT]").arg(text);
        return std::nullopt;
    }
    if (!portText.isNull()) {
        bool ok = false;
        const int port = portText.toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            *error = QStringLiteral("'%1' is no broker address: the port is a number from 1 to 65535").arg(text);
            return std::nullopt;
        }
        address.port = port;
    }
    return address;
}
