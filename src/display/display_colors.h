#pragma once
// Colours of the plots. The two user-chosen ones travel in DisplayColors; the
// fixed ones of traces, bars and texts are constants.

#include <QColor>

struct DisplayColors {
    QColor GraphBackgroundColor{238, 238, 238};  // fill of every plot
    QColor ScaleColor{170, 170, 170};            // grid lines, axes and ticks
};

inline const QColor kCurrentTraceColor{255, 0, 0};
inline const QColor kVoltageTraceColor{0, 128, 0};
inline const QColor kWaveformCaptionColor{0, 16, 240};
inline const QColor kChartLabelColor{0, 128, 128};
inline const QColor kVoltageBarColor{0, 128, 0};
inline const QColor kCurrentBarColor{223, 48, 32};
