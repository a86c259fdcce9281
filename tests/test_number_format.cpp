// Texts of measured values: the general float-to-text form, rounding with
// halves to even, the readout decoration of each of the fifteen panels, the
// THD percentage and the waveform caption; also under a decimal-comma locale.

#include "acquisition/acquisition_state.h"
#include "display/number_format.h"
#include "display/readout_panels.h"
#include "display/waveform_plot.h"

#include <QLocale>
#include <QtTest>

#include <clocale>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

namespace {

std::unique_ptr<TestRecordImage> FreshRecord()
{
    auto state = std::make_unique<AcquisitionState>();
    InitAcquisitionState(*state, QSize(1920, 1080), nullptr);
    return std::make_unique<TestRecordImage>(state->TestRecord);
}

QString ReadoutOf(TestRecordImage& record, ReadoutPanel panel) { return FormatReadouts(record)[size_t(panel)]; }

} // namespace

class NumberFormatTest : public QObject {
    Q_OBJECT

private slots:
    void generalForm_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("fraction") << 1.5 << "1.5";
        QTest::newRow("negative") << -230.125 << "-230.125";
        QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0.3";
        QTest::newRow("15 digits, last rounded") << 2.0 / 3.0 << "0.666666666666667";
        QTest::newRow("15 integer digits") << 123456789012345.0 << "123456789012345";
        QTest::newRow("rounds up into exponent form") << 999999999999999.9 << "1E15";
        QTest::newRow("large") << 1.5e20 << "1.5E20";
        QTest::newRow("smallest positional") << 0.00001 << "0.00001";
        QTest::newRow("small positional") << 0.0000123 << "0.0000123";
        QTest::newRow("small") << 1.5e-7 << "1.5E-7";
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "NAN";
        QTest::newRow("inf") << inf << "INF";
        QTest::newRow("-inf") << -inf << "-INF";
    }
    void generalForm()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(FormatGeneral(value), text);
    }

    void halvesGoToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("rounded");
        QTest::newRow("0.5") << 0.5 << 0 << 0.0;
        QTest::newRow("1.5") << 1.5 << 0 << 2.0;
        QTest::newRow("2.5") << 2.5 << 0 << 2.0;
        QTest::newRow("-1.5") << -1.5 << 0 << -2.0;
        QTest::newRow("0.0625 to 3") << 0.0625 << 3 << 0.062;
        QTest::newRow("0.1875 to 3") << 0.1875 << 3 << 0.188;
        QTest::newRow("12.34567 to 4") << 12.34567 << 4 << 12.3457;
        QTest::newRow("0.125 to 2") << 0.125 << 2 << 0.12;
    }
    void halvesGoToEven()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(double, rounded);
        QCOMPARE(RoundDecimals(value, decimals), rounded);
    }

    // Each value passes through the single-precision record, as it does in
    // the program.
    void readouts_data()
    {
        QTest::addColumn<int>("panel");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        auto row = [](const char* name, ReadoutPanel panel, float value, const char* text) {
            QTest::newRow(name) << int(panel) << value << QString::fromUtf8(text);
        };
        row("Urms cut to six", ReadoutPanel::Panel_URMS, 230.1234f, "230.12V");
        row("Urms zero", ReadoutPanel::Panel_URMS, 0.0f, "0.0V");
        row("Urms half to even, down", ReadoutPanel::Panel_URMS, 0.0625f, "0.062V");
        row("Urms half to even, up", ReadoutPanel::Panel_URMS, 0.1875f, "0.188V");
        row("Urms negative", ReadoutPanel::Panel_URMS, -230.1234f, "-230.1V");
        row("Irms rounded then cut", ReadoutPanel::Panel_IRMS, 12.34567f, "12.345A");
        row("Ipeak without unit", ReadoutPanel::Panel_IPP, 1.5f, "1.5");
        row("Frequency integer", ReadoutPanel::Panel_UF, 50.0f, "50.00Hz");
        row("Frequency not cut", ReadoutPanel::Panel_UF, 49.98765f, "49.988Hz");
        row("Iphase", ReadoutPanel::Panel_IPA, -12.345f, "-12.35");
        row("ActivePower", ReadoutPanel::Panel_WRMS, 1234.5678f, "1234.5W");
        row("ActivePower keeps integer digits", ReadoutPanel::Panel_WRMS, 1234567.0f, "1234567W");
        row("ApparentPower integer", ReadoutPanel::Panel_PS, 1000.0f, "1000.0");
        row("ReactivePower", ReadoutPanel::Panel_PQ, -0.004f, "0.0");
        row("PowerFactor", ReadoutPanel::Panel_PF, 0.99951f, "1.0");
        row("Uthd", ReadoutPanel::Panel_VTHD, 0.0523f, "5.2 %");
        row("Uthd integer percent", ReadoutPanel::Panel_VTHD, 0.05f, "5.0 %");
        row("Ithd half to even", ReadoutPanel::Panel_ITHD, 0.0625f, "6.2 %");
        row("Iff not cut", ReadoutPanel::PANEL_IKF, 1.4142135f, "1.414");
        row("Kwh not cut", ReadoutPanel::Panel_KWH, 12345.678f, "12345.678");
        row("exponent form not cut", ReadoutPanel::Panel_URMS, 18446744073709551616.0f, "1.84467440737096E19V");
        row("not a number", ReadoutPanel::Panel_URMS, std::numeric_limits<float>::quiet_NaN(), "NAN.0V");
    }
    void readouts()
    {
        QFETCH(int, panel);
        QFETCH(float, value);
        QFETCH(QString, text);
        // The quantity each panel shows, in panel order.
        static le::F32 TestRecordImage::* const kShown[kReadoutPanelCount] = {
            &TestRecordImage::Urms,          &TestRecordImage::Irms,          &TestRecordImage::Upeak,
            &TestRecordImage::Ipeak,         &TestRecordImage::Frequency,     &TestRecordImage::Iphase,
            &TestRecordImage::ActivePower,   &TestRecordImage::ApparentPower, &TestRecordImage::ReactivePower,
            &TestRecordImage::PowerFactor,   &TestRecordImage::Uthd,          &TestRecordImage::Ithd,
            &TestRecordImage::Iff,           &TestRecordImage::Uff,           &TestRecordImage::Kwh,
        };
        auto record = FreshRecord();
        le::F32* field = &((*record).*kShown[panel]);
        field->set(value);
        QCOMPARE(ReadoutOf(*record, ReadoutPanel(panel)), text);
    }

    void freshRecordShowsZeros()
    {
        auto record = FreshRecord();
        const auto texts = FormatReadouts(*record);
        const char* expected[kReadoutPanelCount] = {"0.0V", "0.0A", "0.0V", "0.0", "0.00Hz", "0.0", "0.0W", "0.0",
                                                    "0.0",  "0.0",  "0.0 %", "0.0 %", "0.0", "0.0", "0.0"};
        for (int i = 0; i < kReadoutPanelCount; ++i) QCOMPARE(texts[size_t(i)], QString::fromLatin1(expected[i]));
    }

    void reactivePowerNotANumberIsStoredAsZero()
    {
        auto record = FreshRecord();
        record->ReactivePower.set(std::numeric_limits<float>::quiet_NaN());
        QCOMPARE(ReadoutOf(*record, ReadoutPanel::Panel_PQ), QStringLiteral("0.0"));
        QCOMPARE(record->ReactivePower.get(), 0.0f);
    }

    void waveformCaption_data()
    {
        QTest::addColumn<float>("frequency");
        QTest::addColumn<float>("urms");
        QTest::addColumn<float>("upeak");
        QTest::addColumn<float>("irms");
        QTest::addColumn<float>("ipeak");
        QTest::addColumn<QString>("caption");
        const float nan = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("no data") << 0.0f << 0.0f << 0.0f << 0.0f << 0.0f
                                 << "SEC/DIV:8ms   Vol/DIV:50V   Amp/DIV:1A   Trigger Source:Vol";
        QTest::newRow("50 Hz") << 50.0f << 220.0f << 310.0f << 5.0f << 7.07f
                               << "SEC/DIV:8ms   Vol/DIV:77.5V   Amp/DIV:2.36A   Trigger Source:Vol";
        QTest::newRow("60 Hz") << 60.0f << 0.0f << 310.0f << 0.0f << 7.07f
                               << "SEC/DIV:6.67ms   Vol/DIV:50V   Amp/DIV:1A   Trigger Source:Vol";
        QTest::newRow("negative and NaN stand-ins") << -50.0f << nan << 310.0f << -1.0f << 7.07f
                                                    << "SEC/DIV:8ms   Vol/DIV:50V   Amp/DIV:1A   Trigger Source:Vol";
    }
    void waveformCaption()
    {
        QFETCH(float, frequency);
        QFETCH(float, urms);
        QFETCH(float, upeak);
        QFETCH(float, irms);
        QFETCH(float, ipeak);
        QFETCH(QString, caption);
        auto record = FreshRecord();
        record->Frequency.set(frequency);
        record->Urms.set(urms);
        record->Upeak.set(upeak);
        record->Irms.set(irms);
        record->Ipeak.set(ipeak);
        QCOMPARE(WaveformCaption(*record), caption);
    }

    // A decimal comma in both the C and the Qt locale must not reach the texts.
    void decimalCommaLocale()
    {
        const std::string savedC = std::setlocale(LC_ALL, nullptr);
        const QLocale savedQt;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        bool cLocaleSet = false;
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_ALL, name)) {
                cLocaleSet = true;
                break;
            }
        }
        if (!cLocaleSet) qInfo("no decimal-comma C locale installed; only the Qt locale is switched");

        auto record = FreshRecord();
        record->Urms.set(230.1234f);
        record->Uthd.set(0.0523f);
        record->Frequency.set(60.0f);
        const QString general = FormatGeneral(1234.5);
        const QString exponent = FormatGeneral(1.5e-7);
        const auto texts = FormatReadouts(*record);
        const QString caption = WaveformCaption(*record);

        std::setlocale(LC_ALL, savedC.c_str());
        QLocale::setDefault(savedQt);

        QCOMPARE(general, QStringLiteral("1234.5"));
        QCOMPARE(exponent, QStringLiteral("1.5E-7"));
        QCOMPARE(texts[size_t(ReadoutPanel::Panel_URMS)], QStringLiteral("230.12V"));
        QCOMPARE(texts[size_t(ReadoutPanel::Panel_VTHD)], QStringLiteral("5.2 %"));
        QVERIFY(caption.startsWith(QStringLiteral("SEC/DIV:6.67ms")));
    }
};

QTEST_MAIN(NumberFormatTest)
#include "test_number_format.moc"
