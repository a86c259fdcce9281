#include "recording/view_state.h"

#include "display/number_format.h"

#include <algorithm>
#include <cassert>

#include <QCoreApplication>

namespace {

int trackBarPositionFor(int32_t zoom) { return std::clamp(kTrackBarMax + 1 - zoom, 0, kTrackBarMax); }

// The scroll bar's picture of start, or none for an empty record.
std::optional<int> scrollBarPositionFor(int32_t start, int32_t length)
{
    if (length <= 0) return std::nullopt;
    const double position = RoundHalfEven(double(start) * kScrollBarMax / double(length));
    return int(std::clamp(position, 0.0, double(kScrollBarMax)));
}

int gridIntervalFor(int32_t zoom) { return zoom * 1000; }

} // namespace

int32_t RuleLength(ViewMode mode, const RecordExtent& extent)
{
    return mode == ViewMode::Recording ? extent.liveCount : extent.viewedLastIndex;
}

int32_t NewestIndex(ViewMode mode, const RecordExtent& extent)
{
    return mode == ViewMode::Recording ? extent.liveCount - 1 : extent.viewedLastIndex;
}

ViewChange ZoomOut(TrendViewState& state, const RecordExtent& extent, int chartWidth)
{
    ViewChange change;
    const int32_t n = RuleLength(state.mode, extent);
    int32_t& zoom = state.zoomInView();
    // Zooming out only while the record still fills the chart at the new zoom.
    if (n / zoom > RoundHalfEven(chartWidth * 0.95)) {
        ++zoom;
        change.trackBarPosition = trackBarPositionFor(zoom);
    } else {
        change.zoomOutEnabled = false;
    }
    if (state.mode == ViewMode::Recording) change.gridTimerIntervalMs = gridIntervalFor(zoom);
    change.scrollBarPosition = scrollBarPositionFor(state.startInView(), n);
    change.zoomInEnabled = true;
    change.redraw = Redraw::Now;
    return change;
}

ViewChange ZoomIn(TrendViewState& state, const RecordExtent& extent)
{
    ViewChange change;
    int32_t& zoom = state.zoomInView();
    if (zoom <= 1)
        change.zoomInEnabled = false;
    else
        --zoom;
    change.trackBarPosition = trackBarPositionFor(zoom);
    change.zoomOutEnabled = true;
    if (state.mode == ViewMode::Recording) change.gridTimerIntervalMs = gridIntervalFor(zoom);
    change.scrollBarPosition = scrollBarPositionFor(state.startInView(), RuleLength(state.mode, extent));
    change.redraw = Redraw::Now;
    return change;
}

ViewChange TrackBarMoved(TrendViewState& state, int position, const RecordExtent& extent, int chartWidth)
{
    ViewChange change;
    const int32_t zoom = kTrackBarMax + 1 - std::clamp(position, 0, kTrackBarMax);
    if (RuleLength(state.mode, extent) / zoom > RoundHalfEven(chartWidth * 0.5)) {
        state.zoomInView() = zoom;
        change.gridTimerIntervalMs = gridIntervalFor(zoom);
    }
    change.redraw = Redraw::Deferred;
    return change;
}

ViewChange Forward(TrendViewState& state, const RecordExtent& extent)
{
    ViewChange change;
    change.backEnabled = true;
    int32_t& start = state.startInView();
    const bool room = state.mode == ViewMode::Recording ? start + 500 < extent.liveCount - start
                                                        : start + 500 < extent.viewedLastIndex;
    if (room)
        start += 500;
    else
        change.forwardEnabled = false;
    change.scrollBarPosition = scrollBarPositionFor(start, RuleLength(state.mode, extent));
    change.redraw = Redraw::Now;
    return change;
}

ViewChange Back(TrendViewState& state, const RecordExtent& extent)
{
    ViewChange change;
    change.forwardEnabled = true;
    int32_t& start = state.startInView();
    if (start < 1)
        change.backEnabled = false;
    else
        start = std::max(start - 300, 0);
    change.scrollBarPosition = scrollBarPositionFor(start, RuleLength(state.mode, extent));
    change.redraw = Redraw::Now;
    return change;
}

ViewChange ScrollBarMoved(TrendViewState& state, int position, const RecordExtent& extent, int chartWidth)
{
    ViewChange change;
    const int32_t n = RuleLength(state.mode, extent);
    if (n <= kScrollBarMax) return change;
    const int64_t a = int64_t(std::clamp(position, 0, kScrollBarMax)) * n / kScrollBarMax;
    // Only positions that leave a chart's width of samples to show.
    if (n - a > chartWidth * 0.95) {
        state.startInView() = int32_t(a);
        change.redraw = Redraw::Deferred;
    }
    return change;
}

ViewChange ToggleViewMode(TrendViewState& state, const RecordExtent& extent)
{
    state.mode = state.mode == ViewMode::Recording ? ViewMode::Inspection : ViewMode::Recording;
    ViewChange change;
    change.redraw = Redraw::Now;
    change.modeText = ViewModeText(state.mode);
    change.trackBarPosition = trackBarPositionFor(state.zoomInView());
    change.scrollBarPosition = scrollBarPositionFor(state.startInView(), RuleLength(state.mode, extent));
    return change;
}

ViewChange CycleRangeMode(TrendViewState& state)
{
    state.rangeMode = (state.rangeMode + 1) % 3;
    ViewChange change;
    change.redraw = Redraw::Now;
    change.rangeText = RangeModeText(state.rangeMode);
    return change;
}

ViewChange ShowLiveRecordFromStart(TrendViewState& state)
{
    state.mode = ViewMode::Recording;
    state.zoomInView() = 1;
    state.startInView() = 0;
    ViewChange change;
    change.scrollBarPosition = 0;
    change.trackBarPosition = kTrackBarMax;
    change.gridTimerIntervalMs = gridIntervalFor(1);
    change.modeText = ViewModeText(state.mode);
    change.redraw = Redraw::Now;
    return change;
}

ViewChange ShowOpenedRecord(TrendViewState& state, const RecordExtent& extent)
{
    state.mode = ViewMode::Inspection;
    int32_t& start = state.startInView();
    // A start kept from a longer record would show none of this one.
    if (start > 0 && start >= extent.viewedLastIndex) start = 0;
    ViewChange change;
    change.trackBarPosition = trackBarPositionFor(state.zoomInView());
    change.scrollBarPosition = scrollBarPositionFor(start, RuleLength(state.mode, extent));
    change.modeText = ViewModeText(state.mode);
    change.redraw = Redraw::Now;
    return change;
}

void AdvanceGridPhase(TrendViewState& state) { state.gridPhase = (state.gridPhase + 1) % kGridPhaseCount; }

QString ViewModeText(ViewMode mode)
{
    return mode == ViewMode::Recording ? QCoreApplication::translate("ViewState", "Recording") : QCoreApplication::translate("ViewState", "Inspection");
}

QString RangeModeText(int rangeMode)
{
    switch (rangeMode) {
    case 1: return QCoreApplication::translate("ViewState", "Range: P and N");
    case 2: return QCoreApplication::translate("ViewState", "Range: Negative");
    default: return QCoreApplication::translate("ViewState", "Range: Positive");
    }
}

ChannelChange ToggleChannelVisible(TrendViewState& state, int channel)
{
    assert(channel >= 0 && channel < kRecordChannelCount);
    const size_t ch = size_t(channel);
    state.visible[ch] = !state.visible[ch];
    ChannelChange change;
    const bool shown = state.visible[ch];
    change.labelsEnabled = shown;
    change.markerVisible = shown;
    change.scaleUpEnabled = shown && state.scaleIndex[ch] < kScaleStepCount - 1;
    change.scaleDownEnabled = shown && state.scaleIndex[ch] > 0;
    return change;
}

ChannelChange ScaleChannelUp(TrendViewState& state, int channel)
{
    assert(channel >= 0 && channel < kRecordChannelCount);
    const size_t ch = size_t(channel);
    ChannelChange change;
    if (state.scaleIndex[ch] < kScaleStepCount - 1) {
        ++state.scaleIndex[ch];
        state.scale[ch] = ScaleSteps[state.scaleIndex[ch]];
        change.scaleDownEnabled = true;
    }
    if (state.scaleIndex[ch] == kScaleStepCount - 1) change.scaleUpEnabled = false;
    return change;
}

ChannelChange ScaleChannelDown(TrendViewState& state, int channel)
{
    assert(channel >= 0 && channel < kRecordChannelCount);
    const size_t ch = size_t(channel);
    ChannelChange change;
    if (state.scaleIndex[ch] > 0) {
        --state.scaleIndex[ch];
        state.scale[ch] = ScaleSteps[state.scaleIndex[ch]];
        change.scaleUpEnabled = true;
    }
    if (state.scaleIndex[ch] == 0) change.scaleDownEnabled = false;
    return change;
}

std::optional<int32_t> CursorSampleIndex(const TrendViewState& state, const RecordExtent& extent, int x)
{
    if (x < 0) return std::nullopt;
    const int64_t newest = NewestIndex(state.mode, extent);
    const int64_t k = int64_t(state.startInView()) + int64_t(x) * state.zoomInView();
    if (k >= newest) return std::nullopt;
    return int32_t(newest - k);
}
