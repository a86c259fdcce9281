#include "settings/starting_test.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/notifier.h"
#include "link/register_map.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

uint16_t StartingRangeCode(int currentRangeIndex, int voltageRangeIndex)
{
    return uint16_t(currentRangeIndex * 16 + voltageRangeIndex);
}

bool StartingPlotView::moveLeft()
{
    if (startOffset < 1) return false;
    startOffset -= kStartingMoveSamples;
    return true;
}

bool StartingPlotView::moveRight()
{
    if (startOffset >= kStartingLastOffset) return false;
    startOffset += kStartingMoveSamples;
    return true;
}

bool StartingPlotView::largerStep()
{
    if (step >= kStartingLargestStep) return false;
    ++step;
    return true;
}

bool StartingPlotView::smallerStep()
{
    if (step < 2) return false;
    --step;
    return true;
}

StartingStartResult StartStartingTest(AcquisitionState& state, InstrumentRequests& requests, Notifier& notifier,
                                      uint16_t rangeCode)
{
    const QString caption = QCoreApplication::translate("StartingTest", "启动测试");
    if (state.SamplingMode != SamplingIdle) {
        notifier.message(QCoreApplication::translate("StartingTest", "    请先停止连续测试！    "), caption, Notifier::Icon::Warning);
        return StartingStartResult::RefusedWhileSampling;
    }
    if (notifier.question(QCoreApplication::translate("StartingTest", "  单击确定后按下仪器的Starting开关!  "), caption) != Notifier::Answer::Yes)
        return StartingStartResult::Declined;
    const bool sent = requests.TriggerStartingTest(rangeCode);
    if (!sent) notifier.message(QCoreApplication::translate("StartingTest", "请求读失败，仪器和电脑还没有连接。"), caption, Notifier::Icon::Warning);
    state.LastRequestRegister = uint8_t(Reg::Starting);
    state.LastRequestCount = uint8_t(rangeCode);
    state.StartBlockIndex = 0;
    return sent ? StartingStartResult::Sent : StartingStartResult::NotSent;
}

bool SaveStartingPicture(const QString& path, const QImage& picture, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    // Three bytes a pixel: the bitmap writer then writes 24 bits a pixel.
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB888))) {
        if (error) *error = writer.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

void ClearStartingCapture(AcquisitionState& state)
{
    constexpr uint16_t kMidscale = 2047;
    StartingCaptureImage& capture = state.StartingCapture;
    capture.VoltageScale.set(1.0f);
    capture.CurrentScale.set(1.0f);
    for (int i = 0; i < kStartingSamples; ++i) {
        capture.VoltageSamples[i].set(kMidscale);
        capture.CurrentSamples[i].set(kMidscale);
    }
}
