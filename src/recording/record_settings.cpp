#include "recording/record_settings.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/sys_settings.h"

#include <QCoreApplication>

#include <cassert>

namespace {

struct QuantityEntry {
    const char* listText;
    const char* labelText;
    le::F32 TestRecordImage::*source;  // null: not measured, always 0
};

const QuantityEntry kQuantities[kQuantityCodeCount] = {
    {QT_TRANSLATE_NOOP("RecordSettings", " Voltage"), "Voltage", &TestRecordImage::Urms},
    {QT_TRANSLATE_NOOP("RecordSettings", " Current"), "Current", &TestRecordImage::Irms},
    {QT_TRANSLATE_NOOP("RecordSettings", " Power"), "Power", &TestRecordImage::ActivePower},
    {QT_TRANSLATE_NOOP("RecordSettings", " Apparent power"), "Apparent power", &TestRecordImage::ApparentPower},
    {QT_TRANSLATE_NOOP("RecordSettings", " Reactive power"), "Reactive power", &TestRecordImage::ReactivePower},
    {QT_TRANSLATE_NOOP("RecordSettings", " Current phase"), "Current phase", &TestRecordImage::Iphase},
    {QT_TRANSLATE_NOOP("RecordSettings", " Frequency"), "Frequency", &TestRecordImage::Frequency},
    {QT_TRANSLATE_NOOP("RecordSettings", " Power Factor"), "Power Factor", &TestRecordImage::PowerFactor},
    {QT_TRANSLATE_NOOP("RecordSettings", " UTHD"), "UTHD", &TestRecordImage::Uthd},
    {QT_TRANSLATE_NOOP("RecordSettings", " ITHD"), "ITHD", &TestRecordImage::Ithd},
    {QT_TRANSLATE_NOOP("RecordSettings", " Temperature 1"), "Temperature 1", nullptr},
    {QT_TRANSLATE_NOOP("RecordSettings", " Temperature 2"), "Temperature 2", nullptr},
    {QT_TRANSLATE_NOOP("RecordSettings", " Temperature 3"), "Temperature 3", nullptr},
};

struct StepEntry {
    int intervalMs;
    const char* dialogText;
    const char* creationText;
};

const StepEntry kSamplingSteps[kSamplingStepCount] = {
    {1000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 1S"), QT_TRANSLATE_NOOP("RecordSettings", "Step: 1S")},
    {2000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 2S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  2S")},
    {3000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 3S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  3S")},
    {4000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 4S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  4S")},
    {5000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 5S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  5S")},
    {6000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 6S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  6S")},
    {7000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 7S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  7S")},
    {8000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 8S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  8S")},
    {9000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 9S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  9S")},
    {10000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 10S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  10S")},
    {15000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 15S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  15S")},
    {30000, QT_TRANSLATE_NOOP("RecordSettings", "Step: 30S"), QT_TRANSLATE_NOOP("RecordSettings", "Step:  30S")},
};

const StepEntry kSaveSteps[kSaveStepCount] = {
    {10000, QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:10S"), QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:  10S")},
    {15000, QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:15S"), QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:  15S")},
    {20000, QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:20S"), QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:  20S")},
    {25000, QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:25S"), QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:  25S")},
    {30000, QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:30S"), QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:  30S")},
    {60000, QT_TRANSLATE_NOOP("RecordSettings", "SaveSetp:60S"), QT_TRANSLATE_NOOP("RecordSettings", "Save Setp:  60S")},
};

const char* const kSamplingListTexts[kSamplingStepListCount] = {"1 S", "2 S", "3 S", "4 S",  "5 S", "6 S",
                                                                 "7 S", "8 S", "9 S", "10 S", "15 S"};
const char* const kSaveListTexts[kSaveStepCount] = {"10 S", "15 S", "20 S", "25 S", "30 S", "60 S"};

QString stepText(const StepEntry& e, StepTextForm form)
{
    return QCoreApplication::translate("RecordSettings", form == StepTextForm::Dialog ? e.dialogText : e.creationText);
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
    return QCoreApplication::translate("RecordSettings", kQuantities[code].listText);
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
    return QCoreApplication::translate("RecordSettings", "You choose the temperature input, \n\n"
                          "Make sure your computer is connected to VELQUOR production OXV series "
                          "multi-channel temperature instrumentation!");
}
