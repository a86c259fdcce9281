#pragma once
// The trend chart's viewport (TrendViewState) and the rules of the record
// window's view controls: mode toggle, zoom out and in, the zoom track bar,
// Forward and Back, the scroll bar, the range button, channel visibility and
// the channel scales. Each rule changes the state and returns what the window
// has to change in its controls; the window only forwards its events here and
// applies the result.
//
// Pixel column j of the chart shows sample (newest - start - j * zoom): the
// newest sample is at the left edge and time runs backwards to the right. Each
// mode (live record, opened record) keeps its own zoom and start.
//
// When the window applies a scroll-bar position returned here, it must not run
// ScrollBarMoved for it: the position is a rounded picture of start, and
// reading it back would move start.

#include "display/view_mode.h"
#include "recording/record_settings.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

constexpr int kScaleStepCount = 17;
inline constexpr std::array<float, kScaleStepCount> ScaleSteps = {
    0.05f, 0.1f,   0.25f,  0.5f,   1.0f,    2.5f,    5.0f,    10.0f,   25.0f,
    50.0f, 100.0f, 250.0f, 500.0f, 1000.0f, 2500.0f, 5000.0f, 10000.0f,
};
constexpr int kScrollBarMax = 450;          // SeSkinScrollBar1: 0..450
constexpr int kTrackBarMax = 150;           // TrackBar1: 0..150, position 150 = zoom 1
constexpr int kDeferredRedrawMs = 100;      // ScrollBar1ChangeTimer
constexpr int kGridPhaseCount = 20;         // the vertical grid repeats every 20 pixels

struct TrendViewState {
    ViewMode mode = ViewMode::Recording;
    std::array<int32_t, 2> zoom{1, 1};   // samples per pixel column, per mode, >= 1
    std::array<int32_t, 2> start{0, 0};  // samples between the newest and the left edge, per mode
    int rangeMode = 0;                   // 0 positive, 1 positive and negative, 2 negative
    std::array<bool, kRecordChannelCount> visible{true, true, true, true, true, true};
    // The initial scale 1.0 is not ScaleSteps[3] (0.5): the first step up
    // gives 1.0 again, the first step down 0.25.
    std::array<uint8_t, kRecordChannelCount> scaleIndex{3, 3, 3, 3, 3, 3};
    std::array<float, kRecordChannelCount> scale{1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    int32_t gridPhase = 0;  // 0..19, pixels the vertical grid has drifted while recording

    int32_t& zoomInView() { return zoom[size_t(mode)]; }
    int32_t zoomInView() const { return zoom[size_t(mode)]; }
    int32_t& startInView() { return start[size_t(mode)]; }
    int32_t startInView() const { return start[size_t(mode)]; }
};

// How long the two records are.
struct RecordExtent {
    int32_t liveCount = 0;         // samples in the live record
    int32_t viewedLastIndex = -1;  // last index of the opened record
};

// The length the rules measure against in a mode: the sample count in
// Recording, the last index in Inspection.
int32_t RuleLength(ViewMode mode, const RecordExtent& extent);
// The newest sample's index in a mode (-1: no sample).
int32_t NewestIndex(ViewMode mode, const RecordExtent& extent);

enum class Redraw { None, Now, Deferred };  // Deferred: 100 ms later, through ScrollBar1ChangeTimer

// What the window changes after a rule; unset fields stay as they are. Each
// enabled state applies to the tool button and its menu item alike.
struct ViewChange {
    std::optional<bool> zoomOutEnabled;     // SeSkinSpeedButton7, "Zoom in Back"
    std::optional<bool> zoomInEnabled;      // SeSkinSpeedButton8, "Zoom Out forward "
    std::optional<bool> forwardEnabled;     // SeSkinSpeedButton10, "Forward"
    std::optional<bool> backEnabled;        // SeSkinSpeedButton9, "Back"
    std::optional<int> trackBarPosition;    // 0..150
    std::optional<int> scrollBarPosition;   // 0..450
    std::optional<int> gridTimerIntervalMs;
    std::optional<QString> modeText;        // status panel 5
    std::optional<QString> rangeText;       // status panel 6
    Redraw redraw = Redraw::None;
};

ViewChange ZoomOut(TrendViewState& state, const RecordExtent& extent, int chartWidth);
ViewChange ZoomIn(TrendViewState& state, const RecordExtent& extent);
ViewChange TrackBarMoved(TrendViewState& state, int position, const RecordExtent& extent, int chartWidth);
ViewChange Forward(TrendViewState& state, const RecordExtent& extent);
ViewChange Back(TrendViewState& state, const RecordExtent& extent);
ViewChange ScrollBarMoved(TrendViewState& state, int position, const RecordExtent& extent, int chartWidth);
ViewChange ToggleViewMode(TrendViewState& state, const RecordExtent& extent);
ViewChange CycleRangeMode(TrendViewState& state);
// Start of a recording: the live record from its newest sample at zoom 1.
ViewChange ShowLiveRecordFromStart(TrendViewState& state);
// A record file was opened: show it. Its zoom and start stay as they were,
// except that a start at or past the opened record's last index, which would
// leave the chart empty, goes back to the newest sample; the track bar and
// the scroll bar show the opened record's zoom and start.
ViewChange ShowOpenedRecord(TrendViewState& state, const RecordExtent& extent);
// GridTimer tick.
void AdvanceGridPhase(TrendViewState& state);

QString ViewModeText(ViewMode mode);  // "Recording", "Inspection"
QString RangeModeText(int rangeMode); // "Range: Positive", "Range: P and N", "Range: Negative"

// A channel's controls after a visibility or scale change; the chart is
// redrawn after each. labelsEnabled covers the channel's quantity and value
// labels and its name, and comes with the marker's visibility.
struct ChannelChange {
    std::optional<bool> labelsEnabled;
    std::optional<bool> markerVisible;
    std::optional<bool> scaleUpEnabled;
    std::optional<bool> scaleDownEnabled;
};

ChannelChange ToggleChannelVisible(TrendViewState& state, int channel);
ChannelChange ScaleChannelUp(TrendViewState& state, int channel);
ChannelChange ScaleChannelDown(TrendViewState& state, int channel);

// The sample the cursor at chart column x points at, or none beyond the data.
std::optional<int32_t> CursorSampleIndex(const TrendViewState& state, const RecordExtent& extent, int x);
