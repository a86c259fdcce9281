// report: the printed page of the power report of a test file, or of the
// record report of a record file, as a PDF file. The page is drawn by the
// report window's own renderers; the footer comes from EnterInfo.ini, with
// --info for single entries.

#include "cli_common.h"
#include "commands.h"
#include "common_options.h"
#include "data_output.h"
#include "link_options.h"
#include "record_file_source.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/ini_file.h"
#include "acquisition/test_file.h"
#include "display/trend_chart.h"
#include "recording/ole_date.h"
#include "recording/view_state.h"
#include "reports/report_frame.h"
#include "reports/record_report.h"
#include "reports/report_info.h"
#include "reports/report_output.h"

#include <QLocale>
#include <QPageSize>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

namespace {

// The chart's proportions on the preview (the record window's usual chart);
// the page draws its own chart.
const QSize kRecordChartSize(900, 480);

// What the command line asks of the record report's chart, as the record
// window's controls would set it.
struct RecordView {
    QString from, to;  // sample numbers from 1, or times; empty: the record's ends
    TrendRange range = TrendRange::Positive;
    std::array<float, kTrendChannelCount> scale{1, 1, 1, 1, 1, 1};
};

// Points the printed chart draws across the page of this layout.
int PagePointCount(const QPageLayout& layout)
{
    const QRect full = layout.fullRectPixels(kReportDotsPerInch);
    return RecordReportPagePoints(ReportPageOf(full.width(), full.height(), kReportDotsPerInch));
}

// A sample of the record by --from/--to: its number (1 = the first), or a
// time — "2026-12-09T10:30[:00]" or a time of day "10:30[:00]" on the day of
// the first sample (the next day when earlier than it). `first` picks the
// first sample at or after the time, otherwise the last at or before it.
std::optional<int> SampleIndex(const QString& text, const ViewedRecord& record, bool first, QString* error)
{
    const int length = record.length();
    bool isNumber = false;
    const qint64 number = text.trimmed().toLongLong(&isNumber);
    if (isNumber) {
        if (number < 1 || number > length) {
            *error = QStringLiteral("sample %1 is not in the record (1 to %2)").arg(number).arg(length);
            return std::nullopt;
        }
        return int(number - 1);
    }
    QDateTime when = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    if (!when.isValid()) {
        QTime time = QTime::fromString(text.trimmed(), QStringLiteral("H:mm:ss"));
        if (!time.isValid()) time = QTime::fromString(text.trimmed(), QStringLiteral("H:mm"));
        const QDateTime firstStamp = LocalFromOleDate(record.data.times()[0]);
        if (!time.isValid() || !firstStamp.isValid()) {
            *error = QStringLiteral("'%1' is neither a sample number nor a time such as 10:30 or 2026-12-09T10:30")
                         .arg(text);
            return std::nullopt;
        }
        when = QDateTime(firstStamp.date(), time);
        if (time < firstStamp.time()) when = when.addDays(1);
    }
    // Stamps keep milliseconds; half of one absorbs the rounding of days
    // as a double, so 10:30 finds the sample stamped 10:30:00.000.
    constexpr double kHalfMillisecond = 0.5 / 86400000.0;
    const double wanted = OleDateFromLocal(when);
    const double* times = record.data.times();
    // Sample times grow; a damaged stretch that does not is read as it is.
    const double* end = times + length;
    const double* at = std::lower_bound(times, end, wanted - kHalfMillisecond);
    if (first) {
        if (at == end) {
            *error = QStringLiteral("the record ends before %1").arg(text);
            return std::nullopt;
        }
        return int(at - times);
    }
    const double* after = std::upper_bound(times, end, wanted + kHalfMillisecond);
    if (after == times) {
        *error = QStringLiteral("the record begins after %1").arg(text);
        return std::nullopt;
    }
    return int(after - times) - 1;
}

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

bool WritePowerReport(const QString& path, const QString& target, const ReportInfo& info, const QPageLayout& layout)
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
    if (!WriteReportPdf(target, layout, content, &error)) {
        PrintError(QStringLiteral("cannot write %1: %2").arg(target, error));
        return false;
    }
    return true;
}

bool WriteRecordReport(const QString& path, const QString& target, const ReportInfo& info, const RecordView& view,
                       const QPageLayout& layout, QString* usage)
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
    trend.range = view.range;
    trend.scale = view.scale;

    // The part of the record asked for: the newest sample of it at the
    // chart's left edge (start), and a zoom at which the chart reaches back
    // to its oldest one. The chart draws every zoom-th sample from the left
    // edge, at most a page's width of points.
    int oldest = 0, newest = record.lastIndex;
    if (record.length() > 0) {
        if (!view.from.isEmpty()) {
            const std::optional<int> index = SampleIndex(view.from, record, true, usage);
            if (!index) return false;
            oldest = *index;
        }
        if (!view.to.isEmpty()) {
            const std::optional<int> index = SampleIndex(view.to, record, false, usage);
            if (!index) return false;
            newest = *index;
        }
        if (newest < oldest) {
            *usage = QStringLiteral("--from lies after --to");
            return false;
        }
    }
    const int pagePoints = PagePointCount(layout);
    trend.start = std::max(record.lastIndex - newest, 0);
    const int span = newest - oldest;
    trend.zoom = std::max(1, (span + pagePoints - 1) / pagePoints);

    // The texts under the chart describe the points the page draws.
    const int points = TrendPointCount(trend.newestIndex, trend.start, trend.zoom, pagePoints);
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
    if (!WriteReportPdf(target, layout, content, &error)) {
        PrintError(QStringLiteral("cannot write %1: %2").arg(target, error));
        return false;
    }
    return true;
}

QString ScaleStepList()
{
    QStringList steps;
    for (const float step : ScaleSteps) steps << QString::number(double(step));
    return steps.join(QStringLiteral(", "));
}

// --scale CH=N: channel 1..6 and a factor of the record window's scale steps.
bool ApplyScale(const QString& assignment, RecordView* view, QString* error)
{
    const int equals = assignment.indexOf(u'=');
    const QString channelText = assignment.left(std::max(equals, 0)).trimmed().toUpper();
    const std::optional<int> channel =
        ParseWholeNumber(channelText.startsWith(QStringLiteral("CH")) ? channelText.mid(2) : channelText, 1, 6);
    const std::optional<double> factor = equals > 0 ? ParseNumber(assignment.mid(equals + 1), 0, 1e6) : std::nullopt;
    const bool known = factor && std::any_of(ScaleSteps.begin(), ScaleSteps.end(),
                                             [&](float step) { return std::abs(step - *factor) < 1e-9 * step; });
    if (!channel || !known) {
        *error = QStringLiteral("--scale wants CH=N with a channel 1 to 6 and N one of %1, not '%2'")
                     .arg(ScaleStepList(), assignment);
        return false;
    }
    view->scale[size_t(*channel - 1)] = float(*factor);
    return true;
}

} // namespace

CommandDescription ReportDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("report");
    about.synopsis = QStringLiteral("FILE.vqm | FILE.vqr -o OUT.pdf [--paper a4|letter] [--info KEY=VALUE ...] "
                                   "[--from X] [--to X] [--range R] [--scale CH=N ...] [-q]");
    about.summary = QStringLiteral("write the report of a test or a record file as PDF");
    about.description = QStringLiteral(
        "Writes the printed page of a report into a PDF file, as the report window's \"Save as PDF\" does: the "
        "Power Analysis Report of a test file (portrait), or the Record Report of a record file (landscape). "
        "-o - writes the PDF to standard output.\n\n"
        "The record report shows the whole record: its newest sample at the chart's left edge, as in the record "
        "window, and a zoom (samples per point) at which the chart reaches back to its first sample; the chart "
        "draws every zoom-th sample. --from and --to choose a part instead, each a sample number (1 is the "
        "first) or a time (2026-12-09T10:30 or 10:30, a time of day on the day the record begins); the chart "
        "then reaches at least from one to the other. Under the chart, \"Start:\" and \"End:\" are the times of "
        "the oldest and newest sample drawn and \"Length:\" the number of points drawn, as the record window "
        "shows them. --range chooses the vertical range as the window's range button does: positive (0 to "
        "100 %), both (-100 to 100 %) or negative; --scale CH=N the scale factor of a channel, one of the "
        "window's steps.\n\n"
        "The footer (project, testing organisation, tester, date, temperature) comes from EnterInfo.ini beside "
        "the desktop program's SysSet.ini; --info sets single entries for this report: project, company, "
        "tester, date, temperature and units (C or F). The PDF file appears only when it is complete.");
    about.positionals = {{QStringLiteral("FILE"), QStringLiteral("a test file (.vqm) or a record file (.vqr)")}};
    about.options = {
        OutputOption(QStringLiteral("the PDF file to write, - for standard output"), QStringLiteral("OUT"),
                     {QStringLiteral("pdf")}),
        QCommandLineOption(QStringLiteral("paper"), QStringLiteral("paper size: a4 (default) or letter"),
                           QStringLiteral("SIZE")),
        QCommandLineOption(QStringLiteral("info"),
                           QStringLiteral("a footer entry for this report; may be given several times"),
                           QStringLiteral("KEY=VALUE")),
        QCommandLineOption(QStringLiteral("from"),
                           QStringLiteral("record report: the oldest sample to show, a sample number or a time"),
                           QStringLiteral("X")),
        QCommandLineOption(QStringLiteral("to"),
                           QStringLiteral("record report: the newest sample to show, a sample number or a time"),
                           QStringLiteral("X")),
        QCommandLineOption(QStringLiteral("range"),
                           QStringLiteral("record report: positive (default), both or negative"), QStringLiteral("R")),
        QCommandLineOption(QStringLiteral("scale"),
                           QStringLiteral("record report: scale factor N of channel CH (1 to 6), one of %1; default "
                                          "1; may be given for each channel")
                               .arg(ScaleStepList()),
                           QStringLiteral("CH=N")),
        QuietOption(),
        SettingsOption(),
    };
    about.examples = {
        QStringLiteral("qzr6100-cli report test.vqm -o test.pdf --info project=\"Pump 3\" --info tester=Li"),
        QStringLiteral("qzr6100-cli report night.vqr -o night.pdf --paper letter"),
        QStringLiteral("qzr6100-cli report night.vqr -o - --from 22:00 --to 23:30 --scale 3=0.5 | lp"),
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
    const QString target = OutputPath(parser);
    if (target.isEmpty()) return UsageError(about, QStringLiteral("-o names the PDF file to write (- for standard output)"));

    ReportInfo info = LoadReportInfo(IniFile(EnterInfoPathBeside(SettingsPathOption(parser))));
    QString error;
    for (const QString& assignment : parser.values(QStringLiteral("info"))) {
        if (!ApplyInfo(assignment, &info, &error)) return UsageError(about, error);
    }
    QPageSize paper(QPageSize::A4);
    if (parser.isSet(QStringLiteral("paper"))) {
        const QString name = parser.value(QStringLiteral("paper")).trimmed().toLower();
        if (name == QStringLiteral("letter")) paper = QPageSize(QPageSize::Letter);
        else if (name != QStringLiteral("a4")) return UsageError(about, QStringLiteral("--paper wants a4 or letter"));
    }

    RecordView view;
    view.from = parser.value(QStringLiteral("from"));
    view.to = parser.value(QStringLiteral("to"));
    if (parser.isSet(QStringLiteral("range"))) {
        const QString name = parser.value(QStringLiteral("range")).trimmed().toLower();
        if (name == QStringLiteral("positive")) view.range = TrendRange::Positive;
        else if (name == QStringLiteral("both")) view.range = TrendRange::PlusMinus;
        else if (name == QStringLiteral("negative")) view.range = TrendRange::Negative;
        else return UsageError(about, QStringLiteral("--range wants positive, both or negative"));
    }
    for (const QString& assignment : parser.values(QStringLiteral("scale"))) {
        if (!ApplyScale(assignment, &view, &error)) return UsageError(about, error);
    }

    const QString path = files.first();
    const bool test = path.endsWith(QStringLiteral(".vqm"), Qt::CaseInsensitive);
    const bool record = path.endsWith(QStringLiteral(".vqr"), Qt::CaseInsensitive);
    if (!test && !record)
        return UsageError(about, QStringLiteral("%1 is neither a test file (.vqm) nor a record file (.vqr)").arg(path));
    if (test && (parser.isSet(QStringLiteral("from")) || parser.isSet(QStringLiteral("to")) ||
                 parser.isSet(QStringLiteral("range")) || parser.isSet(QStringLiteral("scale"))))
        return UsageError(about, QStringLiteral("--from, --to, --range and --scale are for a record file"));

    // Standard output gets the PDF once it is complete, by way of a file.
    QTemporaryDir staging;
    const bool toStandardOutput = IsStandardOutput(target);
    if (toStandardOutput && !staging.isValid()) {
        PrintError(QStringLiteral("no temporary folder for the PDF: %1").arg(staging.errorString()));
        return kExitFailure;
    }
    const QString pdf = toStandardOutput ? staging.filePath(QStringLiteral("report.pdf")) : target;
    const ReportKind kind = test ? ReportKind::Power : ReportKind::Record;
    QPageLayout layout = DefaultReportPageLayout(kind);
    layout.setPageSize(paper);

    QString usage;
    const bool written = test ? WritePowerReport(path, pdf, info, layout)
                              : WriteRecordReport(path, pdf, info, view, layout, &usage);
    if (!usage.isEmpty()) return UsageError(about, usage);
    if (!written) return kExitFailure;
    if (toStandardOutput) {
        if (!CopyFileToStandardOutput(pdf, &error)) {
            PrintError(error);
            return kExitFailure;
        }
        return kExitOk;
    }
    if (!IsQuiet(parser)) PrintErr(QStringLiteral("report written to %1\n").arg(target));
    return kExitOk;
}
