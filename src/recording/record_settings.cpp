#include "recording/record_settings.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/sys_settings.h"

#include <cassert>

namespace {

struct QuantityEntry {
    const char* listText;
    const char* labelText;
    le::F32 TestRecordImage::*source;  // null: not measured, always 0
};

const QuantityEntry kQuantities[kQuantityCodeCount] = {
    {" Voltage", "Voltage", &TestRecordImage::Urms},
    {" Current", "Current", &TestRecordImage::Irms},
    {" Power", "Power", &TestRecordImage::ActivePower},
    {" Apparent power", "Apparent power", &TestRecordImage::ApparentPower},
    {" Reactive power", "Reactive power", &TestRecordImage::ReactivePower},
    {" Current phase", "Current phase", &TestRecordImage::Iphase},
    {" Frequency", "Frequency", &TestRecordImage::Frequency},
    {" Power Factor", "Power Factor", &TestRecordImage::PowerFactor},
    {" UTHD", "UTHD", &TestRecordImage::Uthd},
    {" ITHD", "ITHD", &TestRecordImage::Ithd},
    {" Temperature 1", "Temperature 1", nullptr},
    {" Temperature 2", "Temperature 2", nullptr},
    {" Temperature 3", "Temperature 3", nullptr},
};

struct StepEntry {
    int intervalMs;
    const char* dialogText;
    const char* creationText;
};

const StepEntry kSamplingSteps[kSamplingStepCount] = {
    {1000, "Step: 1S", "Step: 1S"},     {2000, "Step: 2S", "Step:  2S"},   {3000, "Step: 3S", "Step:  3S"},
    {4000, "Step: 4S", "Step:  4S"},    {5000, "Step: 5S", "Step:  5S"},   {6000, "Step: 6S", "Step:  6S"},
    {7000, "Step: 7S", "Step:  7S"},    {8000, "Step: 8S", "Step:  8S"},   {9000, "Step: 9S", "Step:  9S"},
    {10000, "Step: 10S", "Step:  10S"}, {15000, "Step: 15S", "Step:  15S"}, {30000, "Step: 30S", "Step:  30S"},
};

const StepEntry kSaveSteps[kSaveStepCount] = {
    {10000, "Save Setp:10S", "Save Setp:  10S"}, {15000, "Save Setp:15S", "Save Setp:  15S"},
    {20000, "Save Setp:20S", "Save Setp:  20S"}, {25000, "Save Setp:25S", "Save Setp:  25S"},
    {30000, "Save Setp:30S", "Save Setp:  30S"}, {60000, "SaveSetp:60S", "Save Setp:  60S"},
};

const char* const kSamplingListTexts[kSamplingStepListCount] = {"1 S", "2 S", "3 S", "4 S",  "5 S", "6 S",
                                                                 "7 S", "8 S", "9 S", "10 S", "15 S"};
const char* const kSaveListTexts[kSaveStepCount] = {"10 S", "15 S", "20 S", "25 S", "30 S", "60 S"};

QString stepText(const StepEntry& e, StepTextForm form)
{
    return QString::fromLatin1(form == StepTextForm::Dialog ? e.dialogText : e.creationText);
}

// A key's value when it is valid, otherwise the key's default.
int readValid(const SysSettings& file, const SettingKey& key, bool (*valid)(int))
{
    const int value = file.readInt(key);
    return valid(value) ? value : key.defaultValue;
}

} // namespace

QString QuantityListText(int code)
{
    assert(IsValidQuantityCode(code));
    return QString::fromLatin1(kQuantities[code].listText);
}

QString QuantityLabelText(int code)
{
    assert(IsValidQuantityCode(code));
    return QString::fromLatin1(kQuantities[code].labelText);
}

float QuantityValue(const TestRecordImage& record, int code)
{
    assert(IsValidQuantityCode(code));
    const auto source = kQuantities[code].source;
    return source ? (record.*source).get() : 0.0f;
}

int SamplingIntervalMs(int samplingStep)
{
    assert(IsValidSamplingStep(samplingStep));
    return kSamplingSteps[samplingStep].intervalMs;
}

int SaveIntervalMs(int saveStep)
{
    assert(IsValidSaveStep(saveStep));
    return kSaveSteps[saveStep].intervalMs;
}

QString SamplingStepText(int samplingStep, StepTextForm form)
{
    assert(IsValidSamplingStep(samplingStep));
    return stepText(kSamplingSteps[samplingStep], form);
}

QString SaveStepText(int saveStep, StepTextForm form)
{
    assert(IsValidSaveStep(saveStep));
    return stepText(kSaveSteps[saveStep], form);
}

QString SamplingStepListText(int listIndex)
{
    assert(listIndex >= 0 && listIndex < kSamplingStepListCount);
    return QString::fromLatin1(kSamplingListTexts[listIndex]);
}

QString SaveStepListText(int listIndex)
{
    assert(IsValidSaveStep(listIndex));
    return QString::fromLatin1(kSaveListTexts[listIndex]);
}

bool RecordSettings::recordsTemperature() const
{
    for (int32_t code : channelCodes)
        if (IsTemperatureCode(code)) return true;
    return false;
}

RecordSettings LoadRecordSettings(const SysSettings& file)
{
    RecordSettings s;
    auto validCode = [](int v) { return IsValidQuantityCode(v); };
    for (int ch = 0; ch < kRecordChannelCount; ++ch)
        s.channelCodes[size_t(ch)] = readValid(file, SysSetKeys::RecordChannel[ch], validCode);
    s.samplingStep = readValid(file, SysSetKeys::SamplingStep, [](int v) { return IsValidSamplingStep(v); });
    s.saveStep = readValid(file, SysSetKeys::SaveStep, [](int v) { return IsValidSaveStep(v); });
    return s;
}

RecordSettings ApplyRecordSettingsSelection(const RecordSettings& current, const RecordSettingsSelection& selection)
{
    RecordSettings next = current;
    for (size_t ch = 0; ch < next.channelCodes.size(); ++ch)
        if (IsValidQuantityCode(selection.channels[ch])) next.channelCodes[ch] = selection.channels[ch];
    if (IsValidSamplingStep(selection.samplingStep)) next.samplingStep = selection.samplingStep;
    if (IsValidSaveStep(selection.saveStep)) next.saveStep = selection.saveStep;
    return next;
}

bool StoreRecordSettings(SysSettings& file, const RecordSettings& settings, int temperatureInterface, QString* error)
{
    for (int ch = 0; ch < kRecordChannelCount; ++ch)
        if (!file.writeInt(SysSetKeys::RecordChannel[ch], settings.channelCodes[size_t(ch)], error)) return false;
    return file.writeInt(SysSetKeys::SamplingStep, settings.samplingStep, error)
           && file.writeInt(SysSetKeys::SaveStep, settings.saveStep, error)
           && file.writeInt(SysSetKeys::TemperatureInterface, temperatureInterface, error);
}

QString TemperatureInputMessage()
{
    return QStringLiteral("You choose the temperature input, \n\n"
                          "Make sure your computer is connected to VELQUOR production OXV series "
                          "multi-channel temperature instrumentation!");
}
