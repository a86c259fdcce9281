#include "display/main_layout.h"

#include <algorithm>

namespace {

constexpr int kProportionalColumnsFrom = 830;  // narrower panels use fixed columns
constexpr int kWideReadoutsFrom = 930;
constexpr int kNarrowReadoutWidth = 83;
constexpr int kWideReadoutWidth = 93;

constexpr std::array<int, kReadoutColumns> kFixedLabelLefts = {5, 125, 258};
constexpr std::array<int, kReadoutColumns> kFixedReadoutLefts = {45, 172, 303};

QRect SizedRect(int left, int top, int width, int height)
{
    return QRect(left, top, std::max(width, 0), std::max(height, 0));
}

} // namespace

MainLayoutGeometry ComputeMainLayout(const QSize& clientPanelSize)
{
    const int W = clientPanelSize.width();
    const int H = clientPanelSize.height();
    const int gw = (W - 12) / 2;
    const int gh = (H - 12) / 2;
    const int ph = gh - 20;

    MainLayoutGeometry g;
    g.groupBoxes = {SizedRect(4, 4, gw, gh), SizedRect(gw + 8, 4, gw, gh), SizedRect(4, gh + 8, gw, gh),
                    SizedRect(gw + 8, gh + 8, gw, gh)};
    g.plotPanel = SizedRect(4, 16, gw - 8, ph);

    std::array<int, kReadoutColumns> labelLefts = kFixedLabelLefts;
    std::array<int, kReadoutColumns> readoutLefts = kFixedReadoutLefts;
    if (W >= kProportionalColumnsFrom) {
        const int q = (gw - 10) / 3;
        labelLefts = {10, q + 10, 2 * q + 10};
        readoutLefts = {60, q + 58, 2 * q + 58};
    }
    const int readoutWidth = W >= kWideReadoutsFrom ? kWideReadoutWidth : kNarrowReadoutWidth;

    const int rowPitch = ph / kReadoutRows;
    for (int row = 0; row < kReadoutRows; ++row) {
        const int readoutTop = ph / 15 + 9 + row * rowPitch;
        const int labelTop = ph / 15 + 20 + row * rowPitch;
        for (int col = 0; col < kReadoutColumns; ++col) {
            g.labelPositions[size_t(row)][size_t(col)] = QPoint(labelLefts[size_t(col)], labelTop);
            g.readoutRects[size_t(row)][size_t(col)] =
                QRect(readoutLefts[size_t(col)], readoutTop, readoutWidth, kReadoutHeight);
        }
    }
    return g;
}
