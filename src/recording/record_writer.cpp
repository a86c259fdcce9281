#include "recording/record_writer.h"

#include "acquisition/system_error.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes all of data at offset; false with errno set on failure.
bool writeAllAt(int fd, const uint8_t* data, size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t done = ::pwrite(fd, data, size, offset);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (done == 0) {
            errno = ENOSPC;
            return false;
        }
        data += done;
        size -= size_t(done);
        offset += done;
    }
    return true;
}

// Closes fd; false with errno set when the close reports a failed write.
bool closeChecked(int fd)
{
    if (::close(fd) == 0 || errno == EINTR) return true;
    return false;
}

// Makes a rename in `dir` durable.
void syncDirectory(const QByteArray& dir)
{
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes one block into a new file beside `target` and renames it over the
// target. False with errno set on failure; no temporary file is left.
bool replaceWithBlock(const QByteArray& target, const RecordBlock& block)
{
    int fd = -1;
    QByteArray temp;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = target + ".new" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    const bool written = writeAllAt(fd, block.bytes(), sizeof block, 0) && ::fdatasync(fd) == 0;
    const int writeError = errno;
    const bool closed = closeChecked(fd);
    if (!written || !closed || ::rename(temp.constData(), target.constData()) != 0) {
        const int error = !written ? writeError : errno;
        ::unlink(temp.constData());
        errno = error;
        return false;
    }
    syncDirectory(QFile::encodeName(QFileInfo(QFile::decodeName(target)).absolutePath()));
    return true;
}

} // namespace

RecordFileWriter::RecordFileWriter() : buffer_(new RecordBlock()) {}

bool RecordFileWriter::create(const QString& path, const std::array<int32_t, kRecordChannelCount>& channelCodes,
                              int samplingStep, QString* error)
{
    const QByteArray encoded = QFile::encodeName(path);
    // Replacing a file we may not write would succeed through the rename;
    // refuse it as truncating it would be refused.
    if (::access(encoded.constData(), F_OK) == 0 && ::access(encoded.constData(), W_OK) != 0) {
        if (error) *error = SystemErrorText(errno);
        return false;
    }
    const RecordBlockHeader previous = buffer_->Header;
    ResetRecordBlock(*buffer_, channelCodes, samplingStep);
    if (!replaceWithBlock(encoded, *buffer_)) {
        if (error) *error = SystemErrorText(errno);
        buffer_->Header = previous;
        return false;
    }
    fileName_ = path;
    encodedName_ = encoded;
    return true;
}

void RecordFileWriter::setFileFields(const std::array<int32_t, kRecordChannelCount>& channelCodes, int samplingStep)
{
    SetRecordBlockFileFields(*buffer_, channelCodes, samplingStep);
}

RecordFileWriter::SaveResult RecordFileWriter::save(const LiveRecord& record)
{
    SaveResult result;
    auto fail = [&result](int error) {
        result.ok = false;
        result.error = SystemErrorText(error);
        return result;
    };

    const int32_t count = std::clamp(record.count, 0, kRecordCapacity);
    // The block being filled; a full record ends in its last block.
    const int last = std::min(count / kBlockSlots, kMaxRecordBlocks - 1);

    const int fd = ::open(encodedName_.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    const off_t blockSize = kRecordBlockSize;
    const off_t blocksInFile = info.st_size / blockSize;
    // Rewrite the file's last block (completing it) and write every block
    // after it up to the one being filled.
    const int first = blocksInFile > 0 ? int(std::min<off_t>(blocksInFile - 1, last)) : 0;
    for (int k = first; k <= last; ++k) {
        FillRecordBlock(*buffer_, record.data, k, count);
        if (!writeAllAt(fd, buffer_->bytes(), sizeof(RecordBlock), off_t(k) * blockSize)) {
            const int error = errno;
            ::close(fd);
            return fail(error);
        }
        ++result.blockWrites;
    }
    const off_t wantedSize = off_t(last + 1) * blockSize;
    if (std::max(info.st_size, wantedSize) != wantedSize && ::ftruncate(fd, wantedSize) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    if (::fdatasync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    if (!closeChecked(fd)) return fail(errno);
    return result;
}
