#include "display/readout_panels.h"

#include "display/number_format.h"

#include <QtGlobal>

#include <cmath>

namespace {

constexpr ReadoutPanelInfo kPanels[kReadoutPanelCount] = {
    {"Panel_URMS", "Label1", QT_TRANSLATE_NOOP("ReadoutPanels", "Voltage "), 0, 0},
    {"Panel_IRMS", "Label2", QT_TRANSLATE_NOOP("ReadoutPanels", "Current "), 1, 0},
    {"Panel_UPP", "Label6", QT_TRANSLATE_NOOP("ReadoutPanels", " Upeak"), 0, 1},
    {"Panel_IPP", "Label7", QT_TRANSLATE_NOOP("ReadoutPanels", " Ipeak "), 1, 1},
    {"Panel_UF", "Label11", QT_TRANSLATE_NOOP("ReadoutPanels", "Frequency"), 0, 2},
    {"Panel_IPA", "Label12", QT_TRANSLATE_NOOP("ReadoutPanels", "Iphase"), 1, 2},
    {"Panel_WRMS", "Label3", QT_TRANSLATE_NOOP("ReadoutPanels", "Power "), 2, 0},
    {"Panel_PS", "Label8", QT_TRANSLATE_NOOP("ReadoutPanels", "     S"), 2, 1},
    {"Panel_PQ", "Label13", QT_TRANSLATE_NOOP("ReadoutPanels", "     Q"), 2, 2},
    {"Panel_PF", "Label4", QT_TRANSLATE_NOOP("ReadoutPanels", "PF"), 3, 0},
    {"Panel_VTHD", "Label9", QT_TRANSLATE_NOOP("ReadoutPanels", "UTHD"), 3, 1},
    {"Panel_ITHD", "Label14", QT_TRANSLATE_NOOP("ReadoutPanels", " ITHD"), 3, 2},
    {"PANEL_IKF", "Label5", QT_TRANSLATE_NOOP("ReadoutPanels", "IFF"), 4, 0},
    {"Panel_VKF", "Label10", QT_TRANSLATE_NOOP("ReadoutPanels", " UFF"), 4, 1},
    {"Panel_KWH", "Label15", QT_TRANSLATE_NOOP("ReadoutPanels", " KWH"), 4, 2},
};

struct ReadoutRule {
    le::F32 TestRecordImage::*field;
    int decimals;
    const char* suffixWhenNoPoint;
    bool cutToSix;
    const char* unit;
};

// Indexed by ReadoutPanel. The two THD readouts have their own rule.
const ReadoutRule kRules[kReadoutPanelCount] = {
    {&TestRecordImage::Urms, 3, ".0", true, "V"},
    {&TestRecordImage::Irms, 4, ".0", true, "A"},
    {&TestRecordImage::Upeak, 2, ".0", true, "V"},
    {&TestRecordImage::Ipeak, 3, ".0", true, ""},
    {&TestRecordImage::Frequency, 3, ".00", false, "Hz"},
    {&TestRecordImage::Iphase, 2, ".0", true, ""},
    {&TestRecordImage::ActivePower, 4, ".0", true, "W"},
    {&TestRecordImage::ApparentPower, 2, ".0", true, ""},
    {&TestRecordImage::ReactivePower, 2, ".0", true, ""},
    {&TestRecordImage::PowerFactor, 3, ".0", true, ""},
    {&TestRecordImage::Uthd, 0, "", false, ""},
    {&TestRecordImage::Ithd, 0, "", false, ""},
    {&TestRecordImage::Iff, 3, ".0", false, ""},
    {&TestRecordImage::Uff, 3, ".0", false, ""},
    {&TestRecordImage::Kwh, 3, ".0", false, ""},
};

} // namespace

const ReadoutPanelInfo& ReadoutInfo(ReadoutPanel panel) { return kPanels[int(panel)]; }

std::array<QString, kReadoutPanelCount> FormatReadouts(TestRecordImage& record)
{
    if (std::isnan(record.ReactivePower.get())) record.ReactivePower.set(0.0f);

    std::array<QString, kReadoutPanelCount> texts;
    for (int i = 0; i < kReadoutPanelCount; ++i) {
        const ReadoutRule& rule = kRules[i];
        const double value = (record.*rule.field).get();
        const auto panel = ReadoutPanel(i);
        if (panel == ReadoutPanel::Panel_VTHD || panel == ReadoutPanel::Panel_ITHD) {
            texts[size_t(i)] = FormatThdPercent(value);
        } else {
            texts[size_t(i)] = FormatReadoutValue(value, rule.decimals, rule.suffixWhenNoPoint, rule.cutToSix,
                                                  QLatin1String(rule.unit));
        }
    }
    return texts;
}
