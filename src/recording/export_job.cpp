#include "recording/export_job.h"

#include "acquisition/system_error.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kNameAttempts = 100;

QString RandomSuffix()
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars) - 1)]);
    return suffix;
}

// Brings the file's data to the disk before it may replace the target, so a
// crash right after the rename cannot leave an empty target behind.
bool SyncToDisk(const QString& path, QString* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        *error = SystemErrorText(errno);
        if (fd >= 0) ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

ExportJob::ExportJob(const ExportSource& source, const QString& targetPath, ExportFormat format, const QLocale& locale)
    : format_(format), locale_(locale)
{
    const size_t count = size_t(std::max(source.count, 0));
    for (int c = 0; c < kExportChannelCount; ++c) {
        const float* from = source.channels[size_t(c)];
        std::vector<float>& to = channels_[size_t(c)];
        if (from != nullptr)
            to.assign(from, from + count);
        else
            to.assign(count, 0.0f);
        source_.channels[size_t(c)] = to.data();
    }
    if (source.times != nullptr)
        times_.assign(source.times, source.times + count);
    else
        times_.assign(count, 0.0);
    source_.times = times_.data();
    source_.count = int(count);
    source_.headers = source.headers;

    // Through a symbolic link the file it points at is replaced, and the
    // link stays.
    const QFileInfo info(targetPath);
    target_ = info.isSymLink() && !info.canonicalFilePath().isEmpty() ? info.canonicalFilePath()
                                                                       : info.absoluteFilePath();
}

ExportJob::~ExportJob()
{
    cancel();
    if (worker_.joinable()) worker_.join();
    if (!committed_) discard();
}

bool ExportJob::start(QString* error)
{
    const QFileInfo info(target_);
    struct stat targetStat {};
    const bool targetExists = ::stat(QFile::encodeName(target_).constData(), &targetStat) == 0;
    if (targetExists && S_ISDIR(targetStat.st_mode)) {
        *error = SystemErrorText(EISDIR);
        return false;
    }

    int fd = -1;
    QString candidate;
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
        candidate = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".partial-")
                    + RandomSuffix();
        // 0666 under the umask: the file a user gets is like any file they
        // save, not private to them as a mkstemp file would be.
        fd = ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            *error = SystemErrorText(errno);
            return false;
        }
    }
    if (fd < 0) {
        *error = SystemErrorText(EEXIST);
        return false;
    }
    if (targetExists) ::fchmod(fd, targetStat.st_mode & 07777);  // replacing keeps the file's permissions
    ::close(fd);
    temporary_ = candidate;

    worker_ = std::thread([this] { run(); });
    return true;
}

void ExportJob::run()
{
    const ExportProgress progress = [this](int rows) { rowsDone_.store(rows, std::memory_order_relaxed); };
    QString error;
    ExportOutcome outcome = format_ == ExportFormat::Xlsx
                                ? ExportXlsx(source_, temporary_, progress, cancel_, &error, locale_)
                                : ExportCsv(source_, temporary_, progress, cancel_, &error);
    if (outcome == ExportOutcome::Done && !SyncToDisk(temporary_, &error)) outcome = ExportOutcome::Failed;
    outcome_ = outcome;
    error_ = error;
    finished_.store(true, std::memory_order_release);
}

void ExportJob::cancel() { cancel_.store(true); }

ExportOutcome ExportJob::wait(QString* error)
{
    if (worker_.joinable()) worker_.join();
    if (cancel_.load()) {
        discard();
        return ExportOutcome::Cancelled;
    }
    if (outcome_ != ExportOutcome::Done) {
        discard();
        if (error != nullptr) *error = error_;
    }
    return outcome_;
}

bool ExportJob::commit(QString* error)
{
    if (wait(error) != ExportOutcome::Done || temporary_.isEmpty()) {
        if (error != nullptr && error->isEmpty()) *error = SystemErrorText(ECANCELED);
        return false;
    }
    if (::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(target_).constData()) != 0) {
        if (error != nullptr) *error = SystemErrorText(errno);
        discard();
        return false;
    }
    temporary_.clear();
    committed_ = true;
    return true;
}

void ExportJob::discard()
{
    if (worker_.joinable()) {
        cancel();
        worker_.join();
    }
    if (temporary_.isEmpty()) return;
    ::unlink(QFile::encodeName(temporary_).constData());
    temporary_.clear();
}
