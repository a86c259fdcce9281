// Record settings: the status texts in both forms, the quantities' sources,
// loading SysSet.ini (missing and bad values take the key's default, so only
// valid codes and intervals come out), "Enter" and storing.

#include "acquisition/acquisition_state.h"
#include "acquisition/sys_settings.h"
#include "recording/record_settings.h"

#include <QTemporaryDir>
#include <QtTest>

using Codes = std::array<int32_t, kRecordChannelCount>;
Q_DECLARE_METATYPE(Codes)
Q_DECLARE_METATYPE(RecordSettingsSelection)

class RecordSettingsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path;

    void writeIni(const QByteArray& text)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

private slots:
    void init()
    {
        path = dir.filePath("SysSet.ini");
        QFile::remove(path);
    }

    void stepTextsInBothForms_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("creation");
        QTest::newRow("sampling 1 s") << false << 0 << 1000 << "Step: 1S"
                                      << "Step: 1S";
        QTest::newRow("sampling 3 s") << false << 2 << 3000 << "Step: 3S"
                                      << "Step:  3S";
        QTest::newRow("sampling 15 s") << false << 10 << 15000 << "Step: 15S"
                                       << "Step:  15S";
        QTest::newRow("sampling 30 s") << false << 11 << 30000 << "Step: 30S"
                                       << "Step:  30S";
        QTest::newRow("save 10 s") << true << 0 << 10000 << "Save Setp:10S"
                                   << "Save Setp:  10S";
        QTest::newRow("save 30 s") << true << 4 << 30000 << "Save Setp:30S"
                                   << "Save Setp:  30S";
        QTest::newRow("save 60 s") << true << 5 << 60000 << "SaveSetp:60S"
                                   << "Save Setp:  60S";
    }
    void stepTextsInBothForms()
    {
        QFETCH(bool, save);
        QFETCH(int, index);
        auto text = save ? SaveStepText : SamplingStepText;
        QTEST(save ? SaveIntervalMs(index) : SamplingIntervalMs(index), "intervalMs");
        QTEST(text(index, StepTextForm::Dialog), "dialog");
        QTEST(text(index, StepTextForm::Creation), "creation");
    }

    void quantitiesAndTheirSources()
    {
        TestRecordImage r{};
        const float values[kMeasuredQuantityCount] = {230.5f, 4.25f,  900.0f, 980.0f, -120.0f,
                                                      33.0f,  50.01f, 0.92f,  0.05f,  0.31f};
        le::F32* fields[kMeasuredQuantityCount] = {&r.Urms,          &r.Irms,   &r.ActivePower, &r.ApparentPower,
                                                   &r.ReactivePower, &r.Iphase, &r.Frequency,   &r.PowerFactor,
                                                   &r.Uthd,          &r.Ithd};
        for (int code = 0; code < kMeasuredQuantityCount; ++code) fields[code]->set(values[code]);
        r.Upeak.set(999.0f);
        for (int code = 0; code < kQuantityCodeCount; ++code) {
            QCOMPARE(QuantityValue(r, code), code < kMeasuredQuantityCount ? values[code] : 0.0f);
            QCOMPARE(QuantityListText(code), " " + QuantityLabelText(code));
        }
        QCOMPARE(QuantityLabelText(QuantityPowerFactor), QString("Power Factor"));
        QCOMPARE(QuantityLabelText(QuantityTemperature3), QString("Temperature 3"));
        QCOMPARE(SamplingStepListText(kSamplingStepListCount - 1), QString("15 S"));
        QCOMPARE(SaveStepListText(kSaveStepCount - 1), QString("60 S"));
    }

    void noRecordSectionRecordsPowerEveryThreeSecondsSavingEveryTwenty()
    {
        writeIni("[CommPort]\nPort=3\n");
        const RecordSettings s = LoadRecordSettings(SysSettings(path));
        QCOMPARE(s.channelCodes, Codes({2, 2, 2, 2, 2, 2}));
        QCOMPARE(s.samplingIntervalMs(), 3000);
        QCOMPARE(s.saveIntervalMs(), 20000);
    }

    void loadingTakesTheDefaultForEveryValueThatIsNotValid_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<Codes>("codes");
        QTest::addColumn<int>("samplingStep");
        QTest::addColumn<int>("saveStep");
        QTest::newRow("valid") << QByteArray("Ch0=0\nCh1=9\nCh2=10\nCh3=12\nCh4=7\nCh5=5\nSampingSetp=11\nSaveSetp=5\n")
                               << Codes({0, 9, 10, 12, 7, 5}) << 11 << 5;
        QTest::newRow("codes outside 0..12") << QByteArray("Ch0=-1\nCh1=13\nCh2=255\nCh3=2147483647\nCh4=12\nCh5=0\n")
                                             << Codes({2, 2, 2, 2, 12, 0}) << 2 << 2;
        QTest::newRow("not integers") << QByteArray(
            "Ch0=abc\nCh1=\nCh2=1.5\nCh3=0x3\nCh4= 4 \nCh5=99999999999\nSampingSetp=fast\nSaveSetp=2.0\n")
                                      << Codes({2, 2, 2, 2, 4, 2}) << 2 << 2;
        QTest::newRow("steps past their tables")
            << QByteArray("SampingSetp=12\nSaveSetp=6\n") << Codes({2, 2, 2, 2, 2, 2}) << 2 << 2;
        QTest::newRow("negative steps") << QByteArray("SampingSetp=-1\nSaveSetp=-1\n") << Codes({2, 2, 2, 2, 2, 2}) << 2
                                        << 2;
        QTest::newRow("first steps") << QByteArray("SampingSetp=0\nSaveSetp=0\n") << Codes({2, 2, 2, 2, 2, 2}) << 0
                                     << 0;
    }
    void loadingTakesTheDefaultForEveryValueThatIsNotValid()
    {
        QFETCH(QByteArray, section);
        writeIni("[RecordSet]\n" + section);
        const RecordSettings s = LoadRecordSettings(SysSettings(path));
        QTEST(s.channelCodes, "codes");
        QTEST(s.samplingStep, "samplingStep");
        QTEST(s.saveStep, "saveStep");
    }

    void enterKeepsWhatTheListsDoNotValidlySelect_data()
    {
        QTest::addColumn<RecordSettingsSelection>("selection");
        QTest::addColumn<Codes>("codes");
        QTest::addColumn<int>("samplingStep");
        QTest::addColumn<int>("saveStep");
        QTest::newRow("everything chosen")
            << RecordSettingsSelection{{0, 1, 3, 10, 11, 12}, 10, 5, -1} << Codes({0, 1, 3, 10, 11, 12}) << 10 << 5;
        // A 30 s step read from the file has no list item: the list shows no
        // selection and the step stays 30 s.
        QTest::newRow("nothing selected")
            << RecordSettingsSelection{{-1, -1, -1, -1, -1, -1}, -1, -1, -1} << Codes({6, 6, 7, 8, 9, 0}) << 11 << 1;
        QTest::newRow("past the tables") << RecordSettingsSelection{{13, 4, 4, 4, 4, 4}, 12, 6, -1}
                                         << Codes({6, 4, 4, 4, 4, 4}) << 11 << 1;
    }
    void enterKeepsWhatTheListsDoNotValidlySelect()
    {
        QFETCH(RecordSettingsSelection, selection);
        RecordSettings current;
        current.channelCodes = {6, 6, 7, 8, 9, 0};
        current.samplingStep = 11;
        current.saveStep = 1;
        const RecordSettings next = ApplyRecordSettingsSelection(current, selection);
        QTEST(next.channelCodes, "codes");
        QTEST(next.samplingStep, "samplingStep");
        QTEST(next.saveStep, "saveStep");
    }

    void storingWritesTheKeysInOrderAndReadsBack()
    {
        writeIni("[SkinSet]\nSkin=4\n");
        RecordSettings s;
        s.channelCodes = {0, 1, 2, 10, 8, 9};
        s.samplingStep = 11;
        s.saveStep = 5;
        SysSettings file(path);
        QString error;
        QVERIFY2(StoreRecordSettings(file, s, -1, &error), qPrintable(error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[SkinSet]\nSkin=4\n\n[RecordSet]\nCh0=0\nCh1=1\nCh2=2\nCh3=10\nCh4=8\nCh5=9\n"
                                         "SampingSetp=11\nSaveSetp=5\nTInCommNO=-1\n"));
        const RecordSettings back = LoadRecordSettings(file);
        QCOMPARE(back.channelCodes, s.channelCodes);
        QCOMPARE(back.samplingStep, 11);
        QCOMPARE(back.saveStep, 5);
    }

    void temperatureChannelsAskForTheMessage()
    {
        RecordSettings s;
        s.channelCodes = {0, 1, 2, 3, 4, 9};
        QVERIFY(!s.recordsTemperature());
        s.channelCodes[3] = QuantityTemperature1;
        QVERIFY(s.recordsTemperature());
        QCOMPARE(TemperatureInputMessage(),
                 QString("You choose the temperature input, \n\nMake sure your computer is connected to VELQUOR "
                         "production OXV series multi-channel temperature instrumentation!"));
    }
};

QTEST_GUILESS_MAIN(RecordSettingsTest)
#include "test_record_settings.moc"
