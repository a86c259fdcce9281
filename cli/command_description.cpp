#include "command_description.h"

#include "cli_common.h"

namespace {

constexpr int kOptionColumn = 28;
constexpr int kLineWidth = 79;

QString OptionNames(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names()) names << (name.size() == 1 ? u'-' + name : QStringLiteral("--") + name);
    QString text = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty()) text += u' ' + option.valueName();
    return text;
}

// Words of text in lines of at most `width` characters.
QStringList Wrap(const QString& text, int width)
{
    QStringList lines;
    QString line;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty()) lines << line;
    return lines;
}

} // namespace

QString WrapParagraphs(const QString& text)
{
    QStringList out;
    for (const QString& paragraph : text.split(QStringLiteral("\n\n"))) out << Wrap(paragraph.simplified(), kLineWidth).join(u'\n');
    return out.join(QStringLiteral("\n\n"));
}

QString FormatOptionList(const QList<QCommandLineOption>& options)
{
    QString text;
    for (const QCommandLineOption& option : options) {
        const QString names = QStringLiteral("  ") + OptionNames(option);
        const QStringList description = Wrap(option.description(), kLineWidth - kOptionColumn);
        if (names.size() < kOptionColumn - 1) {
            text += names.leftJustified(kOptionColumn) + description.value(0) + u'\n';
        } else {
            text += names + u'\n' + QString(kOptionColumn, u' ') + description.value(0) + u'\n';
        }
        for (int i = 1; i < description.size(); ++i) text += QString(kOptionColumn, u' ') + description[i] + u'\n';
    }
    return text;
}

QString CommandHelpText(const CommandDescription& about)
{
    QString text = QStringLiteral("Usage: qzr6100-cli %1 %2\n\n").arg(about.name, about.synopsis);
    text += WrapParagraphs(about.description) + QStringLiteral("\n");
    if (!about.positionals.isEmpty()) {
        text += QStringLiteral("\nArguments:\n");
        for (const PositionalDescription& p : about.positionals) {
            const QStringList lines = Wrap(p.description, kLineWidth - kOptionColumn);
            text += (QStringLiteral("  ") + p.name).leftJustified(kOptionColumn) + lines.value(0) + u'\n';
            for (int i = 1; i < lines.size(); ++i) text += QString(kOptionColumn, u' ') + lines[i] + u'\n';
        }
    }
    text += QStringLiteral("\nOptions:\n") + FormatOptionList(about.options);
    text += QStringLiteral("  -h, --help").leftJustified(kOptionColumn) + QStringLiteral("show this text\n");
    if (!about.examples.isEmpty()) {
        text += QStringLiteral("\nExamples:\n");
        for (const QString& example : about.examples) text += QStringLiteral("  ") + example + u'\n';
    }
    return text;
}

bool ParseCommandLine(QCommandLineParser& parser, const CommandDescription& about, const QStringList& arguments, int* exitCode)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOption(help);
    parser.addOptions(about.options);
    // arguments[1] is the command's name; the parser takes it as a
    // positional argument and it is dropped below.
    if (!parser.parse(arguments)) {
        *exitCode = UsageError(about, parser.errorText());
        return false;
    }
    if (parser.isSet(help)) {
        PrintOut(CommandHelpText(about));
        *exitCode = kExitOk;
        return false;
    }
    return true;
}

int UsageError(const CommandDescription& about, const QString& message)
{
    PrintErr(QStringLiteral("qzr6100-cli %1: %2\n(qzr6100-cli %1 --help lists its options)\n")
                 .arg(about.name, OneLine(message)));
    return kExitUsage;
}
