// Time of one main-display redraw (readouts, waveform plot, two harmonic
// charts) for a maximised window on a 1920 x 1080 screen, with a record that
// changes between calls as during continuous sampling.
//
// Usage: bench_redraw_main [iterations]   (default 500). Runs without a
// display: the offscreen platform is used unless QT_QPA_PLATFORM is set.

#include "acquisition/acquisition_state.h"
#include "display/harmonic_chart.h"
#include "display/main_display.h"
#include "display/main_layout.h"
#include "display/readout_panels.h"
#include "display/waveform_plot.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

const QSize kScreen(1920, 1080);
const QSize kMaximisedClientPanel(1920, 960);  // between tool bar and status bar

class NullView : public MainDisplayView {
public:
    explicit NullView(QSize size) : size_(size) {}
    QSize plotSize() const override { return size_; }
    void showReadouts(const std::array<QString, kReadoutPanelCount>& texts) override { last_ = texts; }
    void plotsChanged() override {}

private:
    QSize size_;
    std::array<QString, kReadoutPanelCount> last_;
};

// 230 V / 5 A line at 50 Hz with odd harmonics; the ten divisions of the plot
// hold four periods. `phase` moves the waveforms as successive samplings do.
void FillRecord(TestRecordImage& r, double phase)
{
    constexpr double kPi = 3.14159265358979323846;
    for (int k = 0; k < kWaveformSamples; ++k) {
        const double w = 2 * kPi * 4 * k / kWaveformSamples + phase;
        const double u = 1500 * std::sin(w) + 60 * std::sin(3 * w) + 30 * std::sin(5 * w);
        const double i = 900 * std::sin(w - 0.5) + 270 * std::sin(3 * w) + 150 * std::sin(5 * w) +
                         90 * std::sin(7 * w);
        r.VoltageSamples[k].set(uint16_t(2047 + std::lround(u)));
        r.CurrentSamples[k].set(uint16_t(2047 + std::lround(i)));
    }
    const float drift = float(std::sin(phase));
    r.Urms.set(229.87f + drift);
    r.Upeak.set(325.1f + drift);
    r.Frequency.set(49.98f);
    r.Irms.set(5.0123f);
    r.Ipeak.set(7.9f);
    r.Iphase.set(28.65f);
    r.PowerFactor.set(0.8776f);
    r.ActivePower.set(1010.4f + drift);
    r.ApparentPower.set(1151.3f);
    r.ReactivePower.set(551.7f);
    r.Uthd.set(0.0447f);
    r.Ithd.set(0.3512f);
    r.Uff.set(1.11f);
    r.Iff.set(1.18f);
    r.Kwh.set(12.345f);
    for (int n = 0; n < kHarmonicCount; ++n) {
        const bool odd = n % 2 == 1;
        r.VoltageHarmonics[n].set(n == 1 ? 325.0f : odd ? 13.0f / float(n) : 0.05f);
        r.CurrentHarmonics[n].set(n == 1 ? 7.07f : odd ? 2.1f / float(n) : 0.01f);
    }
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = size_t(std::lround(p * double(values.size() - 1)));
    return values[index];
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int iterations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;

    auto state = std::make_unique<AcquisitionState>();
    MainSurfaces surfaces;
    InitAcquisitionState(*state, kScreen, &surfaces);
    const QSize pic = ComputeMainLayout(kMaximisedClientPanel).plotPanel.size();
    NullView view(pic);
    const DisplayColors colors;

    std::vector<std::unique_ptr<TestRecordImage>> records;
    for (int n = 0; n < 16; ++n) {
        auto r = std::make_unique<TestRecordImage>(state->TestRecord);
        FillRecord(*r, 0.1 * n);
        records.push_back(std::move(r));
    }

    for (int n = 0; n < 20; ++n) {  // warm the glyph cache and the allocator
        state->TestRecord = *records[size_t(n) % records.size()];
        RedrawMainDisplay(*state, surfaces, colors, view);
    }

    std::vector<double> total, readouts, waveform, charts;
    QElapsedTimer timer;
    for (int n = 0; n < iterations; ++n) {
        state->TestRecord = *records[size_t(n) % records.size()];
        timer.start();
        RedrawMainDisplay(*state, surfaces, colors, view);
        total.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    // The stages on their own, to see where the time goes.
    for (int n = 0; n < iterations; ++n) {
        TestRecordImage& r = state->TestRecord;
        r = *records[size_t(n) % records.size()];
        timer.start();
        const auto texts = FormatReadouts(r);
        readouts.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.start();
        float scale = DrawWaveform(surfaces.WaveSurface, pic, r, colors);
        waveform.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.start();
        DrawHarmonicChart(surfaces.VoltageHarmonicSurface, pic, r.VoltageHarmonics, kVoltageBarColor, colors, scale);
        DrawHarmonicChart(surfaces.CurrentHarmonicSurface, pic, r.CurrentHarmonics, kCurrentBarColor, colors, scale);
        charts.push_back(double(timer.nsecsElapsed()) / 1e6);
    }

    std::printf("RedrawMainDisplay, screen %dx%d, client panel %dx%d, Pic1 %dx%d, %d calls\n", kScreen.width(),
                kScreen.height(), kMaximisedClientPanel.width(), kMaximisedClientPanel.height(), pic.width(),
                pic.height(), iterations);
    std::printf("  total      median %.3f ms   p90 %.3f ms   max %.3f ms\n", Percentile(total, 0.5),
                Percentile(total, 0.9), Percentile(total, 1.0));
    std::printf("  readouts   median %.3f ms   p90 %.3f ms\n", Percentile(readouts, 0.5), Percentile(readouts, 0.9));
    std::printf("  waveform   median %.3f ms   p90 %.3f ms\n", Percentile(waveform, 0.5), Percentile(waveform, 0.9));
    std::printf("  two charts median %.3f ms   p90 %.3f ms\n", Percentile(charts, 0.5), Percentile(charts, 0.9));
    return 0;
}
