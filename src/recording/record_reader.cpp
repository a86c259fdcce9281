#include "recording/record_reader.h"

#include "acquisition/system_error.h"

#include "recording/ole_date.h"
#include "recording/record_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads exactly size bytes at offset. False with errno set on failure; a file
// that ends early fails with EIO.
bool readAllAt(int fd, uint8_t* data, size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t done = ::pread(fd, data, size, offset);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (done == 0) {
            errno = EIO;
            return false;
        }
        data += done;
        size -= size_t(done);
        offset += done;
    }
    return true;
}

class FileCloser {
public:
    explicit FileCloser(int fd) : fd_(fd) {}
    ~FileCloser() { ::close(fd_); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

private:
    int fd_;
};

QString cannotRead(const QString& path, int error)
{
    return QCoreApplication::translate("RecordReader", "Cannot read the record file %1:\n%2")
        .arg(path, SystemErrorText(error));
}

QString stampText(const QString& prefix, const ViewedRecord& record, int index, const QLocale& locale)
{
    if (index < 0 || index > record.lastIndex) return prefix + QLatin1Char('0');
    QDate date;
    QTime time;
    const double stamp = record.data.times()[index];
    if (!OleDateToWallClock(stamp, &date, &time) || date.year() < 2000) return prefix + QLatin1Char('0');
    return prefix + FormatRecordStamp(stamp, locale);
}

} // namespace

RecordOpenResult OpenRecordFile(const QString& path, ViewedRecord& record)
{
    RecordOpenResult result;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.message = QCoreApplication::translate("RecordReader", "Cannot open the record file %1:\n%2")
            .arg(path, SystemErrorText(errno));
        return result;
    }
    FileCloser closer(fd);
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        result.message = cannotRead(path, errno);
        return result;
    }
    if (S_ISDIR(info.st_mode)) {
        result.message = cannotRead(path, EISDIR);
        return result;
    }

    const qint64 size = info.st_size;
    const qint64 fileBlocks = size / kRecordBlockSize;
    const qint64 tornBytes = size % kRecordBlockSize;
    if (fileBlocks == 0) {
        result.message = QCoreApplication::translate("RecordReader", "The record file %1 does not hold one whole record block (%2 bytes); "
                                        "nothing was loaded.")
                             .arg(path)
                             .arg(size);
        return result;
    }

    QStringList problems;
    if (tornBytes != 0)
        problems << QCoreApplication::translate("RecordReader", "Its size, %1 bytes, is not a whole number of %2-byte blocks; "
                                   "the last %3 bytes were left out.")
                        .arg(size)
                        .arg(kRecordBlockSize)
                        .arg(tornBytes);
    if (fileBlocks > kMaxRecordBlocks)
        problems << QCoreApplication::translate("RecordReader", "It holds %1 blocks, more than the %2 of a full record; "
                                   "only the first %2 were read.")
                        .arg(fileBlocks)
                        .arg(kMaxRecordBlocks);
    const int blocks = int(std::min<qint64>(fileBlocks, kMaxRecordBlocks));
    const int slotCount = blocks * kBlockSlots;

    // The length and the file's fields come from the last block read; check
    // them before anything of the record in view is overwritten.
    RecordBlockHeader header;
    if (!readAllAt(fd, reinterpret_cast<uint8_t*>(&header), sizeof header,
                   off_t(blocks - 1) * kRecordBlockSize + off_t(offsetof(RecordBlock, Header)))) {
        result.message = cannotRead(path, errno);
        return result;
    }
    const int32_t count = header.Count.get();
    if (count < 0)
        problems << QCoreApplication::translate("RecordReader", "The record length in its last block, %1, is negative; it was read as 0.")
                        .arg(count);
    else if (count > kRecordCapacity)
        problems << QCoreApplication::translate("RecordReader", "The record length in its last block, %1, is more than the %2 samples a record "
                                   "can hold; it was read as %3.")
                        .arg(count)
                        .arg(kRecordCapacity)
                        .arg(slotCount);
    else if (count > slotCount)
        problems << QCoreApplication::translate("RecordReader", "The record length in its last block, %1, is more than the %2 samples its "
                                   "blocks hold; it was read as %2.")
                        .arg(count)
                        .arg(slotCount);
    int32_t length = std::clamp(count, 0, slotCount);

    std::unique_ptr<RecordBlock> block(new RecordBlock);
    const int needed = (length + kBlockSlots - 1) / kBlockSlots;
    for (int k = 0; k < needed; ++k) {
        if (!readAllAt(fd, block->bytes(), sizeof(RecordBlock), off_t(k) * kRecordBlockSize)) {
            const int error = errno;
            if (k == 0) {
                result.message = cannotRead(path, error);
                return result;
            }
            problems << QCoreApplication::translate("RecordReader", "Reading block %1 failed (%2); the samples from there on were left out.")
                            .arg(k)
                            .arg(SystemErrorText(error));
            length = k * kBlockSlots;
            break;
        }
        CopyRecordBlock(*block, k, std::min(kBlockSlots, length - k * kBlockSlots), record.data);
    }

    record.lastIndex = length - 1;
    std::copy(std::begin(header.ChannelCodes), std::end(header.ChannelCodes), record.channelCodes.begin());
    record.samplingStep = header.SamplingStep.get();
    result.loaded = true;
    if (!problems.isEmpty())
        result.message = QCoreApplication::translate("RecordReader", "The record file %1 is damaged.\n%2\n%3 samples were loaded.")
                             .arg(path, problems.join(QLatin1Char('\n')))
                             .arg(length);
    return result;
}

OpenedRecordTexts DescribeOpenedRecord(const ViewedRecord& record, const QLocale& locale)
{
    OpenedRecordTexts texts;
    texts.length = QCoreApplication::translate("RecordReader", "Length:") + QString::number(record.length());
    texts.start = stampText(QCoreApplication::translate("RecordReader", "Start: "), record, 0, locale);
    texts.end = stampText(QCoreApplication::translate("RecordReader", "End: "), record, record.lastIndex, locale);
    if (IsValidSamplingStep(record.samplingStep))
        texts.step = SamplingStepText(record.samplingStep, StepTextForm::Dialog);
    for (int ch = 0; ch < kRecordChannelCount; ++ch) {
        const int code = record.channelCodes[size_t(ch)];
        if (IsValidQuantityCode(code)) texts.labels[size_t(ch)] = QuantityLabelText(code);
    }
    return texts;
}
