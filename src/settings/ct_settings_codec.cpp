#include "settings/ct_settings_codec.h"

#include "display/number_format.h"
#include "settings/typed_number.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace {

constexpr double kDegreesPerTurn = 360.0;
// The instrument reads the angle back over a 50 Hz period whatever was chosen.
constexpr double kReadBackPeriod = 0.02;
constexpr int kSixtyHertzItem = 1;
constexpr int kFilterItems = 10;
constexpr int kRangeItems = 4;

uint8_t ItemByte(int item) { return uint8_t(item + 1); }  // no selection gives 0

int ListItem(uint8_t value, int items)
{
    const int item = int(value) - 1;
    return item >= 0 && item < items ? item : -1;
}

} // namespace

CtSettingsEncoding EncodeCtSettings(const CtSettingsControls& controls, const CtSettingsBlock& lastReadOut)
{
    using Refusal = CtSettingsEncoding::Refusal;
    using Field = CtSettingsEncoding::Field;
    CtSettingsEncoding result;
    const auto refuse = [&result](Refusal refusal, Field field) {
        result.refusal = refusal;
        result.field = field;
        return result;
    };

    const std::optional<double> angle = ParseTypedNumber(controls.angleText);
    if (!angle) return refuse(Refusal::NotANumber, Field::Angle);
    if (*angle > kMaxAngleDifference) return refuse(Refusal::AngleAboveLimit, Field::Angle);
    if (*angle < -kMaxAngleDifference) return refuse(Refusal::AngleBelowLimit, Field::Angle);
    const std::optional<float> currentRatio = ParseTypedFloat32(controls.currentRatioText);
    if (!currentRatio) return refuse(Refusal::NotANumber, Field::CurrentRatio);
    const std::optional<float> voltageRatio = ParseTypedFloat32(controls.voltageRatioText);
    if (!voltageRatio) return refuse(Refusal::NotANumber, Field::VoltageRatio);

    const double frequency = controls.frequencyItem == kSixtyHertzItem ? 60.0 : 50.0;
    CtSettingsBlock& b = result.block;
    b.AngleDifference.set(float((1.0 / frequency) * (*angle / kDegreesPerTurn)));
    b.CurrentRatio.set(*currentRatio);
    b.VoltageRatio.set(*voltageRatio);
    b.Bandwidth = uint8_t(controls.bandwidthItem > 0 ? 1 : 0);
    b.ThdAlgorithm = uint8_t(controls.thdItem > 0 ? 1 : 0);
    b.FilterCoefficient = ItemByte(controls.filterItem);
    b.FilterOff = controls.filterOn ? 0 : 1;
    b.RangeLocked = controls.rangeMode == CurrentRangeMode::Auto ? 0 : 1;
    b.Unused = lastReadOut.Unused;
    b.Range = ItemByte(controls.rangeItem);
    return result;
}

CtSettingsControls DecodeCtSettings(const CtSettingsBlock& block)
{
    CtSettingsControls c;
    c.angleText = FormatFloat32Value(float(double(block.AngleDifference.get()) * kDegreesPerTurn / kReadBackPeriod));
    c.frequencyItem = -1;
    c.currentRatioText = FormatFloat32Value(block.CurrentRatio.get());
    c.voltageRatioText = FormatFloat32Value(block.VoltageRatio.get());
    c.bandwidthItem = block.Bandwidth != 0 ? 1 : 0;
    c.thdItem = block.ThdAlgorithm != 0 ? 1 : 0;
    c.filterItem = ListItem(block.FilterCoefficient, kFilterItems);
    c.filterOn = block.FilterOff == 0;
    c.rangeMode = block.RangeLocked != 0 ? CurrentRangeMode::Lock : CurrentRangeMode::Auto;
    c.rangeItem = ListItem(block.Range, kRangeItems);
    return c;
}

