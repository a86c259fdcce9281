#pragma once
// The broker password where no secret store runs: a file beside SysSet.ini
// that only its owner can read or write (mode 0600, set before anything is
// written into it).

#include <QString>

// "MqttPassword" beside the settings file.
QString PasswordFileBeside(const QString& settingsPath);

// The first line of the file, without its line end; false with the reason
// when it cannot be read.
bool ReadPasswordFile(const QString& path, QString* password, QString* error);
// An empty password removes the file.
bool WritePasswordFile(const QString& path, const QString& password, QString* error);
