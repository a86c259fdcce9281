#pragma once
// The starting test as its window drives it: the range code of the start
// request, the "Starting" command, and the view through the capture (start
// offset and step) with the rules of its four buttons. The trigger
// acknowledgement and the six blocks are handled by the reply handler.

#include <QString>

#include <cstdint>

class QImage;
struct AcquisitionState;
class InstrumentRequests;
class Notifier;

constexpr int kStartingMoveSamples = 320;  // one press of a move button
constexpr int kStartingLastOffset = 2240;  // the last start offset a move reaches
constexpr int kStartingLargestStep = 4;    // samples per point

// Start request quantity: the current range in the high nibble (0 = the
// highest), the voltage range in the low nibble (0 = 300 V).
uint16_t StartingRangeCode(int currentRangeIndex, int voltageRangeIndex);

// Where the plot starts in the capture and how many samples make a point.
// A button pressed at its limit changes nothing and switches itself off;
// any press switches its opposite on again. Each call answers whether the
// pressed button stays on.
struct StartingPlotView {
    int startOffset = 0;
    int step = 1;

    bool moveLeft();
    bool moveRight();
    bool largerStep();
    bool smallerStep();
};

enum class StartingStartResult {
    RefusedWhileSampling,  // told to stop sampling first; nothing sent
    Declined,              // the user answered No; nothing changed
    Sent,                  // the start request went out
    NotSent,               // the port is closed; the user was told
};

// "Starting": refused while sampling runs; otherwise, once the user has
// confirmed, sends the start request with the range code and records it, so
// that blocks of an earlier transfer still arriving are ignored and a
// repeat asks for the start again.
StartingStartResult StartStartingTest(AcquisitionState& state, InstrumentRequests& requests, Notifier& notifier,
                                      uint16_t rangeCode);

// Writes picture as a 24-bit bitmap file, replacing path only once the whole
// file is written. False with the reason when it cannot be written.
bool SaveStartingPicture(const QString& path, const QImage& picture, QString* error);

// Sets the capture the plot shows before any test: both scale factors 1 and
// every sample at the converter's midscale, two flat lines at zero.
void ClearStartingCapture(AcquisitionState& state);
