#pragma once
// The broker password where no secret store runs: a file beside SysSet.ini
// that only its owner can read or write (mode 0600, set before anything is
// written into it).

#include <QString>

// "MqttPassword" beside the settings file.
QString PasswordFileBeside(const QString& settingsPath);

// Empty when there is no file.
QString ReadPasswordFile(const QString& path);
// An empty password removes the file.
bool WritePasswordFile(const QString& path, const QString& password, QString* error);
