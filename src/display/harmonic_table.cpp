#include "display/harmonic_table.h"

#include "display/number_format.h"

namespace {

const QString kCellIndent(21, ' ');

// The general form, with ".00" when the number has no decimals.
QString tableNumber(double value)
{
    QString text = FormatGeneral(value);
    if (!text.contains('.')) text += QStringLiteral(".00");
    return text;
}

QString percentCell(const le::F32 (&amplitudes)[kHarmonicCount], int order)
{
    const double fundamental = amplitudes[1].get();
    // With no fundamental the ratio is undefined; the cell keeps its form.
    const double percent =
        fundamental != 0.0 ? RoundDecimals(double(amplitudes[order].get()) / fundamental * 100.0, 2) : 0.0;
    return kCellIndent + tableNumber(percent) + '%';
}

} // namespace

QString HarmonicTableHeader(int column)
{
    static const char* const headers[kHarmonicTableColumns] = {
        QT_TRANSLATE_NOOP("HarmonicTable", "         Order"),
        QT_TRANSLATE_NOOP("HarmonicTable", "     Voltage RMS"),
        QT_TRANSLATE_NOOP("HarmonicTable", "     Voltage Percentage"),
        QT_TRANSLATE_NOOP("HarmonicTable", "     Current RMS"),
        QT_TRANSLATE_NOOP("HarmonicTable", "     Current Percentage")};
    return (column >= 0 && column < kHarmonicTableColumns) ? QString::fromLatin1(headers[column]) : QString();
}

QString HarmonicTableCell(const TestRecordImage& record, int column, int order)
{
    if (order < 0 || order >= kHarmonicCount) return QString();
    switch (column) {
    case 0: return kCellIndent + QString::number(order);
    case 1:
        return kCellIndent + tableNumber(RoundDecimals(record.VoltageHarmonics[order].get() / 1.41421, 2));
    case 2: return percentCell(record.VoltageHarmonics, order);
    case 3:
        return kCellIndent + tableNumber(RoundDecimals(record.CurrentHarmonics[order].get() / 1.41421, 4));
    case 4: return percentCell(record.CurrentHarmonics, order);
    default: return QString();
    }
}
