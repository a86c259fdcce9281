#pragma once
// Geometry of the main window's client panel: a two-by-two grid of group
// boxes (waveform, readouts, voltage harmonics, current harmonics), plot
// panels of one common size, and the fifteen readouts in five rows of three.
// A pure function of the panel's size; the window applies it on every resize.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

constexpr int kReadoutRows = 5;
constexpr int kReadoutColumns = 3;
constexpr int kReadoutHeight = 33;

struct MainLayoutGeometry {
    // GroupBox1 (waveform), GroupBox2 (readouts), GroupBox3 (voltage
    // harmonics), GroupBox4 (current harmonics), in the client panel.
    std::array<QRect, 4> groupBoxes;
    // Panel2, Panel3 and Panel4 inside their group boxes (all the same); the
    // paint boxes Pic1, Pic2 and Pic3 fill them.
    QRect plotPanel;
    // In GroupBox2, by [row][column]: top-left of each label and the rectangle
    // of each readout.
    std::array<std::array<QPoint, kReadoutColumns>, kReadoutRows> labelPositions;
    std::array<std::array<QRect, kReadoutColumns>, kReadoutRows> readoutRects;
};

// Sizes that the formulas would make negative (a window shrunk to almost
// nothing) are given as 0; positions are kept as computed.
MainLayoutGeometry ComputeMainLayout(const QSize& clientPanelSize);
