#pragma once
// The main window as a command-line program has it: no window, only the
// texts the link's controllers would show in its status bar, kept for the
// commands that want to look at them. Controls, the progress bar and the
// display have nothing to change.

#include "acquisition/main_window_view.h"

#include <QString>

#include <array>
#include <functional>

class ConsoleView : public MainWindowView {
public:
    void setStatusText(int panel, const QString& text) override;
    void setControlEnabled(Control, bool) override {}
    void setProgress(int) override {}
    void redrawMainDisplay() override {}

    QString statusText(int panel) const;
    // Called with every status text set (panel, text).
    std::function<void(int, const QString&)> onStatus;

private:
    std::array<QString, 6> panels_;
};
