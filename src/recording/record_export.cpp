#include "recording/record_export.h"

#include "acquisition/system_error.h"

#include "recording/ole_date.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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

// The workbook of one export, freed without writing anything unless closed.
class Workbook {
public:
    explicit Workbook(const QString& path)
    {
        // libxlsxwriter keeps the sheet's rows in a temporary file until
        // close; put it where the user's TMPDIR says.
        tmpdir_ = QFile::encodeName(QDir::tempPath());
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpdir_.data();
        book_ = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        if (book_ != nullptr) sheet_ = workbook_add_worksheet(book_, nullptr);
    }
    ~Workbook()
    {
        if (book_ == nullptr) return;
        // Freeing a workbook does not close the temporary file of a
        // constant-memory sheet; that is only done when the file is written.
        if (sheet_ != nullptr && sheet_->optimize_tmpfile != nullptr) {
            std::fclose(sheet_->optimize_tmpfile);
            sheet_->optimize_tmpfile = nullptr;
            sheet_->file = nullptr;
        }
        lxw_workbook_free(book_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    bool isValid() const { return book_ != nullptr && sheet_ != nullptr; }
    lxw_worksheet* sheet() const { return sheet_; }

    // Writes the file; the workbook is gone afterwards whatever the result.
    lxw_error close()
    {
        // When writing the file fails (a full disk), libxlsxwriter leaves
        // the sheet's temporary file open, holding its disk space until the
        // program ends. It is still ours to close if the descriptor still
        // refers to that (already unlinked) file: nothing else can open it.
        FILE* rows = sheet_ != nullptr ? sheet_->optimize_tmpfile : nullptr;
        struct stat before {};
        const int fd = rows != nullptr ? fileno(rows) : -1;
        const bool known = fd >= 0 && ::fstat(fd, &before) == 0;

        lxw_workbook* book = book_;
        book_ = nullptr;
        sheet_ = nullptr;
        const lxw_error result = workbook_close(book);

        const int closeErrno = errno;
        struct stat after {};
        if (result != LXW_NO_ERROR && known && ::fstat(fd, &after) == 0 && after.st_dev == before.st_dev
            && after.st_ino == before.st_ino)
            std::fclose(rows);
        errno = closeErrno;
        return result;
    }

private:
    QByteArray tmpdir_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
};

// Opens (creating) the file for writing and closes it again: a folder that
// is missing or not writable is reported with the system's reason before
// any row is written, and libxlsxwriter, which opens the file only at the
// end, then does not fail there (where it would leak its temporary file).
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
            if (std::isfinite(v))
                file.append(field, size_t(ShortestDecimal(v, field) - field));
            else
                file.append(NonFiniteText(v));
        }
        file.endLine();
    }
    if (file.error() == 0 && cancel.load()) return ExportOutcome::Cancelled;
    if (!file.close()) return Fail(error, SystemErrorText(file.error()));
    if (progress) progress(source.count);
    return ExportOutcome::Done;
}
