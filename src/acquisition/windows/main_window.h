#pragma once
// The main window: menus, toolbar, the four group boxes with the plots and
// readouts, and the six-panel status bar. It forwards commands to the
// controllers and shows what they and the drawing routines produce.

#include "acquisition/main_window_view.h"
#include "display/display_colors.h"
#include "display/main_display.h"
#include "appearance/ui_language.h"
#include "appearance/windows/window_texts.h"

#include <QLabel>
#include <QMainWindow>

#include <array>
#include <functional>
#include <map>

class QAction;
class QGroupBox;
class QProgressBar;
class QToolButton;
class PaintBox;
struct AcquisitionState;

class MainWindow : public QMainWindow, public MainWindowView, public MainDisplayView {
    Q_OBJECT
public:
    // Every command of the menus and toolbar; the program connects them.
    enum class Command {
        Open, Save, Print, Exit,
        CommSettings, Style, PublishMqtt, Calibration, InstrumentSettings, AlarmLimits, InstrumentCommSettings,
        SingleSampling, ContinuousSampling, Stop, StartingTest, HarmonicReport, Record,
        Version, Website, Manual,
        LanguageInstrument, LanguageEnglish,
    };

    MainWindow(AcquisitionState& state, MainSurfaces& surfaces, const DisplayColors& colors, QWidget* parent = nullptr);

    QAction* action(Command command) const { return actions_.at(command); }
    // The toolbar button of a command (null for commands without one).
    QAction* toolAction(Command command) const
    {
        const auto it = toolActions_.find(command);
        return it == toolActions_.end() ? nullptr : it->second;
    }
    // Factory mode shows the menu items hidden in normal use: "Calibration"
    // and "Instrument communication settings".
    void setFactoryMode(bool on);
    // Ticks the language's item of Options > Language.
    void showLanguage(UiLanguage language);
    // Called when the close query has been answered (always allowed).
    std::function<void()> onCloseQuery;

    // MainWindowView
    void setStatusText(int panel, const QString& text) override;
    void setControlEnabled(Control control, bool enabled) override;
    void setProgress(int value) override;
    void redrawMainDisplay() override;

    // MainDisplayView
    QSize plotSize() const override;
    void showReadouts(const std::array<QString, 15>& texts) override;
    void plotsChanged() override;

    QString statusText(int panel) const;
    QString readoutText(int panel) const;
    bool isControlEnabled(Control control) const;
    // Lays out the client panel for its current size (also runs on resize).
    void applyMainLayout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildLanguageMenu(QMenu* options);
    void buildToolBar();
    void buildStatusBar();
    void buildClientPanel();
    QAction* addAction(QMenu* menu, Command command, const QString& text);
    QAction* controlAction(Control control) const;

    AcquisitionState& state_;
    MainSurfaces& surfaces_;
    const DisplayColors& colors_;

    std::map<Command, QAction*> actions_;
    std::map<Command, QAction*> toolActions_;

    QWidget* panel1_ = nullptr;
    std::array<QGroupBox*, 4> groups_{};
    std::array<QWidget*, 3> plotPanels_{};
    std::array<PaintBox*, 3> pics_{};
    std::array<QLabel*, 15> readoutLabels_{};
    std::array<QLabel*, 15> readouts_{};
    std::array<QLabel*, 6> statusPanels_{};
    QProgressBar* progressBar1_ = nullptr;
    WindowTexts texts_;
};
