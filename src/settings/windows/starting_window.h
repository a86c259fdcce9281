#pragma once
// "启动测试" (TStartingForm): runs the instrument's starting test and shows
// its capture. The user chooses the current range, presses "Starting",
// confirms and presses the Starting switch on the instrument; the reply
// handler then fetches the six blocks, reporting each in the status bar, and
// has the plot redrawn once all are in. The four picture buttons move
// through the capture and change its step; "Save picture" writes the plot as
// a bitmap. Created once and kept; shown non-modally.

#include "acquisition/reply_sinks.h"
#include "appearance/windows/window_texts.h"
#include "display/display_colors.h"
#include "settings/starting_test.h"

#include <QDialog>
#include <QImage>

#include <functional>

class InstrumentRequests;
class Notifier;
class PaintBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;
struct AcquisitionState;

class StartingWindow : public QDialog, public StartingReplySink {
    Q_OBJECT
public:
    // screenSize: the area each redraw clears, as for every plot.
    StartingWindow(AcquisitionState& state, InstrumentRequests& requests, Notifier& notifier,
                   const DisplayColors& colors, const QSize& screenSize, QWidget* parent = nullptr);

    // "Starting" (SeSkinSpeedButton1).
    void start();
    // "Save picture" (SeSkinSpeedButton6): the plot as it is shown.
    void savePicture();

    const StartingPlotView& plotView() const { return view_; }
    const QImage& startingSurface() const { return startingSurface_; }
    QString statusText() const;

    // The save dialog; replaced by tests. An empty result means cancelled.
    std::function<QString(const QString& proposedPath)> chooseSaveFile;

    // StartingReplySink
    void showStatus(const QString& text) override;
    void drawStartingPlot() override;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* pictureButton(const char* name, const char* icon, const QString& accessibleName, const QString& tip);
    void moveLeft();
    void moveRight();
    void largerStep();
    void smallerStep();

    AcquisitionState& state_;
    InstrumentRequests& requests_;
    Notifier& notifier_;
    const DisplayColors& colors_;
    const QSize screenSize_;

    QImage startingSurface_;  // 2400 x 1600; StartingPic only copies it
    StartingPlotView view_;

    QGroupBox* voltageGroup_ = nullptr;
    QGroupBox* currentGroup_ = nullptr;
    QComboBox* voltageRangeList_ = nullptr;  // ComboBox2
    QComboBox* currentRangeList_ = nullptr;  // ComboBox1
    QPushButton* startButton_ = nullptr;     // SeSkinSpeedButton1
    QToolButton* leftButton_ = nullptr;      // SeSkinSpeedButton2
    QToolButton* rightButton_ = nullptr;     // SeSkinSpeedButton3
    QToolButton* largerStepButton_ = nullptr;   // SeSkinSpeedButton4
    QToolButton* smallerStepButton_ = nullptr;  // SeSkinSpeedButton5
    QPushButton* saveButton_ = nullptr;      // SeSkinSpeedButton6
    PaintBox* startingPic_ = nullptr;
    QLabel* statusPanel_ = nullptr;          // the one panel of StatusBar1

    QString lastFolder_;  // the save dialog opens where the user last saved
    WindowTexts texts_;
};
