// Opening a record file in the record window: the file is read into the
// viewer's record, the window's texts are made from it, the trend chart is
// drawn over it as a user would look at it (newest samples, zoomed out,
// both signs), the cursor reads points out, and the record is exported as
// CSV. A record file is any number of 32016-byte blocks whose counts, codes,
// steps, values and times may hold anything.

#include "fuzz_support.h"

#include "display/number_format.h"
#include "display/trend_chart.h"
#include "recording/ole_date.h"
#include "recording/record_export.h"
#include "recording/record_reader.h"
#include "recording/view_state.h"

#include <atomic>

namespace {

constexpr int kChartWidth = 320;
const QSize kPic(kChartWidth, 160);

struct Viewer {
    ViewedRecord record;  // 450000 slots, allocated once as the window does
    QImage trend{kPic, QImage::Format_RGB32};
    QImage scale{QSize(kTrendScaleStripWidth, kPic.height()), QImage::Format_RGB32};
};

void Draw(Viewer& viewer, const TrendViewState& view)
{
    TrendChartInput in;
    in.picSize = kPic;
    in.screenSize = kPic;
    in.viewMode = ViewMode::Inspection;
    in.recordDataReady = true;
    in.newestIndex = viewer.record.lastIndex;
    for (int k = 0; k < kTrendChannelCount; ++k) in.values[size_t(k)] = viewer.record.data.channel(k);
    in.times = viewer.record.data.times();
    in.zoom = view.zoomInView();
    in.start = view.startInView();
    in.range = TrendRange(view.rangeMode);
    in.visible = view.visible;
    in.scale = view.scale;
    in.locale = QLocale::c();
    const TrendChartResult result = DrawTrendChart(viewer.trend, viewer.scale, in);
    FUZZ_CHECK(result.status.has_value());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzStartQt("fuzz_record_file");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Viewer* viewer = new Viewer;
    ViewedRecord& record = viewer->record;
    const QString path = FuzzWriteFile("input.vqr", data, size);
    const RecordOpenResult opened = OpenRecordFile(path, record);
    if (!opened.loaded) {
        FUZZ_CHECK(!opened.message.isEmpty());
        return 0;
    }
    FUZZ_CHECK(record.lastIndex >= -1 && record.lastIndex < kRecordCapacity);
    FUZZ_CHECK(qint64(record.length()) * 32 <= qint64(size));

    const OpenedRecordTexts texts = DescribeOpenedRecord(record, QLocale::c());
    FUZZ_CHECK(texts.length == QStringLiteral("Length:") + QString::number(record.length()));

    // Opened, zoomed out as far as the chart allows, then shown in both signs.
    TrendViewState view;
    const RecordExtent extent{0, record.lastIndex};
    ShowOpenedRecord(view, extent);
    Draw(*viewer, view);
    for (int step = 0; step < 3; ++step) ZoomOut(view, extent, kChartWidth);
    CycleRangeMode(view);
    ScaleChannelUp(view, 0);
    Draw(*viewer, view);

    // The cursor over a few columns of the chart.
    for (const int x : {0, 1, kChartWidth / 2, kChartWidth - 1}) {
        const std::optional<int32_t> index = CursorSampleIndex(view, extent, x);
        if (!index) continue;
        FUZZ_CHECK(*index >= 0 && *index <= record.lastIndex);
        const double stamp = record.data.times()[*index];
        FormatRecordDate(stamp, QLocale::c());
        FormatRecordTimeOfDay(stamp, QLocale::c());
        for (int k = 0; k < kRecordChannelCount; ++k) FormatGeneral(RoundDecimals(record.data.channel(k)[*index], 3));
    }

    // The export of what is in view, as the CSV file.
    ExportSource source;
    for (int k = 0; k < kExportChannelCount; ++k) source.channels[size_t(k)] = record.data.channel(k);
    source.times = record.data.times();
    source.count = record.length();
    std::array<QString, kExportChannelCount> labels;
    for (int k = 0; k < kExportChannelCount; ++k) labels[size_t(k)] = texts.labels[size_t(k)].value_or(QString());
    source.headers = ExportHeaders(labels);
    std::atomic<bool> cancel{false};
    QString error;
    const ExportOutcome outcome = ExportCsv(source, QStringLiteral("/dev/null"), {}, cancel, &error);
    FUZZ_CHECK(outcome == ExportOutcome::Done);
    return 0;
}
