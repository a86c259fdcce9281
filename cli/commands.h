#pragma once
// The commands of qzr6100-cli, one file each. A command's description tells it
// (command_description.h); its runner parses the arguments ("qzr6100-cli", the
// command's name, then its own) and returns the exit status, running the
// application's event loop when it has to wait for something.

#include "command_description.h"

#include <QStringList>

CommandDescription PortsDescription();
int RunPorts(const CommandDescription& about, const QStringList& arguments);

CommandDescription MeasureDescription();
int RunMeasure(const CommandDescription& about, const QStringList& arguments);

CommandDescription RecordDescription();
int RunRecord(const CommandDescription& about, const QStringList& arguments);

CommandDescription ExportDescription();
int RunExport(const CommandDescription& about, const QStringList& arguments);

CommandDescription ReportDescription();
int RunReport(const CommandDescription& about, const QStringList& arguments);

CommandDescription SettingsDescription();
int RunSettings(const CommandDescription& about, const QStringList& arguments);

CommandDescription AlarmsDescription();
int RunAlarms(const CommandDescription& about, const QStringList& arguments);

CommandDescription InfoDescription();
int RunInfo(const CommandDescription& about, const QStringList& arguments);

CommandDescription DumpDescription();
int RunDump(const CommandDescription& about, const QStringList& arguments);
CommandDescription PublishDescription();
int RunPublish(const CommandDescription& about, const QStringList& arguments);
