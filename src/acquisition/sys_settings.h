#pragma once
// Every key of SysSet.ini, defined once with its section and default.

#include "acquisition/ini_file.h"

#include <QString>

struct SettingKey {
    const char* section;
    const char* key;
    int defaultValue;
};

namespace SysSetKeys {
inline constexpr SettingKey Baudrate{"CommBaudrate", "Baudrate", 2};
inline constexpr SettingKey Port{"CommPort", "Port", 2};
inline constexpr SettingKey Address{"CommAddress", "Address", 2};
inline constexpr SettingKey Skin{"SkinSet", "Skin", 2};
inline constexpr SettingKey WaveBackground{"WaveSet", "WaveBackground", 2};
inline constexpr SettingKey ScaleColor{"WaveSet", "ScaleColor", 2};
inline constexpr SettingKey RecordChannel[6] = {
    {"RecordSet", "Ch0", 2}, {"RecordSet", "Ch1", 2}, {"RecordSet", "Ch2", 2},
    {"RecordSet", "Ch3", 2}, {"RecordSet", "Ch4", 2}, {"RecordSet", "Ch5", 2},
};
inline constexpr SettingKey SamplingStep{"RecordSet", "SampingSetp", 2};
inline constexpr SettingKey SaveStep{"RecordSet", "SaveSetp", 2};
inline constexpr SettingKey TemperatureInterface{"RecordSet", "TInCommNO", -1};
// A name, not a number: "instrument" or "en"; the default stands for no name.
inline constexpr SettingKey Language{"Language", "Name", 0};
} // namespace SysSetKeys

// SysSet.ini with typed access by key.
class SysSettings {
public:
    explicit SysSettings(const QString& path) : ini_(path) {}

    int readInt(const SettingKey& k) const { return ini_.readInt(k.section, k.key, k.defaultValue); }
    QString readText(const SettingKey& k) const
    {
        return ini_.readString(k.section, k.key, QString::number(k.defaultValue));
    }
    bool writeInt(const SettingKey& k, int value, QString* error = nullptr)
    {
        return ini_.writeInt(k.section, k.key, value, error);
    }
    bool writeText(const SettingKey& k, const QString& value, QString* error = nullptr)
    {
        return ini_.writeString(k.section, k.key, value, error);
    }
    const QString& path() const { return ini_.path(); }

private:
    IniFile ini_;
};

// Where SysSet.ini lives: beside the executable when that folder is writable,
// otherwise (an installed program) in the user's configuration folder.
QString DefaultSettingsFolder();
QString SysSetPath();
