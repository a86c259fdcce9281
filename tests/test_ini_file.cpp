// SysSet.ini handling: names match without regard to case, a write keeps the
// rest of the file, and values that are not decimal integers take the default.

#include "acquisition/ini_file.h"
#include "acquisition/sys_settings.h"

#include <QTemporaryDir>
#include <QtTest>

class IniFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path;

    void writeFile(const QByteArray& text)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray fileText()
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }

private slots:
    void init()
    {
        path = dir.filePath("SysSet.ini");
        QFile::remove(path);
    }

    void missingFileGivesDefaults()
    {
        SysSettings s(path);
        QCOMPARE(s.readInt(SysSetKeys::Baudrate), 2);
        QCOMPARE(s.readInt(SysSetKeys::Port), 2);
        QCOMPARE(s.readText(SysSetKeys::Address), QString("2"));
        QCOMPARE(s.readInt(SysSetKeys::SamplingStep), 2);
    }

    void namesMatchWithoutCase()
    {
        writeFile("[commbaudrate]\nBAUDRATE=5\n[CommPort]\nport = /dev/ttyUSB0\n");
        IniFile ini(path);
        QCOMPARE(ini.readInt("CommBaudrate", "Baudrate", 2), 5);
        QCOMPARE(ini.readString("COMMPORT", "Port", "2"), QString("/dev/ttyUSB0"));
    }

    void valuesThatAreNotDecimalIntegersTakeTheDefault_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("letters") << QByteArray("abc") << 2;
        QTest::newRow("empty") << QByteArray("") << 2;
        QTest::newRow("hex") << QByteArray("0x10") << 2;
        QTest::newRow("fraction") << QByteArray("1.5") << 2;
        QTest::newRow("trailing text") << QByteArray("3 baud") << 2;
        QTest::newRow("overflow") << QByteArray("99999999999") << 2;
        QTest::newRow("negative") << QByteArray("-1") << -1;
        QTest::newRow("decimal") << QByteArray("7") << 7;
    }
    void valuesThatAreNotDecimalIntegersTakeTheDefault()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        writeFile("[RecordSet]\nSampingSetp=" + value + "\n");
        QCOMPARE(SysSettings(path).readInt(SysSetKeys::SamplingStep), expected);
    }

    void writingKeepsTheRestOfTheFile()
    {
        writeFile("; comment kept\n[CommPort]\nPort=3\nOther=x\n\n[WaveSet]\nScaleColor=1\n");
        IniFile ini(path);
        QVERIFY(ini.writeString("commport", "PORT", "/dev/pts/4"));
        QVERIFY(ini.writeString("WaveSet", "WaveBackground", "0"));
        QVERIFY(ini.writeString("SkinSet", "Skin", "3"));
        QCOMPARE(fileText(), QByteArray("; comment kept\n[CommPort]\nPORT=/dev/pts/4\nOther=x\n\n[WaveSet]\n"
                                        "ScaleColor=1\nWaveBackground=0\n\n[SkinSet]\nSkin=3\n"));
        QCOMPARE(ini.readString("CommPort", "Port", ""), QString("/dev/pts/4"));

        // Text that is not UTF-8 (a project name saved in GBK), a byte-order
        // mark and CR LF line ends stay as they were.
        const QByteArray gbk("ProjectName=\xB1\xE4\xD1\xB9\xC6\xF7");
        writeFile("\xEF\xBB\xBF[PrintInfo]\r\n" + gbk + "\r\nunits=0\r\n");
        QVERIFY(ini.writeString("printinfo", "units", "1"));
        QCOMPARE(fileText(), "\xEF\xBB\xBF[PrintInfo]\r\n" + gbk + "\r\nunits=1\r\n");
        QCOMPARE(ini.readInt("PrintInfo", "units", 2), 1);

        // A UTF-16 file (a Windows "Unicode" save) reads, and is written back
        // as UTF-8.
        const QString wide = QStringLiteral("[SkinSet]\r\nSkin=4\r\n");
        writeFile("\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2));
        QCOMPARE(ini.readInt("SkinSet", "Skin", 2), 4);
        QVERIFY(ini.writeString("SkinSet", "Skin", "5"));
        QCOMPARE(fileText(), QByteArray("[SkinSet]\r\nSkin=5\r\n"));
    }

    void writeFailureIsReported()
    {
        IniFile ini(dir.filePath("no/such/folder/SysSet.ini"));
        QString error;
        QVERIFY(!ini.writeString("CommPort", "Port", "1", &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "test_ini_file.moc"
