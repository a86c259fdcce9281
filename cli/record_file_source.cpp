#include "record_file_source.h"

#include "cli_common.h"

#include "recording/record_reader.h"
#include "recording/record_settings.h"

std::array<QString, kRecordChannelCount> OpenedRecordFile::channelLabels() const
{
    std::array<QString, kRecordChannelCount> labels;
    for (int k = 0; k < kRecordChannelCount; ++k) {
        const int code = record->channelCodes[size_t(k)];
        labels[size_t(k)] = IsValidQuantityCode(code) ? QuantityLabelText(code) : QStringLiteral("code %1").arg(code);
    }
    return labels;
}

ExportSource OpenedRecordFile::exportSource() const
{
    ExportSource source;
    for (int k = 0; k < kExportChannelCount; ++k) source.channels[size_t(k)] = record->data.channel(k);
    source.times = record->data.times();
    source.count = record->length();
    source.headers = ExportHeaders(channelLabels());
    return source;
}

bool OpenRecordFileForReading(const QString& path, OpenedRecordFile* opened, QString* error)
{
    const RecordOpenResult result = OpenRecordFile(path, *opened->record);
    if (!result.loaded) {
        *error = OneLine(result.message);
        return false;
    }
    opened->damage = OneLine(result.message);
    return true;
}
