#pragma once
// The record file format: a plain sequence of 32016-byte blocks, no file
// header. Block k holds samples k*1000 .. k*1000+999. Little-endian, IEEE 754.
//
// Every block carries the channel codes and sampling step of the file (fixed
// when the file is created) and the record's length at the moment the block
// was last written; the count field of the last block is the record's length.
// Slots at or past that length carry no data. A record holds at most 450000
// samples, so a file holds at most 450 blocks.

#include "acquisition/le_types.h"
#include "recording/record_arrays.h"

#include <array>
#include <cstddef>
#include <cstdint>

constexpr int kBlockSlots = 1000;
constexpr int kMaxRecordBlocks = kRecordCapacity / kBlockSlots;  // 450
constexpr int kRecordBlockSize = 32016;

// The last 16 bytes of a block.
struct RecordBlockHeader {
    uint8_t ChannelCodes[kRecordChannelCount];  // low byte of each QuantityCode, CH1..CH6
    le::U16 SamplingStep;                       // SamplingStepIndex when the file was created
    le::I32 Count;                              // record length when this block was last written
    uint8_t Reserved[4];                        // zero
};

struct RecordBlock {
    le::F32 Values[kRecordChannelCount][kBlockSlots];  // CH1..CH6
    le::F64 Times[kBlockSlots];                        // OLE dates
    RecordBlockHeader Header;

    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(this); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(this); }
};

static_assert(sizeof(RecordBlockHeader) == 16 && alignof(RecordBlockHeader) == 1);
static_assert(offsetof(RecordBlockHeader, SamplingStep) == 6);
static_assert(offsetof(RecordBlockHeader, Count) == 8);
static_assert(offsetof(RecordBlockHeader, Reserved) == 12);
static_assert(sizeof(RecordBlock) == kRecordBlockSize && alignof(RecordBlock) == 1, "record block is 32016 bytes");
static_assert(offsetof(RecordBlock, Values) == 0);
static_assert(offsetof(RecordBlock, Values[1]) == 4000);
static_assert(offsetof(RecordBlock, Values[2]) == 8000);
static_assert(offsetof(RecordBlock, Values[3]) == 12000);
static_assert(offsetof(RecordBlock, Values[4]) == 16000);
static_assert(offsetof(RecordBlock, Values[5]) == 20000);
static_assert(offsetof(RecordBlock, Times) == 24000);
static_assert(offsetof(RecordBlock, Header) == 32000);
static_assert(offsetof(RecordBlock, Header) + offsetof(RecordBlockHeader, SamplingStep) == 32006);
static_assert(offsetof(RecordBlock, Header) + offsetof(RecordBlockHeader, Count) == 32008);
static_assert(offsetof(RecordBlock, Header) + offsetof(RecordBlockHeader, Reserved) == 32012);
static_assert(kMaxRecordBlocks * kBlockSlots == kRecordCapacity);

// Zeroes the whole block and sets the header of a new file: codes, step,
// count 0.
void ResetRecordBlock(RecordBlock& block, const std::array<int32_t, kRecordChannelCount>& channelCodes,
                      int samplingStep);

// Sets the codes and step of the header, leaving the rest.
void SetRecordBlockFileFields(RecordBlock& block, const std::array<int32_t, kRecordChannelCount>& channelCodes,
                              int samplingStep);

// Fills the block's slots with samples blockIndex*1000 .. +999 of the series
// and sets its count field to count. Slots at or past count are written as
// zero, so a file never carries stale values past its length.
void FillRecordBlock(RecordBlock& block, const RecordSeries& series, int blockIndex, int32_t count);

// Copies the first `count` slots of the block to samples blockIndex*1000 ..
// of the series.
void CopyRecordBlock(const RecordBlock& block, int blockIndex, int count, RecordSeries& series);
