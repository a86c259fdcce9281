#include "reports/report_texts.h"

#include "acquisition/acquisition_state.h"
#include "display/number_format.h"

#include <QCoreApplication>

namespace {

struct ReadoutRow {
    const char* previewLabel;
    const char* printedLabel;
    const char* previewUnit;
    const char* printedUnit;
    int decimals;          // print; the preview's too except for THD
    int previewDecimals;
    le::F32 TestRecordImage::*field;
    double factor;         // THD is stored as a fraction and shown in percent
};

// In the order the reports list them.
const ReadoutRow kRows[kReportReadoutRows] = {
    {QT_TRANSLATE_NOOP("ReportTexts", " Voltage: "), QT_TRANSLATE_NOOP("ReportTexts", " Voltage:"), " V", " V", 2, 2, &TestRecordImage::Urms, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", " Peak Voltage: "), QT_TRANSLATE_NOOP("ReportTexts", " Peak Voltage:"), " V", " V", 2, 2, &TestRecordImage::Upeak, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", " Frequency: "), QT_TRANSLATE_NOOP("ReportTexts", " Frequency:"), " Hz", " Hz", 2, 2, &TestRecordImage::Frequency, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", " Current: "), QT_TRANSLATE_NOOP("ReportTexts", " Current:"), " A", " A", 3, 3, &TestRecordImage::Irms, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", " Peak Current: "), QT_TRANSLATE_NOOP("ReportTexts", " Peak Current:"), " A", " A", 3, 3, &TestRecordImage::Ipeak, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", " Current Phase: "), QT_TRANSLATE_NOOP("ReportTexts", " Current Phase:"), " deg", " deg", 2, 2, &TestRecordImage::Iphase, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", " Power: "), QT_TRANSLATE_NOOP("ReportTexts", " Power:"), " W", " W", 2, 2, &TestRecordImage::ActivePower, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", " Power Factor: "), QT_TRANSLATE_NOOP("ReportTexts", " Power Factor:"), "", "", 3, 3, &TestRecordImage::PowerFactor, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", " Apparent Power: "), QT_TRANSLATE_NOOP("ReportTexts", " Apparent Power:"), " VA", " VA", 2, 2, &TestRecordImage::ApparentPower, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", " Reactive Power: "), QT_TRANSLATE_NOOP("ReportTexts", " Reactive Power:"), " VAR", " VAR", 2, 2, &TestRecordImage::ReactivePower, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", "Voltage Form Factor: "), QT_TRANSLATE_NOOP("ReportTexts", " Voltage Form Factor:"), " ", "", 2, 2, &TestRecordImage::Uff, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", "Current Form Factor: "), QT_TRANSLATE_NOOP("ReportTexts", " Current Form Factor:"), " ", "", 2, 2, &TestRecordImage::Iff, 1},
    {QT_TRANSLATE_NOOP("ReportTexts", "Voltage THD: "), QT_TRANSLATE_NOOP("ReportTexts", " Voltage THD:"), " %", " %", 2, 1, &TestRecordImage::Uthd, 100},
    {QT_TRANSLATE_NOOP("ReportTexts", "Current THD: "), QT_TRANSLATE_NOOP("ReportTexts", " Current THD:"), " %", " %", 2, 1, &TestRecordImage::Ithd, 100},
};

const ReadoutRow* rowAt(int row) { return row >= 0 && row < kReportReadoutRows ? &kRows[row] : nullptr; }

double rowValue(const TestRecordImage& record, const ReadoutRow& r)
{
    return double((record.*r.field).get()) * r.factor;
}

QString withPointSuffix(QString text, const char* suffix)
{
    if (!text.contains(QLatin1Char('.'))) text += QLatin1String(suffix);
    return text;
}

} // namespace

QString PreviewReadoutText(const TestRecordImage& record, int row)
{
    const ReadoutRow* r = rowAt(row);
    if (!r) return QString();
    return QCoreApplication::translate("ReportTexts", r->previewLabel) + FormatGeneral(RoundDecimals(rowValue(record, *r), r->previewDecimals)) +
           QLatin1String(r->previewUnit);
}

QString PrintedReadoutLabel(int row)
{
    const ReadoutRow* r = rowAt(row);
    return r ? QCoreApplication::translate("ReportTexts", r->printedLabel) : QString();
}

QString PrintedReadoutValue(const TestRecordImage& record, int row)
{
    const ReadoutRow* r = rowAt(row);
    if (!r) return QString();
    return FormatGeneral(RoundDecimals(rowValue(record, *r), r->decimals)) + QLatin1String(r->printedUnit);
}

QString ReportHarmonicRms(double amplitude)
{
    return withPointSuffix(FormatGeneral(RoundDecimals(amplitude / 1.414, 2)), ".00");
}

QString ReportHarmonicPercent(double amplitude, double fundamental)
{
    const double share = fundamental != 0.0 ? RoundDecimals(amplitude / fundamental * 100.0, 2) : 0.0;
    return withPointSuffix(FormatGeneral(share), ".0") + QLatin1Char('%');
}

QString ReportJobTitle(ReportKind kind, const QString& projectName)
{
    return kind == ReportKind::Power ? projectName + QStringLiteral("TestReport") : QStringLiteral("RecordReport");
}

QString ReportTitle(ReportKind kind)
{
    return kind == ReportKind::Power ? QCoreApplication::translate("ReportTexts", "Power Analysis Report")
                                     : QCoreApplication::translate("ReportTexts", "Record Report");
}
