#pragma once
// The report information that every printed report carries in its footer:
// project, testing organisation, tester, date and ambient temperature with
// its unit. Kept in EnterInfo.ini, section "PrintInfo", beside SysSet.ini;
// the reports read it afresh every time they are drawn, so a change is used
// by the next preview and every later printout.

#include <QString>

class IniFile;

struct ReportInfo {
    QString projectName;  // "ProjectName"
    QString company;      // "company"
    QString tester;       // "conner"
    QString date;         // "date", free text
    QString temperature;  // "temperature", free text
    bool celsius = false; // "units": "1" is degrees Celsius, anything else Fahrenheit
};

// EnterInfo.ini in the folder of the given SysSet.ini.
QString EnterInfoPathBeside(const QString& sysSetPath);

// Missing keys read as "2". A "units" value that is not a whole number
// counts as Fahrenheit, as any value other than 1 does, so that one bad
// value cannot make every report impossible.
ReportInfo LoadReportInfo(const IniFile& file);

// Writes the six keys ("units" as "1" or "0"), each replacing the file
// atomically. False, with the reason in *error, when the file cannot be
// written; keys written before the failure stay written.
bool SaveReportInfo(IniFile& file, const ReportInfo& info, QString* error = nullptr);

// "℃" for Celsius, "F " (F and a blank) for Fahrenheit.
QString TemperatureUnitText(bool celsius);
