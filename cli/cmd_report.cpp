// report: the printed page of the power report of a test file, or of the
// record report of a record file, as a PDF file. The page is drawn by the
// report window's own renderers; the footer comes from EnterInfo.ini, with
// --info for single entries.

#include "cli_common.h"
#include "commands.h"
#include "link_options.h"
#include "record_file_source.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/ini_file.h"
#include "acquisition/test_file.h"
#include "display/trend_chart.h"
#include "reports/record_report.h"
#include "reports/report_info.h"
#include "reports/report_output.h"

#include <QLocale>

namespace {

// The record report shows the record as the record window does just after
// opening it: the newest sample at the left, one sample per pixel column of
// a chart of the window's usual size.
const QSize kRecordChartSize(900, 480);

// One --info KEY=VALUE into info; false for an unknown key or unit.
bool ApplyInfo(const QString& assignment, ReportInfo* info, QString* error)
{
    const int equals = assignment.indexOf(u'=');
    if (equals <= 0) {
        *error = QStringLiteral("--info wants KEY=VALUE, not '%1'").arg(assignment);
        return false;
    }
    const QString key = assignment.left(equals).trimmed().toLower();
    const QString value = assignment.mid(equals + 1);
    if (key == QStringLiteral("project") || key == QStringLiteral("projectname")) {
        info->projectName = value;
    } else if (key == QStringLiteral("company") || key == QStringLiteral("organization")) {
        info->company = value;
    } else if (key == QStringLiteral("tester") || key == QStringLiteral("conner")) {
        info->tester = value;
    } else if (key == QStringLiteral("date")) {
        info->date = value;
    } else if (key == QStringLiteral("temperature")) {
        info->temperature = value;
    } else if (key == QStringLiteral("units")) {
        const QString unit = value.trimmed().toLower();
        if (unit == QStringLiteral("c") || unit == QStringLiteral("1") || unit == QStringLiteral("celsius")) {
            info->celsius = true;
        } else if (unit == QStringLiteral("f") || unit == QStringLiteral("0") || unit == QStringLiteral("fahrenheit")) {
            info->celsius = false;
        } else {
            *error = QStringLiteral("--info units= wants C or F, not '%1'").arg(value);
            return false;
        }
    } else {
        *error = QStringLiteral("--info knows project, company, tester, date, temperature and units, not '%1'")
                     .arg(assignment.left(equals));
        return false;
    }
    return true;
}

bool WritePowerReport(const QString& path, const QString& target, const ReportInfo& info)
{
    TestRecordImage record{};
    QString error;
    if (!LoadTestFile(path, record, &error)) {
        PrintError(error);
        return false;
    }
    ReportContent content;
    content.kind = ReportKind::Power;
    content.record = &record;
    content.info = info;
    if (!WriteReportPdf(target, DefaultReportPageLayout(ReportKind::Power), content, &error)) {
        PrintError(QStringLiteral("cannot write %1: %2").arg(target, error));
        return false;
    }
    return true;
}

bool WriteRecordReport(const QString& path, const QString& target, const ReportInfo& info)
{
    OpenedRecordFile opened;
    QString error;
    if (!OpenRecordFileForReading(path, &opened, &error)) {
        PrintError(error);
        return false;
    }
    if (!opened.damage.isEmpty()) PrintError(opened.damage);
    const ViewedRecord& record = *opened.record;

    RecordReportSource source;
    source.chartSize = kRecordChartSize;
    const std::array<QString, kRecordChannelCount> labels = opened.channelLabels();
    std::copy(labels.begin(), labels.end(), source.channelLabels.begin());
    TrendChartInput& trend = source.trend;
    trend.picSize = kRecordChartSize;
    trend.screenSize = kRecordChartSize;
    trend.viewMode = ViewMode::Inspection;
    trend.recordDataReady = true;
    trend.newestIndex = record.lastIndex;
    for (int k = 0; k < kTrendChannelCount; ++k) trend.values[size_t(k)] = record.data.channel(k);
    trend.times = record.data.times();
    const int points = TrendPointCount(trend.newestIndex, trend.start, trend.zoom, kRecordChartSize.width());
    const TrendStatusTexts texts =
        TrendStatus(trend.newestIndex, trend.start, trend.zoom, points, trend.times, trend.locale);
    source.samplingStep = texts.samplingStep;
    source.start = texts.start;
    source.end = texts.end;
    source.length = texts.length;

    ReportContent content;
    content.kind = ReportKind::Record;
    content.recordSource = &source;
    content.info = info;
    if (!WriteReportPdf(target, DefaultReportPageLayout(ReportKind::Record), content, &error)) {
        PrintError(QStringLiteral("cannot write %1: %2").arg(target, error));
        return false;
    }
    return true;
}

} // namespace

CommandDescription ReportDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("report");
    about.synopsis = QStringLiteral("FILE.vqm | FILE.vqr --pdf OUT [--info KEY=VALUE ...]");
    about.summary = QStringLiteral("write the report of a test or a record file as PDF");
    about.description = QStringLiteral(
        "Writes the printed page of a report into a PDF file, as the report window's \"Save as PDF\" does: the "
        "Power Analysis Report of a test file (A4 portrait), or the Record Report of a record file (A4 "
        "landscape) showing its newest samples as the record window does after opening it.\n\n"
        "The footer (project, testing organisation, tester, date, temperature) comes from EnterInfo.ini beside "
        "the desktop program's SysSet.ini; --info sets single entries for this report: project, company, "
        "tester, date, temperature and units (C or F). The PDF file appears only when it is complete.");
    about.positionals = {{QStringLiteral("FILE"), QStringLiteral("a test file (.vqm) or a record file (.vqr)")}};
    about.options = {
        QCommandLineOption(QStringLiteral("pdf"), QStringLiteral("the PDF file to write"), QStringLiteral("OUT")),
        QCommandLineOption(QStringLiteral("info"),
                           QStringLiteral("a footer entry for this report; may be given several times"),
                           QStringLiteral("KEY=VALUE")),
        SettingsOption(),
    };
    about.examples = {
        QStringLiteral("qzr6100-cli report test.vqm --pdf test.pdf --info project=\"Pump 3\" --info tester=Li"),
        QStringLiteral("qzr6100-cli report night.vqr --pdf night.pdf"),
    };
    return about;
}

int RunReport(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    int status = kExitOk;
    if (!ParseCommandLine(parser, about, arguments, &status)) return status;
    const QStringList files = parser.positionalArguments().mid(1);
    if (files.size() != 1) return UsageError(about, QStringLiteral("name one test file or record file"));
    const QString target = parser.value(QStringLiteral("pdf"));
    if (target.isEmpty()) return UsageError(about, QStringLiteral("--pdf names the PDF file to write"));

    ReportInfo info = LoadReportInfo(IniFile(EnterInfoPathBeside(SettingsPathOption(parser))));
    QString error;
    for (const QString& assignment : parser.values(QStringLiteral("info"))) {
        if (!ApplyInfo(assignment, &info, &error)) return UsageError(about, error);
    }

    const QString path = files.first();
    bool written = false;
    if (path.endsWith(QStringLiteral(".vqm"), Qt::CaseInsensitive))
        written = WritePowerReport(path, target, info);
    else if (path.endsWith(QStringLiteral(".vqr"), Qt::CaseInsensitive))
        written = WriteRecordReport(path, target, info);
    else
        return UsageError(about, QStringLiteral("%1 is neither a test file (.vqm) nor a record file (.vqr)").arg(path));
    if (!written) return kExitFailure;
    PrintOut(QStringLiteral("report written to %1\n").arg(target));
    return kExitOk;
}
