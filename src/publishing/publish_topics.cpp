#include "publish_topics.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/measurement_data.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// What Home Assistant needs beyond key and unit: a readable name, the
// device class that gives the right icon and unit conversions (none for
// the readouts it has no class for), and whether the value is a total.
struct DiscoveryReadout {
    const char* title;
    const char* deviceClass;
    bool total;
};

constexpr DiscoveryReadout kDiscovery[TestRecordImage::kReadoutCount] = {
    {"Voltage RMS", "voltage", false},
    {"Voltage peak", "voltage", false},
    {"Frequency", "frequency", false},
    {"Current RMS", "current", false},
    {"Current peak", "current", false},
    {"Current phase", "", false},
    {"Power factor", "power_factor", false},
    {"Active power", "power", false},
    {"Apparent power", "apparent_power", false},
    {"Reactive power", "reactive_power", false},
    {"Voltage THD", "", false},
    {"Current THD", "", false},
    {"Voltage form factor", "", false},
    {"Current form factor", "", false},
    {"Energy", "energy", true},
};

bool IsNameCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
}

} // namespace

bool IsValidBenchName(const QString& name)
{
    if (name.isEmpty() || name.size() > 64) return false;
    for (const QChar c : name) {
        if (!IsNameCharacter(c)) return false;
    }
    return true;
}

QString BenchNameFrom(const QString& text)
{
    QString name;
    for (const QChar c : text.trimmed()) name += IsNameCharacter(c) ? c : u'_';
    name = name.left(64);
    return name.isEmpty() ? QStringLiteral("qzr6100") : name;
}

PublishTopics::PublishTopics(const QString& benchName) : name(benchName)
{
    const QByteArray base = "qzr6100/" + benchName.toUtf8() + '/';
    measurement = base + "measurement";
    availability = base + "availability";
    status = base + "status";
}

QByteArray PublishTopics::discoveryTopic(int readout) const
{
    return "homeassistant/sensor/qzr6100_" + name.toUtf8() + '/' + MeasurementReadoutAt(readout).key + "/config";
}

QByteArray PublishTopics::discoveryConfig(int readout) const
{
    const MeasurementReadout& r = MeasurementReadoutAt(readout);
    const DiscoveryReadout& d = kDiscovery[readout];
    const QString id = QStringLiteral("qzr6100_%1_%2").arg(name, QString::fromLatin1(r.key));
    QJsonObject config{
        {QStringLiteral("name"), QString::fromLatin1(d.title)},
        {QStringLiteral("unique_id"), id},
        {QStringLiteral("object_id"), id},
        {QStringLiteral("state_topic"), QString::fromUtf8(measurement)},
        // null (not a number) renders as None, which Home Assistant shows as unknown
        {QStringLiteral("value_template"), QStringLiteral("{{ value_json.%1 }}").arg(QString::fromLatin1(r.key))},
        {QStringLiteral("state_class"), d.total ? QStringLiteral("total_increasing") : QStringLiteral("measurement")},
        {QStringLiteral("availability_topic"), QString::fromUtf8(availability)},
        {QStringLiteral("payload_available"), QStringLiteral("online")},
        {QStringLiteral("payload_not_available"), QStringLiteral("offline")},
        {QStringLiteral("device"),
         QJsonObject{{QStringLiteral("identifiers"), QJsonArray{QStringLiteral("qzr6100_") + name}},
                     {QStringLiteral("name"), QStringLiteral("QZR6100 ") + name},
                     {QStringLiteral("model"), QStringLiteral("QZR6100")},
                     {QStringLiteral("manufacturer"), QStringLiteral("Velquor")}}},
    };
    if (*r.unit != '\0') config.insert(QStringLiteral("unit_of_measurement"), QString::fromUtf8(r.unit));
    if (*d.deviceClass != '\0') config.insert(QStringLiteral("device_class"), QString::fromLatin1(d.deviceClass));
    return QJsonDocument(config).toJson(QJsonDocument::Compact);
}

QByteArray StatusText(const QString& samplingState, quint64 lost)
{
    QByteArray text = samplingState.toUtf8();
    if (lost > 0) text += "; " + QByteArray::number(lost) + (lost == 1 ? " measurement lost" : " measurements lost");
    return text;
}
