// Test files: the exact 8052-byte image, the safe open and save, and the
// command-line rule for file names.

#include "acquisition/acquisition_state.h"
#include "acquisition/test_file.h"
#include "display/harmonic_table.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

class TestFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    static void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray readBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void savedAfterStartUpHoldsTheInitialRecord()
    {
        AcquisitionState state;
        InitAcquisitionState(state, QSize(800, 600), nullptr);
        const QString path = dir.filePath("start.vqm");
        QString error;
        QVERIFY2(SaveTestFile(path, state.TestRecord, &error), qPrintable(error));
        const QByteArray bytes = readBytes(path);
        QCOMPARE(bytes.size(), 8052);
        QCOMPARE(uint8_t(bytes[476]), uint8_t(0x00));
        QCOMPARE(uint8_t(bytes[477]), uint8_t(0x02));
        QCOMPARE(uint8_t(bytes[478]), uint8_t(0xFF));
        QCOMPARE(uint8_t(bytes[479]), uint8_t(0x07));
        QCOMPARE(bytes.mid(468, 4), QByteArray::fromHex("0000803f"));
    }

    void roundTripKeepsEveryByteIncludingTheReservedTail()
    {
        TestRecordImage original;
        QRandomGenerator rng(42);
        for (int i = 0; i < kTestRecordSize; ++i) original.bytes()[i] = uint8_t(rng.bounded(256));
        const QString path = dir.filePath("random.vqm");
        QVERIFY(SaveTestFile(path, original, nullptr));
        TestRecordImage loaded{};
        QString error;
        QVERIFY2(LoadTestFile(path, loaded, &error), qPrintable(error));
        QVERIFY(std::memcmp(original.bytes(), loaded.bytes(), kTestRecordSize) == 0);

        // Saving over an existing file replaces it whole.
        TestRecordImage zeros{};
        QVERIFY(SaveTestFile(path, zeros, nullptr));
        QCOMPARE(readBytes(path), QByteArray(kTestRecordSize, '\0'));

        // Bytes past the record are ignored.
        writeBytes(path, QByteArray(reinterpret_cast<const char*>(original.bytes()), kTestRecordSize) + "tail");
        QVERIFY(LoadTestFile(path, loaded, nullptr));
        QVERIFY(std::memcmp(original.bytes(), loaded.bytes(), kTestRecordSize) == 0);
    }

    void failedOpensLeaveTheCurrentTest_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");  // -1: do not create; -2: a folder
        QTest::newRow("8051 bytes") << "short.vqm" << 8051;
        QTest::newRow("empty") << "empty.vqm" << 0;
        QTest::newRow("missing") << "missing.vqm" << -1;
        QTest::newRow("a folder") << "folder.vqm" << -2;
    }
    void failedOpensLeaveTheCurrentTest()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        const QString path = dir.filePath(name);
        if (size >= 0) writeBytes(path, QByteArray(size, char(0x55)));
        if (size == -2) QVERIFY(QDir(dir.path()).mkpath(name));
        TestRecordImage current;
        std::memset(current.bytes(), 0xA5, kTestRecordSize);
        QString error;
        QVERIFY(!LoadTestFile(path, current, &error));
        QVERIFY2(error.contains(name), qPrintable(error));
        for (int i = 0; i < kTestRecordSize; ++i) QCOMPARE(current.bytes()[i], uint8_t(0xA5));
    }

    void failedSaveIsReported()
    {
        TestRecordImage record{};
        QString error;
        QVERIFY(!SaveTestFile(dir.filePath("no/such/folder/t.vqm"), record, &error));
        QVERIFY(error.contains("t.vqm"));
    }

    void commandLineRule_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        const int test = int(CommandLineFileKind::TestFile), record = int(CommandLineFileKind::RecordFile),
                  other = int(CommandLineFileKind::Other);
        QTest::newRow("lower") << "/data/a.vqm" << "/data/a.vqm" << test;
        QTest::newRow("capitals") << "/data/A.VQM" << "/data/A.VQM" << test;
        QTest::newRow("capitalised") << " /data/a.Vqm  " << "/data/a.Vqm" << test;
        QTest::newRow("mixed") << "/data/a.vQm" << "/data/a.vQm" << other;
        QTest::newRow("quoted") << "\"/my data/a.vqm\"" << "/my data/a.vqm" << test;
        QTest::newRow("record") << "/data/r.vqr" << "/data/r.vqr" << record;
        QTest::newRow("record capitals") << "r.VQR" << "r.VQR" << record;
        QTest::newRow("record capitalised") << "r.Vqr" << "r.Vqr" << record;
        QTest::newRow("record mixed") << "r.vqR" << "r.vqR" << other;
        QTest::newRow("other") << "notes.txt" << "notes.txt" << other;
    }
    void commandLineRule()
    {
        QFETCH(QString, argument);
        QFETCH(QString, name);
        QFETCH(int, kind);
        QCOMPARE(CommandLineFileName({argument, "second"}), name);
        QCOMPARE(int(ClassifyCommandLineFile(name)), kind);
    }

    void harmonicTableCells()
    {
        TestRecordImage r{};
        const QString indent(21, ' ');
        QCOMPARE(HarmonicTableCell(r, 1, 1), indent + "0.00");
        QCOMPARE(HarmonicTableCell(r, 2, 3), indent + "0.00%");  // no fundamental: the cell keeps its form
        QCOMPARE(HarmonicTableCell(r, 0, 50), indent + "50");
        r.VoltageHarmonics[1].set(311.127f);
        r.VoltageHarmonics[5].set(15.55635f);
        r.CurrentHarmonics[1].set(0.0141421f);
        r.CurrentHarmonics[3].set(0.00707105f);
        QCOMPARE(HarmonicTableCell(r, 1, 1), indent + "220.00");
        QCOMPARE(HarmonicTableCell(r, 2, 1), indent + "100.00%");
        QCOMPARE(HarmonicTableCell(r, 2, 5), indent + "5.00%");
        QCOMPARE(HarmonicTableCell(r, 3, 1), indent + "0.01");
        QCOMPARE(HarmonicTableCell(r, 4, 3), indent + "50.00%");
        QCOMPARE(HarmonicTableHeader(2), QString("     Voltage Percentage"));
    }
};

QTEST_GUILESS_MAIN(TestFileTest)
#include "test_test_file.moc"
