#pragma once
// The instrument-settings block of register 188 as the settings window shows
// it: the controls' values turned into the 19 bytes the instrument takes, and
// a block read from the instrument turned back into control values.
//
// The transformer's angle difference travels as a time, the angle's share of
// one period of the reference frequency (50 Hz unless 60 Hz is chosen). The
// instrument always reads it back over a 20 ms period, so an angle written
// at 60 Hz comes back smaller (10 degrees -> 8.333333).

#include "acquisition/acquisition_state.h"

#include <QString>

enum class CurrentRangeMode { Unset, Auto, Lock };  // neither radio button, "Auto  ", "Lock"

// What the window's controls hold. Item indexes are -1 when a list or group
// has no selection.
struct CtSettingsControls {
    QString angleText = QStringLiteral("0");         // degrees, -30 .. +30
    int frequencyItem = -1;                          // 0 " 50 Hz ", 1 " 60 Hz "; not part of the block
    QString currentRatioText = QStringLiteral("1");
    QString voltageRatioText = QStringLiteral("1");
    int bandwidthItem = 0;                           // 0 narrowband, 1 broadband
    int thdItem = 0;                                 // 0 %F, 1 %R
    int filterItem = 9;                              // coefficient - 1
    bool filterOn = false;
    CurrentRangeMode rangeMode = CurrentRangeMode::Unset;
    int rangeItem = 0;                               // range - 1
};

constexpr double kMaxAngleDifference = 30.0;  // degrees, either way; both ends allowed

struct CtSettingsEncoding {
    enum class Refusal { None, AngleAboveLimit, AngleBelowLimit, NotANumber };
    enum class Field { Angle, CurrentRatio, VoltageRatio };

    Refusal refusal = Refusal::None;
    Field field = Field::Angle;  // the field whose text is no number
    CtSettingsBlock block{};     // valid when refusal is None
};

// The block for the controls. Byte 17, which nothing here shows, is carried
// over from lastReadOut. An empty number field counts as 0. The angle is
// checked before the ratios are read, as the user sees them top to bottom.
CtSettingsEncoding EncodeCtSettings(const CtSettingsControls& controls, const CtSettingsBlock& lastReadOut);

// The control values for a block read from the instrument; frequencyItem is
// left -1 because the block does not carry it. Values outside a list's items
// leave that list without a selection.
CtSettingsControls DecodeCtSettings(const CtSettingsBlock& block);

