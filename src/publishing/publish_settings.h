#pragma once
// The desktop program's publishing settings, section "Mqtt" of SysSet.ini:
//   Enabled=0|1  Broker=mqtt://HOST[:PORT]  Name=bench1  Username=
//   CaFile=  CertFile=  KeyFile=  Discovery=0|1  Qos=0|1
// The password is never kept here (password_file.h, and the desktop's
// secret store when one runs).

#include "publishing/mqtt_publisher.h"

#include <QString>

class IniFile;

struct PublishSettings {
    bool enabled = false;
    QString broker;
    QString name;      // empty: the host name
    QString username;
    QString caFile;
    QString certFile;
    QString keyFile;
    bool discovery = false;
    int qos = 1;
};

PublishSettings LoadPublishSettings(const IniFile& ini);
bool SavePublishSettings(IniFile& ini, const PublishSettings& settings, QString* error);

// The publisher's configuration; false with a one-line reason when the
// settings cannot work (no broker, a name that is no topic level, a
// certificate without its key).
bool MakePublisherConfig(const PublishSettings& settings, const QString& password, PublisherConfig* config,
                         QString* error);
