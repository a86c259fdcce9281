// The record window's view rules at the sizes the window meets: zoom against
// a 638-pixel chart, Forward and Back, the scroll bar around 450 samples, the
// track bar, the mode toggle, channel visibility and scales, and the cursor.

#include "recording/view_state.h"

#include <QtTest>

namespace {

constexpr int kChart = 638;  // round(0.95 * 638) = 606, round(0.5 * 638) = 319

RecordExtent Extent(int mode, int n) { return mode == 0 ? RecordExtent{n, -1} : RecordExtent{0, n}; }

} // namespace

class ViewStateTest : public QObject {
    Q_OBJECT

private slots:
    void zoomOutNeedsMoreSamplesThanTheChartShows_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("n");  // count in Recording, last index in Inspection
        QTest::addColumn<int>("zoomBefore");
        QTest::addColumn<int>("zoomAfter");
        QTest::newRow("606 samples: refused") << 0 << 606 << 1 << 1;
        QTest::newRow("607 samples") << 0 << 607 << 1 << 2;
        QTest::newRow("1213 at zoom 2: refused") << 0 << 1213 << 2 << 2;
        QTest::newRow("1214 at zoom 2") << 0 << 1214 << 2 << 3;
        QTest::newRow("inspection, last index 606") << 1 << 606 << 1 << 1;
        QTest::newRow("inspection, last index 607") << 1 << 607 << 1 << 2;
        QTest::newRow("empty opened record") << 1 << -1 << 1 << 1;
    }
    void zoomOutNeedsMoreSamplesThanTheChartShows()
    {
        QFETCH(int, mode);
        QFETCH(int, n);
        QFETCH(int, zoomBefore);
        QFETCH(int, zoomAfter);
        TrendViewState s;
        s.mode = ViewMode(mode);
        s.zoomInView() = zoomBefore;
        const ViewChange c = ZoomOut(s, Extent(mode, n), kChart);
        QCOMPARE(s.zoomInView(), zoomAfter);
        QCOMPARE(s.zoom[size_t(1 - mode)], 1);
        const bool accepted = zoomAfter != zoomBefore;
        QCOMPARE(c.zoomOutEnabled, accepted ? std::nullopt : std::optional<bool>(false));
        QCOMPARE(c.trackBarPosition, accepted ? std::optional<int>(151 - zoomAfter) : std::nullopt);
        QCOMPARE(c.zoomInEnabled, std::optional<bool>(true));
        // Only the live view moves its grid with the zoom.
        QCOMPARE(c.gridTimerIntervalMs, mode == 0 ? std::optional<int>(zoomAfter * 1000) : std::nullopt);
        QCOMPARE(c.scrollBarPosition, n > 0 ? std::optional<int>(0) : std::nullopt);
    }

    void zoomInStopsAtOne()
    {
        TrendViewState s;
        s.zoom[0] = 2;
        s.start[0] = 1000;
        ViewChange c = ZoomIn(s, Extent(0, 9000));
        QCOMPARE(s.zoom[0], 1);
        QCOMPARE(c.trackBarPosition, std::optional<int>(150));
        QCOMPARE(c.zoomOutEnabled, std::optional<bool>(true));
        QCOMPARE(c.zoomInEnabled, std::nullopt);
        QCOMPARE(c.gridTimerIntervalMs, std::optional<int>(1000));
        QCOMPARE(c.scrollBarPosition, std::optional<int>(50));  // 1000 * 450 / 9000
        c = ZoomIn(s, Extent(0, 9000));
        QCOMPARE(s.zoom[0], 1);
        QCOMPARE(c.zoomInEnabled, std::optional<bool>(false));
    }

    void backFromTwoHundredReachesZeroThenDisables()
    {
        TrendViewState s;
        s.mode = ViewMode::Inspection;
        s.start[1] = 200;
        ViewChange c = Back(s, Extent(1, 5000));
        QCOMPARE(s.start[1], 0);
        QCOMPARE(c.backEnabled, std::nullopt);
        QCOMPARE(c.forwardEnabled, std::optional<bool>(true));
        c = Back(s, Extent(1, 5000));
        QCOMPARE(c.backEnabled, std::optional<bool>(false));
        s.start[1] = 1000;
        c = Back(s, Extent(1, 5000));
        QCOMPARE(s.start[1], 700);
        QCOMPARE(c.scrollBarPosition, std::optional<int>(63));  // 700 * 450 / 5000
    }

    void forwardStepsFiveHundred_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("n");
        QTest::addColumn<QList<int>>("starts");  // after each Forward; -1: refused
        // Recording compares against count - start, Inspection against the
        // last index.
        QTest::newRow("recording 2000") << 0 << 2000 << QList<int>{500, 1000, -1};
        QTest::newRow("recording 1000") << 0 << 1000 << QList<int>{500, -1};
        QTest::newRow("recording 500") << 0 << 500 << QList<int>{-1};
        QTest::newRow("inspection 1200") << 1 << 1200 << QList<int>{500, 1000, -1};
        QTest::newRow("inspection 500") << 1 << 500 << QList<int>{-1};
    }
    void forwardStepsFiveHundred()
    {
        QFETCH(int, mode);
        QFETCH(int, n);
        QFETCH(QList<int>, starts);
        TrendViewState s;
        s.mode = ViewMode(mode);
        int expected = 0;
        for (int next : starts) {
            const ViewChange c = Forward(s, Extent(mode, n));
            QCOMPARE(c.backEnabled, std::optional<bool>(true));
            QCOMPARE(c.forwardEnabled, next < 0 ? std::optional<bool>(false) : std::nullopt);
            expected = next < 0 ? expected : next;
            QCOMPARE(s.startInView(), expected);
            QCOMPARE(c.scrollBarPosition, std::optional<int>(int(std::nearbyint(expected * 450.0 / n))));
        }
    }

    void scrollBarNeedsMoreThan450Samples_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("start");  // -1: ignored
        // On a 300-pixel chart any start leaving more than 285 samples will do.
        QTest::newRow("recording 450 samples") << 0 << 450 << 10 << 300 << -1;
        QTest::newRow("recording 451 samples") << 0 << 451 << 0 << 300 << 0;
        QTest::newRow("inspection 451 samples") << 1 << 450 << 10 << 300 << -1;
        QTest::newRow("inspection 452 samples") << 1 << 451 << 150 << 300 << 150;
        // With 2000 samples on 638 pixels a start must leave more than 606.1.
        QTest::newRow("leaves 609") << 0 << 2000 << 313 << kChart << 1391;
        QTest::newRow("leaves 605") << 0 << 2000 << 314 << kChart << -1;
        QTest::newRow("full record") << 1 << 449999 << 449 << kChart << 448999;
    }
    void scrollBarNeedsMoreThan450Samples()
    {
        QFETCH(int, mode);
        QFETCH(int, n);
        QFETCH(int, position);
        QFETCH(int, width);
        QFETCH(int, start);
        TrendViewState s;
        s.mode = ViewMode(mode);
        s.startInView() = 77;
        const ViewChange c = ScrollBarMoved(s, position, Extent(mode, n), width);
        QCOMPARE(s.startInView(), start < 0 ? 77 : start);
        QCOMPARE(c.redraw, start < 0 ? Redraw::None : Redraw::Deferred);
    }

    void trackBarSetsZoomWhenHalfAChartOfPointsRemain_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("zoom");
        QTest::newRow("zoom 3 of 957: refused") << 148 << 957 << 7;
        QTest::newRow("zoom 3 of 960") << 148 << 960 << 3;
        QTest::newRow("zoom 151") << 0 << 450000 << 151;
    }
    void trackBarSetsZoomWhenHalfAChartOfPointsRemain()
    {
        QFETCH(int, position);
        QFETCH(int, count);
        QFETCH(int, zoom);
        TrendViewState s;
        s.zoom[0] = 7;
        const ViewChange c = TrackBarMoved(s, position, Extent(0, count), kChart);
        QCOMPARE(s.zoom[0], zoom);
        QCOMPARE(c.gridTimerIntervalMs, zoom == 7 ? std::nullopt : std::optional<int>(zoom * 1000));
        QCOMPARE(c.redraw, Redraw::Deferred);
    }

    void modeToggleStartAndOpenShowEachModesOwnView()
    {
        TrendViewState s;
        s.zoom = {2, 5};
        s.start = {100, 900};
        ViewChange c = ToggleViewMode(s, RecordExtent{1000, 1800});
        QCOMPARE(s.mode, ViewMode::Inspection);
        QCOMPARE(c.modeText, std::optional<QString>("Inspection"));
        QCOMPARE(c.trackBarPosition, std::optional<int>(146));
        QCOMPARE(c.scrollBarPosition, std::optional<int>(225));  // 900 * 450 / 1800
        c = ToggleViewMode(s, RecordExtent{0, 1800});
        QCOMPARE(c.modeText, std::optional<QString>("Recording"));
        QCOMPARE(c.scrollBarPosition, std::nullopt);  // nothing recorded

        ToggleViewMode(s, RecordExtent{});
        c = ShowLiveRecordFromStart(s);
        QCOMPARE(s.mode, ViewMode::Recording);
        QCOMPARE(s.zoom, (std::array<int32_t, 2>{1, 5}));
        QCOMPARE(s.start, (std::array<int32_t, 2>{0, 900}));
        QCOMPARE(c.trackBarPosition, std::optional<int>(150));
        QCOMPARE(c.scrollBarPosition, std::optional<int>(0));
        c = ShowOpenedRecord(s, RecordExtent{0, 1800});
        QCOMPARE(s.mode, ViewMode::Inspection);
        QCOMPARE(s.startInView(), 900);
        QCOMPARE(c.trackBarPosition, std::optional<int>(146));
        QCOMPARE(c.scrollBarPosition, std::optional<int>(225));
        // A shorter record than the start kept: its newest sample is shown.
        c = ShowOpenedRecord(s, RecordExtent{0, 900});
        QCOMPARE(s.start, (std::array<int32_t, 2>{0, 0}));
        QCOMPARE(s.zoomInView(), 5);
        QCOMPARE(c.scrollBarPosition, std::optional<int>(0));
        c = ShowOpenedRecord(s, RecordExtent{0, -1});
        QCOMPARE(c.scrollBarPosition, std::nullopt);  // empty record
        QCOMPARE(CycleRangeMode(s).rangeText, std::optional<QString>("Range: P and N"));
    }

    void scalesStepThroughTheTable()
    {
        TrendViewState s;
        ChannelChange c = ScaleChannelUp(s, 2);
        QCOMPARE(s.scale[2], 1.0f);  // the initial 1.0 is index 4, not 3
        QCOMPARE(c.scaleDownEnabled, std::optional<bool>(true));
        for (int i = 0; i < 12; ++i) c = ScaleChannelUp(s, 2);
        QCOMPARE(s.scale[2], 10000.0f);
        QCOMPARE(c.scaleUpEnabled, std::optional<bool>(false));
        ScaleChannelUp(s, 2);  // a click that still arrives
        QCOMPARE(s.scaleIndex[2], uint8_t(16));

        c = ScaleChannelDown(s, 4);
        QCOMPARE(s.scale[4], 0.25f);
        QCOMPARE(c.scaleUpEnabled, std::optional<bool>(true));
        for (int i = 0; i < 3; ++i) c = ScaleChannelDown(s, 4);
        QCOMPARE(s.scale[4], 0.05f);
        QCOMPARE(c.scaleDownEnabled, std::optional<bool>(false));
    }

    void hidingAndShowingAChannel_data()
    {
        QTest::addColumn<int>("scaleIndex");
        QTest::addColumn<bool>("upOnShow");
        QTest::addColumn<bool>("downOnShow");
        QTest::newRow("middle") << 7 << true << true;
        QTest::newRow("top") << 16 << false << true;
        QTest::newRow("bottom") << 0 << true << false;
    }
    void hidingAndShowingAChannel()
    {
        QFETCH(int, scaleIndex);
        TrendViewState s;
        s.scaleIndex[5] = uint8_t(scaleIndex);
        ChannelChange c = ToggleChannelVisible(s, 5);
        QVERIFY(!s.visible[5]);
        QCOMPARE(c.labelsEnabled, std::optional<bool>(false));
        QCOMPARE(c.markerVisible, std::optional<bool>(false));
        QCOMPARE(c.scaleUpEnabled, std::optional<bool>(false));
        QCOMPARE(c.scaleDownEnabled, std::optional<bool>(false));
        c = ToggleChannelVisible(s, 5);
        QCOMPARE(c.labelsEnabled, std::optional<bool>(true));
        QTEST(c.scaleUpEnabled.value(), "upOnShow");
        QTEST(c.scaleDownEnabled.value(), "downOnShow");
    }

    void cursorPointsAtSamplesInView_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("sample");  // -1: beyond the data
        // Recording: 100 samples, zoom 2, start 10. Inspection: last index
        // 50, zoom 1, start 0.
        QTest::newRow("left edge") << 0 << 0 << 89;
        QTest::newRow("column 44") << 0 << 44 << 1;
        QTest::newRow("column 45: sample 0 is not shown") << 0 << 45 << -1;
        QTest::newRow("left of the chart") << 0 << -1 << -1;
        QTest::newRow("inspection left edge") << 1 << 0 << 50;
        QTest::newRow("inspection column 50") << 1 << 50 << -1;
    }
    void cursorPointsAtSamplesInView()
    {
        QFETCH(int, mode);
        QFETCH(int, x);
        QFETCH(int, sample);
        TrendViewState s;
        s.mode = ViewMode(mode);
        s.zoom = {2, 1};
        s.start = {10, 0};
        QCOMPARE(CursorSampleIndex(s, RecordExtent{100, 50}, x),
                 sample < 0 ? std::nullopt : std::optional<int32_t>(sample));
    }
};

QTEST_GUILESS_MAIN(ViewStateTest)
#include "test_view_state.moc"
