#pragma once
// The fifteen numeric readouts of the main window: which quantity each shows,
// how its number is written, its label and its cell in the five-by-three grid.

#include "acquisition/acquisition_state.h"

#include <QString>

#include <array>

// The readouts in the order in which they are formatted; the names are the
// window's component names.
enum class ReadoutPanel : int {
    Panel_URMS,
    Panel_IRMS,
    Panel_UPP,
    Panel_IPP,
    Panel_UF,
    Panel_IPA,
    Panel_WRMS,
    Panel_PS,
    Panel_PQ,
    Panel_PF,
    Panel_VTHD,
    Panel_ITHD,
    PANEL_IKF,
    Panel_VKF,
    Panel_KWH,
};
constexpr int kReadoutPanelCount = 15;

struct ReadoutPanelInfo {
    const char* panelName;     // component name of the readout
    const char* labelName;     // component name of its label
    const char* labelCaption;  // shown exactly, blanks included
    int row;                   // 0..4
    int column;                // 0..2
};

const ReadoutPanelInfo& ReadoutInfo(ReadoutPanel panel);

// Texts of all fifteen readouts, indexed by ReadoutPanel. A ReactivePower that
// is not a number is set to 0 in the record itself before it is formatted.
std::array<QString, kReadoutPanelCount> FormatReadouts(TestRecordImage& record);
