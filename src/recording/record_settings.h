#pragma once
// What the recorder writes: the quantity on each of the six channels, the
// sampling step and the save step, stored in SysSet.ini section "RecordSet".
//
// Every value read from the file is checked here: a value that is not an
// integer, a step index outside its table or a channel code outside 0..12
// takes the key's default. So the recorder only ever sees valid quantity codes
// (it indexes its value table with them) and both timers always get one of the
// intervals of the step tables.

#include <QString>

#include <array>
#include <cstdint>

struct TestRecordImage;
class SysSettings;

constexpr int kRecordChannelCount = 6;

// The quantities a channel can record, in the order of the dialog's lists.
enum QuantityCode : int {
    QuantityVoltage = 0,
    QuantityCurrent = 1,
    QuantityPower = 2,
    QuantityApparentPower = 3,
    QuantityReactivePower = 4,
    QuantityCurrentPhase = 5,
    QuantityFrequency = 6,
    QuantityPowerFactor = 7,
    QuantityUthd = 8,
    QuantityIthd = 9,
    QuantityTemperature1 = 10,
    QuantityTemperature2 = 11,
    QuantityTemperature3 = 12,
};
constexpr int kQuantityCodeCount = 13;
// Codes 0..9 come from the instrument; 10..12 belong to an external
// temperature instrument whose interface does not exist and always read 0.
constexpr int kMeasuredQuantityCount = 10;

constexpr bool IsValidQuantityCode(int code) { return code >= 0 && code < kQuantityCodeCount; }
constexpr bool IsTemperatureCode(int code) { return code >= kMeasuredQuantityCount && code < kQuantityCodeCount; }

// " Voltage" (with its leading blank), as the dialog's lists show it.
QString QuantityListText(int code);
// "Voltage", as the record window's channel name labels show it.
QString QuantityLabelText(int code);
// The measured value a code records; 0 for the temperature codes. code must be
// valid.
float QuantityValue(const TestRecordImage& record, int code);

// The two step tables. A status text comes in two forms: the one the settings
// dialog writes when applied, and the one written when the record window is
// created (they differ in blanks, and for the 60 s save step in one more).
enum class StepTextForm { Dialog, Creation };

constexpr int kSamplingStepCount = 12;      // indices 0..11
constexpr int kSamplingStepListCount = 11;  // the dialog's list stops at 15 s (index 10)
constexpr int kSaveStepCount = 6;

constexpr bool IsValidSamplingStep(int index) { return index >= 0 && index < kSamplingStepCount; }
constexpr bool IsValidSaveStep(int index) { return index >= 0 && index < kSaveStepCount; }

int SamplingIntervalMs(int samplingStep);  // index must be valid
int SaveIntervalMs(int saveStep);          // index must be valid
QString SamplingStepText(int samplingStep, StepTextForm form);  // "Step: 3S" / "Step:  3S"
QString SaveStepText(int saveStep, StepTextForm form);          // "Save Setp:20S" / "Save Setp:  20S"
QString SamplingStepListText(int listIndex);  // "1 S" .. "15 S", listIndex 0..10
QString SaveStepListText(int listIndex);      // "10 S" .. "60 S"

struct RecordSettings {
    std::array<int32_t, kRecordChannelCount> channelCodes{QuantityPower, QuantityPower, QuantityPower,
                                                         QuantityPower, QuantityPower, QuantityPower};
    int samplingStep = 2;  // SamplingStepIndex, written into each new record file
    int saveStep = 2;

    int samplingIntervalMs() const { return SamplingIntervalMs(samplingStep); }
    int saveIntervalMs() const { return SaveIntervalMs(saveStep); }
    bool recordsTemperature() const;
};

// Reads "Ch0".."Ch5", "SampingSetp" and "SaveSetp"; see the top of the file
// for values that are not valid.
RecordSettings LoadRecordSettings(const SysSettings& settings);

// What the settings dialog's lists show when "Enter" is pressed: the selected
// indices, -1 where a list has no selection.
struct RecordSettingsSelection {
    std::array<int, kRecordChannelCount> channels{};
    int samplingStep = -1;
    int saveStep = -1;
    int temperatureInterface = -1;  // the (empty) temperature interface list
};

// The settings in effect after "Enter": each entry the selection does not
// validly fill (no selection, index outside its table) keeps the value of
// `current`, so the intervals, the channel labels and the codes stay those in
// effect.
RecordSettings ApplyRecordSettingsSelection(const RecordSettings& current, const RecordSettingsSelection& selection);

// Writes, in this order, "Ch0".."Ch5", "SampingSetp", "SaveSetp" and
// "TInCommNO". The settings written are those in effect, so that what is
// stored is what the next run reads. Stops at the first key that cannot be
// written and returns false with the reason.
bool StoreRecordSettings(SysSettings& file, const RecordSettings& settings, int temperatureInterface,
                         QString* error = nullptr);

// Shown after "Enter" when any channel records a temperature.
QString TemperatureInputMessage();
