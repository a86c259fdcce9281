// Time of one trend chart drawing (chart, scale strip, status texts) on a
// 1920-pixel-wide chart of a full record: six channels of 450000 samples that
// change at every sample, one channel partly out of range so that triangles
// are drawn too. Zoom 1 and zoom 200, each with the view at the newest sample
// and scrolled back into the record.
//
// Usage: bench_trend_chart [iterations]   (default 300). Runs without a
// display: the offscreen platform is used unless QT_QPA_PLATFORM is set.

#include "display/trend_chart.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kSamples = 450000;
const QSize kScreen(1920, 1080);
const QSize kChart(1920, 700);

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = size_t(std::lround(p * double(values.size() - 1)));
    return values[index];
}

struct Record {
    std::vector<std::vector<float>> values;
    std::vector<double> times;
};

// Voltage, current, power, frequency, power factor and THD-like signals:
// slow drifts plus noise, so every pixel column has a different height.
std::unique_ptr<Record> MakeRecord()
{
    auto record = std::make_unique<Record>();
    std::mt19937 random(6100);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    const float base[kTrendChannelCount] = {230, 5, 1100, 50, 0.9f, 4};
    const float swing[kTrendChannelCount] = {8, 2, 600, 0.05f, 0.05f, 3};
    const float jitter[kTrendChannelCount] = {1.5f, 0.3f, 40, 0.01f, 0.01f, 0.5f};
    record->values.assign(kTrendChannelCount, std::vector<float>(kSamples));
    for (int k = 0; k < kTrendChannelCount; ++k) {
        for (int i = 0; i < kSamples; ++i) {
            const float slow = std::sin(float(i) * 0.0007f * float(k + 1));
            record->values[size_t(k)][size_t(i)] = base[k] + swing[k] * slow + jitter[k] * noise(random);
        }
    }
    record->times.resize(kSamples);
    const double firstDay = 45000.25;  // a morning in 2023
    for (int i = 0; i < kSamples; ++i) record->times[size_t(i)] = firstDay + i / 86400.0;
    return record;
}

void Measure(const char* title, TrendChartInput input, QImage& trend, QImage& strip, int iterations)
{
    for (int n = 0; n < 10; ++n) DrawTrendChart(trend, strip, input);  // warm caches and glyphs
    std::vector<double> ms;
    QElapsedTimer timer;
    const int baseStart = input.start;
    for (int n = 0; n < iterations; ++n) {
        input.start = baseStart + n % 7;  // as a live record moves on
        input.gridPhase = n % 20;
        timer.start();
        const TrendChartResult result = DrawTrendChart(trend, strip, input);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (input.recordDataReady && !result.status) std::abort();
    }
    std::printf("  %-34s median %.3f ms   p90 %.3f ms   max %.3f ms\n", title, Percentile(ms, 0.5),
                Percentile(ms, 0.9), Percentile(ms, 1.0));
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;

    const auto record = MakeRecord();
    QImage trend(kTrendSurfaceWidth, kTrendSurfaceHeight, QImage::Format_RGB32);
    QImage strip(kTrendSurfaceWidth, kTrendSurfaceHeight, QImage::Format_RGB32);

    TrendChartInput input;
    input.picSize = kChart;
    input.screenSize = kScreen;
    input.recordDataReady = true;
    input.newestIndex = kSamples - 1;
    for (int k = 0; k < kTrendChannelCount; ++k) input.values[size_t(k)] = record->values[size_t(k)].data();
    input.times = record->times.data();
    // Voltage 0.5, current 25, power 0.25 (leaves the top now and then),
    // frequency 5, power factor 250, THD 25.
    input.scale = {0.5f, 25, 0.25f, 5, 250, 25};

    std::printf("DrawTrendChart, chart %dx%d, screen %dx%d, %d samples x %d channels, %d calls each\n",
                kChart.width(), kChart.height(), kScreen.width(), kScreen.height(), kSamples, kTrendChannelCount,
                iterations);
    for (const int zoom : {1, 200}) {
        for (const bool back : {false, true}) {
            input.zoom = zoom;
            input.start = back ? kSamples / 3 : 0;
            for (const ViewMode mode : {ViewMode::Recording, ViewMode::Inspection}) {
                input.viewMode = mode;
                char title[96];
                std::snprintf(title, sizeof title, "zoom %d, start %d, %s", zoom, input.start,
                              mode == ViewMode::Recording ? "Recording" : "Inspection");
                Measure(title, input, trend, strip, iterations);
            }
        }
    }
    input.zoom = 1;
    input.start = 0;
    input.range = TrendRange::PlusMinus;
    Measure("zoom 1, range P and N", input, trend, strip, iterations);
    input.recordDataReady = false;
    Measure("no record data (grid and labels)", input, trend, strip, iterations);
    return 0;
}
