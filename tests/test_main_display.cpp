// Pixel-level checks of the main window's plots and the starting-test plot on
// fixed-size images: grid rows and columns, the dotted pattern, tick marks,
// end points left out, trace extremes, harmonic bars and their colours, and
// the main redraw's order and results. Glyph pixels are never checked; texts
// are checked through the functions that build them.

#include "acquisition/acquisition_state.h"
#include "display/main_display.h"
#include "display/pixel_lines.h"
#include "display/starting_plot.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

const DisplayColors kColors{QColor(10, 20, 30), QColor(200, 201, 202)};
const QRgb kBg = qRgb(10, 20, 30);
const QRgb kScale = qRgb(200, 201, 202);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 128, 0);
const QRgb kCurrentBar = qRgb(223, 48, 32);
const QRgb kUntouched = qRgb(0, 0, 0);

QImage BlankSurface(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kUntouched);
    return image;
}

std::unique_ptr<AcquisitionState> FreshState()
{
    auto state = std::make_unique<AcquisitionState>();
    InitAcquisitionState(*state, QSize(1920, 1080), nullptr);
    return state;
}

// zero + round(amplitude * sin(2 pi (k - shift) / period)) for every sample.
template <size_t N>
void FillSine(le::U16 (&samples)[N], int zero, double amplitude, double period, double shift, bool cosine = false)
{
    for (size_t k = 0; k < N; ++k) {
        const double phase = 2 * M_PI * (double(k) - shift) / period;
        samples[k].set(uint16_t(zero + std::lround(amplitude * (cosine ? std::cos(phase) : std::sin(phase)))));
    }
}

// First and last row in `area` holding a pixel of `color`; -1 when none.
QPair<int, int> RowsOf(const QImage& image, QRgb color, const QRect& area)
{
    int top = -1, bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == color) {
                if (top < 0) top = y;
                bottom = y;
                break;
            }
        }
    }
    return {top, bottom};
}

int CountOf(const QImage& image, QRgb color, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) count += image.pixel(x, y) == color;
    return count;
}

bool DottedOn(int stepsFromStart) { return (stepsFromStart / 3) % 2 == 0; }

// Where a trace sample lands: mid - round(v * scale) + 2 with a
// single-precision scale.
int TraceRow(int mid, int v, float scale) { return mid - int(std::nearbyint(double(v) * double(scale))) + 2; }

class RecordingView : public MainDisplayView {
public:
    explicit RecordingView(QSize size) : size_(size) {}
    QSize plotSize() const override { return size_; }
    void showReadouts(const std::array<QString, kReadoutPanelCount>& texts) override
    {
        readouts = texts;
        calls << QStringLiteral("readouts");
    }
    void plotsChanged() override { calls << QStringLiteral("plots"); }

    std::array<QString, kReadoutPanelCount> readouts;
    QStringList calls;

private:
    QSize size_;
};

// Waveform plot geometry used below: Pic1 406 x 206, so gx = 400, gy = 200,
// grid columns at 2 + 40 j, grid rows at 2 + 25 i, centre row 102; the x
// step is 400 / 512 = 0.78125.
const QSize kWavePic(406, 206);

// Harmonic chart geometry used below: Pic 214 x 116, so gy = 110, baseline
// y0 = trunc(110 * 0.9) = 99, full bar 84 pixels (even, so 50 % is exact),
// x_n = 4 n + 2, bars in columns 4 n + 7 and 4 n + 8.
const QSize kChartPic(214, 116);
constexpr int kY0 = 99;
int BarColumn(int n) { return 4 * n + 7; }

} // namespace

class MainDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void pixelLinesCoverStartNotEnd_data()
    {
        QTest::addColumn<QPoint>("to");
        for (const QPoint to : {QPoint(15, 10), QPoint(5, 10), QPoint(10, 15), QPoint(10, 5), QPoint(17, 12),
                                QPoint(3, 8), QPoint(12, 17), QPoint(8, 3), QPoint(9, 9)}) {
            QTest::newRow(qPrintable(QString("to %1,%2").arg(to.x()).arg(to.y()))) << to;
        }
    }
    void pixelLinesCoverStartNotEnd()
    {
        QFETCH(QPoint, to);
        const QPoint from(10, 10);
        QImage image = BlankSurface(24, 24);
        {
            QPainter p(&image);
            DrawPixelLine(p, from, to, QColor(kRed));
        }
        QCOMPARE(image.pixel(from), kRed);
        QCOMPARE(image.pixel(to), kUntouched);
        const int length = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
        QCOMPARE(CountOf(image, kRed, image.rect()), length);
    }

    void pixelPrimitivesEdgeCases()
    {
        QImage image = BlankSurface(24, 24);
        QPainter p(&image);
        // A zero-length line and a rectangle without width or height draw nothing.
        DrawPixelLine(p, QPoint(3, 3), QPoint(3, 3), QColor(kRed));
        DrawOutlinedRect(p, 5, 5, 5, 9, QColor(kRed), QColor(kBg));
        DrawOutlinedRect(p, 5, 5, 9, 5, QColor(kRed), QColor(kBg));
        // Dotted: three on, three off, from the start, whichever direction.
        DrawPixelLine(p, QPoint(20, 1), QPoint(6, 1), QColor(kGreen), LineStyle::Dotted);
        // Corners in either order: columns 10..13, rows 20..16 -> 16..19.
        DrawOutlinedRect(p, 14, 16, 10, 20, QColor(kRed), QColor(kBg));
        p.end();

        QCOMPARE(CountOf(image, kRed, QRect(0, 0, 10, 10)), 0);
        for (int x = 6; x <= 21; ++x) {
            const QRgb want = (x <= 20 && x > 6 && DottedOn(20 - x)) ? kGreen : kUntouched;
            QVERIFY2(image.pixel(x, 1) == want, qPrintable(QString("x=%1").arg(x)));
        }
        QCOMPARE(RowsOf(image, kRed, QRect(10, 0, 1, 24)), qMakePair(16, 19));
        QCOMPARE(CountOf(image, kRed, QRect(0, 0, 24, 24)), 12);  // outline of 4 x 4
        QCOMPARE(CountOf(image, kBg, QRect(0, 0, 24, 24)), 4);    // inside 2 x 2
        QCOMPARE(image.pixel(14, 18), kUntouched);
        QCOMPARE(image.pixel(12, 20), kUntouched);
    }

    void waveformGridDotsTicksAndEnds()
    {
        auto state = FreshState();
        QImage surface = BlankSurface(500, 300);
        DrawWaveform(surface, kWavePic, state->TestRecord, kColors);

        // Outside the paint box nothing is touched; inside, the background.
        QCOMPARE(surface.pixel(406, 10), kUntouched);
        QCOMPARE(surface.pixel(10, 206), kUntouched);
        QCOMPARE(surface.pixel(0, 0), kBg);

        // Horizontal grid line at row 27: dotted 3 on, 3 off from x = 2; the
        // vertical grid lines (on at this row) cross it every 40 columns.
        for (int x = 2; x < 402; ++x) {
            const QRgb want = (DottedOn(x - 2) || (x - 2) % 40 == 0) ? kScale : kBg;
            QVERIFY2(surface.pixel(x, 27) == want, qPrintable(QString("x=%1").arg(x)));
        }
        QCOMPARE(surface.pixel(1, 27), kBg);

        // Vertical grid line at column 42, dotted from y = 2.
        for (int y = 2; y < 190; ++y) {  // the caption starts at y = 194
            if (y == 102) continue;      // the flat traces
            QVERIFY2(surface.pixel(42, y) == (DottedOn(y - 2) ? kScale : kBg), qPrintable(QString("y=%1").arg(y)));
        }

        // Half-division tick of row i = 0: y' = trunc(12.5) + 2 = 14, solid
        // from x = 199 up to, not including, 206.
        QCOMPARE(surface.pixel(198, 14), kBg);
        for (int x = 199; x <= 205; ++x) QCOMPARE(surface.pixel(x, 14), kScale);
        QCOMPARE(surface.pixel(206, 14), kBg);
        // Vertical tick of column j = 0: x' = 22, rows 99 .. 105.
        QCOMPARE(surface.pixel(22, 98), kBg);
        for (int y = 99; y <= 105; ++y) QCOMPARE(surface.pixel(22, y), y == 102 ? kGreen : kScale);
        QCOMPARE(surface.pixel(22, 106), kBg);
    }

    void flatSignalLiesOnTheCentreRow_data()
    {
        QTest::addColumn<QSize>("pic");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("lastColumn");
        // row = (H - 6) div 2 + 2; last point x = round(511 * (W - 6) / 512) + 2, left out.
        QTest::newRow("406x206") << QSize(406, 206) << 102 << 401;
        QTest::newRow("odd height") << QSize(300, 109) << 53 << 295;
    }
    void flatSignalLiesOnTheCentreRow()
    {
        QFETCH(QSize, pic);
        QFETCH(int, row);
        QFETCH(int, lastColumn);
        auto state = FreshState();
        QImage surface = BlankSurface(500, 300);
        DrawWaveform(surface, pic, state->TestRecord, kColors);

        for (int x = 2; x < lastColumn; ++x) QCOMPARE(surface.pixel(x, row), kGreen);
        QVERIFY(surface.pixel(lastColumn, row) != kGreen);
        QCOMPARE(CountOf(surface, kGreen, QRect(QPoint(0, 0), pic)), lastColumn - 2);
        // The voltage trace covers the current trace completely.
        QCOMPARE(CountOf(surface, kRed, QRect(QPoint(0, 0), pic)), 0);
    }

    void traceExtremes()
    {
        auto state = FreshState();
        TestRecordImage& r = state->TestRecord;
        const int mid = 100;
        const QRect plotArea(QPoint(0, 0), kWavePic);  // the blue caption has no pure red or green

        // Current: amplitude 1000 with peak at k = 32, trough at k = 96.
        FillSine(r.CurrentSamples, 2047, 1000, 128, 0);
        QImage surface = BlankSurface(500, 300);
        DrawWaveform(surface, kWavePic, r, kColors);
        const float currentScale = float((mid - (206 - 2) / 8.0) / 1000);
        const int peakRow = TraceRow(mid, 1000, currentScale);
        const int troughRow = TraceRow(mid, -1000, currentScale);
        QCOMPARE(RowsOf(surface, kRed, plotArea), qMakePair(peakRow, troughRow));
        QCOMPARE(surface.pixel(27, peakRow), kRed);  // x = round(32 * 0.78125) + 2
        // About three divisions of 25 pixels from the centre.
        QVERIFY(std::abs((102 - peakRow) - 75) <= 1);

        // Voltage: amplitude 1500 reaches the top and bottom grid lines.
        auto state2 = FreshState();
        FillSine(state2->TestRecord.VoltageSamples, 2047, 1500, 128, 0);
        surface = BlankSurface(500, 300);
        DrawWaveform(surface, kWavePic, state2->TestRecord, kColors);
        QCOMPARE(RowsOf(surface, kGreen, plotArea), qMakePair(2, 202));
        QCOMPARE(surface.pixel(27, 2), kGreen);
    }

    void zeroSampleCountStacksThePointsAtColumnTwo()
    {
        auto state = FreshState();
        TestRecordImage& r = state->TestRecord;
        FillSine(r.VoltageSamples, 2047, 1500, 128, 0);
        r.SampleCount.set(0);
        QImage surface = BlankSurface(500, 300);
        DrawWaveform(surface, kWavePic, r, kColors);

        const QRect pic(QPoint(0, 0), kWavePic);
        QCOMPARE(CountOf(surface, kGreen, pic), CountOf(surface, kGreen, QRect(2, 0, 1, 206)));
        QCOMPARE(RowsOf(surface, kGreen, pic), qMakePair(2, 202));
        // The flat current is 512 copies of one point: no line has length.
        QCOMPARE(CountOf(surface, kRed, pic), 0);
    }

    // With no amplitude above zero no bar has height, whatever scale came in.
    void harmonicChartWithoutAmplitudes_data()
    {
        QTest::addColumn<float>("amplitude");
        QTest::newRow("all zero") << 0.0f;
        QTest::newRow("all negative") << -5.0f;
    }
    void harmonicChartWithoutAmplitudes()
    {
        QFETCH(float, amplitude);
        auto state = FreshState();
        for (le::F32& a : state->TestRecord.VoltageHarmonics) a.set(amplitude);
        QImage surface = BlankSurface(300, 200);
        float scale = 123.0f;
        DrawHarmonicChart(surface, kChartPic, state->TestRecord.VoltageHarmonics, kGreen, kColors, scale);
        QCOMPARE(scale, 123.0f);  // carried on unchanged
        QCOMPARE(surface.pixel(214, 10), kUntouched);

        // Baseline two pixels wide, rows y0 - 1 and y0, from x = 2 to W - 4.
        for (int y : {kY0 - 1, kY0}) {
            QCOMPARE(surface.pixel(1, y), kBg);
            QCOMPARE(surface.pixel(2, y), kScale);
            QCOMPARE(surface.pixel(100, y), kScale);
            QCOMPARE(surface.pixel(210, y), kScale);
            QCOMPARE(surface.pixel(211, y), kBg);
        }
        QCOMPARE(surface.pixel(100, kY0 - 2), kBg);
        QCOMPARE(surface.pixel(100, kY0 + 1), kBg);

        // Scale lines at trunc(84 u / 10) + 15: solid over x = 3..6, dotted
        // from x = 7, end point W - 3 left out.
        for (int u = 0; u < 10; ++u) {
            const int y = 84 * u / 10 + 15;
            const int from = u == 0 ? 40 : 2;  // keep clear of the "100%" text
            for (int x = from; x <= 211; ++x) {
                QRgb want = kBg;
                if (x >= 3 && x <= 6) want = kScale;
                if (x >= 7 && x < 211 && DottedOn(x - 7)) want = kScale;
                QVERIFY2(surface.pixel(x, y) == want, qPrintable(QString("u=%1 x=%2").arg(u).arg(x)));
            }
        }

        // Ticks 4 pixels long from y0 - 1: order 0 in the scale colour, later
        // ones in the pen colour then in force, the bar colour.
        QCOMPARE(surface.pixel(7, kY0 + 2), kScale);
        QCOMPARE(surface.pixel(7, kY0 + 3), kBg);
        for (int n = 5; n <= 50; n += 5) {
            QCOMPARE(surface.pixel(BarColumn(n), kY0 + 2), kGreen);
            QCOMPARE(surface.pixel(BarColumn(n), kY0 + 3), kBg);
        }
        // No bar has height: the only bar-coloured pixels are those ticks.
        QCOMPARE(CountOf(surface, kGreen, QRect(QPoint(0, 0), kChartPic)), 10 * 4);
    }

    void harmonicBarsScaleToTheLargest()
    {
        auto state = FreshState();
        TestRecordImage& r = state->TestRecord;
        r.VoltageHarmonics[1].set(10.0f);
        r.VoltageHarmonics[5].set(5.0f);
        r.VoltageHarmonics[3].set(std::numeric_limits<float>::quiet_NaN());
        r.VoltageHarmonics[2].set(-5.0f);
        QImage surface = BlankSurface(300, 200);
        float scale = 0.0f;
        DrawHarmonicChart(surface, kChartPic, r.VoltageHarmonics, kGreen, kColors, scale);
        QCOMPARE(scale, float(84 / 10.0));

        // Order 1 reaches the 100 % row 15, order 5 the 50 % row 57; both end
        // just above the baseline row y0 and are two columns wide.
        const QPair<int, int> full(15, kY0 - 1);
        const QPair<int, int> half(84 * 5 / 10 + 15, kY0 - 1);
        for (int c : {BarColumn(1), BarColumn(1) + 1}) QCOMPARE(RowsOf(surface, kGreen, QRect(c, 0, 1, kY0)), full);
        for (int c : {BarColumn(5), BarColumn(5) + 1}) QCOMPARE(RowsOf(surface, kGreen, QRect(c, 0, 1, kY0)), half);
        QCOMPARE(surface.pixel(BarColumn(1), kY0), kScale);
        QCOMPARE(surface.pixel(BarColumn(1) - 1, 50), kBg);
        QCOMPARE(surface.pixel(BarColumn(1) + 2, 50), kBg);
        // A non-number draws no bar; a negative amplitude hangs below the
        // baseline in proportion.
        QCOMPARE(CountOf(surface, kGreen, QRect(BarColumn(3), 0, 2, kY0)), 0);
        QCOMPARE(RowsOf(surface, kGreen, QRect(BarColumn(2), 0, 1, 200)), qMakePair(kY0, kY0 + 41));
    }

    void redrawRunsTheStagesIntoTheirSurfaces()
    {
        auto state = FreshState();
        TestRecordImage& r = state->TestRecord;
        r.Urms.set(230.1234f);
        r.ReactivePower.set(std::numeric_limits<float>::quiet_NaN());
        r.VoltageHarmonics[1].set(10.0f);
        r.CurrentHarmonics[1].set(3.0f);
        MainSurfaces surfaces;
        surfaces.createMainSurfaces(QSize(601, 401));
        surfaces.createMainSurfaces(QSize(1920, 1080));  // created once, never resized
        for (const QImage* s : {&surfaces.WaveSurface, &surfaces.VoltageHarmonicSurface,
                                &surfaces.CurrentHarmonicSurface}) {
            QCOMPARE(s->size(), QSize(300, 200));
            QCOMPARE(s->format(), QImage::Format_RGB32);
        }
        QCOMPARE(state->PlotRect, QRect(0, 0, 1920, 1080));

        RecordingView view(kChartPic);
        RedrawMainDisplay(*state, surfaces, kColors, view);

        QCOMPARE(view.calls, QStringList({"readouts", "plots"}));
        QCOMPARE(view.readouts[size_t(ReadoutPanel::Panel_URMS)], QStringLiteral("230.12V"));
        QCOMPARE(view.readouts[size_t(ReadoutPanel::Panel_PQ)], QStringLiteral("0.0"));
        QCOMPARE(r.ReactivePower.get(), 0.0f);
        QCOMPARE(state->PlotRect, QRect(0, 0, 214, 116));

        QCOMPARE(surfaces.WaveSurface.pixel(0, 0), kBg);
        QCOMPARE(surfaces.WaveSurface.pixel(214, 0), kUntouched);
        QCOMPARE(surfaces.VoltageHarmonicSurface.pixel(BarColumn(1), 50), kGreen);
        QCOMPARE(surfaces.CurrentHarmonicSurface.pixel(BarColumn(1), 50), kCurrentBar);

        // Without surfaces (empty screen) the readouts still reach the view.
        MainSurfaces none;
        none.createMainSurfaces(QSize(1, 1));
        QVERIFY(none.WaveSurface.isNull());
        RedrawMainDisplay(*state, none, kColors, view);
        QCOMPARE(view.calls.size(), 4);
    }

    void startingPointCount_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("count");
        QTest::newRow("last page, wide") << 2240 << 1 << 400 << 310;
        QTest::newRow("last page, limited by width") << 2240 << 1 << 300 << 300;
        QTest::newRow("first page") << 0 << 1 << 3000 << 2550;
        QTest::newRow("step 4") << 0 << 4 << 3000 << 637;
        QTest::newRow("step 0 counts as 1") << 0 << 0 << 100 << 100;
        QTest::newRow("past the end") << 2600 << 1 << 300 << 0;
    }
    void startingPointCount()
    {
        QFETCH(int, offset);
        QFETCH(int, step);
        QFETCH(int, width);
        QFETCH(int, count);
        QCOMPARE(StartingPointCount(offset, step, width), count);
    }

    void startingPlotPointsDrawn_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("lastCovered");
        // Points at x = 2, 1, 2, 3 .. p - 1; the last one is left out.
        QTest::newRow("310 points") << 400 << 308;
        QTest::newRow("300 of 310 points") << 300 << 298;
    }
    void startingPlotPointsDrawn()
    {
        QFETCH(int, width);
        QFETCH(int, lastCovered);
        auto capture = std::make_unique<StartingCaptureImage>();
        capture->VoltageScale.set(1.0f);
        capture->CurrentScale.set(1.0f);
        for (int i = 0; i < kStartingSamples; ++i) {
            capture->VoltageSamples[i].set(2047);
            capture->CurrentSamples[i].set(2047);
        }
        QImage surface = BlankSurface(kStartingSurfaceWidth, kStartingSurfaceHeight);
        DrawStartingPlot(surface, QSize(width, 232), QSize(640, 480), *capture, 2047, 2047, 2240, 1, kColors);

        const int row = 232 / 2 + 2;
        for (int x = 1; x <= lastCovered; ++x) QCOMPARE(surface.pixel(x, row), kGreen);
        QCOMPARE(surface.pixel(lastCovered + 1, row), kBg);
        QCOMPARE(surface.pixel(0, row - 1), kBg);
        // The whole screen rectangle is cleared, nothing beyond it.
        QCOMPARE(surface.pixel(639, 479), kBg);
        QCOMPARE(surface.pixel(640, 479), kUntouched);
        QCOMPARE(surface.pixel(639, 480), kUntouched);
    }

    void startingPlotScalesAndPeaks()
    {
        // H = 232: mid 116, ph 200. Current peak 800 -> about (100 - 20)
        // pixels, voltage peak 1000 -> 100 pixels. Samples before index 8 and
        // after index 2558 are not part of the plot and must not set the scale.
        auto capture = std::make_unique<StartingCaptureImage>();
        capture->VoltageScale.set(0.31f);
        capture->CurrentScale.set(0.0125f);
        FillSine(capture->CurrentSamples, 2000, 800, 400, 8 + 100);
        FillSine(capture->VoltageSamples, 2000, 1000, 400, 8 + 100, true);
        for (int i : {0, 7, 2559}) {
            capture->CurrentSamples[i].set(4095);
            capture->VoltageSamples[i].set(4095);
        }
        const StartingPeaks peaks = FindStartingPeaks(*capture, 2000, 2000);
        QCOMPARE(peaks.voltage, 1000);
        QCOMPARE(peaks.current, 800);
        QCOMPARE(StartingPeakText("Voltage peak", peaks.voltage, capture->VoltageScale.get(), "V"),
                 QStringLiteral("Voltage peak310V"));
        QCOMPARE(StartingPeakText("Current peak", peaks.current, capture->CurrentScale.get(), "A"),
                 QStringLiteral("Current peak10A"));
        QCOMPARE(StartingPeakText("Voltage peak", 1000, 0.3105f, "V"), QStringLiteral("Voltage peak310.5V"));

        QImage surface = BlankSurface(kStartingSurfaceWidth, kStartingSurfaceHeight);
        DrawStartingPlot(surface, QSize(600, 232), QSize(800, 600), *capture, 2000, 2000, 0, 1, kColors);
        const float currentScale = float(((116 - 16) - 200 / 10.0) / 800);
        const float voltageScale = float((116 - 16) / 1000.0);
        // Texts stand at y = H - 15 over x = 5 .. about 230; the trace
        // extremes checked here lie outside them.
        QCOMPARE(RowsOf(surface, kRed, QRect(0, 0, 600, 217)),
                 qMakePair(TraceRow(116, 800, currentScale), TraceRow(116, -800, currentScale)));
        QCOMPARE(RowsOf(surface, kGreen, QRect(250, 0, 350, 232)).second, TraceRow(116, -1000, voltageScale));
        QCOMPARE(RowsOf(surface, kGreen, QRect(0, 0, 600, 217)).first, TraceRow(116, 1000, voltageScale));
        QCOMPARE(TraceRow(116, 1000, voltageScale), 18);

        // A view outside the capture reads no sample outside it.
        DrawStartingPlot(surface, QSize(600, 232), QSize(800, 600), *capture, 2000, 2000, -5000, 0, kColors);
        DrawStartingPlot(surface, QSize(600, 232), QSize(800, 600), *capture, 2000, 2000, 99999, 4, kColors);
        QCOMPARE(CountOf(surface, kRed, QRect(0, 0, 600, 217)), 0);
    }

};

QTEST_MAIN(MainDisplayTest)
#include "test_main_display.moc"
