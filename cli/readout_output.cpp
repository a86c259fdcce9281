#include "readout_output.h"

#include "acquisition/acquisition_state.h"
#include "display/harmonic_table.h"
#include "display/readout_panels.h"

#include <QRegularExpression>
#include <QStringList>

#include <array>

namespace {

// The readouts in their storage order (Urms .. Kwh), each with the panel
// that shows it, its name for scripts, its unit, and the unit the panel's
// text ends in.
struct ReadoutColumn {
    ReadoutPanel panel;
    const char* name;
    const char* unit;      // for the CSV header; empty when it has none
    const char* textUnit;  // what the number rule appended
};

constexpr std::array<ReadoutColumn, TestRecordImage::kReadoutCount> kColumns = {{
    {ReadoutPanel::Panel_URMS, "Urms", "V", "V"},
    {ReadoutPanel::Panel_UPP, "Upeak", "V", "V"},
    {ReadoutPanel::Panel_UF, "Frequency", "Hz", "Hz"},
    {ReadoutPanel::Panel_IRMS, "Irms", "A", "A"},
    {ReadoutPanel::Panel_IPP, "Ipeak", "A", ""},
    {ReadoutPanel::Panel_IPA, "Iphase", "deg", ""},
    {ReadoutPanel::Panel_PF, "PowerFactor", "", ""},
    {ReadoutPanel::Panel_WRMS, "ActivePower", "W", "W"},
    {ReadoutPanel::Panel_PS, "ApparentPower", "VA", ""},
    {ReadoutPanel::Panel_PQ, "ReactivePower", "var", ""},
    {ReadoutPanel::Panel_VTHD, "Uthd", "%", " %"},
    {ReadoutPanel::Panel_ITHD, "Ithd", "%", " %"},
    {ReadoutPanel::Panel_VKF, "Uff", "", ""},
    {ReadoutPanel::PANEL_IKF, "Iff", "", ""},
    {ReadoutPanel::Panel_KWH, "Kwh", "kWh", ""},
}};

// The harmonic table's columns 1..4 and their names for scripts.
struct HarmonicColumn {
    int tableColumn;
    const char* csvName;   // "Uh%1" ...
    const char* csvUnit;
    const char* jsonName;
};
constexpr std::array<HarmonicColumn, 4> kHarmonicColumns = {{
    {1, "Uh%1", "V", "voltageRms"},
    {2, "Uh%1", "%", "voltagePercent"},
    {3, "Ih%1", "A", "currentRms"},
    {4, "Ih%1", "%", "currentPercent"},
}};

QString NumberOf(const QString& readout, const char* textUnit)
{
    const QString unit = QString::fromLatin1(textUnit);
    return !unit.isEmpty() && readout.endsWith(unit) ? readout.left(readout.size() - unit.size()) : readout;
}

QString HarmonicNumber(const TestRecordImage& record, int tableColumn, int order)
{
    QString cell = HarmonicTableCell(record, tableColumn, order).trimmed();
    if (cell.endsWith(u'%')) cell.chop(1);
    return cell;
}

// A readout's number as JSON: as written when it is a JSON number, a
// trailing point (a readout cut to six characters) dropped, null for NAN and
// INF.
QString JsonNumber(QString text)
{
    static const QRegularExpression kJsonNumber(QStringLiteral("^-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][-+]?[0-9]+)?$"));
    if (text.endsWith(u'.')) text.chop(1);
    return kJsonNumber.match(text).hasMatch() ? text : QStringLiteral("null");
}

QString CsvTime(const QDateTime& when) { return when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")); }

QString TextBlock(int n, const QDateTime& when, const std::array<QString, kReadoutPanelCount>& texts)
{
    // Five rows of three, as the main window places them.
    QString grid[5][3];
    for (int i = 0; i < kReadoutPanelCount; ++i) {
        const ReadoutPanelInfo& info = ReadoutInfo(ReadoutPanel(i));
        grid[info.row][info.column] =
            QString::fromUtf8(info.labelCaption).trimmed().leftJustified(10) + texts[size_t(i)].leftJustified(12);
    }
    QString text = QStringLiteral("Measurement %1  %2\n").arg(n).arg(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
    for (const auto& row : grid) text += QStringLiteral("  ") + (row[0] + row[1] + row[2]).trimmed() + u'\n';
    return text;
}

QString TextHarmonics(const TestRecordImage& record)
{
    QString text = QStringLiteral("  Order   Voltage RMS  Voltage %    Current RMS  Current %\n");
    for (int order = 0; order < kHarmonicCount; ++order) {
        QString line = QString::number(order).leftJustified(8);
        for (const HarmonicColumn& c : kHarmonicColumns) {
            const bool percent = c.tableColumn % 2 == 0;
            line += (HarmonicNumber(record, c.tableColumn, order) + (percent ? QStringLiteral("%") : QString()))
                        .leftJustified(13);
        }
        text += QStringLiteral("  ") + line.trimmed() + u'\n';
    }
    return text;
}

} // namespace

bool ParseOutputFormat(const QString& text, OutputFormat* format)
{
    const QString name = text.trimmed().toLower();
    if (name == QStringLiteral("text")) *format = OutputFormat::Text;
    else if (name == QStringLiteral("csv")) *format = OutputFormat::Csv;
    else if (name == QStringLiteral("json")) *format = OutputFormat::Json;
    else return false;
    return true;
}

QString ReadoutHeader(OutputFormat format, bool harmonics)
{
    if (format != OutputFormat::Csv) return QString();
    QStringList header{QStringLiteral("time")};
    for (const ReadoutColumn& c : kColumns) {
        const QString unit = QString::fromLatin1(c.unit);
        header << QString::fromLatin1(c.name) + (unit.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(unit));
    }
    if (harmonics) {
        for (const HarmonicColumn& c : kHarmonicColumns) {
            for (int order = 0; order < kHarmonicCount; ++order)
                header << QString::fromLatin1(c.csvName).arg(order) + QStringLiteral(" (%1)").arg(QString::fromLatin1(c.csvUnit));
        }
    }
    return header.join(u',') + u'\n';
}

QString ReadoutEntry(OutputFormat format, int n, const QDateTime& when, TestRecordImage record, bool harmonics)
{
    const std::array<QString, kReadoutPanelCount> texts = FormatReadouts(record);
    switch (format) {
    case OutputFormat::Text: {
        QString text = TextBlock(n, when, texts);
        if (harmonics) text += TextHarmonics(record);
        return text;
    }
    case OutputFormat::Csv: {
        QStringList row{CsvTime(when)};
        for (const ReadoutColumn& c : kColumns) row << NumberOf(texts[size_t(c.panel)], c.textUnit);
        if (harmonics) {
            for (const HarmonicColumn& c : kHarmonicColumns) {
                for (int order = 0; order < kHarmonicCount; ++order) row << HarmonicNumber(record, c.tableColumn, order);
            }
        }
        return row.join(u',') + u'\n';
    }
    case OutputFormat::Json: {
        QString line = QStringLiteral("{\"n\":%1,\"time\":\"%2\"").arg(n).arg(CsvTime(when));
        for (const ReadoutColumn& c : kColumns)
            line += QStringLiteral(",\"%1\":%2").arg(QString::fromLatin1(c.name), JsonNumber(NumberOf(texts[size_t(c.panel)], c.textUnit)));
        if (harmonics) {
            line += QStringLiteral(",\"harmonics\":{");
            for (size_t k = 0; k < kHarmonicColumns.size(); ++k) {
                QStringList values;
                for (int order = 0; order < kHarmonicCount; ++order)
                    values << JsonNumber(HarmonicNumber(record, kHarmonicColumns[k].tableColumn, order));
                line += QStringLiteral("%1\"%2\":[%3]").arg(k == 0 ? QString() : QStringLiteral(","),
                                                             QString::fromLatin1(kHarmonicColumns[k].jsonName),
                                                             values.join(u','));
            }
            line += u'}';
        }
        return line + QStringLiteral("}\n");
    }
    }
    return QString();
}
