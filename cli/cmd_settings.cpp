// settings: the instrument-settings block of register 188 (transformer
// angle and ratios, bandwidth, THD algorithm, filter, current range), read,
// or changed and written and then read back to confirm.

#include "cli_common.h"
#include "commands.h"
#include "common_options.h"
#include "json_text.h"
#include "instrument_command.h"

#include "display/number_format.h"
#include "settings/ct_settings_codec.h"
#include "settings/instrument_settings_commands.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstring>
#include <optional>

namespace {

// What the reply handler tells the settings window when the instrument has
// taken the block.

// The instrument keeps the angle as a time; read back over 20 ms, written
// here over 20 ms too (a 50 Hz reference), so it comes back as written.
constexpr double kDegreesPerSecond = 360.0 / 0.02;

// What the command line asks to change; unset entries keep the instrument's.
struct SettingsChange {
    std::optional<double> angle, currentRatio, voltageRatio;
    std::optional<int> bandwidthItem, thdItem;
    std::optional<int> filterCoefficient;  // 0: filter off
    std::optional<int> range;              // 0: automatic
    bool any() const
    {
        return angle || currentRatio || voltageRatio || bandwidthItem || thdItem || filterCoefficient || range;
    }
};

QString SettingsText(const CtSettingsBlock& block)
{
    const CtSettingsControls c = DecodeCtSettings(block);
    const auto row = [](const char* name, const QString& value) {
        return QString::fromLatin1(name).leftJustified(12) + value + u'\n';
    };
    const QString coefficient = QString::number(block.FilterCoefficient);
    QString text = row("ct-angle", c.angleText);
    text += row("ct-ratio", c.currentRatioText);
    text += row("vt-ratio", c.voltageRatioText);
    text += row("bandwidth", c.bandwidthItem == 0 ? QStringLiteral("narrow") : QStringLiteral("broad"));
    text += row("thd", c.thdItem == 0 ? QStringLiteral("F") : QStringLiteral("R"));
    text += row("filter", c.filterOn ? coefficient : QStringLiteral("off (coefficient %1)").arg(coefficient));
    text += row("range", c.rangeMode == CurrentRangeMode::Lock ? QString::number(block.Range)
                                                                : QStringLiteral("auto (range %1)").arg(block.Range));
    return text;
}

// The block as one JSON object, the names those of the options.
QByteArray SettingsJson(const CtSettingsBlock& block)
{
    const CtSettingsControls c = DecodeCtSettings(block);
    const bool locked = c.rangeMode == CurrentRangeMode::Lock;
    return JsonObject({
               {"ct-angle", JsonFloat(float(double(block.AngleDifference.get()) * kDegreesPerSecond))},
               {"ct-ratio", JsonFloat(block.CurrentRatio.get())},
               {"vt-ratio", JsonFloat(block.VoltageRatio.get())},
               {"bandwidth", c.bandwidthItem == 0 ? "\"narrow\"" : "\"broad\""},
               {"thd", c.thdItem == 0 ? "\"F\"" : "\"R\""},
               {"filter", c.filterOn ? QByteArray::number(block.FilterCoefficient) : QByteArray("\"off\"")},
               {"filter-coefficient", QByteArray::number(block.FilterCoefficient)},
               {"range", locked ? QByteArray::number(block.Range) : QByteArray("\"auto\"")},
               {"range-in-use", QByteArray::number(block.Range)},
           }) +
           '\n';
}

class SettingsCommand : public InstrumentCommand, public InstrumentSettingsReplySink {
public:
    SettingsCommand(const LinkOptions& linkOptions, const SettingsChange& change, PrintFormat format, bool quiet)
        : InstrumentCommand(linkOptions), change_(change), format_(format), quiet_(quiet)
    {
    }
    ~SettingsCommand() override { link_.sinks().instrumentSettings = nullptr; }

    bool begin(int* status)
    {
        if (!openLink(status, [this] { end(interruptedStatus()); })) return false;
        commands_ = std::make_unique<InstrumentSettingsCommands>(link_.state(), link_.requests(), link_.view(), notifier_);
        link_.sinks().instrumentSettings = this;
        // The link asks again until the instrument answers, or gives up
        // after 8 s; the transfer's end says which.
        QTimer::singleShot(0, this, [this] { ask(); });
        return true;
    }

    void showSettings(const CtSettingsBlock& block) override
    {
        if (phase_ == Phase::Reading) {
            if (!change_.any()) {
                print(block);
                end(kExitOk);
                return;
            }
            // Out of the reply handler before the next request.
            const CtSettingsBlock current = block;
            QTimer::singleShot(0, this, [this, current] { write(current); });
        } else if (phase_ == Phase::ReadingBack) {
            print(block);
            if (std::memcmp(block.bytes(), written_.bytes(), kCtSettingsSize) != 0) {
                PrintError(QStringLiteral("the instrument on %1 did not keep the settings written; it reads back "
                                          "as shown")
                               .arg(link_.portName()));
                end(kExitFailure);
                return;
            }
            if (!quiet_) PrintErr(QStringLiteral("Written to the instrument on %1 and read back.\n").arg(link_.portName()));
            end(kExitOk);
        }
    }

    void showStatus(const QString&) override {}
    void readEnded(bool complete) override
    {
        if (!complete && (phase_ == Phase::Reading || phase_ == Phase::ReadingBack)) instrumentSilent();
    }
    void saveEnded(bool complete) override
    {
        if (phase_ != Phase::Writing) return;
        if (!complete) {
            instrumentSilent();
            return;
        }
        phase_ = Phase::ReadingBack;
        QTimer::singleShot(0, this, [this] { ask(); });
    }

private:
    enum class Phase { Reading, Writing, ReadingBack, Done };

    void print(const CtSettingsBlock& block) const
    {
        if (format_ == PrintFormat::Json) WriteOut(SettingsJson(block));
        else PrintOut(SettingsText(block));
    }

    void instrumentSilent()
    {
        QTimer::singleShot(0, this, [this] {
            if (phase_ == Phase::Done) return;
            PrintError(link_.noAnswerText());
            end(kExitFailure);
        });
    }

    // The request of the current phase.
    void ask()
    {
        if (phase_ == Phase::Writing) {
            if (commands_->save(controls_).isNull()) end(kExitFailure);  // refused; the message is out
        } else if (phase_ != Phase::Done) {
            if (commands_->read().isNull()) end(kExitFailure);
        }
    }

    void write(const CtSettingsBlock& current)
    {
        controls_ = DecodeCtSettings(current);
        // Unchanged, the angle goes back exactly as it came: through its
        // full double-precision text, not the rounded one shown.
        controls_.angleText = FormatGeneral(change_.angle ? *change_.angle
                                                          : double(current.AngleDifference.get()) * kDegreesPerSecond);
        if (change_.currentRatio) controls_.currentRatioText = FormatGeneral(*change_.currentRatio);
        if (change_.voltageRatio) controls_.voltageRatioText = FormatGeneral(*change_.voltageRatio);
        if (change_.bandwidthItem) controls_.bandwidthItem = *change_.bandwidthItem;
        if (change_.thdItem) controls_.thdItem = *change_.thdItem;
        if (change_.filterCoefficient) {
            controls_.filterOn = *change_.filterCoefficient > 0;
            if (*change_.filterCoefficient > 0) controls_.filterItem = *change_.filterCoefficient - 1;
        }
        if (change_.range) {
            controls_.rangeMode = *change_.range > 0 ? CurrentRangeMode::Lock : CurrentRangeMode::Auto;
            if (*change_.range > 0) controls_.rangeItem = *change_.range - 1;
        }
        phase_ = Phase::Writing;
        ask();
        if (phase_ == Phase::Done) return;
        written_ = link_.state().CtSettings;  // the block as it went out
    }

    int ending(int status) override
    {
        phase_ = Phase::Done;
        return status;
    }

    SettingsChange change_;
    PrintFormat format_;
    bool quiet_;
    std::unique_ptr<InstrumentSettingsCommands> commands_;
    CtSettingsControls controls_;
    CtSettingsBlock written_{};
    Phase phase_ = Phase::Reading;
};

} // namespace

CommandDescription SettingsDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("settings");
    about.synopsis = QStringLiteral("read|write [-p PORT | --simulate] [-f text|json] [-q] [--ct-angle D] [--ct-ratio R] [--vt-ratio R] "
                                   "[--bandwidth narrow|broad] [--thd F|R] [--filter N|off] [--range auto|1..4]");
    about.summary = QStringLiteral("read or write the instrument settings (CT, VT, filter, range)");
    about.description = QStringLiteral(
        "read prints the instrument's settings block as the instrument-settings window shows it. write reads "
        "the block, changes what the options name (everything else stays as the instrument has it), writes it "
        "back and reads it again to confirm; the settings read back are printed, and the status is 2 when they "
        "differ from those written.\n\n"
        "The angle difference of the external current transformer is given in degrees, from -30 to 30, over "
        "a 50 Hz period.");
    about.positionals = {{QStringLiteral("read|write"), QStringLiteral("read the settings, or change them")}};
    about.options = {
        QCommandLineOption(QStringLiteral("ct-angle"),
                           QStringLiteral("angle difference of the external current transformer, -30 to 30 degrees"),
                           QStringLiteral("D")),
        QCommandLineOption(QStringLiteral("ct-ratio"), QStringLiteral("ratio of the external current transformer"),
                           QStringLiteral("R")),
        QCommandLineOption(QStringLiteral("vt-ratio"), QStringLiteral("ratio of the external voltage transformer"),
                           QStringLiteral("R")),
        QCommandLineOption(QStringLiteral("bandwidth"), QStringLiteral("current bandwidth: narrow or broad"),
                           QStringLiteral("narrow|broad")),
        QCommandLineOption(QStringLiteral("thd"),
                           QStringLiteral("THD algorithm: F (of the fundamental) or R (of the RMS value)"),
                           QStringLiteral("F|R")),
        QCommandLineOption(QStringLiteral("filter"),
                           QStringLiteral("display filter: a coefficient from 1 to 10 turns it on, off turns it off"),
                           QStringLiteral("N|off")),
        QCommandLineOption(QStringLiteral("range"),
                           QStringLiteral("current range: auto, or 1 to 4 to lock it"), QStringLiteral("auto|N")),
    };
    about.options << FormatOption(QStringLiteral("text (default) or json: one object, its names those of the "
                                                 "options, filter and range \"off\"/\"auto\" or a number"))
                  << QuietOption();
    about.options << LinkOptionList();
    about.examples = {
        QStringLiteral("qzr6100-cli settings read --simulate"),
        QStringLiteral("qzr6100-cli settings read -f json | jq '.\"ct-ratio\"'"),
        QStringLiteral("qzr6100-cli settings write --port /dev/ttyUSB0 --ct-ratio 100 --range 3 --bandwidth broad"),
    };
    return about;
}

int RunSettings(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    LinkOptions link;
    int status = kExitOk;
    if (!ParseInstrumentCommand(parser, about, arguments, &link, &status)) return status;
    const std::optional<bool> writing = ReadOrWriteWord(parser);
    if (!writing) return UsageError(about, QStringLiteral("say read or write"));
    const bool write = *writing;

    SettingsChange change;
    const auto value = [&parser](const char* name) { return parser.value(QString::fromLatin1(name)).trimmed(); };
    const auto given = [&parser](const char* name) { return parser.isSet(QString::fromLatin1(name)); };
    if (given("ct-angle")) {
        change.angle = ParseNumber(value("ct-angle"), -1e9, 1e9);
        if (!change.angle) return UsageError(about, QStringLiteral("--ct-angle wants degrees from -30 to 30"));
        // The instrument-settings window's own refusals.
        if (*change.angle > kMaxAngleDifference)
            return UsageError(about, QStringLiteral("Angle difference is not greater than 30 degrees, the data is invalid!"));
        if (*change.angle < -kMaxAngleDifference)
            return UsageError(about, QStringLiteral("Angle difference can not be less than -30 degrees, the data is invalid!"));
    }
    if (given("ct-ratio")) {
        change.currentRatio = ParseNumber(value("ct-ratio"), -3.4e38, 3.4e38);
        if (!change.currentRatio) return UsageError(about, QStringLiteral("--ct-ratio wants a number"));
    }
    if (given("vt-ratio")) {
        change.voltageRatio = ParseNumber(value("vt-ratio"), -3.4e38, 3.4e38);
        if (!change.voltageRatio) return UsageError(about, QStringLiteral("--vt-ratio wants a number"));
    }
    if (given("bandwidth")) {
        const QString v = value("bandwidth").toLower();
        if (v == QStringLiteral("narrow")) change.bandwidthItem = 0;
        else if (v == QStringLiteral("broad")) change.bandwidthItem = 1;
        else return UsageError(about, QStringLiteral("--bandwidth wants narrow or broad"));
    }
    if (given("thd")) {
        const QString v = value("thd").toUpper();
        if (v == QStringLiteral("F")) change.thdItem = 0;
        else if (v == QStringLiteral("R")) change.thdItem = 1;
        else return UsageError(about, QStringLiteral("--thd wants F or R"));
    }
    if (given("filter")) {
        change.filterCoefficient = value("filter").toLower() == QStringLiteral("off") ? std::optional<int>(0)
                                                                                    : ParseWholeNumber(value("filter"), 1, 10);
        if (!change.filterCoefficient) return UsageError(about, QStringLiteral("--filter wants 1 to 10 or off"));
    }
    if (given("range")) {
        change.range = value("range").toLower() == QStringLiteral("auto") ? std::optional<int>(0)
                                                                          : ParseWholeNumber(value("range"), 1, 4);
        if (!change.range) return UsageError(about, QStringLiteral("--range wants auto or 1 to 4"));
    }
    if (write && !change.any()) return UsageError(about, QStringLiteral("write needs at least one setting to change"));
    if (!write && change.any()) return UsageError(about, QStringLiteral("read takes no settings; did you mean write?"));

    PrintFormat format = PrintFormat::Text;
    QString error;
    if (!ReadPrintFormat(parser, &format, &error)) return UsageError(about, error);
    SettingsCommand command(link, change, format, IsQuiet(parser));
    if (!command.begin(&status)) return status;
    return QCoreApplication::exec();
}
