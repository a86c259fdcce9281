#include "data_output.h"

#include "cli_common.h"

#include <QFile>

#include <cstdio>

bool DataOutput::open(const QString& path, QString* error)
{
    path_ = path;
    if (path.isEmpty() || path == QStringLiteral("-")) return true;
    file_ = std::make_unique<QFile>(path);
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file_->errorString());
        return false;
    }
    return true;
}

bool DataOutput::write(const QByteArray& bytes)
{
    if (failed_) return false;
    if (!file_) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        failed_ = std::fflush(stdout) != 0 || std::ferror(stdout);
        return !failed_;
    }
    failed_ = file_->write(bytes) != bytes.size() || !file_->flush();
    return !failed_;
}

bool DataOutput::close(QString* error)
{
    if (!file_) return !failed_;
    const bool ok = !failed_ && file_->flush();
    if (!ok) *error = QStringLiteral("cannot write %1: %2").arg(path_, file_->errorString());
    file_->close();
    return ok;
}

bool CopyFileToStandardOutput(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty() && file.error() != QFileDevice::NoError) {
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
            return false;
        }
        if (std::fwrite(chunk.constData(), 1, size_t(chunk.size()), stdout) != size_t(chunk.size())) {
            *error = QStringLiteral("cannot write to standard output");
            return false;
        }
    }
    if (std::fflush(stdout) != 0) {
        *error = QStringLiteral("cannot write to standard output");
        return false;
    }
    return true;
}
