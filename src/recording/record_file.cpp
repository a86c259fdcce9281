#include "recording/record_file.h"

#include <algorithm>
#include <cassert>
#include <cstring>

void SetRecordBlockFileFields(RecordBlock& block, const std::array<int32_t, kRecordChannelCount>& channelCodes,
                              int samplingStep)
{
    for (int ch = 0; ch < kRecordChannelCount; ++ch) block.Header.ChannelCodes[ch] = uint8_t(channelCodes[size_t(ch)]);
    block.Header.SamplingStep.set(uint16_t(samplingStep));
}

void ResetRecordBlock(RecordBlock& block, const std::array<int32_t, kRecordChannelCount>& channelCodes,
                      int samplingStep)
{
    std::memset(block.bytes(), 0, sizeof block);
    SetRecordBlockFileFields(block, channelCodes, samplingStep);
    block.Header.Count.set(0);
}

void FillRecordBlock(RecordBlock& block, const RecordSeries& series, int blockIndex, int32_t count)
{
    assert(blockIndex >= 0 && blockIndex < kMaxRecordBlocks);
    const int first = blockIndex * kBlockSlots;
    const int filled = std::clamp(count - first, 0, kBlockSlots);
    for (int ch = 0; ch < kRecordChannelCount; ++ch) {
        const float* values = series.channel(ch) + first;
        le::F32* slotCells = block.Values[ch];
        for (int i = 0; i < filled; ++i) slotCells[i].set(values[i]);
        std::memset(slotCells + filled, 0, sizeof(le::F32) * size_t(kBlockSlots - filled));
    }
    const double* times = series.times() + first;
    for (int i = 0; i < filled; ++i) block.Times[i].set(times[i]);
    std::memset(block.Times + filled, 0, sizeof(le::F64) * size_t(kBlockSlots - filled));
    block.Header.Count.set(count);
}

void CopyRecordBlock(const RecordBlock& block, int blockIndex, int count, RecordSeries& series)
{
    assert(blockIndex >= 0 && blockIndex < kMaxRecordBlocks && count >= 0 && count <= kBlockSlots);
    const int first = blockIndex * kBlockSlots;
    for (int ch = 0; ch < kRecordChannelCount; ++ch) {
        float* values = series.channel(ch) + first;
        const le::F32* slotCells = block.Values[ch];
        for (int i = 0; i < count; ++i) values[i] = slotCells[i].get();
    }
    double* times = series.times() + first;
    for (int i = 0; i < count; ++i) times[i] = block.Times[i].get();
}
