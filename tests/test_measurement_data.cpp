// A measurement as data for machines: every readout reads back as the very
// float32 the instrument sent, whatever its size, and a value that is not a
// number stays visible as null, an empty field or a missing field.

#include "acquisition/acquisition_state.h"
#include "acquisition/measurement_data.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTimeZone>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

float FloatFromBits(uint32_t bits)
{
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// A float32 read from text the way a consumer reads it: as a double first.
float ReadBack(const QByteArray& text)
{
    bool ok = false;
    const double d = text.toDouble(&ok);
    return ok ? float(d) : std::numeric_limits<float>::quiet_NaN();
}

TestRecordImage WithReadouts(const std::function<float(int)>& value)
{
    TestRecordImage record{};
    for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) record.readout(i).set(value(i));
    return record;
}

} // namespace

class MeasurementDataTest : public QObject {
    Q_OBJECT

private slots:
    void everyFormReadsBackTheSentFloats()
    {
        QRandomGenerator random(20261209);
        const QDateTime when(QDate(2026, 12, 9), QTime(10, 15, 2, 123), QTimeZone(3600));
        for (int round = 0; round < 400; ++round) {
            const TestRecordImage record = WithReadouts([&](int) {
                float v;
                do v = FloatFromBits(random.generate()); while (!std::isfinite(v));
                return v;
            });
            const QJsonObject json = QJsonDocument::fromJson(MeasurementJson(when, record)).object();
            const QList<QByteArray> csv = MeasurementCsvRow(when, record).split(',');
            const QByteArray line = MeasurementInfluxLine(when, record, QStringLiteral("/dev/tty USB0"));
            const QList<QByteArray> fields = line.split(' ').at(2).split(',');
            QCOMPARE(csv.size(), TestRecordImage::kReadoutCount + 1);
            QCOMPARE(fields.size(), TestRecordImage::kReadoutCount);
            for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) {
                const float sent = record.readout(i).get();
                const QString key = QString::fromLatin1(MeasurementReadoutAt(i).key);
                QCOMPARE(float(json.value(key).toDouble()), sent);
                QCOMPARE(ReadBack(csv.at(i + 1)), sent);
                QCOMPARE(ReadBack(fields.at(i).mid(key.size() + 1)), sent);
            }
        }
        // Short where the value is short.
        QCOMPARE(ExactFloatText(230.01f), QByteArray("230.01"));
    }

    void valuesThatAreNoNumbersStayVisible()
    {
        const QDateTime when = QDateTime::currentDateTime();
        const TestRecordImage record = WithReadouts([](int i) {
            if (i == 0) return std::numeric_limits<float>::quiet_NaN();
            if (i == 3) return -std::numeric_limits<float>::infinity();
            return 0.0f;
        });
        const QJsonObject json = QJsonDocument::fromJson(MeasurementJson(when, record, "\"n\":7")).object();
        QVERIFY(json.value(QStringLiteral("Urms")).isNull());
        QVERIFY(json.value(QStringLiteral("Irms")).isNull());
        QCOMPARE(json.value(QStringLiteral("Upeak")).toDouble(-1), 0.0);
        QCOMPARE(json.value(QStringLiteral("n")).toInt(), 7);
        QCOMPARE(json.value(QStringLiteral("units")).toObject().value(QStringLiteral("Urms")).toString(), QString("V"));

        const QList<QByteArray> csv = MeasurementCsvRow(when, record).split(',');
        // Not-a-number empty, infinity spelled out as data-frame readers take it.
        QVERIFY(csv.at(1).isEmpty());
        QCOMPARE(csv.at(4), QByteArray("-inf"));
        QCOMPARE(csv.at(2), QByteArray("0"));
        QCOMPARE(MeasurementCsvHeader().count(','), csv.size() - 1);

        const QByteArray line = MeasurementInfluxLine(when, record, QStringLiteral("sim"));
        QVERIFY(!line.contains("Urms=") && !line.contains("Irms=") && line.contains("Upeak=0"));
        QVERIFY(MeasurementInfluxLine(when, WithReadouts([](int) { return NAN; }), QString()).isEmpty());
    }

    void timesCarryTheirOffset()
    {
        const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"));
        const QDateTime now = QDateTime::currentDateTime();
        const QByteArray text = TimeWithOffset(now);
        QVERIFY2(shape.match(QString::fromLatin1(text)).hasMatch(), text.constData());
        QCOMPARE(QDateTime::fromString(QString::fromLatin1(text), Qt::ISODateWithMs), now);
        const QByteArray line = MeasurementInfluxLine(now, WithReadouts([](int) { return 1.0f; }), QString());
        QCOMPARE(line.split(' ').last().toLongLong(), now.toMSecsSinceEpoch() * 1000000LL);
    }
};

QTEST_GUILESS_MAIN(MeasurementDataTest)
#include "test_measurement_data.moc"
