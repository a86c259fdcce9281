// alarms: the eight alarm limits and their enable bits (registers 118 to
// 126), read as the alarm window's read-out chain does, or changed, written
// by its write chain and read back to confirm.

#include "cli_common.h"
#include "commands.h"
#include "common_options.h"
#include "json_text.h"
#include "instrument_command.h"

#include "display/number_format.h"
#include "settings/alarm_transfer.h"

#include <QCoreApplication>
#include <QTimer>

#include <array>
#include <cstring>
#include <optional>

namespace {

// What the reply handler tells the alarm window at the end of each chain.

constexpr int kAlarmDecimals = 4;  // as the alarm window shows a limit

// The limits in register order (AlarmLimits[0..7], enable bits 0..7).
const std::array<const char*, kAlarmLimitCount> kLimitNames = {
    "voltage-high", "voltage-low", "current-high", "current-low", "power-high", "power-low", "pf-high", "pf-low",
};

struct AlarmChange {
    std::array<std::optional<double>, kAlarmLimitCount> limits;
    std::optional<uint8_t> enableBits;
    bool any() const
    {
        if (enableBits) return true;
        for (const auto& limit : limits)
            if (limit) return true;
        return false;
    }
};

QString AlarmsText(const float (&limits)[kAlarmLimitCount], uint8_t bits)
{
    QString text;
    for (int i = 0; i < kAlarmLimitCount; ++i) {
        text += QString::fromLatin1(kLimitNames[size_t(i)]).leftJustified(14) +
                FormatGeneral(RoundDecimals(limits[i], kAlarmDecimals)).leftJustified(12) +
                ((bits >> i) & 1 ? QStringLiteral("on") : QStringLiteral("off")) + u'\n';
    }
    return text;
}

// The limits as one JSON object: each limit's name with its value as the
// instrument holds it and whether its alarm is on.
QByteArray AlarmsJson(const float (&limits)[kAlarmLimitCount], uint8_t bits)
{
    JsonMembers members;
    for (int i = 0; i < kAlarmLimitCount; ++i) {
        members.append({QByteArray(kLimitNames[size_t(i)]),
                        JsonObject({{"limit", JsonFloat(limits[i])}, {"on", (bits >> i) & 1 ? "true" : "false"}})});
    }
    return JsonObject(members) + '\n';
}

class AlarmsCommand : public InstrumentCommand, public AlarmReplySink {
public:
    AlarmsCommand(const LinkOptions& linkOptions, const AlarmChange& change, PrintFormat format, bool quiet)
        : InstrumentCommand(linkOptions), change_(change), format_(format), quiet_(quiet)
    {
    }
    ~AlarmsCommand() override { link_.sinks().alarm = nullptr; }

    bool begin(int* status)
    {
        if (!openLink(status, [this] { end(interruptedStatus()); })) return false;
        transfer_ = std::make_unique<AlarmTransfer>(link_.state(), link_.requests());
        link_.sinks().alarm = this;
        // Each step of a chain is asked again by the link until it is
        // answered, or given up on after 8 s; the chain's end says which.
        QTimer::singleShot(0, this, [this] { startChain(); });
        return true;
    }

    void showLimitText(int, const QString&) override {}
    void showEnableBits(uint8_t) override {}
    void showStatus(const QString&) override {}
    void readOutEnded(bool complete) override
    {
        if (phase_ != Phase::Reading && phase_ != Phase::ReadingBack) return;
        // Out of the reply handler first; it is still on the stack.
        QTimer::singleShot(0, this, [this, complete] { complete ? readOutDone() : instrumentSilent(); });
    }
    void writeEnded(bool complete) override
    {
        if (phase_ != Phase::Writing) return;
        QTimer::singleShot(0, this, [this, complete] {
            if (!complete) {
                instrumentSilent();
                return;
            }
            phase_ = Phase::ReadingBack;
            startChain();
        });
    }

private:
    enum class Phase { Reading, Writing, ReadingBack, Done };

    void startChain()
    {
        if (phase_ == Phase::Done) return;
        const bool sent = phase_ == Phase::Writing ? transfer_->startWrite(limits_, bits_) : transfer_->startReadOut();
        if (!sent) {
            PrintError(QStringLiteral("the port %1 is closed; nothing could be sent").arg(link_.portName()));
            end(kExitFailure);
        }
    }

    void instrumentSilent()
    {
        if (phase_ == Phase::Done) return;
        PrintError(link_.noAnswerText());
        end(kExitFailure);
    }

    void readOutDone()
    {
        if (phase_ == Phase::Done) return;
        const AcquisitionState& state = link_.state();
        if (phase_ == Phase::Reading && change_.any()) {
            for (int i = 0; i < kAlarmLimitCount; ++i)
                limits_[size_t(i)] = change_.limits[size_t(i)] ? float(*change_.limits[size_t(i)]) : state.AlarmLimits[i];
            bits_ = change_.enableBits ? *change_.enableBits : state.AlarmEnableBits;
            phase_ = Phase::Writing;
            startChain();
            return;
        }
        if (format_ == PrintFormat::Json) WriteOut(AlarmsJson(state.AlarmLimits, state.AlarmEnableBits));
        else PrintOut(AlarmsText(state.AlarmLimits, state.AlarmEnableBits));
        if (phase_ == Phase::ReadingBack) {
            // Bit for bit: a limit the instrument holds as NaN and that was
            // written back unchanged is kept, though NaN equals nothing.
            const bool same = state.AlarmEnableBits == bits_ &&
                              std::memcmp(state.AlarmLimits, limits_.data(), sizeof state.AlarmLimits) == 0;
            if (!same) {
                PrintError(QStringLiteral("the instrument on %1 did not keep the alarm limits written; they read "
                                          "back as shown")
                               .arg(link_.portName()));
                end(kExitFailure);
                return;
            }
            if (!quiet_) PrintErr(QStringLiteral("Written to the instrument on %1 and read back.\n").arg(link_.portName()));
        }
        end(kExitOk);
    }

    int ending(int status) override
    {
        phase_ = Phase::Done;
        return status;
    }

    AlarmChange change_;
    PrintFormat format_;
    bool quiet_;
    std::unique_ptr<AlarmTransfer> transfer_;
    std::array<float, kAlarmLimitCount> limits_{};
    uint8_t bits_ = 0;
    Phase phase_ = Phase::Reading;
};

QString LimitNames()
{
    QStringList names;
    for (const char* name : kLimitNames) names << QString::fromLatin1(name);
    return names.join(QStringLiteral(", "));
}

} // namespace

CommandDescription AlarmsDescription()
{
    CommandDescription about;
    about.name = QStringLiteral("alarms");
    about.synopsis = QStringLiteral("read|write [-p PORT | --simulate] [-f text|json] [-q] [--voltage-high V] [--voltage-low V] "
                                   "[--current-high A] [--current-low A] [--power-high W] [--power-low W] "
                                   "[--pf-high X] [--pf-low X] [--enable LIST]");
    about.summary = QStringLiteral("read or write the alarm limits and which of them are on");
    about.description = QStringLiteral(
        "read prints the eight alarm limits, each with whether its alarm is on, as the alarm window reads "
        "them. write reads them, changes what the options name, writes all of them with the alarm window's "
        "chain, and reads them back to confirm; the limits read back are printed, and the status is 2 when "
        "they differ from those written.\n\n"
        "Limits are not negative (the alarm window takes no minus sign either). --enable names the alarms to "
        "switch on, separated by commas; the others are switched off. all and none are allowed; without "
        "--enable the switches stay as they are.");
    about.positionals = {{QStringLiteral("read|write"), QStringLiteral("read the limits, or change them")}};
    for (const char* name : kLimitNames) {
        about.options << QCommandLineOption(QString::fromLatin1(name),
                                           QStringLiteral("the %1 limit").arg(QString::fromLatin1(name).replace(u'-', u' ')),
                                           QStringLiteral("V"));
    }
    about.options << QCommandLineOption(QStringLiteral("enable"),
                                       QStringLiteral("alarms to switch on: all, none, or names from %1").arg(LimitNames()),
                                       QStringLiteral("LIST"));
    about.options << FormatOption(QStringLiteral("text (default) or json: one object, each limit's name with "
                                                 "{\"limit\":V,\"on\":true|false}"))
                  << QuietOption();
    about.options << LinkOptionList();
    about.examples = {
        QStringLiteral("qzr6100-cli alarms read --simulate"),
        QStringLiteral("qzr6100-cli alarms read -f json"),
        QStringLiteral("qzr6100-cli alarms write --port /dev/ttyUSB0 --voltage-high 250 --voltage-low 200 "
                       "--enable voltage-high,voltage-low"),
    };
    return about;
}

int RunAlarms(const CommandDescription& about, const QStringList& arguments)
{
    QCommandLineParser parser;
    LinkOptions link;
    int status = kExitOk;
    if (!ParseInstrumentCommand(parser, about, arguments, &link, &status)) return status;
    const std::optional<bool> writing = ReadOrWriteWord(parser);
    if (!writing) return UsageError(about, QStringLiteral("say read or write"));
    const bool write = *writing;

    AlarmChange change;
    for (int i = 0; i < kAlarmLimitCount; ++i) {
        const QString name = QString::fromLatin1(kLimitNames[size_t(i)]);
        if (!parser.isSet(name)) continue;
        change.limits[size_t(i)] = ParseNumber(parser.value(name), 0, 3.4e38);
        if (!change.limits[size_t(i)])
            return UsageError(about, QStringLiteral("--%1 wants a number of 0 or more, not '%2'").arg(name, parser.value(name)));
    }
    if (parser.isSet(QStringLiteral("enable"))) {
        std::array<bool, kAlarmLimitCount> on{};
        for (const QString& word : parser.value(QStringLiteral("enable")).split(u',', Qt::SkipEmptyParts)) {
            const QString name = word.trimmed().toLower();
            if (name == QStringLiteral("all")) {
                on.fill(true);
                continue;
            }
            if (name == QStringLiteral("none")) continue;
            int found = -1;
            for (int i = 0; i < kAlarmLimitCount; ++i)
                if (name == QString::fromLatin1(kLimitNames[size_t(i)])) found = i;
            if (found < 0)
                return UsageError(about, QStringLiteral("--enable: '%1' is no alarm; they are %2").arg(word.trimmed(), LimitNames()));
            on[size_t(found)] = true;
        }
        change.enableBits = AlarmEnableBitsFrom(on);
    }
    if (write && !change.any()) return UsageError(about, QStringLiteral("write needs at least one limit or --enable"));
    if (!write && change.any()) return UsageError(about, QStringLiteral("read takes no limits; did you mean write?"));

    PrintFormat format = PrintFormat::Text;
    QString error;
    if (!ReadPrintFormat(parser, &format, &error)) return UsageError(about, error);
    AlarmsCommand command(link, change, format, IsQuiet(parser));
    if (!command.begin(&status)) return status;
    return QCoreApplication::exec();
}
