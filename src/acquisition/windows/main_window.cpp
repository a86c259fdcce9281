#include "acquisition/windows/main_window.h"

#include "acquisition/acquisition_state.h"
#include "appearance/windows/artwork.h"
#include "appearance/windows/svg_icon.h"
#include "display/main_layout.h"
#include "display/readout_panels.h"
#include "display/windows/paint_box.h"

#include <algorithm>

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

struct ToolButtonInfo {
    MainWindow::Command command;
    const char* name;
    const char* icon;
    const char* tip;
};

// The toolbar, left to right.
const ToolButtonInfo kToolButtons[] = {
    {MainWindow::Command::StartingTest, "SeSkinSpeedButton10", ":/icons/starting.svg",
     QT_TRANSLATE_NOOP("MainWindow", "Starting Test")},
    {MainWindow::Command::SingleSampling, "SeSkinSpeedButton7", ":/icons/single.svg",
     QT_TRANSLATE_NOOP("MainWindow", "Single sampling")},
    {MainWindow::Command::ContinuousSampling, "SeSkinSpeedButton8", ":/icons/continuous.svg",
     QT_TRANSLATE_NOOP("MainWindow", "Continuous sampling")},
    {MainWindow::Command::Stop, "SeSkinSpeedButton9", ":/icons/stop.svg",
     QT_TRANSLATE_NOOP("MainWindow", "Stop sampling")},
    {MainWindow::Command::HarmonicReport, "SeSkinSpeedButton6", ":/icons/harmonics.svg",
     QT_TRANSLATE_NOOP("MainWindow", "Harmonic Reports")},
    {MainWindow::Command::Record, "SeSkinSpeedButton5", ":/icons/record.svg",
     QT_TRANSLATE_NOOP("MainWindow", "Record")},
    {MainWindow::Command::Version, "SeSkinSpeedButton4", ":/icons/version.svg",
     QT_TRANSLATE_NOOP("MainWindow", "Version")},
    {MainWindow::Command::Print, "SeSkinSpeedButton3", ":/icons/print.svg",
     QT_TRANSLATE_NOOP("MainWindow", "Print")},
    {MainWindow::Command::Save, "SeSkinSpeedButton2", ":/icons/save.svg",
     QT_TRANSLATE_NOOP("MainWindow", "Save the test")},
    {MainWindow::Command::Open, "SeSkinSpeedButton1", ":/icons/open.svg",
     QT_TRANSLATE_NOOP("MainWindow", "Open a test")},
};

// Status bar panels: initial text, width (0 stretches), alignment.
struct StatusPanelInfo {
    const char* text;
    int width;
    Qt::Alignment alignment;
};
const StatusPanelInfo kStatusPanels[6] = {
    {QT_TRANSLATE_NOOP("MainWindow", "Connection: Connecting"), 200, Qt::AlignLeft | Qt::AlignVCenter},
    {QT_TRANSLATE_NOOP("MainWindow", "Status: not synchronized"), 160, Qt::AlignLeft | Qt::AlignVCenter},
    {QT_TRANSLATE_NOOP("MainWindow", "Communication:"), 90, Qt::AlignRight | Qt::AlignVCenter},
    {"", 124, Qt::AlignLeft | Qt::AlignVCenter},  // holds ProgressBar1
    {QT_TRANSLATE_NOOP("MainWindow", "Date:"), 0, Qt::AlignLeft | Qt::AlignVCenter},
    {"", 76, Qt::AlignCenter},                    // the clickable logo
};

const char* kGroupTitles[4] = {QT_TRANSLATE_NOOP("MainWindow", " Sampled Waveform "),
                               QT_TRANSLATE_NOOP("MainWindow", "Measurement Parameters "),
                               QT_TRANSLATE_NOOP("MainWindow", " Voltage Harmonic  "),
                               QT_TRANSLATE_NOOP("MainWindow", " Current Harmonics ")};

} // namespace

MainWindow::MainWindow(AcquisitionState& state, MainSurfaces& surfaces, const DisplayColors& colors, QWidget* parent)
    : QMainWindow(parent), state_(state), surfaces_(surfaces), colors_(colors)
{
    setObjectName("TMainForm");
    setWindowTitle(QStringLiteral("QZR6100"));
    buildMenus();
    buildToolBar();
    buildStatusBar();
    buildClientPanel();
    // The readout captions come from the core's table, the status panels'
    // texts from the link and the reply handler.
    texts_.capture(this, {QStringLiteral("ReadoutPanels"), QStringLiteral("ResponseHandler"),
                          QStringLiteral("PortDiscovery"), QStringLiteral("LinkMaster"),
                          QStringLiteral("SamplingController")});
    resize(1024, 720);
}

QAction* MainWindow::addAction(QMenu* menu, Command command, const QString& text)
{
    QAction* a = menu->addAction(text);
    actions_[command] = a;
    return a;
}

void MainWindow::setFactoryMode(bool on)
{
    actions_.at(Command::Calibration)->setVisible(on);
    actions_.at(Command::InstrumentCommSettings)->setVisible(on);
}

void MainWindow::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("File(&F)"));
    addAction(file, Command::Open, tr("Open"));
    addAction(file, Command::Save, tr("Save"));
    file->addSeparator();
    addAction(file, Command::Print, tr("Print"));
    file->addSeparator();
    addAction(file, Command::Exit, tr("Exit"));

    QMenu* options = menuBar()->addMenu(tr("Options (&O)"));
    addAction(options, Command::CommSettings, tr("Program communication settings "));
    options->addSeparator();
    addAction(options, Command::Style, tr("Style"));
    addAction(options, Command::PublishMqtt, tr("Publish measurements (MQTT)…"));
    options->addSeparator();
    addAction(options, Command::Calibration, tr("Calibration"))->setVisible(false);
    addAction(options, Command::InstrumentSettings, tr("Instrument settings"));
    addAction(options, Command::AlarmLimits, tr("Alarm limits"));
    options->addSeparator();
    addAction(options, Command::InstrumentCommSettings, tr("Instrument communication settings"))
        ->setVisible(false);
    options->addSeparator();
    buildLanguageMenu(options);

    QMenu* operating = menuBar()->addMenu(tr("Operating (&P)"));
    addAction(operating, Command::SingleSampling, tr("Single sampling"))->setObjectName("N12");
    addAction(operating, Command::ContinuousSampling, tr("Continuous  sampling"))->setObjectName("N13");
    QAction* stop = addAction(operating, Command::Stop, tr("Stop  "));
    stop->setObjectName("N14");
    stop->setEnabled(false);
    operating->addSeparator();
    addAction(operating, Command::StartingTest, tr("Starting Test"));
    operating->addSeparator();
    addAction(operating, Command::HarmonicReport, tr("Harmonic Reports"));
    operating->addSeparator();
    addAction(operating, Command::Record, tr("Record "));

    QMenu* help = menuBar()->addMenu(tr("Help(&H)"));
    addAction(help, Command::Version, tr("Version"));
    addAction(help, Command::Website, tr("Velquor Website "));
    help->addSeparator();
    addAction(help, Command::Manual, tr("Manual"));

    connect(actions_[Command::Exit], &QAction::triggered, this, &QWidget::close);
}

void MainWindow::buildLanguageMenu(QMenu* options)
{
    QMenu* language = options->addMenu(tr("Language"));
    language->setObjectName("LanguageMenu");
    auto* choices = new QActionGroup(language);
    choices->setExclusive(true);
    QAction* instrument = addAction(language, Command::LanguageInstrument, tr("Instrument texts"));
    QAction* english = addAction(language, Command::LanguageEnglish, tr("English"));
    for (QAction* a : {instrument, english}) {
        a->setCheckable(true);
        choices->addAction(a);
    }
    instrument->setChecked(true);
}

void MainWindow::showLanguage(UiLanguage language)
{
    actions_.at(language == UiLanguage::English ? Command::LanguageEnglish : Command::LanguageInstrument)
        ->setChecked(true);
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        texts_.retranslate();
        // The readout captions have new widths; the plots carry captions.
        applyMainLayout();
        redrawMainDisplay();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::buildToolBar()
{
    QToolBar* bar = addToolBar(tr("Tools"));
    bar->setObjectName("ToolBar");
    bar->setMovable(false);
    bar->setIconSize(QSize(32, 32));
    for (const ToolButtonInfo& info : kToolButtons) {
        QAction* tool = bar->addAction(SvgIcon(QString::fromLatin1(info.icon)), tr(info.tip));
        tool->setObjectName(QString::fromLatin1(info.name));
        tool->setToolTip(tr(info.tip));
        toolActions_[info.command] = tool;
        // A toolbar button does what its menu twin does, even while the twin
        // itself is disabled (the Stop button works during a single sampling,
        // when its menu item is still off).
        QAction* menuTwin = actions_.at(info.command);
        connect(tool, &QAction::triggered, menuTwin, &QAction::triggered);
    }
    // Sampling is offered once a port is open.
    toolActions_[Command::SingleSampling]->setEnabled(false);
    toolActions_[Command::ContinuousSampling]->setEnabled(false);
    toolActions_[Command::Stop]->setEnabled(false);
}

void MainWindow::buildStatusBar()
{
    QWidget* bar = new QWidget(this);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < 6; ++i) {
        auto* panel = new QLabel(tr(kStatusPanels[i].text), bar);
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        panel->setAlignment(kStatusPanels[i].alignment);
        // The designed widths, widened where this desktop's font needs more room.
        if (kStatusPanels[i].width > 0) {
            const int textWidth = panel->fontMetrics().horizontalAdvance(panel->text()) + 12;
            panel->setFixedWidth(std::max(kStatusPanels[i].width, textWidth));
        }
        panel->setMinimumHeight(22);
        statusPanels_[i] = panel;
        layout->addWidget(panel, kStatusPanels[i].width > 0 ? 0 : 1);
    }
    progressBar1_ = new QProgressBar(statusPanels_[3]);
    progressBar1_->setObjectName("ProgressBar1");
    progressBar1_->setRange(0, 50);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);
    auto* progressLayout = new QHBoxLayout(statusPanels_[3]);
    progressLayout->setContentsMargins(2, 2, 2, 2);
    progressLayout->addWidget(progressBar1_);
    progressBar1_->hide();

    QLabel* logo = statusPanels_[5];
    logo->setObjectName("Image1");
    logo->setPixmap(artwork::SmallLogo(devicePixelRatioF()));
    logo->setCursor(Qt::PointingHandCursor);
    logo->setToolTip(tr("Velquor Website "));
    logo->installEventFilter(this);
    statusBar()->addWidget(bar, 1);
    statusBar()->setSizeGripEnabled(true);
}

void MainWindow::buildClientPanel()
{
    panel1_ = new QWidget(this);
    panel1_->setObjectName("Panel1");
    setCentralWidget(panel1_);
    panel1_->installEventFilter(this);

    for (int g = 0; g < 4; ++g) {
        groups_[g] = new QGroupBox(tr(kGroupTitles[g]), panel1_);
        groups_[g]->setObjectName(QStringLiteral("GroupBox%1").arg(g + 1));
    }
    const QImage* surfaces[3] = {&surfaces_.WaveSurface, &surfaces_.VoltageHarmonicSurface,
                                 &surfaces_.CurrentHarmonicSurface};
    const int plotGroups[3] = {0, 2, 3};
    for (int p = 0; p < 3; ++p) {
        plotPanels_[p] = new QWidget(groups_[plotGroups[p]]);
        plotPanels_[p]->setObjectName(QStringLiteral("Panel%1").arg(p + 2));
        pics_[p] = new PaintBox(surfaces[p], [this] { return state_.PlotRect; }, plotPanels_[p]);
        pics_[p]->setObjectName(QStringLiteral("Pic%1").arg(p + 1));
    }

    QFont readoutFont(QStringLiteral("Tahoma"));
    readoutFont.setPixelSize(17);
    QPalette readoutPalette;
    readoutPalette.setColor(QPalette::Window, palette().color(QPalette::HighlightedText));
    readoutPalette.setColor(QPalette::WindowText, QColor(0, 128, 128));
    for (int i = 0; i < kReadoutPanelCount; ++i) {
        const ReadoutPanelInfo& info = ReadoutInfo(ReadoutPanel(i));
        readoutLabels_[i] = new QLabel(QCoreApplication::translate("ReadoutPanels", info.labelCaption), groups_[1]);
        readoutLabels_[i]->setObjectName(QString::fromLatin1(info.labelName));
        readoutLabels_[i]->adjustSize();
        auto* panel = new QLabel(groups_[1]);
        panel->setObjectName(QString::fromLatin1(info.panelName));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setLineWidth(2);
        panel->setAutoFillBackground(true);
        panel->setPalette(readoutPalette);
        panel->setFont(readoutFont);
        panel->setAlignment(Qt::AlignCenter);
        readouts_[i] = panel;
    }
}

void MainWindow::applyMainLayout()
{
    const MainLayoutGeometry geometry = ComputeMainLayout(panel1_->size());
    for (int g = 0; g < 4; ++g) groups_[g]->setGeometry(geometry.groupBoxes[g]);
    for (int p = 0; p < 3; ++p) {
        plotPanels_[p]->setGeometry(geometry.plotPanel);
        pics_[p]->setGeometry(QRect(QPoint(0, 0), geometry.plotPanel.size()));
    }
    // The label columns were laid out for a small bitmap font: one caption
    // size for all fifteen labels, the largest at which none runs under its
    // readout.
    QFont labelFont = font();
    int size = QFontInfo(labelFont).pixelSize();
    const int smallest = 8;
    for (; size > smallest; --size) {
        labelFont.setPixelSize(size);
        const QFontMetrics metrics(labelFont);
        bool fits = true;
        for (int i = 0; i < kReadoutPanelCount && fits; ++i) {
            const ReadoutPanelInfo& info = ReadoutInfo(ReadoutPanel(i));
            const int room = geometry.readoutRects[info.row][info.column].left() -
                             geometry.labelPositions[info.row][info.column].x() - 2;
            fits = metrics.horizontalAdvance(readoutLabels_[i]->text()) <= room;
        }
        if (fits) break;
    }
    labelFont.setPixelSize(size);
    for (int i = 0; i < kReadoutPanelCount; ++i) {
        const ReadoutPanelInfo& info = ReadoutInfo(ReadoutPanel(i));
        readoutLabels_[i]->setFont(labelFont);
        readoutLabels_[i]->adjustSize();
        readoutLabels_[i]->move(geometry.labelPositions[info.row][info.column]);
        readouts_[i]->setGeometry(geometry.readoutRects[info.row][info.column]);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == panel1_ && event->type() == QEvent::Resize) {
        applyMainLayout();
        redrawMainDisplay();
    } else if (watched == statusPanels_[5] && event->type() == QEvent::MouseButtonRelease) {
        actions_.at(Command::Website)->trigger();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (onCloseQuery) onCloseQuery();
    event->accept();
}

void MainWindow::setStatusText(int panel, const QString& text)
{
    if (panel < 0 || panel >= 6 || panel == 3 || panel == 5) return;
    statusPanels_[panel]->setText(text);
}

QString MainWindow::statusText(int panel) const
{
    return (panel >= 0 && panel < 6) ? statusPanels_[panel]->text() : QString();
}

QAction* MainWindow::controlAction(Control control) const
{
    switch (control) {
    case Control::SingleButton: return toolActions_.at(Command::SingleSampling);
    case Control::ContinuousButton: return toolActions_.at(Command::ContinuousSampling);
    case Control::StopButton: return toolActions_.at(Command::Stop);
    case Control::SingleItem: return actions_.at(Command::SingleSampling);
    case Control::ContinuousItem: return actions_.at(Command::ContinuousSampling);
    case Control::StopItem: return actions_.at(Command::Stop);
    case Control::CommSettingsItem: return actions_.at(Command::CommSettings);
    }
    return nullptr;
}

void MainWindow::setControlEnabled(Control control, bool enabled) { controlAction(control)->setEnabled(enabled); }

bool MainWindow::isControlEnabled(Control control) const { return controlAction(control)->isEnabled(); }

void MainWindow::setProgress(int value)
{
    progressBar1_->setValue(qBound(progressBar1_->minimum(), value, progressBar1_->maximum()));
    progressBar1_->show();
}

void MainWindow::redrawMainDisplay() { RedrawMainDisplay(state_, surfaces_, colors_, *this); }

QSize MainWindow::plotSize() const { return pics_[0]->size(); }

void MainWindow::showReadouts(const std::array<QString, 15>& texts)
{
    for (int i = 0; i < kReadoutPanelCount; ++i) readouts_[i]->setText(texts[i]);
}

QString MainWindow::readoutText(int panel) const { return readouts_.at(panel)->text(); }

void MainWindow::plotsChanged()
{
    for (PaintBox* pic : pics_) pic->update();
}
