#include "measurement_data.h"

#include "acquisition/acquisition_state.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

constexpr std::array<MeasurementReadout, TestRecordImage::kReadoutCount> kReadouts = {{
    {"Urms", "V"},
    {"Upeak", "V"},
    {"Frequency", "Hz"},
    {"Irms", "A"},
    {"Ipeak", "A"},
    {"Iphase", "\xC2\xB0"},  // degree sign, UTF-8
    {"PowerFactor", ""},
    {"ActivePower", "W"},
    {"ApparentPower", "VA"},
    {"ReactivePower", "var"},
    {"Uthd", "%"},
    {"Ithd", "%"},
    {"Uff", ""},
    {"Iff", ""},
    {"Kwh", "kWh"},
}};

QByteArray UnitsObject()
{
    QByteArray units = "{";
    for (const MeasurementReadout& r : kReadouts) {
        if (*r.unit == '\0') continue;
        if (units.size() > 1) units += ',';
        units += '"';
        units += r.key;
        units += "\":\"";
        units += r.unit;
        units += '"';
    }
    return units + '}';
}

// Tag values escape commas, blanks and equals signs with a backslash.
QByteArray InfluxTag(const QString& value)
{
    QByteArray out;
    for (const char c : value.toUtf8()) {
        if (c == ',' || c == ' ' || c == '=' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

} // namespace

const MeasurementReadout& MeasurementReadoutAt(int i) { return kReadouts[size_t(i)]; }

QByteArray ExactFloatText(float v)
{
    if (!std::isfinite(v)) return QByteArray();
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return QByteArray(buffer, int(result.ptr - buffer));
}

QByteArray TimeWithOffset(const QDateTime& when)
{
    const QDateTime local = when.toLocalTime();
    const int offset = local.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")).toLatin1() +
           QStringLiteral("%1%2:%3")
               .arg(QLatin1Char(offset < 0 ? '-' : '+'))
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'))
               .toLatin1();
}

QByteArray MeasurementJson(const QDateTime& when, const TestRecordImage& received, const QByteArray& extraMembers)
{
    static const QByteArray units = UnitsObject();
    QByteArray json = "{\"time\":\"" + TimeWithOffset(when) + '"';
    if (!extraMembers.isEmpty()) json += ',' + extraMembers;
    for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) {
        const QByteArray number = ExactFloatText(received.readout(i).get());
        json += ",\"";
        json += kReadouts[size_t(i)].key;
        json += "\":";
        json += number.isEmpty() ? QByteArray("null") : number;
    }
    return json + ",\"units\":" + units + '}';
}

QByteArray MeasurementCsvHeader()
{
    QByteArray header = "time";
    for (const MeasurementReadout& r : kReadouts) {
        header += ',';
        header += r.key;
        if (*r.unit != '\0') header += QByteArray(" (") + r.unit + ')';
    }
    return header;
}

QByteArray MeasurementCsvRow(const QDateTime& when, const TestRecordImage& received)
{
    QByteArray row = TimeWithOffset(when);
    for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) row += ',' + ExactFloatText(received.readout(i).get());
    return row;
}

QByteArray MeasurementInfluxLine(const QDateTime& when, const TestRecordImage& received, const QString& port)
{
    QByteArray fields;
    for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) {
        const QByteArray number = ExactFloatText(received.readout(i).get());
        if (number.isEmpty()) continue;
        if (!fields.isEmpty()) fields += ',';
        fields += kReadouts[size_t(i)].key;
        fields += '=';
        fields += number;
    }
    if (fields.isEmpty()) return QByteArray();
    QByteArray line = "qzr6100";
    if (!port.isEmpty()) line += ",port=" + InfluxTag(port);
    return line + ' ' + fields + ' ' + QByteArray::number(when.toMSecsSinceEpoch() * 1000000LL);
}
