#include "settings/windows/starting_window.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/notifier.h"
#include "appearance/windows/svg_icon.h"
#include "display/starting_plot.h"
#include "display/windows/paint_box.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const kCaption = QT_TRANSLATE_NOOP("StartingWindow", "启动测试");
const char* const kPictureFilter = QT_TRANSLATE_NOOP("StartingWindow", "Velquor启动测试文件(.bmp) (*.bmp)");
const QString kPictureFileName = QStringLiteral("StartingTestFile.bmp");
// The current range list's fifth item is empty and names no range.
constexpr int kCurrentRangeCount = 4;

QGroupBox* RangeGroup(QWidget* parent, const QString& title, const char* name, QComboBox* list)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    // Wide enough for its title as well as its list.
    group->setMinimumWidth(group->fontMetrics().horizontalAdvance(title) + 40);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->addWidget(list);
    // The mouse over the group is what switches its list on.
    group->setMouseTracking(true);
    return group;
}

} // namespace

StartingWindow::StartingWindow(AcquisitionState& state, InstrumentRequests& requests, Notifier& notifier,
                               const DisplayColors& colors, const QSize& screenSize, QWidget* parent)
    : QDialog(parent),
      state_(state),
      requests_(requests),
      notifier_(notifier),
      colors_(colors),
      screenSize_(screenSize),
      startingSurface_(kStartingSurfaceWidth, kStartingSurfaceHeight, QImage::Format_RGB32),
      lastFolder_(QDir::homePath())
{
    setObjectName(QStringLiteral("TStartingForm"));
    setWindowTitle(tr(kCaption));
    startingSurface_.fill(colors_.GraphBackgroundColor);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* topPanel = new QWidget(this);
    topPanel->setObjectName(QStringLiteral("Panel1"));
    auto* top = new QHBoxLayout(topPanel);
    top->setContentsMargins(8, 4, 8, 6);
    top->setSpacing(6);

    voltageRangeList_ = new QComboBox(this);
    voltageRangeList_->setObjectName(QStringLiteral("ComboBox2"));
    voltageRangeList_->addItems({QStringLiteral("300V"), QStringLiteral("150V"), QStringLiteral("75V"),
                                 QStringLiteral("25V")});
    voltageRangeList_->setCurrentIndex(0);
    voltageRangeList_->setEnabled(false);
    currentRangeList_ = new QComboBox(this);
    currentRangeList_->setObjectName(QStringLiteral("ComboBox1"));
    currentRangeList_->addItems({tr("4 (High-current)"), QStringLiteral("3"), QStringLiteral("2"),
                                 tr("1 (Low-current)"), QString()});
    currentRangeList_->setCurrentIndex(0);
    currentRangeList_->setEnabled(false);
    voltageGroup_ = RangeGroup(topPanel, tr("Voltage range"), "VoltageRangeGroup", voltageRangeList_);
    currentGroup_ = RangeGroup(topPanel, tr("Current Range"), "CurrentRangeGroup", currentRangeList_);
    currentGroup_->installEventFilter(this);
    top->addWidget(voltageGroup_);
    top->addWidget(currentGroup_);

    startButton_ = new QPushButton(tr("Starting"), topPanel);
    startButton_->setObjectName(QStringLiteral("SeSkinSpeedButton1"));
    saveButton_ = new QPushButton(tr("Save picture"), topPanel);
    saveButton_->setObjectName(QStringLiteral("SeSkinSpeedButton6"));
    for (QPushButton* button : {startButton_, saveButton_}) {
        button->setAutoDefault(false);
        button->setMinimumSize(104, 36);
        top->addWidget(button);
    }
    // Picture-only buttons: their names are what a screen reader says and
    // what automation finds them by; the tips say what a press does.
    leftButton_ = pictureButton("SeSkinSpeedButton2", ":/icons/view_back.svg", tr("Move left"),
                                tr("Move back through the capture by 320 samples"));
    rightButton_ = pictureButton("SeSkinSpeedButton3", ":/icons/view_forward.svg", tr("Move right"),
                                 tr("Move on through the capture by 320 samples"));
    largerStepButton_ = pictureButton("SeSkinSpeedButton4", ":/icons/zoom_out.svg", tr("Larger step"),
                                      tr("Larger step: more samples a point, more of the capture shown"));
    smallerStepButton_ = pictureButton("SeSkinSpeedButton5", ":/icons/zoom_in.svg", tr("Smaller step"),
                                       tr("Smaller step: fewer samples a point, more detail shown"));
    for (QToolButton* button : {leftButton_, rightButton_, largerStepButton_, smallerStepButton_})
        top->addWidget(button);
    top->addStretch(1);
    outer->addWidget(topPanel);

    auto* clientPanel = new QWidget(this);
    clientPanel->setObjectName(QStringLiteral("Panel2"));
    auto* client = new QVBoxLayout(clientPanel);
    client->setContentsMargins(0, 0, 0, 0);
    startingPic_ = new PaintBox(&startingSurface_, [this] { return QRect(QPoint(0, 0), startingPic_->size()); },
                                clientPanel);
    startingPic_->setObjectName(QStringLiteral("StartingPic"));
    startingPic_->setMouseTracking(true);
    startingPic_->installEventFilter(this);
    client->addWidget(startingPic_);
    outer->addWidget(clientPanel, 1);

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setSizeGripEnabled(true);
    statusPanel_ = new QLabel(tr("Velquor"), statusBar);
    statusPanel_->setObjectName(QStringLiteral("StatusPanel0"));
    statusBar->addWidget(statusPanel_, 1);
    outer->addWidget(statusBar);

    connect(startButton_, &QPushButton::clicked, this, &StartingWindow::start);
    connect(saveButton_, &QPushButton::clicked, this, &StartingWindow::savePicture);
    connect(leftButton_, &QToolButton::clicked, this, &StartingWindow::moveLeft);
    connect(rightButton_, &QToolButton::clicked, this, &StartingWindow::moveRight);
    connect(largerStepButton_, &QToolButton::clicked, this, &StartingWindow::largerStep);
    connect(smallerStepButton_, &QToolButton::clicked, this, &StartingWindow::smallerStep);

    chooseSaveFile = [this](const QString& proposed) {
        QFileDialog dialog(this, tr("Save picture"), proposed, tr(kPictureFilter));
        dialog.setObjectName(QStringLiteral("SaveDialog1"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("bmp"));
        dialog.selectFile(proposed);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };

    // Until a test has been received the plot shows two flat lines at zero.
    ClearStartingCapture(state_);
    resize(860, 560);
    drawStartingPlot();
    texts_.capture(this, {QStringLiteral("ResponseHandler")});
}

void StartingWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        texts_.retranslate();
        // The peak captions are drawn into the plot.
        drawStartingPlot();
    }
    QDialog::changeEvent(event);
}

QToolButton* StartingWindow::pictureButton(const char* name, const char* icon, const QString& accessibleName,
                                           const QString& tip)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(SvgIcon(QString::fromLatin1(icon)));
    button->setIconSize(QSize(28, 28));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAccessibleName(accessibleName);
    button->setToolTip(tip);
    button->setMinimumSize(40, 40);
    return button;
}

void StartingWindow::start()
{
    const int currentRange = currentRangeList_->currentIndex();
    if (currentRange < 0 || currentRange >= kCurrentRangeCount) {
        notifier_.message(tr("Choose a current range first: move the mouse over \"Current Range\" and "
                                         "pick one of the four."),
                          tr(kCaption), Notifier::Icon::Warning);
        return;
    }
    const uint16_t code = StartingRangeCode(currentRange, voltageRangeList_->currentIndex());
    switch (StartStartingTest(state_, requests_, notifier_, code)) {
    case StartingStartResult::Sent:
    case StartingStartResult::NotSent: showStatus(tr("发送测试请求")); break;
    case StartingStartResult::RefusedWhileSampling:
    case StartingStartResult::Declined: break;
    }
}

void StartingWindow::savePicture()
{
    // The picture is the plot as shown now, whatever arrives while the
    // dialog is open.
    const QImage picture = startingSurface_.copy(QRect(QPoint(0, 0), startingPic_->size()));
    const QString path = chooseSaveFile(QDir(lastFolder_).filePath(kPictureFileName));
    if (path.isEmpty()) return;
    lastFolder_ = QFileInfo(path).absolutePath();
    QString reason;
    if (!SaveStartingPicture(path, picture, &reason))
        notifier_.message(tr("The picture could not be saved as %1: %2").arg(QDir::toNativeSeparators(path), reason),
                          tr(kCaption), Notifier::Icon::Error);
}

QString StartingWindow::statusText() const { return statusPanel_->text(); }

void StartingWindow::showStatus(const QString& text)
{
    statusPanel_->setText(text);
    // The reply handler holds the user-interface thread between blocks.
    statusPanel_->repaint();
}

void StartingWindow::drawStartingPlot()
{
    DrawStartingPlot(startingSurface_, startingPic_->size(), screenSize_, state_.StartingCapture,
                     state_.TestRecord.VoltageZero.get(), state_.TestRecord.CurrentZero.get(), view_.startOffset,
                     view_.step, colors_);
    startingPic_->update();
}

void StartingWindow::moveLeft()
{
    leftButton_->setEnabled(view_.moveLeft());
    rightButton_->setEnabled(true);
    drawStartingPlot();
}

void StartingWindow::moveRight()
{
    rightButton_->setEnabled(view_.moveRight());
    leftButton_->setEnabled(true);
    drawStartingPlot();
}

void StartingWindow::largerStep()
{
    largerStepButton_->setEnabled(view_.largerStep());
    smallerStepButton_->setEnabled(true);
    drawStartingPlot();
}

void StartingWindow::smallerStep()
{
    smallerStepButton_->setEnabled(view_.smallerStep());
    largerStepButton_->setEnabled(true);
    drawStartingPlot();
}

bool StartingWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool mouseOver = event->type() == QEvent::Enter || event->type() == QEvent::MouseMove;
    if (watched == startingPic_ && event->type() == QEvent::Resize) {
        drawStartingPlot();
    } else if (mouseOver && watched == currentGroup_) {
        currentRangeList_->setEnabled(true);
    } else if (mouseOver && watched == startingPic_) {
        currentRangeList_->setEnabled(false);
        voltageRangeList_->setEnabled(false);
    }
    return QDialog::eventFilter(watched, event);
}
