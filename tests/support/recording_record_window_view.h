#pragma once
// A record window stand-in for the recorder: it records every enabled state,
// status text, channel label, grid timer switch and redraw.

#include "recording/record_window_view.h"

#include <QMap>
#include <QString>

class RecordingRecordWindowView : public RecordWindowView {
public:
    void setControlEnabled(Control control, bool on) override { enabled[control] = on; }
    void setStatusText(int panel, const QString& text) override { status[panel] = text; }
    void setChannelLabel(int channel, const QString& text) override { labels[channel] = text; }
    void setGridTimerEnabled(bool on) override { gridTimer = on; }
    void showLiveRecordFromStart() override { ++liveViewResets; }
    void redrawTrendChart() override { ++redraws; }

    QMap<Control, bool> enabled;
    QMap<int, QString> status;
    QMap<int, QString> labels;
    bool gridTimer = false;
    int liveViewResets = 0;
    int redraws = 0;
};
