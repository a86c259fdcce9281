#include "fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <signal.h>
#include <unistd.h>

namespace {

// The Qt application outlives every input and is never destroyed (the
// fuzzer ends the process); its argument list is its own, so that Qt never
// sees (or takes away) the fuzzer's options.
int gQtArgc = 1;
char gQtName[64];
char* gQtArgv[] = {gQtName, nullptr};
QGuiApplication* gApp = nullptr;

// The scratch folder, named after the process. libFuzzer ends a run without
// running destructors, so a folder is never removed by its own process; each
// run removes those of runs that have ended instead.
const QDir& Scratch()
{
    static const QDir dir = [] {
        const QDir base(QFileInfo::exists(QStringLiteral("/dev/shm")) ? QStringLiteral("/dev/shm") : QDir::tempPath());
        const QString prefix = QStringLiteral("qzr6100-fuzz-");
        for (const QString& name : base.entryList({prefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot)) {
            bool ok = false;
            const pid_t pid = pid_t(name.mid(prefix.size()).toInt(&ok));
            if (ok && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) QDir(base.filePath(name)).removeRecursively();
        }
        const QString own = prefix + QString::number(::getpid());
        QDir(base.filePath(own)).removeRecursively();
        if (!base.mkpath(own)) {
            std::fprintf(stderr, "cannot make a scratch folder in %s\n", qPrintable(base.path()));
            std::abort();
        }
        return QDir(base.filePath(own));
    }();
    return dir;
}

} // namespace

void FuzzStartQt(const char* programName)
{
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        std::snprintf(gQtName, sizeof gQtName, "%s", programName);
        gApp = new QGuiApplication(gQtArgc, gQtArgv);
    }
    // Fonts are found and cached on the first text drawn; done here, that
    // work is not taken for part of the first input.
    QImage warm(16, 16, QImage::Format_ARGB32);
    QPainter painter(&warm);
    painter.drawText(0, 12, QStringLiteral("0"));
    Scratch();
}

QString FuzzWriteFile(const char* name, const uint8_t* data, size_t size)
{
    return FuzzWriteFile(name, QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
}

QString FuzzWriteFile(const char* name, const QByteArray& bytes)
{
    const QString path = Scratch().filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        std::abort();
    }
    return path;
}

QByteArray FuzzReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FuzzCheckFailed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, condition);
    std::abort();
}

QByteArray FuzzBytes::take(size_t count)
{
    const size_t n = count < left() ? count : left();
    const QByteArray out(reinterpret_cast<const char*>(data_ + at_), qsizetype(n));
    at_ += n;
    return out;
}
