#include "measurement_data.h"

#include "acquisition/acquisition_state.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

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
    // The instrument sends distortion as a fraction (0.0367); the window
    // shows it multiplied by 100 with a per-cent sign. Data keep the
    // fraction, so it has no unit, like the power factor.
    {"Uthd", ""},
    {"Ithd", ""},
    {"Uff", ""},
    {"Iff", ""},
    {"Kwh", "kWh"},
}};

QByteArray UnitsObject(MeasurementParts parts)
{
    QByteArray units = "{";
    const auto add = [&units](const char* key, const char* unit) {
        if (*unit == '\0') return;
        if (units.size() > 1) units += ',';
        units += '"';
        units += key;
        units += "\":\"";
        units += unit;
        units += '"';
    };
    for (const MeasurementReadout& r : kReadouts) add(r.key, r.unit);
    if (parts.harmonics) {
        add("VoltageHarmonics", "V");
        add("CurrentHarmonics", "A");
    }
    if (parts.waveform) {
        add("Voltage", "V");
        add("Current", "A");
    }
    return units + '}';
}

template <typename Values>
QByteArray JsonArray(const Values& values, int count)
{
    QByteArray out = "[";
    for (int i = 0; i < count; ++i) {
        if (i > 0) out += ',';
        const QByteArray number = ExactFloatText(float(values[i]));
        out += number.isEmpty() ? QByteArray("null") : number;
    }
    return out + ']';
}

QByteArray JsonCounts(const le::U16 (&samples)[kWaveformSamples])
{
    QByteArray out = "[";
    for (int i = 0; i < kWaveformSamples; ++i) {
        if (i > 0) out += ',';
        out += QByteArray::number(samples[i].get());
    }
    return out + ']';
}

float HarmonicAt(const le::F32 (&amplitudes)[kHarmonicCount], int order) { return amplitudes[order].get(); }

// Scale of a trace: the plot draws its largest deviation from the zero
// level at the trace's peak value.
void ScaleTrace(const le::U16 (&samples)[kWaveformSamples], int zero, float peak, float (&out)[kWaveformSamples])
{
    const int largest = LargestDeviation(samples, zero);
    for (int k = 0; k < kWaveformSamples; ++k) {
        const int deviation = int(samples[k].get()) - zero;
        out[k] = largest == 0 ? 0.0f : float(double(deviation) * double(peak) / largest);
        if (!std::isfinite(peak) || !std::isfinite(out[k])) out[k] = std::numeric_limits<float>::quiet_NaN();
    }
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

int LargestDeviation(const le::U16 (&samples)[kWaveformSamples], int zero)
{
    int largest = 0;
    for (const le::U16& s : samples) largest = std::max(largest, std::abs(int(s.get()) - zero));
    return largest;
}

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

QByteArray CsvFloatText(float v)
{
    if (std::isnan(v)) return QByteArray();
    if (std::isinf(v)) return v > 0 ? QByteArray("inf") : QByteArray("-inf");
    return ExactFloatText(v);
}

ScaledWaveform ScaleWaveform(const TestRecordImage& record)
{
    ScaledWaveform scaled;
    ScaleTrace(record.VoltageSamples, record.VoltageZero.get(), record.Upeak.get(), scaled.volts);
    ScaleTrace(record.CurrentSamples, record.CurrentZero.get(), record.Ipeak.get(), scaled.amperes);
    return scaled;
}

QByteArray MeasurementJson(const QDateTime& when, const TestRecordImage& received, const QByteArray& extraMembers,
                           MeasurementParts parts)
{
    static const QByteArray readoutUnits = UnitsObject({});
    const QByteArray units = parts.harmonics || parts.waveform ? UnitsObject(parts) : readoutUnits;
    QByteArray json = "{\"time\":\"" + TimeWithOffset(when) + '"';
    if (!extraMembers.isEmpty()) json += ',' + extraMembers;
    for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) {
        const QByteArray number = ExactFloatText(received.readout(i).get());
        json += ",\"";
        json += kReadouts[size_t(i)].key;
        json += "\":";
        json += number.isEmpty() ? QByteArray("null") : number;
    }
    if (parts.harmonics) {
        float voltage[kHarmonicCount], current[kHarmonicCount];
        for (int k = 0; k < kHarmonicCount; ++k) {
            voltage[k] = HarmonicAt(received.VoltageHarmonics, k);
            current[k] = HarmonicAt(received.CurrentHarmonics, k);
        }
        json += ",\"VoltageHarmonics\":" + JsonArray(voltage, kHarmonicCount);
        json += ",\"CurrentHarmonics\":" + JsonArray(current, kHarmonicCount);
    }
    if (parts.waveform) {
        const ScaledWaveform scaled = ScaleWaveform(received);
        json += ",\"SampleCount\":" + QByteArray::number(received.SampleCount.get());
        json += ",\"VoltageZero\":" + QByteArray::number(received.VoltageZero.get());
        json += ",\"CurrentZero\":" + QByteArray::number(received.CurrentZero.get());
        json += ",\"VoltageSamples\":" + JsonCounts(received.VoltageSamples);
        json += ",\"CurrentSamples\":" + JsonCounts(received.CurrentSamples);
        json += ",\"Voltage\":" + JsonArray(scaled.volts, kWaveformSamples);
        json += ",\"Current\":" + JsonArray(scaled.amperes, kWaveformSamples);
    }
    return json + ",\"units\":" + units + '}';
}

QByteArray MeasurementCsvHeader(MeasurementParts parts)
{
    QByteArray header = "time";
    const auto column = [&header](const QByteArray& key, const char* unit) {
        header += ',' + key;
        if (*unit != '\0') header += QByteArray(" (") + unit + ')';
    };
    for (const MeasurementReadout& r : kReadouts) column(r.key, r.unit);
    if (parts.harmonics) {
        for (int k = 0; k < kHarmonicCount; ++k) column("VoltageHarmonics" + QByteArray::number(k), "V");
        for (int k = 0; k < kHarmonicCount; ++k) column("CurrentHarmonics" + QByteArray::number(k), "A");
    }
    if (parts.waveform) {
        column("SampleCount", "");
        column("VoltageZero", "");
        column("CurrentZero", "");
        for (int k = 0; k < kWaveformSamples; ++k) column("VoltageSamples" + QByteArray::number(k), "");
        for (int k = 0; k < kWaveformSamples; ++k) column("CurrentSamples" + QByteArray::number(k), "");
        for (int k = 0; k < kWaveformSamples; ++k) column("Voltage" + QByteArray::number(k), "V");
        for (int k = 0; k < kWaveformSamples; ++k) column("Current" + QByteArray::number(k), "A");
    }
    return header;
}

QByteArray MeasurementCsvRow(const QDateTime& when, const TestRecordImage& received, MeasurementParts parts)
{
    QByteArray row = TimeWithOffset(when);
    for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) row += ',' + CsvFloatText(received.readout(i).get());
    if (parts.harmonics) {
        for (int k = 0; k < kHarmonicCount; ++k) row += ',' + CsvFloatText(HarmonicAt(received.VoltageHarmonics, k));
        for (int k = 0; k < kHarmonicCount; ++k) row += ',' + CsvFloatText(HarmonicAt(received.CurrentHarmonics, k));
    }
    if (parts.waveform) {
        row += ',' + QByteArray::number(received.SampleCount.get());
        row += ',' + QByteArray::number(received.VoltageZero.get());
        row += ',' + QByteArray::number(received.CurrentZero.get());
        for (const le::U16& s : received.VoltageSamples) row += ',' + QByteArray::number(s.get());
        for (const le::U16& s : received.CurrentSamples) row += ',' + QByteArray::number(s.get());
        const ScaledWaveform scaled = ScaleWaveform(received);
        for (float v : scaled.volts) row += ',' + CsvFloatText(v);
        for (float a : scaled.amperes) row += ',' + CsvFloatText(a);
    }
    return row;
}

QByteArray MeasurementInfluxLine(const QDateTime& when, const TestRecordImage& received, const QString& port,
                                 MeasurementParts parts)
{
    QByteArray fields;
    const auto field = [&fields](const QByteArray& key, float value) {
        const QByteArray number = ExactFloatText(value);
        if (number.isEmpty()) return;
        if (!fields.isEmpty()) fields += ',';
        fields += key + '=' + number;
    };
    for (int i = 0; i < TestRecordImage::kReadoutCount; ++i)
        field(kReadouts[size_t(i)].key, received.readout(i).get());
    if (parts.harmonics) {
        for (int k = 0; k < kHarmonicCount; ++k)
            field("VoltageHarmonics" + QByteArray::number(k), HarmonicAt(received.VoltageHarmonics, k));
        for (int k = 0; k < kHarmonicCount; ++k)
            field("CurrentHarmonics" + QByteArray::number(k), HarmonicAt(received.CurrentHarmonics, k));
    }
    if (fields.isEmpty()) return QByteArray();
    QByteArray line = "qzr6100";
    if (!port.isEmpty()) line += ",port=" + InfluxTag(port);
    return line + ' ' + fields + ' ' + QByteArray::number(when.toMSecsSinceEpoch() * 1000000LL);
}
