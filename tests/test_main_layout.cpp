// Geometry of the main window's client panel: group boxes, the common plot
// panel size, the readout columns chosen by width, readout widths and rows;
// and the readout grid of the fifteen panels with their labels.

#include "display/main_layout.h"
#include "display/readout_panels.h"

#include <QSet>
#include <QtTest>

class MainLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void worked1012x612()
    {
        const MainLayoutGeometry g = ComputeMainLayout(QSize(1012, 612));
        // gw = 500, gh = 300, ph = 280.
        QCOMPARE(g.groupBoxes[0], QRect(4, 4, 500, 300));
        QCOMPARE(g.groupBoxes[1], QRect(508, 4, 500, 300));
        QCOMPARE(g.groupBoxes[2], QRect(4, 308, 500, 300));
        QCOMPARE(g.groupBoxes[3], QRect(508, 308, 500, 300));
        QCOMPARE(g.plotPanel, QRect(4, 16, 492, 280));

        const int readoutTops[kReadoutRows] = {27, 83, 139, 195, 251};
        // q = (500 - 10) div 3 = 163.
        const int labelLefts[kReadoutColumns] = {10, 173, 336};
        const int readoutLefts[kReadoutColumns] = {60, 221, 384};
        for (int row = 0; row < kReadoutRows; ++row) {
            for (int col = 0; col < kReadoutColumns; ++col) {
                QCOMPARE(g.readoutRects[size_t(row)][size_t(col)],
                         QRect(readoutLefts[col], readoutTops[row], 93, kReadoutHeight));
                QCOMPARE(g.labelPositions[size_t(row)][size_t(col)], QPoint(labelLefts[col], readoutTops[row] + 11));
            }
        }
    }

    void columnsAndWidthByPanelWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("labelLefts");
        QTest::addColumn<QList<int>>("readoutLefts");
        QTest::addColumn<int>("readoutWidth");
        QTest::newRow("829: fixed columns") << 829 << QList<int>{5, 125, 258} << QList<int>{45, 172, 303} << 83;
        // gw = 409, q = 133.
        QTest::newRow("830: proportional") << 830 << QList<int>{10, 143, 276} << QList<int>{60, 191, 324} << 83;
        // gw = 458, q = 149.
        QTest::newRow("929: narrow readouts") << 929 << QList<int>{10, 159, 308} << QList<int>{60, 207, 356} << 83;
        QTest::newRow("930: wide readouts") << 930 << QList<int>{10, 159, 308} << QList<int>{60, 207, 356} << 93;
    }
    void columnsAndWidthByPanelWidth()
    {
        QFETCH(int, width);
        QFETCH(QList<int>, labelLefts);
        QFETCH(QList<int>, readoutLefts);
        QFETCH(int, readoutWidth);
        const MainLayoutGeometry g = ComputeMainLayout(QSize(width, 600));
        for (int row = 0; row < kReadoutRows; ++row) {
            for (int col = 0; col < kReadoutColumns; ++col) {
                QCOMPARE(g.labelPositions[size_t(row)][size_t(col)].x(), labelLefts[col]);
                QCOMPARE(g.readoutRects[size_t(row)][size_t(col)].x(), readoutLefts[col]);
                QCOMPARE(g.readoutRects[size_t(row)][size_t(col)].width(), readoutWidth);
            }
        }
    }

    void plotPanelsShareOneSizeAndFitTheirBoxes_data()
    {
        QTest::addColumn<QSize>("panel");
        QTest::newRow("even") << QSize(1012, 612);
        QTest::newRow("odd") << QSize(1013, 613);
        QTest::newRow("maximised full HD") << QSize(1920, 960);
    }
    void plotPanelsShareOneSizeAndFitTheirBoxes()
    {
        QFETCH(QSize, panel);
        const MainLayoutGeometry g = ComputeMainLayout(panel);
        for (const QRect& box : g.groupBoxes) {
            QCOMPARE(box.size(), g.groupBoxes[0].size());
            QVERIFY(QRect(QPoint(0, 0), panel).contains(box));
            QVERIFY(QRect(QPoint(0, 0), box.size()).contains(g.plotPanel));
        }
    }

    void tinyPanelGivesNoNegativeSizes()
    {
        const MainLayoutGeometry g = ComputeMainLayout(QSize(10, 30));
        for (const QRect& box : g.groupBoxes) QVERIFY(box.width() >= 0 && box.height() >= 0);
        QCOMPARE(g.plotPanel.size(), QSize(0, 0));
    }

    // Every cell of the five-by-three grid holds exactly one readout, beside
    // the label numbered down the columns (Label1..Label5 in column 1).
    void readoutGrid()
    {
        QSet<int> cells;
        for (int i = 0; i < kReadoutPanelCount; ++i) {
            const ReadoutPanelInfo& info = ReadoutInfo(ReadoutPanel(i));
            QVERIFY(info.row >= 0 && info.row < kReadoutRows);
            QVERIFY(info.column >= 0 && info.column < kReadoutColumns);
            cells.insert(info.row * kReadoutColumns + info.column);
            QCOMPARE(QString::fromLatin1(info.labelName),
                     QStringLiteral("Label%1").arg(info.column * kReadoutRows + info.row + 1));
        }
        QCOMPARE(cells.size(), kReadoutPanelCount);

        const ReadoutPanelInfo& urms = ReadoutInfo(ReadoutPanel::Panel_URMS);
        QCOMPARE(QString::fromLatin1(urms.labelCaption), QStringLiteral("Voltage "));
        QCOMPARE(qMakePair(urms.row, urms.column), qMakePair(0, 0));
        const ReadoutPanelInfo& pq = ReadoutInfo(ReadoutPanel::Panel_PQ);
        QCOMPARE(QString::fromLatin1(pq.labelCaption), QStringLiteral("     Q"));
        QCOMPARE(qMakePair(pq.row, pq.column), qMakePair(2, 2));
        const ReadoutPanelInfo& ikf = ReadoutInfo(ReadoutPanel::PANEL_IKF);
        QCOMPARE(QString::fromLatin1(ikf.panelName), QStringLiteral("PANEL_IKF"));
        QCOMPARE(qMakePair(ikf.row, ikf.column), qMakePair(4, 0));
    }
};

QTEST_MAIN(MainLayoutTest)
#include "test_main_layout.moc"
