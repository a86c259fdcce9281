#pragma once
// Which record the trend chart shows: the one being recorded or a record file
// opened for inspection. The values are those the record window stores.

enum class ViewMode : int {
    Recording = 0,   // the live record, newest sample = count - 1
    Inspection = 1,  // the opened file, newest sample = its last index
};
