#include "settings/calibration_commands.h"

#include "acquisition/notifier.h"
#include "display/number_format.h"
#include "link/register_map.h"
#include "settings/typed_number.h"

#include <QCoreApplication>

namespace {

constexpr double kDegreesPerTurn = 360.0;
constexpr double kPhasePeriod = 0.02;  // seconds of one 50 Hz period

QString PhaseRowCaption(uint16_t reg)
{
    return reg == Reg::NarrowbandPhase ? CalibrationCommands::tr("窄频") : CalibrationCommands::tr("宽频");
}

} // namespace

float PhaseAngleToSeconds(double degrees) { return float(degrees / kDegreesPerTurn * kPhasePeriod); }

CalibrationCommands::CalibrationCommands(InstrumentRequests& requests, PortOpener openPort, Notifier& notifier)
    : requests_(requests), openPort_(std::move(openPort)), notifier_(notifier)
{
}

std::optional<double> CalibrationCommands::typedValue(const QString& caption, const QString& text,
                                                      bool emptyIsZero)
{
    const std::optional<double> value =
        ParseTypedNumber(text, emptyIsZero ? EmptyText::IsZero : EmptyText::IsInvalid);
    if (!value) notifier_.message(NotANumberText(caption, text), QString(), Notifier::Icon::Warning);
    return value;
}

void CalibrationCommands::calibrate(uint16_t reg, const QString& caption, const QString& text)
{
    // The reference travels as a 32-bit float; one beyond its range would
    // arrive as infinity.
    const std::optional<float> value = ParseTypedFloat32(text, EmptyText::IsZero);
    if (!value) {
        notifier_.message(NotANumberText(caption, text), QString(), Notifier::Icon::Warning);
        return;
    }
    if (!requests_.portOpen()) {
        QString reason;
        if (!openPort_ || !openPort_(&reason)) {
            notifier_.message(reason.isEmpty() ? tr("请求读失败，仪器和电脑还没有连接。") : reason,
                              QString(), Notifier::Icon::Error);
            return;
        }
    }
    requests_.WriteCalibrationValue(reg, *value);
}

void CalibrationCommands::calibrateVoltage(const QString& text)
{
    calibrate(Reg::VoltageCalibration, tr("电压"), text);
}

void CalibrationCommands::calibrateCurrent(const QString& text)
{
    calibrate(Reg::CurrentCalibration, tr("电流"), text);
}

void CalibrationCommands::reportNotConnected()
{
    notifier_.message(tr("请求读失败，仪器和电脑还没有连接。"), QString(), Notifier::Icon::Warning);
}

void CalibrationCommands::unlock()
{
    if (!requests_.WriteUnlock()) reportNotConnected();
}

void CalibrationCommands::sendTemperatureCommand(TemperatureCommand command)
{
    if (!requests_.WriteTemperatureMode(uint8_t(command))) reportNotConnected();
}

void CalibrationCommands::writePhase(uint16_t reg, const QString& text)
{
    const std::optional<double> angle = typedValue(PhaseRowCaption(reg), text, true);
    if (!angle) return;
    if (*angle > kMaxPhaseCorrection) {
        notifier_.message(tr("  角差不能大于30度，数据无效!    "));
        return;
    }
    if (*angle < -kMaxPhaseCorrection) {
        notifier_.message(tr("  角差不能小于-30度，数据无效!    "));
        return;
    }
    // The angle-to-time box of the window is always ticked.
    if (!requests_.WritePhaseCorrection(reg, PhaseAngleToSeconds(*angle))) reportNotConnected();
}

void CalibrationCommands::readPhase(uint16_t reg)
{
    if (!requests_.ReadPhaseCorrection(reg))
        notifier_.message(tr("与仪器数据同步失败，仪器已经关闭或和电脑还没有正常连接。"), QString(),
                          Notifier::Icon::Warning);
}

std::optional<QString> CalibrationCommands::steppedPhase(uint16_t reg, const QString& text, double step)
{
    const std::optional<double> value = typedValue(PhaseRowCaption(reg), text, false);
    if (!value) return std::nullopt;
    return FormatGeneral(*value + step);
}
