#pragma once
// Opening a record file into the viewer's record.
//
// A file is read as whole blocks only, at most 450 of them, and its length is
// the count field of the last block read, limited to the slots read. Whatever
// else a file holds (a torn last block, more blocks than a record can have, a
// count field that is negative or larger than the data) never reaches past
// the arrays or shows slots that hold no samples: the caller gets a message
// saying what was wrong and how much was loaded. A file that cannot be opened
// or holds no whole block leaves the record in view as it was; the header is
// checked before any sample is copied, so no scratch record is needed.

#include "recording/record_arrays.h"

#include <QLocale>
#include <QString>

#include <array>
#include <optional>

struct RecordOpenResult {
    bool loaded = false;  // the record now holds the file (or the part of it that could be read)
    QString message;      // empty when the file was read whole and sound
};

RecordOpenResult OpenRecordFile(const QString& path, ViewedRecord& record);

// The record window's texts after an open: panel 4 "Length:N", panel 2
// "Start: " and panel 3 "End: " with the date and time of the first and last
// sample ("Start: 0" / "End: 0" for an empty record or a time before 2000),
// panel 0 the step text in the settings dialog's form and the channel labels,
// each unset where the file's value is not a valid step or quantity code.
struct OpenedRecordTexts {
    QString length;
    QString start;
    QString end;
    std::optional<QString> step;
    std::array<std::optional<QString>, kRecordChannelCount> labels;
};

OpenedRecordTexts DescribeOpenedRecord(const ViewedRecord& record, const QLocale& locale = QLocale::system());
