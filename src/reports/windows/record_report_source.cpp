#include "reports/windows/record_report_source.h"

#include "recording/record_window_view.h"
#include "recording/windows/record_window.h"

RecordReportSource RecordReportSourceOf(const RecordWindow& window)
{
    RecordReportSource source;
    source.chartPicture = window.chartPicture();
    source.chartSize = window.chartSize();
    for (int k = 0; k < kTrendChannelCount; ++k) source.channelLabels[size_t(k)] = window.channelLabel(k);
    source.samplingStep = window.statusText(RecordWindowView::StepPanel);
    source.start = window.statusText(RecordWindowView::StartPanel);
    source.end = window.statusText(RecordWindowView::EndPanel);
    source.length = window.statusText(RecordWindowView::LengthPanel);
    source.trend = window.trendInput();
    return source;
}
