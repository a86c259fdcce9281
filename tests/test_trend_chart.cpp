// Pixel-level checks of the trend chart: grid and its drift, point placement,
// the 2-pixel trace pen, the range modes' rows, the out-of-range triangles and
// their colours, label boxes, the scale strip, and the status texts and marker
// positions handed back. Glyph pixels are not checked; texts are checked
// through the functions that build them.
//
// Chart 600 x 320: ph = 288, one unit is 0.576 pixels, grid rows at 16, 45,
// 74, 102, 131, 160, 189, 218, 246, 275, 304; range mode 0 has its zero at 304.

#include "display/pixel_lines.h"
#include "display/trend_chart.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <vector>

namespace {

const DisplayColors kColors{QColor(10, 20, 30), QColor(200, 201, 202)};
const QRgb kBg = qRgb(10, 20, 30), kScale = qRgb(200, 201, 202), kUntouched = qRgb(1, 2, 3);
const QRgb kWhite = qRgb(255, 255, 255), kBlack = qRgb(0, 0, 0);
const QRgb kGreen = qRgb(0, 128, 0), kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255);
const QRgb kMaroon = qRgb(128, 0, 0), kYellow = qRgb(255, 255, 0);
constexpr int W = 600, H = 320, kZeroRow = 304;
const QSize kScreen(650, 360);

// Every channel `value`; sample i taken at 2023-03-15 00:00:00 + i seconds.
struct Record {
    explicit Record(int count, float value = 0)
    {
        for (auto& channel : values) channel.assign(size_t(count), value);
        for (int i = 0; i < count; ++i) times.push_back(45000 + i / 86400.0);
    }
    std::array<std::vector<float>, kTrendChannelCount> values;
    std::vector<double> times;
};

// Inspection mode (no grid drift); `only` >= 0 leaves the other channels
// without data.
TrendChartInput InputFor(const Record& record, bool ready = true, int only = -1)
{
    TrendChartInput in;
    in.picSize = QSize(W, H);
    in.screenSize = kScreen;
    in.viewMode = ViewMode::Inspection;
    in.recordDataReady = ready;
    in.newestIndex = int(record.times.size()) - 1;
    for (int k = 0; k < kTrendChannelCount; ++k) {
        if (only < 0 || k == only) in.values[size_t(k)] = record.values[size_t(k)].data();
    }
    in.times = record.times.data();
    in.colors = kColors;
    in.locale = QLocale::c();
    return in;
}

struct Drawn {
    QImage chart, strip;
    TrendChartResult result;
};

Drawn Draw(const TrendChartInput& in)
{
    Drawn d{QImage(800, 400, QImage::Format_RGB32), QImage(800, 400, QImage::Format_RGB32), {}};
    d.chart.fill(kUntouched);
    d.strip.fill(kUntouched);
    d.result = DrawTrendChart(d.chart, d.strip, in);
    return d;
}

// Pixels in `area` that are (or, with `other`, are not) one of `colors`.
int Count(const QImage& image, const QRect& area, const QList<QRgb>& colors, bool other = false)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) count += colors.contains(image.pixel(x, y)) != other;
    return count;
}

bool DottedOn(int stepsFromStart) { return (stepsFromStart / 3) % 2 == 0; }

// A triangle with its apex at (apexX, apexY) and its base five rows away:
// sloped sides and base in `outline`, the inside in `fill`, background
// around it.
void CompareTriangle(const QImage& image, int apexX, int apexY, int baseY, QRgb outline, QRgb fill)
{
    const int direction = baseY > apexY ? 1 : -1;
    for (int k = -1; k <= 6; ++k) {
        const int y = apexY + direction * k;
        if (y < 0 || y >= H) continue;
        for (int x = apexX - 7; x <= apexX + 7; ++x) {
            const int off = std::abs(x - apexX);
            QRgb want = kBg;
            if (k == 5 && off <= 5) want = outline;
            else if (k >= 0 && k < 5 && off == k) want = outline;
            else if (k >= 0 && k < 5 && off < k) want = fill;
            QVERIFY2(image.pixel(x, y) == want, qPrintable(QString("(%1,%2)").arg(x).arg(y)));
        }
    }
}

} // namespace

class TrendChartTest : public QObject {
    Q_OBJECT

private slots:
    void withoutRecordDataGridLabelsAndStripOnly()
    {
        Record record(400, 120);
        record.values[1].assign(400, 2000);  // would leave the top
        const Drawn d = Draw(InputFor(record, false));
        QVERIFY(!d.result.status);
        for (int k = 0; k < kTrendChannelCount; ++k)
            QVERIFY(!d.result.markerTop[size_t(k)] && !d.result.above[size_t(k)]);
        QCOMPARE(Count(d.chart, QRect(0, 0, W, H - 14), {kBg, kScale}, true), 0);  // no trace, no triangle
        QVERIFY(Count(d.chart, QRect(5, H - 12, 60, 12), {kBg}, true) > 0);       // time label
        QVERIFY(Count(d.chart, QRect(525, H - 12, 60, 8), {kBg}, true) > 0);      // CH6 label
        QCOMPARE(d.strip.pixel(13, 200), kBlack);
        // Cleared: the screen-sized rectangle.
        QCOMPARE(d.chart.pixel(kScreen.width() - 1, kScreen.height() - 1), kBg);
        QCOMPARE(d.chart.pixel(kScreen.width(), 0), kUntouched);
        // Rows dotted from x = 0, their end x = 600 left out.
        for (const int y : {16, 45, 74, 102, 131, 160, 189, 218, 246, 275, 304}) {
            for (const int x : {2, 3, 5, 6, 597, 598, 599}) QCOMPARE(d.chart.pixel(x, y), DottedOn(x) ? kScale : kBg);
        }
        QCOMPARE(d.chart.pixel(600, 304), kBg);
        // Columns x = 20 n up to 600, dotted from row 16 to row 303.
        for (const int x : {20, 300, 600}) {
            for (const int y : {15, 17, 19, 22, 302, 303, 305})
                QCOMPARE(d.chart.pixel(x, y), y >= 16 && y < 304 && DottedOn(y - 16) ? kScale : kBg);
        }
    }

    void gridPhaseMovesColumnsOnlyWhileRecording_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("firstColumn");
        QTest::newRow("recording") << int(ViewMode::Recording) << 7;
        QTest::newRow("inspection") << int(ViewMode::Inspection) << 0;
    }
    void gridPhaseMovesColumnsOnlyWhileRecording()
    {
        QFETCH(int, mode);
        QFETCH(int, firstColumn);
        Record record(0);
        TrendChartInput in = InputFor(record, false);
        in.viewMode = ViewMode(mode);
        in.gridPhase = 7;
        const Drawn d = Draw(in);
        for (int x = 0; x < 60; ++x) {
            const bool column = (x - firstColumn) % 20 == 0 && x >= firstColumn;
            QCOMPARE(d.chart.pixel(x, 17), column ? kScale : kBg);
            if (!column) QCOMPARE(d.chart.pixel(x, 45), DottedOn(x) ? kScale : kBg);  // rows stay
        }
        // Time label teal (0, 128, 128) while recording, else green; glyph
        // edges blend with the background (10, 20, 30), so look at blue.
        int tealish = 0, greenish = 0;
        for (int y = H - 12; y < H; ++y) {
            for (int x = 5; x < 85; ++x) {
                tealish += qBlue(d.chart.pixel(x, y)) > 60;
                greenish += qGreen(d.chart.pixel(x, y)) > 60 && qBlue(d.chart.pixel(x, y)) < 30;
            }
        }
        QVERIFY(ViewMode(mode) == ViewMode::Recording ? tealish > 0 && greenish == 0 : greenish > 0 && tealish == 0);
    }

    void newestSampleAtTheLeftEdge()
    {
        // 100 samples, zoom 1, start 0: 99 points, sample 99 at x = 0 down to
        // sample 1 at x = 98; sample 0 is not drawn.
        Record record(100, 120);    // raw round(69.12) = 69: row 235
        record.values[0][1] = 310;  // raw round(178.56) = 179: row 125
        record.values[0][0] = 0;    // row 304, were it drawn
        const Drawn d = Draw(InputFor(record, true, 0));
        QCOMPARE(d.result.status->length, QString("Length:99"));
        QCOMPARE(d.result.markerTop[0], std::optional<int>(235 - 7));
        QVERIFY(!d.result.markerTop[1]);
        // The 2-pixel pen covers a flat trace's row and the one below.
        for (const int x : {1, 50, 96}) {
            QCOMPARE(d.chart.pixel(x, 234), kBg);
            QCOMPARE(d.chart.pixel(x, 235), kGreen);
            QCOMPARE(d.chart.pixel(x, 236), kGreen);
            QCOMPARE(d.chart.pixel(x, 237), kBg);
        }
        // Last segment (97, 235) -> (98, 125), mostly vertical: rows 235..181
        // in column 97, rows 180..126 in column 98, each with its right-hand
        // neighbour; the end point is left out.
        const QList<QPair<QPoint, QRgb>> pixels{{{97, 181}, kGreen}, {{98, 181}, kGreen}, {{99, 181}, kBg},
                                                {{97, 180}, kBg},    {{98, 180}, kGreen}, {{99, 180}, kGreen},
                                                {{98, 126}, kGreen}, {{98, 125}, kBg}};
        for (const auto& [at, want] : pixels) QCOMPARE(d.chart.pixel(at), want);
        QCOMPARE(Count(d.chart, QRect(100, 0, W - 100, H - 14), {kGreen}), 0);
        QCOMPARE(Count(d.chart, QRect(97, 237, 4, 60), {kGreen}), 0);  // no segment to sample 0
    }

    void zoomAndStartPickTheSamples()
    {
        // Sample i is i units high at a scale making a unit one pixel; zoom 3,
        // start 10 of 100 samples: 29 points, point i shows sample 89 - 3 i.
        Record record(100);
        for (int i = 0; i < 100; ++i) record.values[2][size_t(i)] = float(i);
        TrendChartInput in = InputFor(record, true, 2);
        in.zoom = 3;
        in.start = 10;
        in.scale[2] = 500.0f / 288.0f;
        const Drawn d = Draw(in);
        QCOMPARE(d.result.status->length, QString("Length:29"));
        QCOMPARE(d.result.markerTop[2], std::optional<int>(kZeroRow - 89 - 7));
        for (int i = 0; i < 28; ++i) QCOMPARE(d.chart.pixel(i, kZeroRow - (89 - 3 * i)), kBlue);
        QCOMPARE(Count(d.chart, QRect(30, 0, W - 30, H - 14), {kBlue}), 0);
    }

    void rangeModesPlaceTheZero_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("row");
        QTest::newRow("positive, raw 69") << 0 << 120.0f << kZeroRow - 69;
        QTest::newRow("positive, 0 on the bottom line") << 0 << 0.0f << kZeroRow;
        QTest::newRow("p and n, raw 69: half rounds to 34") << 1 << 120.0f << 160 - 34;
        QTest::newRow("p and n, raw -69") << 1 << -120.0f << 160 + 34;
        QTest::newRow("p and n, raw 71: half rounds to 36") << 1 << 123.5f << 160 - 36;
        QTest::newRow("negative, raw -69") << 2 << -120.0f << 16 + 69;
        QTest::newRow("negative, 0 on the top line") << 2 << 0.0f << 16;
    }
    void rangeModesPlaceTheZero()
    {
        QFETCH(int, range);
        QFETCH(float, value);
        QFETCH(int, row);
        Record record(50, value);
        TrendChartInput in = InputFor(record, true, 3);
        in.range = TrendRange(range);
        const Drawn d = Draw(in);
        QCOMPARE(d.result.markerTop[3], std::optional<int>(row - 7));
        QCOMPARE(d.chart.pixel(10, row), kMaroon);
        QCOMPARE(d.chart.pixel(10, row + 1), kMaroon);
        QVERIFY(d.chart.pixel(10, row - 1) != kMaroon && d.chart.pixel(10, row + 2) != kMaroon);
    }

    void traceLeavingTheTopDrawsTheUpwardTriangle()
    {
        Record record(50, 600);  // raw round(345.6) = 346: y = -42
        const Drawn d = Draw(InputFor(record, true, 2));
        QVERIFY(d.result.above[2] && !d.result.below[2]);
        QCOMPARE(d.result.markerTop[2], std::optional<int>(-42 - 7));
        // CH3's triangle: apex (W - 43, 0), base row 5 from W - 48 to W - 38,
        // outline in the pen of its own trace.
        CompareTriangle(d.chart, W - 43, 0, 5, kBlue, kBlue);
        QCOMPARE(Count(d.chart, QRect(0, 0, W, H - 14), {kBlue}), 1 + 3 + 5 + 7 + 9 + 11);  // nothing else
    }

    void downwardTriangleOnlyBelowH_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<bool>("below");
        QTest::newRow("raw -16: y = H") << -27.8f << false;
        QTest::newRow("raw -17: y = H + 1") << -29.6f << true;
    }
    void downwardTriangleOnlyBelowH()
    {
        // The labels along the bottom are drawn last, over what lies under
        // them; on a 760-pixel chart the bottom triangles are right of them.
        QFETCH(float, value);
        QFETCH(bool, below);
        Record record(50, value);
        TrendChartInput in = InputFor(record, true, 1);
        in.picSize = QSize(760, H);
        in.screenSize = QSize(800, 360);
        const Drawn d = Draw(in);
        QCOMPARE(d.result.below[1], below);
        QVERIFY(!d.result.above[1]);
        if (below) CompareTriangle(d.chart, 760 - 55, H - 1, H - 6, kRed, kRed);
        else QCOMPARE(Count(d.chart, QRect(760 - 61, H - 7, 13, 7), {kRed}), 0);
    }

    void hiddenChannelStillShowsItsTriangle_data()
    {
        QTest::addColumn<bool>("earlierTraceVisible");
        QTest::newRow("after a visible maroon trace") << true;
        QTest::newRow("no trace drawn before") << false;
    }
    void hiddenChannelStillShowsItsTriangle()
    {
        // Hidden CH5 above the box: filled in its colour, outlined in the pen
        // in use, the last trace's (CH4) or, before any trace, the grid's.
        QFETCH(bool, earlierTraceVisible);
        Record record(50, 100);
        record.values[4].assign(50, 1000);
        TrendChartInput in = InputFor(record, true, 4);
        in.values[3] = record.values[3].data();
        in.visible[3] = earlierTraceVisible;
        in.visible[4] = false;
        const Drawn d = Draw(in);
        QVERIFY(d.result.above[4] && !d.result.markerTop[4]);
        QCOMPARE(d.result.markerTop[3].has_value(), earlierTraceVisible);
        CompareTriangle(d.chart, W - 19, 0, 5, earlierTraceVisible ? kMaroon : kScale, kYellow);
        QCOMPARE(Count(d.chart, QRect(0, 6, W, H - 20), {kYellow}), 0);  // no hidden trace
    }

    void valuesBeyondAnySurface_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<bool>("above");
        QTest::addColumn<bool>("below");
        QTest::newRow("huge") << 1e30f << true << false;
        QTest::newRow("-inf") << -std::numeric_limits<float>::infinity() << false << true;
        QTest::newRow("nan counts as 0") << std::numeric_limits<float>::quiet_NaN() << false << false;
    }
    void valuesBeyondAnySurface()
    {
        QFETCH(float, value);
        QFETCH(bool, above);
        QFETCH(bool, below);
        Record record(3000, 120);
        for (size_t i = 0; i < 3000; i += 2) record.values[0][i] = value;
        const Drawn d = Draw(InputFor(record, true, 0));
        QCOMPARE(d.result.above[0], above);
        QCOMPARE(d.result.below[0], below);
        // Every column still carries the steep segments through the box.
        for (int x = 0; x < W - 1; ++x) QVERIFY(Count(d.chart, QRect(x, 0, 1, H - 14), {kGreen}) > 0);
    }

    void labelsSitOnTheBackgroundOverTheTraces()
    {
        // A trace along row 310 runs under the labels (top at H - 12 = 308).
        Record record(700, -6.0f / 0.576f);  // raw -6
        TrendChartInput in = InputFor(record, true, 0);
        in.viewMode = ViewMode::Recording;  // a teal time label
        const Drawn d = Draw(in);
        QCOMPARE(d.chart.pixel(3, 310), kGreen);
        QCOMPARE(d.chart.pixel(598, 311), kGreen);
        QCOMPARE(Count(d.chart, QRect(5, 310, 40, 2), {kGreen}), 0);    // time label box
        QCOMPARE(Count(d.chart, QRect(185, 310, 40, 2), {kGreen}), 0);  // CH2 label box
    }

    void labelTexts_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<float>("scale");
        QTest::addColumn<int>("range");
        QTest::addColumn<QString>("text");
        QTest::newRow("2.5, positive") << 0 << 2.5f << 0 << "CH1/DIV=20";
        QTest::newRow("2.5, negative") << 0 << 2.5f << 2 << "CH1/DIV=20";
        QTest::newRow("2.5, p and n") << 0 << 2.5f << 1 << "CH1/DIV=10";
        QTest::newRow("0.05") << 3 << 0.05f << 0 << "CH4/DIV=1000";
        QTest::newRow("10000, p and n") << 5 << 10000.0f << 1 << "CH6/DIV=0.0025";
    }
    void labelTexts()
    {
        QFETCH(int, channel);
        QFETCH(float, scale);
        QFETCH(int, range);
        QFETCH(QString, text);
        QCOMPARE(TrendChannelScaleLabel(channel, scale, TrendRange(range)), text);
        QCOMPARE(TrendTimeScaleLabel(3), QString("Time/DIV=60S"));
        QCOMPARE(TrendTimeScaleLabel(1), QString("Time/DIV=20S"));
        QCOMPARE(TrendScaleStripLabel(0, TrendRange::Positive) + TrendScaleStripLabel(50, TrendRange::Positive),
                 QString("100%0%"));
        QCOMPARE(TrendScaleStripLabel(25, TrendRange::PlusMinus) + TrendScaleStripLabel(50, TrendRange::PlusMinus),
                 QString("0%-100%"));
        QCOMPARE(TrendScaleStripLabel(0, TrendRange::Negative) + TrendScaleStripLabel(35, TrendRange::Negative),
                 QString("-0%-70%"));
    }

    void scaleStripTicksAndAxis()
    {
        Record record(0);
        const QImage s = Draw(InputFor(record, false)).strip;
        QCOMPARE(s.pixel(49, kScreen.height() - 1), kWhite);  // 50 columns, screen height
        QCOMPARE(s.pixel(50, 0), kUntouched);
        for (int i = 0; i <= 50; ++i) {
            const int y = int(std::nearbyint(288 * i / 50.0)) + 16;
            const int left = i % 5 == 0 ? 3 : 7;
            QCOMPARE(s.pixel(left - 1, y), kWhite);
            QCOMPARE(s.pixel(left, y), kBlack);
            QCOMPARE(s.pixel(12, y), kBlack);
        }
        // The 2-pixel axis: columns 13 and 14, rows 16 .. 303.
        for (const int y : {16, 160, 303}) {
            QCOMPARE(s.pixel(13, y), kBlack);
            QCOMPARE(s.pixel(14, y), kBlack);
            QCOMPARE(s.pixel(15, y), kWhite);
        }
        QCOMPARE(s.pixel(13, 15), kWhite);
        QCOMPARE(s.pixel(13, 304), kWhite);
        // Labels beside long ticks only: tick 5 (row 45) has one, ticks 6..9
        // (rows 51..68) none.
        QVERIFY(Count(s, QRect(20, 39, 30, 12), {kWhite}, true) > 0);
        QCOMPARE(Count(s, QRect(15, 54, 35, 13), {kWhite}, true), 0);
    }

    void statusTexts_data()
    {
        QTest::addColumn<int>("newest");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("startText");
        QTest::addColumn<QString>("endText");
        QTest::newRow("whole view") << 99 << 0 << 1 << 99 << "Start:15 Mar 2023 00:00:01"
                                    << "End:15 Mar 2023 00:01:39";
        QTest::newRow("zoom 2, start 10") << 99 << 10 << 2 << 44 << "Start:15 Mar 2023 00:00:03"
                                          << "End:15 Mar 2023 00:01:29";
        QTest::newRow("width limits") << 999 << 0 << 1 << W << "Start:15 Mar 2023 00:06:40"
                                      << "End:15 Mar 2023 00:16:39";
        QTest::newRow("no point: the left edge's sample") << 0 << 0 << 1 << 0 << "Start:15 Mar 2023 00:00:00"
                                                          << "End:15 Mar 2023 00:00:00";
        QTest::newRow("no point, zoom past the record") << 99 << 90 << 10 << 0 << "Start:15 Mar 2023 00:00:09"
                                                        << "End:15 Mar 2023 00:00:09";
        QTest::newRow("empty record") << -1 << 0 << 1 << 0 << "Start: 0" << "End: 0";
        QTest::newRow("start past the record") << 99 << 150 << 1 << 0 << "Start: 0" << "End: 0";
    }
    void statusTexts()
    {
        QFETCH(int, newest);
        QFETCH(int, start);
        QFETCH(int, zoom);
        QFETCH(int, count);
        QFETCH(QString, startText);
        QFETCH(QString, endText);
        Record record(newest + 1, 50);
        TrendChartInput in = InputFor(record);
        in.start = start;
        in.zoom = zoom;
        const Drawn d = Draw(in);
        QCOMPARE(TrendPointCount(newest, start, zoom, W), count);
        QVERIFY(d.result.status);
        QCOMPARE(d.result.status->start, startText);
        QCOMPARE(d.result.status->end, endText);
        QCOMPARE(d.result.status->length, QString("Length:%1").arg(count));
        QCOMPARE(d.result.status->samplingStep, QString("Sampling step:%1S").arg(zoom));
        QCOMPARE(d.result.markerTop[0].has_value(), count > 0);
    }

    void unreadableStampsShowZero()
    {
        Record record(10);
        record.times[9] = std::numeric_limits<double>::quiet_NaN();
        record.times[1] = 1e300;
        const TrendStatusTexts texts = TrendStatus(9, 0, 1, 9, record.times.data(), QLocale::c());
        QCOMPARE(texts.start + texts.end, QString("Start: 0End: 0"));
        QCOMPARE(TrendStatus(9, 0, 1, 9, nullptr, QLocale::c()).start, QString("Start: 0"));
    }

    void widePenCoverage_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QPoint>("extra");  // where each path pixel's second pixel goes
        QTest::newRow("right") << QPoint(5, 10) << QPoint(15, 10) << QPoint(0, 1);
        QTest::newRow("left") << QPoint(15, 10) << QPoint(5, 10) << QPoint(0, 1);
        QTest::newRow("up") << QPoint(10, 15) << QPoint(10, 5) << QPoint(1, 0);
        QTest::newRow("45 degrees counts as horizontal") << QPoint(5, 5) << QPoint(12, 12) << QPoint(0, 1);
        QTest::newRow("steep") << QPoint(8, 3) << QPoint(10, 17) << QPoint(1, 0);
    }
    void widePenCoverage()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QPoint, extra);
        QImage thin(24, 24, QImage::Format_RGB32), wide(24, 24, QImage::Format_RGB32);
        thin.fill(kUntouched);
        wide.fill(kUntouched);
        {
            QPainter p(&thin);
            DrawPixelLine(p, from, to, QColor(kRed));
            QPainter q(&wide);
            DrawPixelLine(q, from, to, QColor(kRed), LineStyle::Solid, 2);
        }
        // Wide = thin plus thin shifted by `extra`; the end point stays out.
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                const QPoint back = QPoint(x, y) - extra;
                const bool want = thin.pixel(x, y) == kRed || (thin.valid(back) && thin.pixel(back) == kRed);
                QVERIFY2((wide.pixel(x, y) == kRed) == want, qPrintable(QString("(%1,%2)").arg(x).arg(y)));
            }
        }
        QCOMPARE(wide.pixel(to), kUntouched);
    }

    void lineFromFarOutsideDrawsItsVisiblePart()
    {
        // Drawn onto a small image, and through a translation (which draws
        // the whole line) onto a tall one: the visible pixels agree.
        const QPoint from(3, -4000), to(6, 20);
        QImage small(12, 24, QImage::Format_RGB32), tall(12, 4100, QImage::Format_RGB32);
        small.fill(kUntouched);
        tall.fill(kUntouched);
        {
            QPainter p(&small);
            DrawPixelLine(p, from, to, QColor(kRed), LineStyle::Dotted, 2);
            QPainter q(&tall);
            q.translate(0, 4050);
            DrawPixelLine(q, from, to, QColor(kRed), LineStyle::Dotted, 2);
        }
        QCOMPARE(small, tall.copy(0, 4050, 12, 24));
        QVERIFY(Count(small, small.rect(), {kRed}) > 0);
    }
};

QTEST_MAIN(TrendChartTest)
#include "test_trend_chart.moc"
