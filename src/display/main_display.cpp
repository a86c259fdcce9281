#include "display/main_display.h"

void MainSurfaces::createMainSurfaces(const QSize& screenSize)
{
    if (!WaveSurface.isNull()) return;
    const QSize size(screenSize.width() / 2, screenSize.height() / 2);
    if (size.isEmpty()) return;
    for (QImage* surface : {&WaveSurface, &VoltageHarmonicSurface, &CurrentHarmonicSurface}) {
        *surface = QImage(size, QImage::Format_RGB32);
        surface->fill(Qt::black);
    }
}

MainDisplayView::~MainDisplayView() = default;

void RedrawMainDisplay(AcquisitionState& state, MainSurfaces& surfaces, const DisplayColors& colors,
                       MainDisplayView& view)
{
    TestRecordImage& record = state.TestRecord;
    view.showReadouts(FormatReadouts(record));

    const QSize picSize = view.plotSize();
    state.PlotRect = QRect(0, 0, picSize.width(), picSize.height());

    float scale = DrawWaveform(surfaces.WaveSurface, picSize, record, colors);
    DrawHarmonicChart(surfaces.VoltageHarmonicSurface, picSize, record.VoltageHarmonics, kVoltageBarColor, colors,
                      scale);
    DrawHarmonicChart(surfaces.CurrentHarmonicSurface, picSize, record.CurrentHarmonics, kCurrentBarColor, colors,
                      scale);
    view.plotsChanged();
}
