#pragma once
// The record window (TRecordForm, caption "Record"): records up to six
// quantities while the main window samples continuously, and shows the live
// record or a record file opened for inspection as a trend chart with a
// point readout.
//
// The window is a thin shell. The recorder runs New, Start, Stop and the
// sampling and save timers; the view rules (view_state.h) decide what every
// view control does; DrawTrendChart draws into the two off-screen surfaces,
// which the paint boxes only copy. The window forwards its events to them and
// shows what they return.
//
// Closing the window only hides it: a recording goes on while it is hidden.

#include "appearance/windows/window_texts.h"
#include "display/display_colors.h"
#include "display/trend_chart.h"
#include "recording/export_job.h"
#include "recording/pen_markers.h"
#include "recording/record_arrays.h"
#include "recording/record_window_view.h"
#include "recording/view_state.h"

#include <QImage>
#include <QMainWindow>
#include <QTimer>

#include <array>
#include <functional>
#include <map>
#include <memory>

class ChannelPanel;
class CursorArrow;
class Notifier;
class PaintBox;
class QAction;
class QGroupBox;
class QLabel;
class QScrollBar;
class QSlider;
class QToolButton;
class Recorder;
struct AcquisitionState;
struct RecordSettings;

class RecordWindow : public QMainWindow, public RecordWindowView {
    Q_OBJECT
public:
    // penDataFolder: where the channel markers and the mode glyphs are
    // (normally PenData beside the executable). Missing pictures are
    // reported on standard error; the window works without them.
    RecordWindow(AcquisitionState& acquisition, const RecordSettings& settings, const DisplayColors& colors,
                 Notifier& notifier, const QString& penDataFolder, QWidget* parent = nullptr);
    ~RecordWindow() override;

    Recorder& recorder() { return *recorder_; }
    const TrendViewState& viewState() const { return view_; }
    const ViewedRecord& viewedRecord() const { return viewed_; }

    // Commands of the menus and the tool bar.
    void newRecordFile();  // New: asks for the file, then the recorder creates it
    void openRecord();     // Open: asks for the file, then openRecordFile
    // Opens a record file into the viewer without a dialog. A file that
    // cannot be read is reported and leaves the record in view as it was;
    // a damaged one is loaded as far as it is sound, with a message.
    bool openRecordFile(const QString& path);
    void exportRecord(ExportFormat format);

    // The hand-over of a record file named on the command line: a second
    // later (OpenTimer) the window shows itself and opens CommandLineFile.
    void startOpenTimer();

    QString statusText(int panel) const;
    QString channelLabel(int channel) const;

    // For the record report: the chart as shown with its scale strip to the
    // right ((chart width + 50) x chart height), the chart's size, and what
    // the chart is drawn from (the record in view and the view).
    QImage chartPicture() const;
    QSize chartSize() const;
    TrendChartInput trendInput() const;

    // The file dialogs; replaced by tests. An empty result means cancelled.
    std::function<QString(const QString& proposedPath)> chooseSaveFile;
    std::function<QString(const QString& folder)> chooseOpenFile;
    std::function<QString(ExportFormat format, const QString& folder)> chooseExportFile;

    // RecordWindowView
    void setControlEnabled(Control control, bool enabled) override;
    void setStatusText(int panel, const QString& text) override;
    void setChannelLabel(int channel, const QString& text) override;
    void setGridTimerEnabled(bool enabled) override;
    void showLiveRecordFromStart() override;
    void redrawTrendChart() override;

signals:
    // The settings tool button or "Options (&O)" / "Seting".
    void settingsRequested();
    // The print tool button; PrintFromRecorder is set.
    void printRequested();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A command offered both as a tool button and as a menu item, each
    // enabled on its own.
    struct Command {
        QAction* button = nullptr;
        QAction* item = nullptr;
        void setEnabled(bool enabled) const;
    };

    void buildMenusAndToolBar();
    void buildChartGroup();
    void buildParameterGroup();
    void buildStatusBar();
    void layOutChart();

    RecordExtent extent() const;
    void applyViewChange(const ViewChange& change);
    void applyChannelChange(int channel, const ChannelChange& change);
    void showModeGlyph();
    void readOutCursor(int x);

    void zoomOut();
    void zoomIn();
    void forward();
    void back();
    void toggleViewMode();
    void cycleRange();
    void print();
    void openTimerTick();

    AcquisitionState& acquisition_;
    const DisplayColors& colors_;
    Notifier& notifier_;
    PenDataImages pictures_;

    // The off-screen surfaces of the chart and the scale strip, and the part
    // of them the paint boxes copy.
    QImage trendSurface_;
    QImage trendScaleSurface_;
    QSize copySize_;

    TrendViewState view_;
    ViewedRecord viewed_;
    std::unique_ptr<Recorder> recorder_;

    Command open_, new_, print_, settings_, start_, stop_, zoomOut_, zoomIn_, forward_, back_;
    QAction* modeToggle_ = nullptr;
    QAction* exportExcel_ = nullptr;
    QAction* exportCsv_ = nullptr;

    QGroupBox* chartGroup_ = nullptr;
    QWidget* chartPanel_ = nullptr;
    QWidget* markerPanel_ = nullptr;
    PaintBox* pic4_ = nullptr;
    PaintBox* pic5_ = nullptr;
    QScrollBar* scrollBar_ = nullptr;
    QToolButton* rangeButton_ = nullptr;
    QSlider* trackBar_ = nullptr;
    CursorArrow* arrow_ = nullptr;
    std::array<QLabel*, 6> markers_{};

    QGroupBox* parameterGroup_ = nullptr;
    std::array<ChannelPanel*, 6> channels_{};
    QLabel* dateLabel_ = nullptr;  // Label19
    QLabel* timeLabel_ = nullptr;  // Label20
    std::array<QLabel*, 7> statusPanels_{};

    QTimer gridTimer_;
    QTimer scrollBarChangeTimer_;
    QTimer openTimer_;

    QString lastFolder_;  // the file dialogs open where the user last was
    WindowTexts texts_;
};
