#pragma once
// Writes the live record into its record file: creates the file (New) and
// brings it up to date at each save.
//
// A save rewrites the last block of the file whole and, when the record has
// crossed into a new block since, appends that block: one or two block writes
// of 32016 bytes whatever the record's length. The data then goes to the disk
// (fdatasync) before the save counts as done, so a killed program or a power
// cut loses at most the samples since the last save, and the file always
// holds whole blocks that open.
//
// The file is reopened at each save, without creating it: a file removed
// while recording is a failed save, not a silently recreated one.

#include "recording/record_file.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>

class RecordFileWriter {
public:
    struct SaveResult {
        bool ok = true;
        int blockWrites = 0;
        QString error;  // the system's reason when !ok
    };

    RecordFileWriter();
    RecordFileWriter(const RecordFileWriter&) = delete;
    RecordFileWriter& operator=(const RecordFileWriter&) = delete;

    bool hasFile() const { return !fileName_.isEmpty(); }
    const QString& fileName() const { return fileName_; }

    // Makes `path` a new record file: one block of zeros carrying the codes,
    // the step and count 0. The block is written beside the target, synced and
    // renamed over it, so an existing file is replaced only by a complete new
    // one. On failure nothing changes, the file saved into stays the previous
    // one, and *error holds the system's reason.
    bool create(const QString& path, const std::array<int32_t, kRecordChannelCount>& channelCodes,
                int samplingStep, QString* error);

    // Changes the codes and step the next saves write (for a file that holds
    // no sample yet).
    void setFileFields(const std::array<int32_t, kRecordChannelCount>& channelCodes, int samplingStep);

    // Brings the file up to `record`. Normally one block write, two at a
    // block boundary; after failed saves every block written since the last
    // good one. A file that has grown longer than the record needs, or ends in
    // a torn block, is cut back to whole blocks.
    SaveResult save(const LiveRecord& record);

    // The write buffer as the last save or create left it.
    const RecordBlock& buffer() const { return *buffer_; }

private:
    std::unique_ptr<RecordBlock> buffer_;
    QString fileName_;
    QByteArray encodedName_;
};
