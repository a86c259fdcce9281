#include "recording/windows/record_window.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/notifier.h"
#include "appearance/windows/svg_icon.h"
#include "display/number_format.h"
#include "display/trend_chart.h"
#include "display/windows/paint_box.h"
#include "recording/ole_date.h"
#include "recording/record_reader.h"
#include "recording/recorder.h"
#include "recording/windows/channel_panel.h"
#include "recording/windows/cursor_arrow.h"
#include "recording/windows/export_dialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace {

const char* const kRecordFileFilter = QT_TRANSLATE_NOOP("RecordWindow", "Velquor Record File (.vqr) (*.vqr)");
const char* const kCaption = QT_TRANSLATE_NOOP("RecordWindow", "Record");

// Geometry of the chart panel, which the resize rule places in its group at
// (5, 16) with the group's size less (10, 21).
constexpr int kChartPanelLeft = 5;
constexpr int kChartPanelTop = 16;
constexpr int kArrowStrip = 12;        // the cursor arrow runs above the chart
constexpr int kMarkerPanelWidth = 25;  // Image1 .. Image6 left of the chart
constexpr int kBottomBand = 38;        // scroll bar and range button below the chart
constexpr int kRangeButtonRaise = 36;  // range button top = panel height - 36
constexpr int kTrackBarLeft = 29;
constexpr int kTrackBarTop = 4;
constexpr int kTrackBarWidthLess = 81;

// Status bar panels: initial text and designed width.
struct StatusPanelInfo {
    const char* text;
    int width;
};
const StatusPanelInfo kStatusPanels[7] = {
    {"", 110}, {"", 120}, {QT_TRANSLATE_NOOP("RecordWindow", "Start:"), 190}, {QT_TRANSLATE_NOOP("RecordWindow", "End:"), 190},
    {QT_TRANSLATE_NOOP("RecordWindow", "Length:"), 100}, {QT_TRANSLATE_NOOP("RecordWindow", "Recording"), 90},
    {QT_TRANSLATE_NOOP("RecordWindow", "Display Range: Positive"), 150},
};

QImage NewSurface()
{
    QImage surface(kTrendSurfaceWidth, kTrendSurfaceHeight, QImage::Format_RGB32);
    surface.fill(Qt::white);
    return surface;
}

} // namespace

void RecordWindow::Command::setEnabled(bool enabled) const
{
    if (button) button->setEnabled(enabled);
    if (item) item->setEnabled(enabled);
}

RecordWindow::RecordWindow(AcquisitionState& acquisition, const RecordSettings& settings, const DisplayColors& colors,
                           Notifier& notifier, const QString& penDataFolder, QWidget* parent)
    : QMainWindow(parent),
      acquisition_(acquisition),
      colors_(colors),
      notifier_(notifier),
      pictures_(LoadPenData(penDataFolder)),
      trendSurface_(NewSurface()),
      trendScaleSurface_(NewSurface()),
      lastFolder_(QDir::homePath())
{
    setObjectName(QStringLiteral("TRecordForm"));
    setWindowTitle(tr(kCaption));
    setWindowFlag(Qt::Window);
    for (const QString& error : pictures_.errors) std::fprintf(stderr, "%s\n", qPrintable(error));

    buildMenusAndToolBar();
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientPanel"));
    setCentralWidget(client);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    buildChartGroup();
    buildParameterGroup();
    layout->addWidget(chartGroup_, 1);
    layout->addWidget(parameterGroup_);
    buildStatusBar();

    gridTimer_.setObjectName(QStringLiteral("GridTimer"));
    gridTimer_.setParent(this);
    gridTimer_.setInterval(view_.zoomInView() * 1000);
    connect(&gridTimer_, &QTimer::timeout, this, [this] { AdvanceGridPhase(view_); });
    // The first drawing comes 100 ms after creation, once the window has
    // its size; later the timer defers redraws after scroll and zoom drags.
    scrollBarChangeTimer_.setObjectName(QStringLiteral("ScrollBar1ChangeTimer"));
    scrollBarChangeTimer_.setParent(this);
    scrollBarChangeTimer_.setSingleShot(true);
    scrollBarChangeTimer_.setInterval(kDeferredRedrawMs);
    connect(&scrollBarChangeTimer_, &QTimer::timeout, this, &RecordWindow::redrawTrendChart);
    openTimer_.setObjectName(QStringLiteral("OpenTimer"));
    openTimer_.setParent(this);
    openTimer_.setSingleShot(true);
    openTimer_.setInterval(1000);
    connect(&openTimer_, &QTimer::timeout, this, &RecordWindow::openTimerTick);

    chooseSaveFile = [this](const QString& proposed) {
        QFileDialog dialog(this, tr("New"), proposed, tr(kRecordFileFilter));
        dialog.setObjectName(QStringLiteral("SaveDialog1"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("vqr"));
        // The recorder asks before replacing a file.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(proposed);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseOpenFile = [this](const QString& folder) {
        QFileDialog dialog(this, tr("Open"), folder, tr(kRecordFileFilter));
        dialog.setObjectName(QStringLiteral("OpenDialog1"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseExportFile = [this](ExportFormat format, const QString& folder) {
        return ChooseExportPath(this, format, folder);
    };

    // The recorder shows its creation state through the window: the step
    // texts, the channel labels, Start and Stop disabled.
    recorder_ = std::make_unique<Recorder>(acquisition_, settings, *this, notifier_, this);
    showModeGlyph();
    resize(1024, 720);
    scrollBarChangeTimer_.start();
    texts_.capture(this, {QStringLiteral("RecordSettings"), QStringLiteral("ViewState"), QStringLiteral("Recorder"),
                          QStringLiteral("RecordReader"), QStringLiteral("TrendChart")});
}

void RecordWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        texts_.retranslate();
        // The chart's scale and time captions are drawn into it.
        redrawTrendChart();
    }
    QMainWindow::changeEvent(event);
}

RecordWindow::~RecordWindow()
{
    // Leaving the program while recording ends the recording as Stop does,
    // and a save still waiting for a retry is made now, so that the file
    // holds every sample taken.
    recorder_->flush();
}

void RecordWindow::buildMenusAndToolBar()
{
    struct Entry {
        Command* command;
        const char* buttonName;
        const char* icon;
        const char* tip;
    };
    // The tool bar, left to right; a null command is a separator.
    const Entry buttons[] = {
        {&open_, "SeSkinSpeedButton1", ":/icons/open.svg", QT_TRANSLATE_NOOP("RecordWindow", "Open a record file")},
        {&new_, "SeSkinSpeedButton12", ":/icons/record_new.svg", QT_TRANSLATE_NOOP("RecordWindow", "New record file")},
        {&print_, "SeSkinSpeedButton3", ":/icons/print.svg", QT_TRANSLATE_NOOP("RecordWindow", "Print the record report")},
        {nullptr, nullptr, nullptr, nullptr},
        {&settings_, "SeSkinSpeedButton4", ":/icons/record_settings.svg", QT_TRANSLATE_NOOP("RecordWindow", "Record settings")},
        {nullptr, nullptr, nullptr, nullptr},
        {&start_, "SeSkinSpeedButton5", ":/icons/record_start.svg", QT_TRANSLATE_NOOP("RecordWindow", "Start recording")},
        {&stop_, "SeSkinSpeedButton6", ":/icons/record_stop.svg", QT_TRANSLATE_NOOP("RecordWindow", "Stop recording")},
        {nullptr, nullptr, nullptr, nullptr},
        {nullptr, "SeSkinSpeedButton11", nullptr, nullptr},  // the mode toggle
        {&back_, "SeSkinSpeedButton9", ":/icons/view_back.svg", QT_TRANSLATE_NOOP("RecordWindow", "Back (towards the newest samples)")},
        {&forward_, "SeSkinSpeedButton10", ":/icons/view_forward.svg", QT_TRANSLATE_NOOP("RecordWindow", "Forward (towards older samples)")},
        {&zoomOut_, "SeSkinSpeedButton7", ":/icons/zoom_out.svg", QT_TRANSLATE_NOOP("RecordWindow", "Zoom out")},
        {&zoomIn_, "SeSkinSpeedButton8", ":/icons/zoom_in.svg", QT_TRANSLATE_NOOP("RecordWindow", "Zoom in")},
    };
    QToolBar* bar = addToolBar(tr("Tools"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(28, 28));
    for (const Entry& e : buttons) {
        if (e.buttonName == nullptr) {
            bar->addSeparator();
            continue;
        }
        if (e.command == nullptr) {
            modeToggle_ = bar->addAction(SvgIcon(QStringLiteral(":/icons/record_mode.svg")), QString());
            modeToggle_->setObjectName(QString::fromLatin1(e.buttonName));
            modeToggle_->setToolTip(tr("Switch between the recording and an opened record file"));
            bar->addSeparator();
            continue;
        }
        QAction* a = bar->addAction(SvgIcon(QString::fromLatin1(e.icon)), tr(e.tip));
        a->setObjectName(QString::fromLatin1(e.buttonName));
        a->setToolTip(tr(e.tip));
        e.command->button = a;
    }

    auto item = [](QMenu* menu, const QString& text, const char* name) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* file = menuBar()->addMenu(tr("File(&F)"));
    open_.item = item(file, tr("Open"), "N2");
    new_.item = item(file, tr("New"), "N3");
    file->addSeparator();
    exportExcel_ = item(file, tr("Export EXCEL file"), "EXCEL1");
    exportCsv_ = item(file, tr("Export CSV file"), "CSV1");
    file->addSeparator();
    print_.item = item(file, tr("Print"), "N5");
    file->addSeparator();
    QAction* exit = item(file, tr("Exit"), "N6");
    QMenu* options = menuBar()->addMenu(tr("Options (&O)"));
    settings_.item = item(options, tr("Seting"), "N13");
    QMenu* viewMenu = menuBar()->addMenu(tr("View (&V)"));
    zoomIn_.item = item(viewMenu, tr("Zoom Out forward "), "N8");
    zoomOut_.item = item(viewMenu, tr("Zoom in Back"), "N9");
    viewMenu->addSeparator();
    forward_.item = item(viewMenu, tr("Forward"), "N10");
    back_.item = item(viewMenu, tr("Back"), "N11");
    QMenu* operating = menuBar()->addMenu(tr("Operating (&R)"));
    start_.item = item(operating, tr("Start"), "N16");
    stop_.item = item(operating, tr("Stop"), "N17");

    auto both = [this](const Command& c, void (RecordWindow::*slot)()) {
        connect(c.button, &QAction::triggered, this, slot);
        connect(c.item, &QAction::triggered, this, slot);
    };
    both(open_, &RecordWindow::openRecord);
    both(new_, &RecordWindow::newRecordFile);
    both(print_, &RecordWindow::print);
    connect(settings_.button, &QAction::triggered, this, &RecordWindow::settingsRequested);
    connect(settings_.item, &QAction::triggered, this, &RecordWindow::settingsRequested);
    connect(start_.button, &QAction::triggered, this, [this] { recorder_->start(); });
    connect(start_.item, &QAction::triggered, this, [this] { recorder_->start(); });
    connect(stop_.button, &QAction::triggered, this, [this] { recorder_->stop(); });
    connect(stop_.item, &QAction::triggered, this, [this] { recorder_->stop(); });
    both(zoomOut_, &RecordWindow::zoomOut);
    both(zoomIn_, &RecordWindow::zoomIn);
    both(forward_, &RecordWindow::forward);
    both(back_, &RecordWindow::back);
    connect(modeToggle_, &QAction::triggered, this, &RecordWindow::toggleViewMode);
    connect(exportExcel_, &QAction::triggered, this, [this] { exportRecord(ExportFormat::Xlsx); });
    connect(exportCsv_, &QAction::triggered, this, [this] { exportRecord(ExportFormat::Csv); });
    connect(exit, &QAction::triggered, this, &QWidget::hide);
}

void RecordWindow::buildChartGroup()
{
    chartGroup_ = new QGroupBox(tr("Recorded waveforms"), this);
    chartGroup_->setObjectName(QStringLiteral("GroupBox1"));
    chartGroup_->installEventFilter(this);
    chartPanel_ = new QWidget(chartGroup_);
    chartPanel_->setObjectName(QStringLiteral("ChartPanel"));

    markerPanel_ = new QWidget(chartPanel_);
    markerPanel_->setObjectName(QStringLiteral("MarkerPanel"));
    for (int k = 0; k < kTrendChannelCount; ++k) {
        auto* marker = new QLabel(markerPanel_);
        marker->setObjectName(QStringLiteral("Image%1").arg(k + 1));
        const QImage& picture = pictures_.markers[size_t(k)];
        if (!picture.isNull()) {
            marker->setPixmap(QPixmap::fromImage(picture));
            marker->resize(picture.size());
        } else {
            marker->resize(18, 16);
        }
        // The marker's tip touches the chart.
        marker->move(kMarkerPanelWidth - marker->width(), 0);
        markers_[size_t(k)] = marker;
    }

    pic4_ = new PaintBox(&trendSurface_, [this] { return QRect(QPoint(0, 0), copySize_); }, chartPanel_);
    pic4_->setObjectName(QStringLiteral("Pic4"));
    pic4_->setMouseTracking(true);
    pic4_->onMouseMove = [this](QMouseEvent* event) { readOutCursor(int(event->position().x())); };
    pic4_->onDoubleClick = [this](QMouseEvent*) { trackBar_->setVisible(!trackBar_->isVisible()); };
    pic5_ = new PaintBox(
        &trendScaleSurface_, [this] { return QRect(0, 0, kTrendScaleStripWidth, copySize_.height()); }, chartPanel_);
    pic5_->setObjectName(QStringLiteral("Pic5"));

    scrollBar_ = new QScrollBar(Qt::Horizontal, chartPanel_);
    scrollBar_->setObjectName(QStringLiteral("SeSkinScrollBar1"));
    scrollBar_->setRange(0, kScrollBarMax);
    connect(scrollBar_, &QScrollBar::valueChanged, this,
            [this](int position) { applyViewChange(ScrollBarMoved(view_, position, extent(), pic4_->width())); });

    rangeButton_ = new QToolButton(chartPanel_);
    rangeButton_->setObjectName(QStringLiteral("SeSkinButton19"));
    rangeButton_->setText(tr("Range"));
    rangeButton_->setToolTip(tr("单击选择数据显示范围"));
    rangeButton_->resize(kTrendScaleStripWidth - 2, 24);
    connect(rangeButton_, &QToolButton::clicked, this, &RecordWindow::cycleRange);

    trackBar_ = new QSlider(Qt::Horizontal, chartPanel_);
    trackBar_->setObjectName(QStringLiteral("TrackBar1"));
    trackBar_->setRange(0, kTrackBarMax);
    trackBar_->setValue(kTrackBarMax);
    trackBar_->setToolTip(tr("Zoom (double-click the chart to hide)"));
    trackBar_->hide();
    connect(trackBar_, &QSlider::valueChanged, this,
            [this](int position) { applyViewChange(TrackBarMoved(view_, position, extent(), pic4_->width())); });

    arrow_ = new CursorArrow(chartPanel_);
    arrow_->move(kMarkerPanelWidth - CursorArrow::kTipColumn, 1);
}

void RecordWindow::buildParameterGroup()
{
    auto* group = new QGroupBox(tr(" Parameter "), this);
    group->setObjectName(QStringLiteral("GroupBox2"));
    parameterGroup_ = group;
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(6, 4, 6, 6);
    row->setSpacing(4);
    for (int k = 0; k < kTrendChannelCount; ++k) {
        auto* panel = new ChannelPanel(k, kTrendChannelColors[size_t(k)], group);
        channels_[size_t(k)] = panel;
        row->addWidget(panel, 1);
        connect(panel->visibilityButton(), &QToolButton::clicked, this,
                [this, k] { applyChannelChange(k, ToggleChannelVisible(view_, k)); });
        connect(panel->scaleUpButton(), &QToolButton::clicked, this,
                [this, k] { applyChannelChange(k, ScaleChannelUp(view_, k)); });
        connect(panel->scaleDownButton(), &QToolButton::clicked, this,
                [this, k] { applyChannelChange(k, ScaleChannelDown(view_, k)); });
    }
    auto* pointBox = new QWidget(group);
    pointBox->setObjectName(QStringLiteral("PointPanel"));
    auto* column = new QVBoxLayout(pointBox);
    column->setContentsMargins(4, 0, 0, 0);
    column->setSpacing(2);
    auto* caption = new QLabel(tr("Points date and time :  "), pointBox);
    // Shown whole unless the window is made very narrow.
    caption->setMinimumWidth(60);
    dateLabel_ = new QLabel(tr("Date: "), pointBox);
    dateLabel_->setObjectName(QStringLiteral("Label19"));
    timeLabel_ = new QLabel(tr("Time: "), pointBox);
    timeLabel_->setObjectName(QStringLiteral("Label20"));
    column->addWidget(caption);
    column->addWidget(dateLabel_);
    column->addWidget(timeLabel_);
    column->addStretch(1);
    row->addWidget(pointBox);
}

void RecordWindow::buildStatusBar()
{
    QWidget* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < 7; ++i) {
        auto* panel = new QLabel(tr(kStatusPanels[i].text), bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        panel->setMinimumHeight(22);
        // The panels share the bar in the proportions of their designed
        // widths, so that a narrow window cuts texts instead of growing.
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        statusPanels_[size_t(i)] = panel;
        layout->addWidget(panel, kStatusPanels[i].width);
    }
    statusBar()->addWidget(bar, 1);
    statusBar()->setSizeGripEnabled(true);
}

void RecordWindow::layOutChart()
{
    const QSize group = chartGroup_->size();
    chartPanel_->setGeometry(kChartPanelLeft, kChartPanelTop, std::max(group.width() - 10, 1),
                             std::max(group.height() - 21, 1));
    const int W = chartPanel_->width();
    const int H = chartPanel_->height();
    const int picWidth = std::max(W - kMarkerPanelWidth - kTrendScaleStripWidth, 1);
    const int picHeight = std::max(H - kArrowStrip - kBottomBand, 1);
    markerPanel_->setGeometry(0, kArrowStrip, kMarkerPanelWidth, picHeight);
    pic4_->setGeometry(kMarkerPanelWidth, kArrowStrip, picWidth, picHeight);
    pic5_->setGeometry(W - kTrendScaleStripWidth, kArrowStrip, kTrendScaleStripWidth, picHeight);
    const int scrollHeight = scrollBar_->sizeHint().height();
    const int rangeTop = H - kRangeButtonRaise;
    scrollBar_->setGeometry(kMarkerPanelWidth, rangeTop + (rangeButton_->height() - scrollHeight) / 2, picWidth,
                            scrollHeight);
    rangeButton_->move(pic5_->x() + 1, rangeTop);
    trackBar_->setGeometry(kTrackBarLeft, kTrackBarTop, std::max(W - kTrackBarWidthLess, 1),
                           trackBar_->sizeHint().height());
    trackBar_->raise();
    redrawTrendChart();
}

bool RecordWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == chartGroup_ && event->type() == QEvent::Resize) layOutChart();
    return QMainWindow::eventFilter(watched, event);
}

void RecordWindow::closeEvent(QCloseEvent* event)
{
    // Closing only hides the window; a recording goes on.
    hide();
    event->accept();
}

RecordExtent RecordWindow::extent() const { return RecordExtent{recorder_->liveRecord().count, viewed_.lastIndex}; }

TrendChartInput RecordWindow::trendInput() const
{
    TrendChartInput in;
    in.picSize = pic4_->size();
    in.screenSize = copySize_;
    in.viewMode = view_.mode;
    in.recordDataReady = recorder_->recordDataReady();
    in.newestIndex = NewestIndex(view_.mode, extent());
    const RecordSeries& series =
        view_.mode == ViewMode::Recording ? recorder_->liveRecord().data : viewed_.data;
    for (int k = 0; k < kTrendChannelCount; ++k) in.values[size_t(k)] = series.channel(k);
    in.times = series.times();
    in.zoom = view_.zoomInView();
    in.start = view_.startInView();
    in.range = TrendRange(view_.rangeMode);
    in.visible = view_.visible;
    in.scale = view_.scale;
    in.gridPhase = view_.gridPhase;
    in.colors = colors_;
    return in;
}

void RecordWindow::redrawTrendChart()
{
    if (!recorder_) return;  // still being built
    // The copy rectangle is the screen's size, or the chart's where the
    // window reaches past the primary screen, within the surfaces.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(kTrendSurfaceWidth, kTrendSurfaceHeight);
    copySize_ = screenSize.expandedTo(pic4_->size())
                    .expandedTo(pic5_->size())
                    .boundedTo(QSize(kTrendSurfaceWidth, kTrendSurfaceHeight));
    const TrendChartInput in = trendInput();

    const TrendChartResult result = DrawTrendChart(trendSurface_, trendScaleSurface_, in);
    for (int k = 0; k < kTrendChannelCount; ++k) {
        if (result.markerTop[size_t(k)]) markers_[size_t(k)]->move(markers_[size_t(k)]->x(), *result.markerTop[size_t(k)]);
    }
    if (result.status) {
        setStatusText(StepPanel, result.status->samplingStep);
        setStatusText(StartPanel, result.status->start);
        setStatusText(EndPanel, result.status->end);
        setStatusText(LengthPanel, result.status->length);
    }
    pic4_->update();
    pic5_->update();
}

QSize RecordWindow::chartSize() const { return pic4_->size(); }

QImage RecordWindow::chartPicture() const
{
    const QSize chart = pic4_->size().boundedTo(trendSurface_.size());
    QImage picture(chart.width() + kTrendScaleStripWidth, chart.height(), QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.drawImage(QPoint(0, 0), trendSurface_, QRect(QPoint(0, 0), chart));
    painter.drawImage(QPoint(chart.width(), 0), trendScaleSurface_,
                      QRect(0, 0, kTrendScaleStripWidth, chart.height()));
    return picture;
}

void RecordWindow::applyViewChange(const ViewChange& change)
{
    if (change.zoomOutEnabled) zoomOut_.setEnabled(*change.zoomOutEnabled);
    if (change.zoomInEnabled) zoomIn_.setEnabled(*change.zoomInEnabled);
    if (change.forwardEnabled) forward_.setEnabled(*change.forwardEnabled);
    if (change.backEnabled) back_.setEnabled(*change.backEnabled);
    // Both bars only picture the view here; read back, a rounded position
    // would move start (or zoom) again.
    if (change.trackBarPosition) {
        const QSignalBlocker quiet(trackBar_);
        trackBar_->setValue(*change.trackBarPosition);
    }
    if (change.scrollBarPosition) {
        const QSignalBlocker quiet(scrollBar_);
        scrollBar_->setValue(*change.scrollBarPosition);
    }
    if (change.gridTimerIntervalMs) gridTimer_.setInterval(*change.gridTimerIntervalMs);
    if (change.modeText) {
        setStatusText(ModePanel, *change.modeText);
        showModeGlyph();
    }
    if (change.rangeText) setStatusText(RangePanel, *change.rangeText);
    switch (change.redraw) {
    case Redraw::None: break;
    case Redraw::Now: redrawTrendChart(); break;
    case Redraw::Deferred: scrollBarChangeTimer_.start(); break;
    }
}

void RecordWindow::applyChannelChange(int channel, const ChannelChange& change)
{
    channels_[size_t(channel)]->apply(change, view_.visible[size_t(channel)]);
    if (change.markerVisible) markers_[size_t(channel)]->setVisible(*change.markerVisible);
    redrawTrendChart();
}

void RecordWindow::showModeGlyph()
{
    const QImage& glyph =
        view_.mode == ViewMode::Recording ? pictures_.recordingGlyph : pictures_.inspectionGlyph;
    if (!glyph.isNull()) modeToggle_->setIcon(QIcon(QPixmap::fromImage(glyph)));
    modeToggle_->setText(ViewModeText(view_.mode));
}

void RecordWindow::readOutCursor(int x)
{
    // The arrow's tip stands over the pointer's column.
    arrow_->move(pic4_->x() + x - CursorArrow::kTipColumn, arrow_->y());
    if (!recorder_->recordDataReady()) return;
    const std::optional<int32_t> index = CursorSampleIndex(view_, extent(), x);
    if (!index) return;
    const RecordSeries& series =
        view_.mode == ViewMode::Recording ? recorder_->liveRecord().data : viewed_.data;
    const double stamp = series.times()[*index];
    dateLabel_->setText(tr("Date: ") + FormatRecordDate(stamp));
    timeLabel_->setText(tr("Time: ") + FormatRecordTimeOfDay(stamp));
    for (int k = 0; k < kTrendChannelCount; ++k) {
        const double value = series.channel(k)[*index];
        channels_[size_t(k)]->valueLabel()->setText(tr("Value: ") + FormatGeneral(RoundDecimals(value, 3)));
    }
}

void RecordWindow::newRecordFile()
{
    const QString path = chooseSaveFile(QDir(lastFolder_).filePath(QStringLiteral("RecordFile.vqr")));
    if (path.isEmpty()) return;
    lastFolder_ = QFileInfo(path).absolutePath();
    if (recorder_->newRecordFile(path)) redrawTrendChart();
}

void RecordWindow::openRecord()
{
    const QString path = chooseOpenFile(lastFolder_);
    if (path.isEmpty()) {
        redrawTrendChart();
        return;
    }
    lastFolder_ = QFileInfo(path).absolutePath();
    openRecordFile(path);
}

bool RecordWindow::openRecordFile(const QString& path)
{
    const RecordOpenResult result = OpenRecordFile(path, viewed_);
    if (!result.loaded) {
        notifier_.message(result.message, tr(kCaption), Notifier::Icon::Error);
        return false;
    }
    const OpenedRecordTexts texts = DescribeOpenedRecord(viewed_);
    setStatusText(LengthPanel, texts.length);
    setStatusText(StartPanel, texts.start);
    setStatusText(EndPanel, texts.end);
    if (texts.step) setStatusText(StepPanel, *texts.step);
    for (int k = 0; k < kRecordChannelCount; ++k)
        if (texts.labels[size_t(k)]) setChannelLabel(k, *texts.labels[size_t(k)]);
    recorder_->noteRecordOpened();
    applyViewChange(ShowOpenedRecord(view_, extent()));
    // A damaged file was loaded as far as it is sound; say what was wrong.
    if (!result.message.isEmpty()) notifier_.message(result.message, tr(kCaption), Notifier::Icon::Warning);
    return true;
}

void RecordWindow::exportRecord(ExportFormat format)
{
    const QString path = chooseExportFile(format, lastFolder_);
    if (path.isEmpty()) return;
    lastFolder_ = QFileInfo(path).absolutePath();
    const bool live = view_.mode == ViewMode::Recording;
    const RecordSeries& series = live ? recorder_->liveRecord().data : viewed_.data;
    ExportSource source;
    for (int k = 0; k < kExportChannelCount; ++k) source.channels[size_t(k)] = series.channel(k);
    source.times = series.times();
    source.count = live ? recorder_->liveRecord().count : viewed_.length();
    // The headers name what each column holds: the quantities the live
    // record was taken as (the settings may have changed since Stop), or
    // those of the file in view (the labels on screen follow whichever was
    // set last, which need not be the record exported).
    std::array<QString, kExportChannelCount> labels;
    for (int k = 0; k < kExportChannelCount; ++k) {
        const int code = live ? recorder_->liveRecordCodes()[size_t(k)] : viewed_.channelCodes[size_t(k)];
        // A code a file carries but no quantity has keeps the label on screen.
        labels[size_t(k)] = IsValidQuantityCode(code) ? QuantityLabelText(code)
                                                      : channels_[size_t(k)]->quantityLabel()->text();
    }
    source.headers = ExportHeaders(labels);
    StartExportWithProgress(this, notifier_, source, path, format);
}

void RecordWindow::startOpenTimer() { openTimer_.start(); }

void RecordWindow::openTimerTick()
{
    openTimer_.stop();
    show();
    raise();
    activateWindow();
    openRecordFile(acquisition_.CommandLineFile);
}

void RecordWindow::zoomOut() { applyViewChange(ZoomOut(view_, extent(), pic4_->width())); }
void RecordWindow::zoomIn() { applyViewChange(ZoomIn(view_, extent())); }
void RecordWindow::forward() { applyViewChange(Forward(view_, extent())); }
void RecordWindow::back() { applyViewChange(Back(view_, extent())); }
void RecordWindow::toggleViewMode() { applyViewChange(ToggleViewMode(view_, extent())); }
void RecordWindow::cycleRange() { applyViewChange(CycleRangeMode(view_)); }

void RecordWindow::print()
{
    acquisition_.PrintFromRecorder = true;
    emit printRequested();
}

QString RecordWindow::channelLabel(int channel) const
{
    return channel >= 0 && channel < kRecordChannelCount ? channels_[size_t(channel)]->quantityLabel()->text()
                                                        : QString();
}

QString RecordWindow::statusText(int panel) const
{
    return panel >= 0 && panel < int(statusPanels_.size()) ? statusPanels_[size_t(panel)]->text() : QString();
}

void RecordWindow::setControlEnabled(Control control, bool enabled)
{
    switch (control) {
    case Control::StartButton: start_.button->setEnabled(enabled); break;
    case Control::StartItem: start_.item->setEnabled(enabled); break;
    case Control::StopButton: stop_.button->setEnabled(enabled); break;
    case Control::StopItem: stop_.item->setEnabled(enabled); break;
    case Control::SettingsButton: settings_.button->setEnabled(enabled); break;
    case Control::SettingsItem: settings_.item->setEnabled(enabled); break;
    }
}

void RecordWindow::setStatusText(int panel, const QString& text)
{
    if (panel >= 0 && panel < int(statusPanels_.size())) statusPanels_[size_t(panel)]->setText(text);
}

void RecordWindow::setChannelLabel(int channel, const QString& text)
{
    if (channel >= 0 && channel < kRecordChannelCount) channels_[size_t(channel)]->quantityLabel()->setText(text);
}

void RecordWindow::setGridTimerEnabled(bool enabled)
{
    if (enabled)
        gridTimer_.start();
    else
        gridTimer_.stop();
}

void RecordWindow::showLiveRecordFromStart() { applyViewChange(ShowLiveRecordFromStart(view_)); }
