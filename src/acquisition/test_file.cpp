#include "acquisition/test_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

bool LoadTestFile(const QString& path, TestRecordImage& record, QString* error)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    // Read-only: opening a test never modifies it, so a write-protected file
    // opens as well as any other.
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QCoreApplication::translate("TestFile", "Cannot open the test file \"%1\": %2")
            .arg(name, file.errorString());
        return false;
    }
    const QByteArray bytes = file.read(kTestRecordSize);
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = QCoreApplication::translate("TestFile", "Cannot read the test file \"%1\": %2")
            .arg(name, file.errorString());
        return false;
    }
    if (bytes.size() < kTestRecordSize) {
        if (error) {
            *error = QCoreApplication::translate("TestFile", "\"%1\" is not a test file: it holds %2 bytes, a test file holds %3.")
                         .arg(name)
                         .arg(bytes.size())
                         .arg(kTestRecordSize);
        }
        return false;
    }
    std::memcpy(record.bytes(), bytes.constData(), kTestRecordSize);
    return true;
}

bool SaveTestFile(const QString& path, const TestRecordImage& record, QString* error)
{
    const QString name = QFileInfo(path).fileName();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = QCoreApplication::translate("TestFile", "Cannot save the test file \"%1\": %2")
            .arg(name, file.errorString());
        return false;
    }
    const qint64 written = file.write(reinterpret_cast<const char*>(record.bytes()), kTestRecordSize);
    if (written != kTestRecordSize || !file.commit()) {
        if (error) *error = QCoreApplication::translate("TestFile", "Cannot save the test file \"%1\": %2")
            .arg(name, file.errorString());
        return false;
    }
    return true;
}

QString CommandLineFileName(const QStringList& arguments)
{
    if (arguments.isEmpty()) return QString();
    QString name = arguments.first().trimmed();
    if (name.startsWith('"')) name = name.mid(1, name.size() - 2);
    return name;
}

CommandLineFileKind ClassifyCommandLineFile(const QString& name)
{
    const QString ending = name.right(3);
    if (ending == QLatin1String("vqm") || ending == QLatin1String("VQM") || ending == QLatin1String("Vqm"))
        return CommandLineFileKind::TestFile;
    if (ending == QLatin1String("vqr") || ending == QLatin1String("VQR") || ending == QLatin1String("Vqr"))
        return CommandLineFileKind::RecordFile;
    return CommandLineFileKind::Other;
}
