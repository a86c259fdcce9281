// info: what a test file or a record file holds, and what is wrong with a
// damaged one.

#include "cli_common.h"
#include "commands.h"
#include "readout_output.h"
#include "record_file_source.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/test_file.h"
#include "display/number_format.h"
#include "recording/ole_date.h"
#include "recording/record_file.h"
#include "recording/record_settings.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

QString Row(const QString& name, const QString& value) { return name.leftJustified(14) + value + u'\n'; }

QString StampText(double oleDate)
{
    const QDateTime when = LocalFromOleDate(oleDate);
    return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) : QStringLiteral("no time");
}

QString Number(double value) { return FormatGeneral(RoundDecimals(value, 3)); }

int TestFileInfo(const QString& path)
{
    TestRecordImage record{};
    QString error;
    if (!LoadTestFile(path, record, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    const qint64 size = QFileInfo(path).size();
    QString text = Row(QStringLiteral("Test file"), path);
    text += Row(QStringLiteral("Size"), size > kTestRecordSize
                                            ? QStringLiteral("%1 bytes; those after the first %2 are not part of the test")
                                                  .arg(size)
                                                  .arg(kTestRecordSize)
                                            : QStringLiteral("%1 bytes").arg(size));
    text += Row(QStringLiteral("Waveforms"), QStringLiteral("%1 samples each").arg(record.SampleCount.get()));
    // The readouts as the main window shows them, without a time of their own.
    QString readouts = ReadoutEntry(OutputFormat::Text, 1, QDateTime(), record, false);
    readouts = readouts.mid(readouts.indexOf(u'\n') + 1);
    PrintOut(text + QStringLiteral("Readouts\n") + readouts);
    return kExitOk;
}

int RecordFileInfo(const QString& path)
{
    OpenedRecordFile opened;
    QString error;
    if (!OpenRecordFileForReading(path, &opened, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    const ViewedRecord& record = *opened.record;
    const int length = record.length();
    const qint64 size = QFileInfo(path).size();
    const std::array<QString, kRecordChannelCount> labels = opened.channelLabels();

    QString text = Row(QStringLiteral("Record file"), path);
    const qint64 blocks = size / kRecordBlockSize;
    text += Row(QStringLiteral("Size"), QStringLiteral("%1 bytes, %2 whole %3 of %4 bytes")
                                            .arg(size)
                                            .arg(blocks)
                                            .arg(blocks == 1 ? QStringLiteral("block") : QStringLiteral("blocks"))
                                            .arg(kRecordBlockSize));
    const int step = record.samplingStep;
    text += Row(QStringLiteral("Step"), IsValidSamplingStep(step)
                                            ? QStringLiteral("%1 s").arg(SamplingIntervalMs(step) / 1000)
                                            : QStringLiteral("unknown (index %1)").arg(step));
    text += Row(QStringLiteral("Length"), QStringLiteral("%1 samples").arg(length));
    text += Row(QStringLiteral("First sample"), length > 0 ? StampText(record.data.times()[0]) : QStringLiteral("none"));
    text += Row(QStringLiteral("Last sample"),
                length > 0 ? StampText(record.data.times()[length - 1]) : QStringLiteral("none"));
    for (int k = 0; k < kRecordChannelCount; ++k) {
        QString channel = labels[size_t(k)];
        if (length > 0) {
            const float* values = record.data.channel(k);
            double low = values[0], high = values[0], sum = 0;
            for (int i = 0; i < length; ++i) {
                low = std::min<double>(low, values[i]);
                high = std::max<double>(high, values[i]);
                sum += values[i];
            }
            channel = channel.leftJustified(16) +
                      QStringLiteral("min %1  max %2  mean %3").arg(Number(low), Number(high), Number(sum / length));
        }
        text += Row(QStringLiteral("CH%1").arg(k + 1), channel);
    }
    text += Row(QStringLiteral("Damage"), opened.damage.isEmpty() ? QStringLiteral("none") : opened.damage);
    PrintOut(text);
    if (opened.damage.isEmpty()) return kExitOk;
    PrintError(opened.damage);
    return kExitFailure;
}

} // namespace

CommandDescription InfoDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("info");
    about.synopsis = QStringLiteral("FILE.vqm | FILE.vqr");
    about.summary = QStringLiteral("show what a test file or record file holds");
    about.description = QStringLiteral(
        "For a test file (.vqm): its readouts as the main window shows them. For a record file (.vqr): the "
        "quantity of each channel with its smallest, largest and mean value, the sampling step, the length, "
        "and the times of the first and last sample.\n\n"
        "A damaged record file (a torn last block, a length its blocks do not hold, more blocks than a record "
        "can have) is described as far as it can be read, with what was wrong, and the status is 2; so is a "
        "file that cannot be read at all.");
    about.positionals = {{QStringLiteral("FILE"), QStringLiteral("a test file (.vqm) or a record file (.vqr)")}};
    about.examples = {QStringLiteral("qzr6100-cli info night.vqr")};
    return about;
}

int RunInfo(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    int status = kExitOk;
    if (!ParseCommandLine(parser, about, arguments, &status)) return status;
    const QStringList files = parser.positionalArguments().mid(1);
    if (files.size() != 1) return UsageError(about, QStringLiteral("name one test file or record file"));
    const QString path = files.first();
    if (path.endsWith(QStringLiteral(".vqm"), Qt::CaseInsensitive)) return TestFileInfo(path);
    if (path.endsWith(QStringLiteral(".vqr"), Qt::CaseInsensitive)) return RecordFileInfo(path);
    return UsageError(about, QStringLiteral("%1 is neither a test file (.vqm) nor a record file (.vqr)").arg(path));
}
