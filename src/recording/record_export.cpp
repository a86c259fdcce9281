#include "recording/record_export.h"

#include "acquisition/measurement_data.h"
#include "acquisition/system_error.h"

#include "recording/ole_date.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kTimeColumnWidth = 22;
constexpr int kValueColumnWidth = 18;

ExportOutcome Fail(QString* error, const QString& reason)
{
    if (error != nullptr) *error = reason;
    return ExportOutcome::Failed;
}

// The shortest decimal that reads back as v. buffer holds at least 32 chars.
char* ShortestDecimal(float v, char* buffer)
{
    return std::to_chars(buffer, buffer + 32, v).ptr;
}

const char* NonFiniteText(float v)
{
    if (std::isnan(v)) return "NaN";
    return v > 0 ? "Inf" : "-Inf";
}

// libxlsxwriter writes numbers with snprintf("%.16G"), which follows the
// C library's LC_NUMERIC. A Qt program runs under the user's locale, and
// where that writes a decimal comma the sheet would hold "1,5" in a number
// cell, which spreadsheet programs reject as a damaged file. The export
// therefore runs under the "C" numeric rules, for this thread only.
class CNumericScope {
public:
    CNumericScope()
    {
        const locale_t base = duplocale(uselocale(locale_t(0)));
        if (base == locale_t(0)) return;
        c_ = newlocale(LC_NUMERIC_MASK, "C", base);
        if (c_ == locale_t(0)) {
            freelocale(base);
            return;
        }
        previous_ = uselocale(c_);
    }
    ~CNumericScope()
    {
        if (c_ == locale_t(0)) return;
        uselocale(previous_);
        freelocale(c_);
    }
    CNumericScope(const CNumericScope&) = delete;
    CNumericScope& operator=(const CNumericScope&) = delete;

private:
    locale_t c_ = locale_t(0);
    locale_t previous_ = locale_t(0);
};

// When libxlsxwriter fails to write the workbook (a full disk), it returns
// without closing the temporary file of the sheet's rows, which keeps its
// disk space until the program ends. Its temporary files are all in our
// private folder and already unlinked there; every descriptor still open on
// one is pointed at /dev/null, which frees the space, while the stream the
// library forgot stays valid and writes nowhere should anything flush it.
void ReleaseFilesLeftIn(const QByteArray& folder)
{
    const QByteArray prefix = folder + '/';
    std::vector<int> left;
    if (DIR* fds = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(fds)) {
            char* end = nullptr;
            const long fd = std::strtol(entry->d_name, &end, 10);
            if (end == entry->d_name || *end != '\0' || fd == ::dirfd(fds)) continue;
            char target[PATH_MAX];
            const QByteArray link = QByteArray("/proc/self/fd/") + entry->d_name;
            const ssize_t length = ::readlink(link.constData(), target, sizeof target - 1);
            if (length > 0 && QByteArray(target, int(length)).startsWith(prefix)) left.push_back(int(fd));
        }
        ::closedir(fds);
    }
    if (left.empty()) return;
    const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (sink < 0) return;
    for (const int fd : left) ::dup3(sink, fd, O_CLOEXEC);
    ::close(sink);
}

// The workbook of one export. libxlsxwriter keeps the sheet's rows in
// temporary files until the workbook is closed; they go into a private folder
// of our own under the user's TMPDIR, which is removed with everything in it
// when the export ends, whatever the outcome. The library frees its temporary
// files only when it writes the workbook, so an export that is abandoned
// (cancelled, or a row that could not be added) is still closed through the
// library: it writes what it has into the caller's temporary target, which
// the caller removes.
class Workbook {
public:
    explicit Workbook(const QString& path)
        : scratch_(QDir(QDir::tempPath()).filePath(QStringLiteral("qzr6100-export-XXXXXX")))
    {
        if (!scratch_.isValid()) {
            scratchError_ = scratch_.errorString();
            if (scratchError_.isEmpty()) scratchError_ = SystemErrorText(EACCES);
            return;
        }
        tmpdir_ = QFile::encodeName(scratch_.path());
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpdir_.data();
        book_ = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        if (book_ != nullptr) sheet_ = workbook_add_worksheet(book_, nullptr);
    }
    ~Workbook()
    {
        if (book_ != nullptr) close();
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    bool isValid() const { return book_ != nullptr && sheet_ != nullptr; }
    // Why the private temporary folder could not be made; empty when it was.
    const QString& scratchError() const { return scratchError_; }
    lxw_worksheet* sheet() const { return sheet_; }

    // Writes the file; the workbook is gone afterwards whatever the result.
    lxw_error close()
    {
        lxw_workbook* book = book_;
        book_ = nullptr;
        sheet_ = nullptr;
        const lxw_error result = workbook_close(book);
        if (result != LXW_NO_ERROR) {
            const int closeErrno = errno;
            ReleaseFilesLeftIn(tmpdir_);
            errno = closeErrno;
        }
        return result;
    }

private:
    QTemporaryDir scratch_;
    QString scratchError_;
    QByteArray tmpdir_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
};

// Opens (creating) the file for writing and closes it again: a folder that
// is missing or not writable is reported with the system's reason before
// any row is written, rather than by libxlsxwriter, which opens the file
// only at the end.
int CheckWritable(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

QString XlsxReason(lxw_error code, int err)
{
    const QString library = QString::fromUtf8(lxw_strerror(code));
    return err != 0 ? SystemErrorText(err) + QStringLiteral(" (") + library + QLatin1Char(')') : library;
}

// Buffered writes to a file descriptor, remembering the first error.
class CsvFile {
public:
    explicit CsvFile(const QString& path)
    {
        fd_ = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) error_ = errno;
        buffer_.reserve(kFlushSize + 256);
    }
    ~CsvFile()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    int error() const { return error_; }

    void append(const char* text, size_t length) { buffer_.append(text, length); }
    void append(const char* text) { buffer_.append(text); }
    void append(char c) { buffer_.push_back(c); }
    void append(const QByteArray& bytes) { buffer_.append(bytes.constData(), size_t(bytes.size())); }

    void endLine()
    {
        buffer_.append("\r\n", 2);
        if (buffer_.size() >= kFlushSize) flush();
    }

    // Writes what is buffered; false once anything failed.
    bool flush()
    {
        size_t done = 0;
        while (error_ == 0 && done < buffer_.size()) {
            const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
            if (n < 0) {
                if (errno != EINTR) error_ = errno;
            } else {
                done += size_t(n);
            }
        }
        buffer_.clear();
        return error_ == 0;
    }

    bool close()
    {
        if (!flush()) return false;
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) error_ = errno;
        return error_ == 0;
    }

private:
    static constexpr size_t kFlushSize = 1 << 20;
    int fd_ = -1;
    int error_ = 0;
    std::string buffer_;
};

QByteArray CsvField(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r') || bytes.contains('\n')) {
        bytes.replace("\"", "\"\"");
        bytes.prepend('"');
        bytes.append('"');
    }
    return bytes;
}

char* Digits(char* out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

// "2026-12-09T00:12:11.123"; nothing when the value is no date.
char* IsoStamp(double oleDate, char* out)
{
    QDate date;
    QTime time;
    if (!OleDateToWallClock(oleDate, &date, &time)) return out;
    out = Digits(out, date.year(), 4);
    *out++ = '-';
    out = Digits(out, date.month(), 2);
    *out++ = '-';
    out = Digits(out, date.day(), 2);
    *out++ = 'T';
    out = Digits(out, time.hour(), 2);
    *out++ = ':';
    out = Digits(out, time.minute(), 2);
    *out++ = ':';
    out = Digits(out, time.second(), 2);
    *out++ = '.';
    return Digits(out, time.msec(), 3);
}

bool StepDue(int row) { return row % kExportRowsPerStep == 0; }

} // namespace

std::array<QString, kExportChannelCount + 1> ExportHeaders(const std::array<QString, kExportChannelCount>& labels)
{
    std::array<QString, kExportChannelCount + 1> headers;
    headers[0] = QStringLiteral("Recording time");
    for (int c = 0; c < kExportChannelCount; ++c)
        headers[size_t(c) + 1] = QStringLiteral("CH%1:").arg(c + 1) + labels[size_t(c)];
    return headers;
}

ExportOutcome ExportXlsx(const ExportSource& source, const QString& path, const ExportProgress& progress,
                         const std::atomic<bool>& cancel, QString* error, const QLocale& locale)
{
    if (const int err = CheckWritable(path)) return Fail(error, SystemErrorText(err));
    const CNumericScope cNumeric;
    errno = 0;
    Workbook book(path);
    if (!book.scratchError().isEmpty())
        return Fail(error, QStringLiteral("cannot make a temporary folder in %1 (%2)")
                               .arg(QDir::toNativeSeparators(QDir::tempPath()), book.scratchError()));
    if (!book.isValid()) return Fail(error, SystemErrorText(errno != 0 ? errno : ENOMEM));
    lxw_worksheet* sheet = book.sheet();

    worksheet_set_column(sheet, 0, 0, kTimeColumnWidth, nullptr);
    worksheet_set_column(sheet, 1, kExportChannelCount, kValueColumnWidth, nullptr);

    lxw_error written = LXW_NO_ERROR;
    for (int c = 0; c <= kExportChannelCount && written == LXW_NO_ERROR; ++c)
        written = worksheet_write_string(sheet, 0, lxw_col_t(c), source.headers[size_t(c)].toUtf8().constData(), nullptr);

    char number[32];
    for (int i = 0; i < source.count && written == LXW_NO_ERROR; ++i) {
        if (StepDue(i)) {
            if (cancel.load(std::memory_order_relaxed)) return ExportOutcome::Cancelled;
            if (progress) progress(i);
        }
        const lxw_row_t row = lxw_row_t(i) + 1;
        const QByteArray stamp = FormatRecordStamp(source.times[i], locale).toUtf8();
        if (!stamp.isEmpty()) written = worksheet_write_string(sheet, row, 0, stamp.constData(), nullptr);
        for (int c = 0; c < kExportChannelCount && written == LXW_NO_ERROR; ++c) {
            const float v = source.channels[size_t(c)][i];
            const lxw_col_t column = lxw_col_t(c) + 1;
            if (std::isfinite(v)) {
                // Through the float's shortest decimal, so the cell shows
                // the value as recorded rather than its binary expansion.
                double shown = 0;
                std::from_chars(number, ShortestDecimal(v, number), shown);
                written = worksheet_write_number(sheet, row, column, shown, nullptr);
            } else {
                written = worksheet_write_string(sheet, row, column, NonFiniteText(v), nullptr);
            }
        }
    }
    if (written != LXW_NO_ERROR) return Fail(error, XlsxReason(written, 0));
    if (cancel.load()) return ExportOutcome::Cancelled;
    if (progress) progress(source.count);

    errno = 0;
    const lxw_error closed = book.close();
    if (closed != LXW_NO_ERROR) return Fail(error, XlsxReason(closed, errno));
    return ExportOutcome::Done;
}

ExportOutcome ExportCsv(const ExportSource& source, const QString& path, const ExportProgress& progress,
                        const std::atomic<bool>& cancel, QString* error)
{
    CsvFile file(path);
    if (file.error() != 0) return Fail(error, SystemErrorText(file.error()));

    file.append("\xEF\xBB\xBF");
    for (int c = 0; c <= kExportChannelCount; ++c) {
        if (c > 0) file.append(',');
        file.append(CsvField(source.headers[size_t(c)]));
    }
    file.endLine();

    char field[40];
    for (int i = 0; i < source.count; ++i) {
        if (StepDue(i)) {
            if (cancel.load(std::memory_order_relaxed)) return ExportOutcome::Cancelled;
            if (file.error() != 0) break;
            if (progress) progress(i);
        }
        file.append(field, size_t(IsoStamp(source.times[i], field) - field));
        for (int c = 0; c < kExportChannelCount; ++c) {
            file.append(',');
            const float v = source.channels[size_t(c)][i];
            // Spelled as every CSV of the programs spells them: empty for
            // not-a-number, inf and -inf.
            if (std::isfinite(v))
                file.append(field, size_t(ShortestDecimal(v, field) - field));
            else
                file.append(CsvFloatText(v));
        }
        file.endLine();
    }
    if (file.error() == 0 && cancel.load()) return ExportOutcome::Cancelled;
    if (!file.close()) return Fail(error, SystemErrorText(file.error()));
    if (progress) progress(source.count);
    return ExportOutcome::Done;
}
