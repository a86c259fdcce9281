#include "reports/report_texts.h"

#include "acquisition/acquisition_state.h"
#include "display/number_format.h"

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
    {" Voltage: ", " Voltage:", " V", " V", 2, 2, &TestRecordImage::Urms, 1},
    {" Peak Voltage: ", " Peak Voltage:", " V", " V", 2, 2, &TestRecordImage::Upeak, 1},
    {" Frequency: ", " Frequency:", " Hz", " Hz", 2, 2, &TestRecordImage::Frequency, 1},
    {" Current: ", " Current:", " A", " A", 3, 3, &TestRecordImage::Irms, 1},
    {" Peak Current: ", " Peak Current:", " A", " A", 3, 3, &TestRecordImage::Ipeak, 1},
    {" Current Phase: ", " Current Phase:", " deg", " deg", 2, 2, &TestRecordImage::Iphase, 1},
    {" Power: ", " Power:", " W", " W", 2, 2, &TestRecordImage::ActivePower, 1},
    {" Power Factor: ", " Power Factor:", "", "", 3, 3, &TestRecordImage::PowerFactor, 1},
    {" Apparent Power: ", " Apparent Power:", " VA", " VA", 2, 2, &TestRecordImage::ApparentPower, 1},
    {" Reactive Power: ", " Reactive Power:", " VAR", " VAR", 2, 2, &TestRecordImage::ReactivePower, 1},
    {"Voltage Form Factor: ", " Voltage Form Factor:", " ", "", 2, 2, &TestRecordImage::Uff, 1},
    {"Current Form Factor: ", " Current Form Factor:", " ", "", 2, 2, &TestRecordImage::Iff, 1},
    {"Voltage THD: ", " Voltage THD:", " %", " %", 2, 1, &TestRecordImage::Uthd, 100},
    {"Current THD: ", " Current THD:", " %", " %", 2, 1, &TestRecordImage::Ithd, 100},
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
    return QLatin1String(r->previewLabel) + FormatGeneral(RoundDecimals(rowValue(record, *r), r->previewDecimals)) +
           QLatin1String(r->previewUnit);
}

QString PrintedReadoutLabel(int row)
{
    const ReadoutRow* r = rowAt(row);
    return r ? QString::fromLatin1(r->printedLabel) : QString();
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
    return kind == ReportKind::Power ? QStringLiteral("Power Analysis Report") : QStringLiteral("Record Report");
}
