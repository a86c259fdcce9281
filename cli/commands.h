#pragma once
// The commands of qzr6100-cli, one file each. A command's spec describes it
// (command_spec.h); its runner parses the arguments ("qzr6100-cli", the
// command's name, then its own) and returns the exit status, running the
// application's event loop when it has to wait for something.

#include "command_spec.h"

#include <QStringList>

CommandSpec PortsSpec();
int RunPorts(const CommandSpec& spec, const QStringList& arguments);

CommandSpec MeasureSpec();
int RunMeasure(const CommandSpec& spec, const QStringList& arguments);

CommandSpec RecordSpec();
int RunRecord(const CommandSpec& spec, const QStringList& arguments);

CommandSpec ExportSpec();
int RunExport(const CommandSpec& spec, const QStringList& arguments);

CommandSpec ReportSpec();
int RunReport(const CommandSpec& spec, const QStringList& arguments);

CommandSpec SettingsSpec();
int RunSettings(const CommandSpec& spec, const QStringList& arguments);

CommandSpec AlarmsSpec();
int RunAlarms(const CommandSpec& spec, const QStringList& arguments);

CommandSpec InfoSpec();
int RunInfo(const CommandSpec& spec, const QStringList& arguments);
