#pragma once
// Where the MQTT broker is: mqtt://HOST[:PORT] for a plain connection,
// mqtts://HOST[:PORT] for TLS (ports 1883 and 8883 unless given). A bare
// host name means mqtt://. IPv6 addresses go in brackets: mqtt://[::1]:1883.

#include <QString>

#include <optional>

struct BrokerAddress {
    QString host;
    int port = 1883;
    bool tls = false;

    // "mqtts://broker.lab:8883", the form every message names the broker in.
    QString text() const;
};

// Nothing, with the reason in *error, for an address that is not of that form.
std::optional<BrokerAddress> ParseBrokerAddress(const QString& text, QString* error);
