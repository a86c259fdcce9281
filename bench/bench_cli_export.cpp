// Export of a full record file (450000 samples, 450 blocks) to CSV and to a
// spreadsheet: through the program's own export path (open the file as the
// record window does, then the export job: copy, worker, sync, rename) and
// through qzr6100-cli export as a user runs it, start-up included. The two
// should take the same time.
//
//   bench_cli_export [folder]   (default: the system's temporary folder)

#include "cli_bench_process.h"

#include "recording/export_job.h"
#include "recording/ole_date.h"
#include "recording/record_arrays.h"
#include "recording/record_file.h"
#include "recording/record_reader.h"
#include "recording/record_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {

// A full record of a mains recording at a 1 s step, written block by block.
bool WriteFullRecord(const QString& path)
{
    auto live = std::make_unique<LiveRecord>();
    const double start = OleDateFromLocal(QDateTime(QDate(2026, 12, 9), QTime(0, 12, 11)));
    for (int i = 0; i < kRecordCapacity; ++i) {
        const double wobble = std::sin(i * 0.001) + 0.37 * std::sin(i * 0.0173);
        live->data.times()[i] = start + i / 86400.0;
        live->data.channel(0)[i] = float(230.0 + 2.5 * wobble);
        live->data.channel(1)[i] = float(4.2 + 0.3 * wobble);
        live->data.channel(2)[i] = live->data.channel(0)[i] * live->data.channel(1)[i] * 0.93f;
        live->data.channel(3)[i] = float(50.0 + 0.02 * wobble);
        live->data.channel(4)[i] = 0.93f;
        live->data.channel(5)[i] = float(0.03 + 0.001 * wobble);
    }
    live->count = kRecordCapacity;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    auto block = std::make_unique<RecordBlock>();
    ResetRecordBlock(*block, {QuantityVoltage, QuantityCurrent, QuantityPower, QuantityFrequency, QuantityPowerFactor,
                              QuantityUthd},
                     0);
    for (int k = 0; k < kMaxRecordBlocks; ++k) {
        FillRecordBlock(*block, live->data, k, live->count);
        if (file.write(reinterpret_cast<const char*>(block->bytes()), kRecordBlockSize) != kRecordBlockSize) return false;
    }
    return file.flush();
}

// The record window's way: open the file into the viewer's record, then
// the export job.
double ProgramExport(const QString& recordPath, const QString& target, ExportFormat format)
{
    QElapsedTimer clock;
    clock.start();
    auto viewed = std::make_unique<ViewedRecord>();
    if (!OpenRecordFile(recordPath, *viewed).loaded) return -1;
    ExportSource source;
    std::array<QString, kExportChannelCount> labels;
    for (int k = 0; k < kExportChannelCount; ++k) {
        source.channels[size_t(k)] = viewed->data.channel(k);
        labels[size_t(k)] = QuantityLabelText(viewed->channelCodes[size_t(k)]);
    }
    source.times = viewed->data.times();
    source.count = viewed->length();
    source.headers = ExportHeaders(labels);
    ExportJob job(source, target, format);
    QString error;
    if (!job.start(&error) || job.wait(&error) != ExportOutcome::Done || !job.commit(&error)) {
        std::printf("export failed: %s\n", qPrintable(error));
        return -1;
    }
    return double(clock.nsecsElapsed()) * 1e-9;
}

// Processor seconds (user and system) used so far by this process or by its
// finished children: on a busy machine these compare the two paths' work
// where the wall-clock times mostly compare the load.
double CpuSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch(argc > 1 ? QString::fromLocal8Bit(argv[1]) + QStringLiteral("/bench-cli-export-XXXXXX")
                                   : QDir::tempPath() + QStringLiteral("/bench-cli-export-XXXXXX"));
    const QString record = scratch.filePath(QStringLiteral("full.vqr"));
    if (!scratch.isValid() || !WriteFullRecord(record)) {
        std::printf("cannot write the record file\n");
        return 1;
    }
    std::printf("%s: %lld bytes, %d samples\n", qPrintable(record), QFileInfo(record).size(), kRecordCapacity);
    for (const ExportFormat format : {ExportFormat::Csv, ExportFormat::Xlsx}) {
        const bool csv = format == ExportFormat::Csv;
        const QString extension = csv ? QStringLiteral("csv") : QStringLiteral("xlsx");
        for (int round = 1; round <= 3; ++round) {
            const QString programTarget = scratch.filePath(QStringLiteral("program.") + extension);
            const double programCpuBefore = CpuSeconds(RUSAGE_SELF);
            const double program = ProgramExport(record, programTarget, format);
            const double programCpu = CpuSeconds(RUSAGE_SELF) - programCpuBefore;
            const QString cliTarget = scratch.filePath(QStringLiteral("cli.") + extension);
            const double cliCpuBefore = CpuSeconds(RUSAGE_CHILDREN);
            const clibench::Run run = clibench::RunCli({QStringLiteral("export"), record, QStringLiteral("--") + extension, cliTarget});
            const double cliCpu = CpuSeconds(RUSAGE_CHILDREN) - cliCpuBefore;
            if (program < 0 || run.status != 0) {
                std::printf("%s round %d failed\n%s", qPrintable(extension), round, run.err.constData());
                return 1;
            }
            std::printf("%-4s round %d: program's path %7.3f s (processor %6.3f s, %lld bytes), qzr6100-cli export "
                        "%7.3f s (processor %6.3f s, %lld bytes)\n",
                        qPrintable(extension), round, program, programCpu, QFileInfo(programTarget).size(), run.seconds,
                        cliCpu, QFileInfo(cliTarget).size());
        }
    }
    return 0;
}
