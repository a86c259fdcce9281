#include "fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

// The Qt application outlives every input and is never destroyed (the
// fuzzer ends the process); its argument list is its own, so that Qt never
// sees (or takes away) the fuzzer's options.
int gQtArgc = 1;
char gQtName[64];
char* gQtArgv[] = {gQtName, nullptr};
QGuiApplication* gApp = nullptr;

QTemporaryDir& Scratch()
{
    static QTemporaryDir dir(QDir(QFileInfo::exists(QStringLiteral("/dev/shm")) ? QStringLiteral("/dev/shm")
                                                                                 : QDir::tempPath())
                                 .filePath(QStringLiteral("qzr6100-fuzz-XXXXXX")));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a scratch folder: %s\n", qPrintable(dir.errorString()));
        std::abort();
    }
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
