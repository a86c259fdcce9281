#include "reports/report_info.h"

#include "acquisition/ini_file.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kSection = QStringLiteral("PrintInfo");
const QString kMissing = QStringLiteral("2");

} // namespace

QString EnterInfoPathBeside(const QString& sysSetPath)
{
    return QFileInfo(sysSetPath).absoluteDir().filePath(QStringLiteral("EnterInfo.ini"));
}

ReportInfo LoadReportInfo(const IniFile& file)
{
    ReportInfo info;
    info.projectName = file.readString(kSection, QStringLiteral("ProjectName"), kMissing);
    info.company = file.readString(kSection, QStringLiteral("company"), kMissing);
    info.tester = file.readString(kSection, QStringLiteral("conner"), kMissing);
    info.date = file.readString(kSection, QStringLiteral("date"), kMissing);
    info.temperature = file.readString(kSection, QStringLiteral("temperature"), kMissing);
    int units = 0;
    info.celsius = ParseDecimalInt(file.readString(kSection, QStringLiteral("units"), kMissing), &units) && units == 1;
    return info;
}

bool SaveReportInfo(IniFile& file, const ReportInfo& info, QString* error)
{
    const std::pair<const char*, QString> entries[] = {
        {"ProjectName", info.projectName}, {"company", info.company},
        {"conner", info.tester},           {"date", info.date},
        {"temperature", info.temperature}, {"units", info.celsius ? QStringLiteral("1") : QStringLiteral("0")},
    };
    for (const auto& [key, value] : entries) {
        // One line per key: a line break pasted into a field would start a
        // line the file does not mean.
        QString line = value;
        line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (!file.writeString(kSection, QString::fromLatin1(key), line, error)) return false;
    }
    return true;
}

QString TemperatureUnitText(bool celsius) { return celsius ? QStringLiteral("℃") : QStringLiteral("F "); }
