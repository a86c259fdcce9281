#pragma once
// The one table of qzr6100-cli's commands, and the texts made from it: the
// general help, the help of every command and the manual page.

#include "command_description.h"

#include <QList>
#include <QString>

using CommandRunner = int (*)(const CommandDescription& about, const QStringList& arguments);

struct CliCommand {
    CommandDescription (*describe)();
    CommandRunner run;
    bool needsGui;  // draws text and pictures (reports): a GUI application, offscreen when there is no display
};

const QList<CliCommand>& CommandTable();
const CliCommand* FindCommand(const QString& name);

QString VersionText();
// The text of qzr6100-cli --help: the commands and what is common to them.
QString GeneralHelpText();
// --help-all: the general help and every command's.
QString FullHelpText();
// --man: the manual page, in roff, made from the same descriptions.
QString ManPageText();
