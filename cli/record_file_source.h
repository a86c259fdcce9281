#pragma once
// A record file opened for the commands that read one (export, report,
// info), as the record window's viewer opens it: whole blocks, the length
// from the last block, and what was wrong with a damaged file.

#include "recording/record_arrays.h"
#include "recording/record_export.h"

#include <QString>

#include <array>
#include <memory>

struct OpenedRecordFile {
    std::unique_ptr<ViewedRecord> record = std::make_unique<ViewedRecord>();
    QString damage;  // empty for a sound file; otherwise one line saying what was wrong and what was read

    // The quantity label of each channel, from the codes the file carries
    // ("code 42" for a code no quantity has).
    std::array<QString, kRecordChannelCount> channelLabels() const;
    // The samples as the exporters take them.
    ExportSource exportSource() const;
};

// False with a one-line reason naming the file when nothing could be read.
bool OpenRecordFileForReading(const QString& path, OpenedRecordFile* opened, QString* error);
