#pragma once
// A main window stand-in for the core controllers: it records every status
// text, enabled state, progress value and redraw instead of showing them.

#include "acquisition/main_window_view.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

class RecordingMainWindowView : public MainWindowView {
public:
    void setStatusText(int panel, const QString& text) override
    {
        status[panel] = text;
        statusHistory << qMakePair(panel, text);
    }
    void setControlEnabled(Control control, bool on) override { enabled[control] = on; }
    void setProgress(int value) override { progress << value; }
    void redrawMainDisplay() override { ++redraws; }

    // Texts shown in one panel, oldest first.
    QList<QString> panelHistory(int panel) const
    {
        QList<QString> texts;
        for (const auto& entry : statusHistory)
            if (entry.first == panel) texts << entry.second;
        return texts;
    }

    QMap<int, QString> status;
    QList<QPair<int, QString>> statusHistory;
    QMap<Control, bool> enabled;
    QList<int> progress;
    int redraws = 0;
};
