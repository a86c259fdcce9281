#pragma once
// The record window's trend chart: up to six recorded channels over time with
// the newest sample at the left edge, a dotted grid of ten rows and 20-pixel
// columns, out-of-range triangles at the top and bottom, the time and channel
// scale labels, and the percentage scale strip beside it. Drawing is a pure
// function of its input; the caller moves the marker images and writes the
// status texts it returns.

#include "display/display_colors.h"
#include "display/view_mode.h"

#include <QImage>
#include <QLocale>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

constexpr int kTrendChannelCount = 6;
constexpr int kTrendSurfaceWidth = 2400;   // both surfaces, created once
constexpr int kTrendSurfaceHeight = 1600;
constexpr int kTrendScaleStripWidth = 50;  // copied part of the scale strip

// Channel colours, CH1 .. CH6.
inline const std::array<QColor, kTrendChannelCount> kTrendChannelColors{
    QColor(0, 128, 0), QColor(255, 0, 0),   QColor(0, 0, 255),
    QColor(128, 0, 0), QColor(255, 255, 0), QColor(255, 0, 255),
};
inline const QColor kTrendTimeLabelRecordingColor{0, 128, 128};
inline const QColor kTrendTimeLabelInspectionColor{0, 128, 0};

enum class TrendRange : int {
    Positive = 0,     // zero on the bottom grid line, positive upwards
    PlusMinus = 1,    // zero in the middle, half scale
    Negative = 2,     // zero on the top grid line, negative downwards
};

struct TrendChartInput {
    QSize picSize;     // the chart's paint box (W x H)
    QSize screenSize;  // the part of both surfaces cleared and shown

    ViewMode viewMode = ViewMode::Recording;
    bool recordDataReady = false;  // without it: grid, labels and strip only

    // The record in view: sample i lives at index i of every array, and the
    // arrays hold at least newestIndex + 1 entries. newestIndex is -1 for an
    // empty record. A null array draws nothing for its channel; null times
    // give "0" stamps.
    int newestIndex = -1;
    std::array<const float*, kTrendChannelCount> values{};
    const double* times = nullptr;

    int zoom = 1;   // samples per pixel column; below 1 counts as 1
    int start = 0;  // samples between the newest one and the left edge; below 0 counts as 0
    TrendRange range = TrendRange::Positive;
    std::array<bool, kTrendChannelCount> visible{true, true, true, true, true, true};
    std::array<float, kTrendChannelCount> scale{1, 1, 1, 1, 1, 1};
    int gridPhase = 0;  // 0..19, shifts the vertical grid in Recording mode

    DisplayColors colors;
    // Stamps in this locale's short date and long time formats, without a
    // time zone (they are wall-clock times).
    QLocale locale = QLocale::system();
};

// Texts for the record window's status bar panels 0, 2, 3 and 4.
struct TrendStatusTexts {
    QString samplingStep;  // panel 0, "Sampling step:1S"
    QString start;         // panel 2, stamp of the rightmost (oldest) point
    QString end;           // panel 3, stamp of the leftmost (newest) point
    QString length;        // panel 4, "Length:" and the number of points
};

struct TrendChartResult {
    // Top of each channel's marker image: the row of the channel's newest
    // point drawn, minus 7, in the chart's coordinates. Set for visible
    // channels when there is a point to draw; otherwise the marker stays
    // where it is (a hidden channel's marker is hidden by the window).
    std::array<std::optional<int>, kTrendChannelCount> markerTop;
    // Set when record data are ready; otherwise the panels keep their texts.
    std::optional<TrendStatusTexts> status;
    // A point of the channel lies above the paint box (y < 0) / below it
    // (y > H); each draws the channel's triangle, visible or not.
    std::array<bool, kTrendChannelCount> above{};
    std::array<bool, kTrendChannelCount> below{};
};

// Draws the chart into trendSurface and the scale strip into scaleSurface
// (both normally kTrendSurfaceWidth x kTrendSurfaceHeight; anything beyond a
// surface is clipped). See trend_chart.cpp for the pixel rules.
TrendChartResult DrawTrendChart(QImage& trendSurface, QImage& scaleSurface, const TrendChartInput& input);

// Number of points drawn: (newestIndex - start) div zoom, at most width,
// never below 0 (zoom below 1 counts as 1, start below 0 as 0).
int TrendPointCount(int newestIndex, int start, int zoom, int width);

// Height of a value in pixels above the channel's zero line:
// round(value * scale * unit) with unit = (H - 32) / 500 in single precision,
// ties to even. NaN counts as 0; the result is limited to +-2^28 so that
// coordinates stay far from integer overflow and far outside any surface.
int TrendRawHeight(float value, float scale, float unit);

// Row of a raw height in a paint box of height H by the range mode:
// Positive (H - 16) - raw, PlusMinus (H div 2) - round(raw / 2),
// Negative 16 - raw.
int TrendRow(int raw, TrendRange range, int height);

// "Time/DIV=" zoom * 20 "S": one division is 20 pixel columns.
QString TrendTimeScaleLabel(int zoom);

// "CH<n>/DIV=" and the units per division: round(50000 / scale) / 1000 in the
// Positive and Negative ranges (50 units), round(250000 / scale) / 10000 in
// PlusMinus (25 units). channel is 0 .. 5.
QString TrendChannelScaleLabel(int channel, float scale, TrendRange range);

// Label of scale strip tick i (a multiple of 5, 0..50): "100%" .. "0%",
// "100%" .. "-100%" or "-0%" .. "-100%" by range mode.
QString TrendScaleStripLabel(int tick, TrendRange range);

// The status texts for a view of the record; times may be null. With no
// point in view (count 0) both stamps are those of the sample at the view's
// left edge (newestIndex - start) when it exists, otherwise "Start: 0" and
// "End: 0"; an unrepresentable stamp is shown the same way.
TrendStatusTexts TrendStatus(int newestIndex, int start, int zoom, int pointCount, const double* times,
                             const QLocale& locale);
