// Record file figures: opening a full 450-block file into the viewer's record
// (with the file's pages dropped from the cache before each run, and from the
// cache), and one save tick at record lengths 1000, 200000 and 449999 (block
// writes and time, fdatasync included). Each save starts from the file as the
// previous save tick, 10 samples earlier, left it, so 1000 and 200000 are
// saves across a block boundary.
//
// Usage: bench_record_file [runs] [folder]   (default 21 runs, a temporary
// folder; pass a folder on the disk whose figures you want).

#include "recording/record_file.h"
#include "recording/record_reader.h"
#include "recording/record_writer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Figures {
    double median, min, max;
};

Figures Summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back()};
}

// Asks the kernel to forget the file's cached pages (they are clean after
// fdatasync), so that the next read comes from the disk.
void DropFromCache(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return;
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

bool TruncateTo(const QString& path, qint64 size) { return ::truncate(QFile::encodeName(path).constData(), size) == 0; }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
    QTemporaryDir temp(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/bench-XXXXXX") : QString());
    if (!temp.isValid()) {
        std::fprintf(stderr, "cannot make a folder for the files\n");
        return 1;
    }

    auto live = std::make_unique<LiveRecord>();
    for (int i = 0; i < kRecordCapacity; ++i) {
        for (int ch = 0; ch < kRecordChannelCount; ++ch) live->data.channel(ch)[i] = float(ch * 100 + i % 977) * 0.5f;
        live->data.times()[i] = 45365.25 + i / 86400.0;
    }
    const std::array<int32_t, kRecordChannelCount> codes{0, 1, 2, 3, 4, 5};

    // A full record file.
    const QString fullPath = temp.filePath(QStringLiteral("full.vqr"));
    RecordFileWriter writer;
    QString error;
    live->count = kRecordCapacity;
    if (!writer.create(fullPath, codes, 2, &error) || !writer.save(*live).ok) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(fullPath), qPrintable(error));
        return 1;
    }

    auto viewed = std::make_unique<ViewedRecord>();
    std::vector<double> warm, cold;
    for (int run = 0; run < runs; ++run) {
        for (bool dropped : {true, false}) {
            if (dropped) DropFromCache(fullPath);
            QElapsedTimer t;
            t.start();
            const RecordOpenResult result = OpenRecordFile(fullPath, *viewed);
            const double ms = t.nsecsElapsed() / 1e6;
            if (!result.loaded || viewed->lastIndex != kRecordCapacity - 1) {
                std::fprintf(stderr, "open failed: %s\n", qPrintable(result.message));
                return 1;
            }
            (dropped ? cold : warm).push_back(ms);
        }
    }
    const Figures c = Summarise(cold), w = Summarise(warm);
    std::printf("open full 450-block file (%lld bytes), %d runs\n", qint64(kMaxRecordBlocks) * kRecordBlockSize, runs);
    std::printf("  dropped from cache: median %.2f ms (min %.2f, max %.2f)\n", c.median, c.min, c.max);
    std::printf("  from cache:         median %.2f ms (min %.2f, max %.2f)\n", w.median, w.min, w.max);

    std::printf("one save tick (block writes + fdatasync), %d runs each\n", runs);
    for (int length : {1000, 200000, 449999}) {
        const QString path = temp.filePath(QStringLiteral("save%1.vqr").arg(length));
        const int previous = length - 10;
        RecordFileWriter w2;
        live->count = previous;
        if (!w2.create(path, codes, 2, &error) || !w2.save(*live).ok) {
            std::fprintf(stderr, "cannot prepare %s\n", qPrintable(path));
            return 1;
        }
        const qint64 previousSize =
            qint64(std::min(previous / kBlockSlots, kMaxRecordBlocks - 1) + 1) * kRecordBlockSize;
        std::vector<double> ms;
        int writes = 0;
        for (int run = 0; run < runs; ++run) {
            if (!TruncateTo(path, previousSize)) return 1;
            live->count = length;
            QElapsedTimer t;
            t.start();
            const RecordFileWriter::SaveResult result = w2.save(*live);
            ms.push_back(t.nsecsElapsed() / 1e6);
            if (!result.ok) {
                std::fprintf(stderr, "save failed: %s\n", qPrintable(result.error));
                return 1;
            }
            writes = std::max(writes, result.blockWrites);
        }
        const Figures f = Summarise(ms);
        std::printf("  length %6d: %d block write%s, median %.2f ms (min %.2f, max %.2f)\n", length, writes,
                    writes == 1 ? " " : "s", f.median, f.min, f.max);
    }
    return 0;
}
