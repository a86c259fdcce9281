#pragma once
// The in-memory records: the one being recorded (LiveRecord) and the one
// opened from a file (ViewedRecord). Each holds six channels of float32 values
// and one array of OLE dates, 450000 slots each, allocated and zero-filled
// once when the record window is created and kept for the whole run, so that
// recording and opening files never allocate. They cannot be copied.

#include "recording/record_settings.h"

#include <array>
#include <cstdint>
#include <memory>

constexpr int kRecordCapacity = 450000;  // samples in a record

class RecordSeries {
public:
    RecordSeries();
    RecordSeries(const RecordSeries&) = delete;
    RecordSeries& operator=(const RecordSeries&) = delete;

    float* channel(int ch) { return values_[size_t(ch)].get(); }
    const float* channel(int ch) const { return values_[size_t(ch)].get(); }
    double* times() { return times_.get(); }
    const double* times() const { return times_.get(); }

private:
    std::array<std::unique_ptr<float[]>, kRecordChannelCount> values_;
    std::unique_ptr<double[]> times_;
};

// Sample i lives at index i of every array; count samples are recorded. A new
// record file sets count to 0 and leaves the arrays' contents as they are.
struct LiveRecord {
    RecordSeries data;
    int32_t count = 0;
};

// A record read from a file: indices 0..lastIndex carry data (lastIndex -1:
// empty), and the channel codes and sampling step of the file's last block.
struct ViewedRecord {
    RecordSeries data;
    int32_t lastIndex = -1;
    std::array<uint8_t, kRecordChannelCount> channelCodes{};
    uint16_t samplingStep = 0;

    int32_t length() const { return lastIndex + 1; }
};
