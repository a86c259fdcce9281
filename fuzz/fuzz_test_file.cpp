// Opening a test file, as the main window does: the file is read into the
// shared record and everything the window shows of it is drawn (readouts,
// waveform plot, both harmonic charts) and the harmonic table is filled. A
// test file has no header or checksum, so any 8052 bytes are a test: every
// value, sample count and zero level the drawing meets may be anything.

#include "fuzz_support.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/test_file.h"
#include "display/display_colors.h"
#include "display/harmonic_table.h"
#include "display/main_display.h"
#include "recording/record_settings.h"

#include <cstring>
#include <memory>

namespace {

// The main window's plot size on a small screen: the plots are drawn at
// this size whatever the record holds.
const QSize kScreen(640, 400);
const QSize kPlot(300, 180);

class NullDisplayView : public MainDisplayView {
public:
    QSize plotSize() const override { return kPlot; }
    void showReadouts(const std::array<QString, kReadoutPanelCount>& texts) override
    {
        for (const QString& text : texts) FUZZ_CHECK(text.size() < 200);
    }
    void plotsChanged() override {}
};

struct Display {
    AcquisitionState state;
    MainSurfaces surfaces;
    DisplayColors colors;
    NullDisplayView view;
    Display() { InitAcquisitionState(state, kScreen, &surfaces); }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzStartQt("fuzz_test_file");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Display* display = new Display;  // created once, as the main window's are
    const QString path = FuzzWriteFile("input.vqm", data, size);
    const TestRecordImage before = display->state.TestRecord;
    QString error;
    if (!LoadTestFile(path, display->state.TestRecord, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(std::memcmp(&before, &display->state.TestRecord, sizeof before) == 0);
        return 0;
    }
    FUZZ_CHECK(size >= size_t(kTestRecordSize));
    FUZZ_CHECK(std::memcmp(display->state.TestRecord.bytes(), data, kTestRecordSize) == 0);

    RedrawMainDisplay(display->state, display->surfaces, display->colors, display->view);
    for (int order = 0; order < kHarmonicCount; ++order)
        for (int column = 0; column < kHarmonicTableColumns; ++column)
            HarmonicTableCell(display->state.TestRecord, column, order);
    // What a recording would take from this measurement.
    for (int code = 0; code < kQuantityCodeCount; ++code) QuantityValue(display->state.TestRecord, code);
    return 0;
}
