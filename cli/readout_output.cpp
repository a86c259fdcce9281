#include "readout_output.h"

#include "acquisition/acquisition_state.h"
#include "display/harmonic_table.h"
#include "display/number_format.h"
#include "display/readout_panels.h"

#include <QStringList>

#include <array>

namespace {

// The harmonic table's columns 1..4.
constexpr std::array<int, 4> kHarmonicTableColumns = {1, 2, 3, 4};

QString HarmonicNumber(const TestRecordImage& record, int tableColumn, int order)
{
    QString cell = HarmonicTableCell(record, tableColumn, order).trimmed();
    if (cell.endsWith(u'%')) cell.chop(1);
    return cell;
}

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

// The waveform for eyes: raw counts and volts and amperes, rounded as the
// readouts of the same quantity are.
QString TextWaveform(const TestRecordImage& record)
{
    const ScaledWaveform scaled = ScaleWaveform(record);
    QString text = QStringLiteral("  Sample  Voltage    Current    Voltage (V)  Current (A)\n");
    for (int k = 0; k < kWaveformSamples; ++k) {
        text += QStringLiteral("  %1%2%3%4%5\n")
                    .arg(QString::number(k).leftJustified(8),
                         QString::number(record.VoltageSamples[k].get()).leftJustified(11),
                         QString::number(record.CurrentSamples[k].get()).leftJustified(11),
                         FormatGeneral(RoundDecimals(scaled.volts[k], 2)).leftJustified(13),
                         FormatGeneral(RoundDecimals(scaled.amperes[k], 3)));
    }
    return text;
}

QString TextHarmonics(const TestRecordImage& record)
{
    QString text = QStringLiteral("  Order   Voltage RMS  Voltage %    Current RMS  Current %\n");
    for (int order = 0; order < kHarmonicCount; ++order) {
        QString line = QString::number(order).leftJustified(8);
        for (const int column : kHarmonicTableColumns) {
            const bool percent = column % 2 == 0;
            line += (HarmonicNumber(record, column, order) + (percent ? QStringLiteral("%") : QString()))
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
    else if (name == QStringLiteral("influx")) *format = OutputFormat::Influx;
    else return false;
    return true;
}

QByteArray ReadoutHeader(OutputFormat format, MeasurementParts parts)
{
    return format == OutputFormat::Csv ? MeasurementCsvHeader(parts) + '\n' : QByteArray();
}

QString ReadoutText(const TestRecordImage& record)
{
    TestRecordImage shown = record;  // formatting repairs, as in ReadoutEntry
    QString text = TextBlock(0, QDateTime(), FormatReadouts(shown));
    return text.mid(text.indexOf(u'\n') + 1);
}

QByteArray ReadoutEntry(OutputFormat format, int n, const QDateTime& when, const TestRecordImage& shown,
                        const TestRecordImage& received, MeasurementParts parts, const QString& port)
{
    switch (format) {
    case OutputFormat::Text: {
        // Formatting repairs a reactive power that is not a number, as the
        // main window does in its own record: a copy of it.
        TestRecordImage record = shown;
        QString text = TextBlock(n, when, FormatReadouts(record));
        if (parts.harmonics) text += TextHarmonics(record);
        if (parts.waveform) text += TextWaveform(record);
        return text.toUtf8();
    }
    case OutputFormat::Csv:
        return MeasurementCsvRow(when, received, parts) + '\n';
    case OutputFormat::Json:
        return MeasurementJson(when, received, "\"n\":" + QByteArray::number(n), parts) + '\n';
    case OutputFormat::Influx: {
        const QByteArray line = MeasurementInfluxLine(when, received, port, parts);
        return line.isEmpty() ? QByteArray() : line + '\n';
    }
    }
    return QByteArray();
}
