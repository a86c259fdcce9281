#include "password_file.h"

#include "acquisition/system_error.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString PasswordFileBeside(const QString& settingsPath)
{
    return QFileInfo(settingsPath).absoluteDir().filePath(QStringLiteral("MqttPassword"));
}

bool ReadPasswordFile(const QString& path, QString* password, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the password file %1: %2").arg(path, file.errorString());
        return false;
    }
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    *password = QString::fromUtf8(line);
    return true;
}

bool WritePasswordFile(const QString& path, const QString& password, QString* error)
{
    const QByteArray name = QFile::encodeName(path);
    if (password.isEmpty()) {
        if (::unlink(name.constData()) == 0 || errno == ENOENT) return true;
        *error = SystemErrorText(errno);
        return false;
    }
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    // A file left from before with wider rights is narrowed before the
    // password goes in.
    if (fd < 0 || ::fchmod(fd, 0600) != 0) {
        *error = SystemErrorText(errno);
        if (fd >= 0) ::close(fd);
        return false;
    }
    const QByteArray bytes = password.toUtf8() + '\n';
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == ssize_t(bytes.size());
    const int writeErrno = errno;
    if (::close(fd) != 0 || !written) {
        *error = SystemErrorText(written ? errno : writeErrno);
        return false;
    }
    return true;
}
