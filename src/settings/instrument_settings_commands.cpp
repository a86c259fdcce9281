#include "settings/instrument_settings_commands.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/main_window_view.h"
#include "acquisition/notifier.h"
#include "link/register_map.h"
#include "settings/typed_number.h"

#include <QCoreApplication>

namespace {

// The read from the settings window asks for the block as eighteen registers.
constexpr uint16_t kSettingsReadCount = 18;

QString FieldCaption(CtSettingsEncoding::Field field)
{
    switch (field) {
    case CtSettingsEncoding::Field::Angle: return InstrumentSettingsCommands::tr("Angle difference");
    case CtSettingsEncoding::Field::CurrentRatio: return InstrumentSettingsCommands::tr("Current transformer ratio");
    case CtSettingsEncoding::Field::VoltageRatio: return InstrumentSettingsCommands::tr("Voltage transformer ratio");
    }
    return QString();
}

QString FieldText(const CtSettingsControls& controls, CtSettingsEncoding::Field field)
{
    switch (field) {
    case CtSettingsEncoding::Field::Angle: return controls.angleText;
    case CtSettingsEncoding::Field::CurrentRatio: return controls.currentRatioText;
    case CtSettingsEncoding::Field::VoltageRatio: return controls.voltageRatioText;
    }
    return QString();
}

} // namespace

InstrumentSettingsCommands::InstrumentSettingsCommands(AcquisitionState& state, InstrumentRequests& requests,
                                                       MainWindowView& mainWindow, Notifier& notifier)
    : state_(state), requests_(requests), mainWindow_(mainWindow), notifier_(notifier)
{
}

QString InstrumentSettingsCommands::save(const CtSettingsControls& controls)
{
    using Refusal = CtSettingsEncoding::Refusal;
    const CtSettingsEncoding encoding = EncodeCtSettings(controls, state_.CtSettings);
    switch (encoding.refusal) {
    case Refusal::None: break;
    case Refusal::AngleAboveLimit:
        notifier_.message(tr("Angle difference is not greater than 30 degrees, the data is invalid!"));
        return QString();
    case Refusal::AngleBelowLimit:
        notifier_.message(tr("Angle difference can not be less than -30 degrees, the data is invalid!"));
        return QString();
    case Refusal::NotANumber:
        notifier_.message(NotANumberText(FieldCaption(encoding.field), FieldText(controls, encoding.field)),
                          QString(), Notifier::Icon::Warning);
        return QString();
    }

    // The mirror follows the instrument only when the block really goes out.
    if (!requests_.WriteInstrumentSettings(encoding.block)) {
        notifier_.message(RequestNotSentText(), QString(), Notifier::Icon::Warning);
        return QString();
    }
    state_.CtSettings = encoding.block;
    state_.LastRequestRegister = uint8_t(Reg::InstrumentSettings);
    mainWindow_.setStatusText(MainWindowView::BandwidthPanel, encoding.block.Bandwidth != 0
                                                                  ? tr("Status: Broadband")
                                                                  : tr("Status: narrowband"));
    return tr("Data is being transmitted to the instrument");
}

QString InstrumentSettingsCommands::read()
{
    if (!requests_.ReadInstrumentSettings(kSettingsReadCount)) {
        notifier_.message(RequestNotSentText());
        return QString();
    }
    return tr("Is requesting instrument data ......");
}
