#include "acquisition/sys_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString DefaultSettingsFolder()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QFileInfo dirInfo(exeDir);
    if (!exeDir.isEmpty() && dirInfo.isDir() && dirInfo.isWritable()) return exeDir;
    QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config/qzr6100");
    QDir().mkpath(config);
    return config;
}

QString SysSetPath() { return DefaultSettingsFolder() + QStringLiteral("/SysSet.ini"); }
