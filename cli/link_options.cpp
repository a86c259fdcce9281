#include "link_options.h"

#include "command_description.h"

#include "cli_common.h"

#include "acquisition/sys_settings.h"
#include "link/baud_list.h"

#include <QStringList>

namespace {

QString SpeedList()
{
    QStringList speeds;
    for (const BaudList::Entry& entry : BaudList::kEntries) speeds << QString::number(entry.baud);
    return speeds.join(QStringLiteral(", "));
}

} // namespace

QCommandLineOption SettingsOption()
{
    return QCommandLineOption(QStringLiteral("settings"),
                              QStringLiteral("the desktop program's SysSet.ini, whose choices are the defaults "
                                             "(EnterInfo.ini lies beside it); default: where the program keeps it"),
                              QStringLiteral("FILE"));
}

QList<QCommandLineOption> LinkOptionList()
{
    return {
        QCommandLineOption(QStringList{QStringLiteral("p"), QStringLiteral("port")},
                           QStringLiteral("serial port of the instrument, e.g. /dev/ttyUSB0; default: the port "
                                          "identified as the instrument's USB port (see the ports command)"),
                           QStringLiteral("P")),
        QCommandLineOption(QStringLiteral("simulate"), QStringLiteral("talk to the built-in simulated instrument")),
        QCommandLineOption(QStringList{QStringLiteral("a"), QStringLiteral("address")},
                           QStringLiteral("slave address of the instrument, 1-255; default: the desktop "
                                          "program's (2 unless changed)"),
                           QStringLiteral("N")),
        QCommandLineOption(QStringList{QStringLiteral("b"), QStringLiteral("baud")},
                           QStringLiteral("line speed, one of %1; default: the desktop program's (14400 unless "
                                          "changed; a USB link ignores it)")
                               .arg(SpeedList()),
                           QStringLiteral("B")),
        QCommandLineOption(QStringLiteral("trace"),
                           QStringLiteral("append every frame sent and received to FILE, with time stamps"),
                           QStringLiteral("FILE")),
        SettingsOption(),
    };
}

QString SettingsPathOption(const QCommandLineParser& parser)
{
    const QString path = parser.value(QStringLiteral("settings"));
    return path.isEmpty() ? SysSetPath() : path;
}

bool ReadLinkOptions(const QCommandLineParser& parser, LinkOptions* options, QString* error)
{
    options->port = parser.value(QStringLiteral("port"));
    options->simulate = parser.isSet(QStringLiteral("simulate"));
    options->tracePath = parser.value(QStringLiteral("trace"));
    options->settingsPath = SettingsPathOption(parser);
    if (options->simulate && !options->port.isEmpty()) {
        *error = QStringLiteral("--port and --simulate exclude each other");
        return false;
    }
    if (parser.isSet(QStringLiteral("address"))) {
        const std::optional<int> address = ParseWholeNumber(parser.value(QStringLiteral("address")), 1, 255);
        if (!address) {
            *error = QStringLiteral("--address wants a slave address from 1 to 255, not '%1'")
                         .arg(parser.value(QStringLiteral("address")));
            return false;
        }
        options->address = *address;
    }
    if (parser.isSet(QStringLiteral("baud"))) {
        const QString text = parser.value(QStringLiteral("baud")).trimmed();
        options->baudIndex = -1;
        for (int i = 0; i < BaudList::kCount; ++i) {
            if (text == QString::number(BaudList::kEntries[i].baud)) options->baudIndex = i;
        }
        if (options->baudIndex < 0) {
            *error = QStringLiteral("--baud wants one of %1, not '%2'").arg(SpeedList(), text);
            return false;
        }
    }
    return true;
}

bool ParseInstrumentCommand(QCommandLineParser& parser, const CommandDescription& about, const QStringList& arguments,
                            LinkOptions* link, int* status)
{
    if (!ParseCommandLine(parser, about, arguments, status)) return false;
    QString error;
    if (ReadLinkOptions(parser, link, &error)) return true;
    *status = UsageError(about, error);
    return false;
}

std::optional<bool> ReadOrWriteWord(const QCommandLineParser& parser)
{
    const QStringList words = parser.positionalArguments().mid(1);
    if (words.size() != 1) return std::nullopt;
    if (words[0] == QStringLiteral("write")) return true;
    if (words[0] == QStringLiteral("read")) return false;
    return std::nullopt;
}
