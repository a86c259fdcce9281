// qzr6100-cli end to end: the built program run as a process against the
// simulated instrument on a pseudo-terminal (in this process, so that its
// faults can be injected and its registers looked at), through the real
// serial component, and its files read back with the program's own record
// reader and with poppler.

#include "acquisition/acquisition_state.h"
#include "recording/record_arrays.h"
#include "recording/record_file.h"
#include "recording/record_reader.h"
#include "pty_simulator.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

QString CliBinary() { return qEnvironmentVariable("QZ_CLI_BINARY"); }

int CountReads(const std::vector<std::vector<uint8_t>>& frames, int reg)
{
    int n = 0;
    for (const auto& f : frames) {
        if (f.size() == 8 && f[1] == 0x03 && f[3] == uint8_t(reg)) ++n;
    }
    return n;
}

float LeFloat(const std::vector<uint8_t>& bytes, size_t offset)
{
    float value = 0;
    if (bytes.size() >= offset + 4) std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

QStringList Lines(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts); }

} // namespace

class CliSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<sim::PtySimulator> simulator;

    QString port() const { return QString::fromStdString(simulator->slavePath()); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    // Runs qzr6100-cli with its settings kept in the test's folder.
    Outcome run(QStringList arguments, int limitMs = 60000)
    {
        QProcess process;
        process.start(CliBinary(), arguments);
        if (!process.waitForFinished(limitMs)) {
            process.kill();
            process.waitForFinished();
        }
        return Outcome{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                       QString::fromUtf8(process.readAllStandardOutput()),
                       QString::fromUtf8(process.readAllStandardError())};
    }
    Outcome runOnPort(const QString& command, QStringList arguments, int limitMs = 60000)
    {
        return run(QStringList{command} << arguments << QStringLiteral("--port") << port()
                                        << QStringLiteral("--settings") << path("SysSet.ini"),
                   limitMs);
    }

    QString pdfText(const QString& pdf)
    {
        QProcess process;
        process.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        process.waitForFinished(30000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(CliBinary()), "QZ_CLI_BINARY names no program");
        QVERIFY(dir.isValid());
    }

    void init()
    {
        simulator = std::make_unique<sim::PtySimulator>();
        std::string reason;
        QVERIFY2(simulator->start(&reason), reason.c_str());
    }
    void cleanup() { simulator.reset(); }

    void measureInEachFormatThroughDamagedAndLostReplies()
    {
        // The first answer fails its CRC (asked again at once), the answer to
        // that repeat is lost (asked again by the re-read rule, 2 s on).
        simulator->injectNext(sim::Fault::BadCrc);
        simulator->injectNext(sim::Fault::Drop);
        const Outcome csv = runOnPort(QStringLiteral("measure"), {"--count", "3", "--format", "csv"});
        QCOMPARE(csv.status, 0);
        QVERIFY2(csv.err.isEmpty(), qPrintable(csv.err));
        const QStringList rows = Lines(csv.out);
        QCOMPARE(rows.size(), 4);
        QVERIFY(rows[0].startsWith("time,Urms (V),Upeak (V),Frequency (Hz),Irms (A)"));
        for (int i = 1; i < 4; ++i) {
            const QStringList fields = rows[i].split(u',');
            QCOMPARE(fields.size(), 16);
            QVERIFY(QDateTime::fromString(fields[0], Qt::ISODateWithMs).isValid());
            QVERIFY2(fields[1].toDouble() > 200 && fields[1].toDouble() < 260, qPrintable(rows[i]));
            QVERIFY(qAbs(fields[3].toDouble() - 50) < 0.5);
        }
        QVERIFY(CountReads(simulator->requests(), 148) >= 5);

        const Outcome json =
            runOnPort(QStringLiteral("measure"), {"--count", "2", "--format", "json", "--harmonics", "--save", path("t.vqm")});
        QCOMPARE(json.status, 0);
        const QStringList objects = Lines(json.out);
        QCOMPARE(objects.size(), 2);
        QJsonObject last;
        for (int i = 0; i < 2; ++i) {
            QJsonParseError error;
            last = QJsonDocument::fromJson(objects[i].toUtf8(), &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(objects[i]));
            QCOMPARE(last["n"].toInt(), i + 1);
            QVERIFY(last["Irms"].isDouble());
            const QJsonObject harmonics = last["harmonics"].toObject();
            QCOMPARE(harmonics["voltageRms"].toArray().size(), kHarmonicCount);
            QCOMPARE(harmonics["currentPercent"].toArray().at(1).toDouble(), 100.0);
        }

        const Outcome text = runOnPort(QStringLiteral("measure"), {});
        QCOMPARE(text.status, 0);
        QVERIFY(text.out.startsWith("Measurement 1  "));
        QVERIFY(QRegularExpression("Voltage +2[0-9]{2}\\.[0-9]+V").match(text.out).hasMatch());

        // The saved test holds the last measurement: its readouts are those printed.
        const Outcome info = run({"info", path("t.vqm")});
        QCOMPARE(info.status, 0);
        const QString urms = QRegularExpression("\"Urms\":([^,]+),").match(objects[1]).captured(1);
        QVERIFY2(info.out.contains(QStringLiteral("Voltage   %1V").arg(urms)), qPrintable(info.out + urms));

        const Outcome report = run({"report", path("t.vqm"), "--pdf", path("t.pdf"), "--settings", path("SysSet.ini"),
                                    "--info", "project=Bench 7", "--info", "units=C"});
        QCOMPARE(report.status, 0);
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext is not installed");
        const QString page = pdfText(path("t.pdf"));
        QVERIFY(page.contains("Power Analysis Report"));
        QVERIFY(page.contains("Project Name: Bench 7"));
        QVERIFY(page.contains("℃"));
    }

    void recordStoppedBySigtermKeepsEverySample()
    {
        QProcess recording;
        // Saved every 60 s: everything in the file after a few seconds was
        // written by the save that SIGTERM makes.
        recording.start(CliBinary(), {"record", "--port", port(), "--settings", path("SysSet.ini"), "--out",
                                      path("r.vqr"), "--channels", "Voltage,Current,Frequency", "--step", "1",
                                      "--save-step", "60"});
        QByteArray progress;
        QTRY_VERIFY_WITH_TIMEOUT((progress += recording.readAllStandardError()).contains("Recording into"), 10000);
        QTest::qWait(3600);
        recording.terminate();
        QVERIFY(recording.waitForFinished(20000));
        QCOMPARE(recording.exitCode(), 0);
        const QString out = QString::fromUtf8(recording.readAllStandardOutput());
        const QRegularExpressionMatch summary = QRegularExpression("^(\\d+) samples recorded in ").match(out);
        QVERIFY2(summary.hasMatch(), qPrintable(out));
        const int samples = summary.captured(1).toInt();
        QVERIFY2(samples >= 2 && samples <= 5, qPrintable(out));

        auto record = std::make_unique<ViewedRecord>();
        const RecordOpenResult opened = OpenRecordFile(path("r.vqr"), *record);
        QVERIFY(opened.loaded);
        QVERIFY2(opened.message.isEmpty(), qPrintable(opened.message));
        QCOMPARE(record->length(), samples);
        QCOMPARE(QFileInfo(path("r.vqr")).size(), qint64(kRecordBlockSize));
        const std::array<uint8_t, kRecordChannelCount> codes{0, 1, 6, 2, 2, 2};  // CH4..CH6 as SysSet.ini has them
        QCOMPARE(record->channelCodes, codes);
        QCOMPARE(int(record->samplingStep), 0);
        for (int i = 0; i < samples; ++i) {
            QVERIFY(record->data.channel(0)[i] > 200 && record->data.channel(0)[i] < 260);
            QVERIFY(qAbs(record->data.channel(2)[i] - 50) < 0.5);
            if (i > 0) {
                const double step = (record->data.times()[i] - record->data.times()[i - 1]) * 86400;
                QVERIFY2(step > 0.8 && step < 1.3, qPrintable(QString::number(step)));
            }
        }

        const Outcome info = run({"info", path("r.vqr")});
        QCOMPARE(info.status, 0);
        QVERIFY(info.out.contains(QStringLiteral("Length        %1 samples").arg(samples)));
        QVERIFY(info.out.contains("Damage        none"));

        const Outcome csv = run({"export", path("r.vqr"), "--csv", path("r.csv")});
        QCOMPARE(csv.status, 0);
        QFile csvFile(path("r.csv"));
        QVERIFY(csvFile.open(QIODevice::ReadOnly));
        const QStringList rows = Lines(QString::fromUtf8(csvFile.readAll()).remove(u'\r'));
        QCOMPARE(rows.size(), samples + 1);
        QVERIFY(rows[0].endsWith("Recording time,CH1:Voltage,CH2:Current,CH3:Frequency,CH4:Power,CH5:Power,CH6:Power"));
        QCOMPARE(rows[1].split(u',').at(1).toFloat(), record->data.channel(0)[0]);

        const Outcome xlsx = run({"export", path("r.vqr"), "--xlsx", path("r.xlsx")});
        QCOMPARE(xlsx.status, 0);
        QFile workbook(path("r.xlsx"));
        QVERIFY(workbook.open(QIODevice::ReadOnly));
        QCOMPARE(workbook.read(2), QByteArray("PK"));

        const Outcome report = run({"report", path("r.vqr"), "--pdf", path("r.pdf"), "--settings", path("SysSet.ini")});
        QCOMPARE(report.status, 0);
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext is not installed");
        const QString page = pdfText(path("r.pdf"));
        QVERIFY(page.contains("Record Report"));
        QVERIFY(page.contains("CH1: Voltage"));
        QVERIFY(page.contains("CH3: Frequency"));
    }

    void aRecordFileThatCannotBeWrittenLosesNothing()
    {
        QProcess recording;
        recording.start(CliBinary(), {"record", "--port", port(), "--settings", path("SysSet.ini"), "--out",
                                      path("gone.vqr"), "--channels", "Current", "--step", "1", "--save-step", "10"});
        QByteArray progress;
        QTRY_VERIFY_WITH_TIMEOUT((progress += recording.readAllStandardError()).contains("Recording into"), 10000);
        QVERIFY(QFile::remove(path("gone.vqr")));  // the save at 10 s fails and says so
        QTRY_VERIFY_WITH_TIMEOUT((progress += recording.readAllStandardError()).contains("Could not save the record file"),
                                 15000);
        recording.terminate();
        QVERIFY(recording.waitForFinished(20000));
        QCOMPARE(recording.exitCode(), 2);
        progress += recording.readAllStandardError();
        const QRegularExpressionMatch rescued =
            QRegularExpression("all (\\d+) samples were saved to (\\S+gone-rescued-\\S+\\.vqr) instead").match(QString::fromUtf8(progress));
        QVERIFY2(rescued.hasMatch(), progress.constData());
        auto record = std::make_unique<ViewedRecord>();
        QVERIFY(OpenRecordFile(rescued.captured(2), *record).loaded);
        QCOMPARE(record->length(), rescued.captured(1).toInt());
        QVERIFY(record->length() >= 5);  // about ten, taken before the failed save at 10 s
        QCOMPARE(int(record->channelCodes[0]), 1);
    }

    void settingsAndAlarmsAreWrittenAndReadBack()
    {
        const Outcome written = runOnPort(QStringLiteral("settings"), {"write", "--ct-ratio", "2.5", "--range", "3",
                                                                       "--bandwidth", "broad", "--filter", "4"});
        QCOMPARE(written.status, 0);
        QVERIFY(written.out.contains("ct-ratio    2.5\n"));
        QVERIFY(written.out.contains("range       3\n"));
        QVERIFY(written.out.contains("filter      4\n"));
        const std::vector<uint8_t> block = simulator->storedRegister(188);
        QCOMPARE(int(block.size()), kCtSettingsSize);
        QCOMPARE(LeFloat(block, 4), 2.5f);
        QCOMPARE(LeFloat(block, 8), 1.0f);  // not named: kept as the instrument had it
        QCOMPARE(int(block[12]), 1);
        QCOMPARE(int(block[14]), 4);
        QCOMPARE(int(block[15]), 0);  // filter on
        QCOMPARE(int(block[16]), 1);  // range locked ...
        QCOMPARE(int(block[18]), 3);  // ... to 3
        const Outcome read = runOnPort(QStringLiteral("settings"), {"read"});
        QCOMPARE(read.status, 0);
        QCOMPARE(read.out, written.out);

        // The read-out's first answer is lost: the chain stalls, and the
        // command runs it again.
        simulator->injectNext(sim::Fault::Drop);
        const Outcome alarms = runOnPort(QStringLiteral("alarms"), {"write", "--voltage-high", "250.5", "--current-low",
                                                                    "0.25", "--enable", "voltage-high,current-low"});
        QCOMPARE(alarms.status, 0);
        QVERIFY(alarms.out.contains(QRegularExpression("voltage-high +250.5 +on\n")));
        QVERIFY(alarms.out.contains(QRegularExpression("current-low +0.25 +on\n")));
        QVERIFY(alarms.out.contains(QRegularExpression("voltage-low +\\S+ +off\n")));
        QCOMPARE(LeFloat(simulator->storedRegister(118), 0), 250.5f);
        QCOMPARE(LeFloat(simulator->storedRegister(121), 0), 0.25f);
        QCOMPARE(int(simulator->storedRegister(126).at(0)), 0x09);
        QCOMPARE(runOnPort(QStringLiteral("alarms"), {"read"}).out, alarms.out);
    }

    void failuresSayWhatAndWhereWithTheirStatus()
    {
        const auto oneLine = [](const Outcome& o, const QString& needle) {
            return o.err.count(u'\n') == 1 && o.err.startsWith("qzr6100-cli: ") && o.err.contains(needle);
        };
        const Outcome missingPort = run({"measure", "--port", "/dev/qz-no-such-port"});
        QCOMPARE(missingPort.status, 2);
        QVERIFY2(oneLine(missingPort, "/dev/qz-no-such-port"), qPrintable(missingPort.err));

        // Another slave address: nobody answers; given up after three repeats.
        QElapsedTimer clock;
        clock.start();
        const Outcome silent = runOnPort(QStringLiteral("measure"), {"--address", "9"});
        QCOMPARE(silent.status, 2);
        QVERIFY2(oneLine(silent, port()) && silent.err.contains("does not answer"), qPrintable(silent.err));
        QVERIFY(clock.elapsed() < 20000);

        // A record file whose last block is torn and whose length is more
        // than its one whole block holds.
        auto block = std::make_unique<RecordBlock>();
        ResetRecordBlock(*block, {0, 1, 2, 3, 4, 5}, 0);
        for (int i = 0; i < kBlockSlots; ++i) block->Values[0][i].set(float(i));
        block->Header.Count.set(1500);
        QFile damaged(path("damaged.vqr"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(reinterpret_cast<const char*>(block->bytes()), kRecordBlockSize);
        damaged.write(QByteArray(100, '\0'));
        damaged.close();
        const Outcome info = run({"info", path("damaged.vqr")});
        QCOMPARE(info.status, 2);
        QVERIFY(info.out.contains("Length        1000 samples"));
        QVERIFY(info.out.contains(QRegularExpression("Damage +The record file .* is damaged")));
        const Outcome exported = run({"export", path("damaged.vqr"), "--csv", path("damaged.csv")});
        QCOMPARE(exported.status, 0);  // as far as it can be read, with a warning
        QVERIFY(exported.err.contains("damaged"));
        const Outcome nowhere = run({"export", path("damaged.vqr"), "--csv", path("no-folder/x.csv")});
        QCOMPARE(nowhere.status, 2);
        QVERIFY2(nowhere.err.contains("\nqzr6100-cli: cannot write " + path("no-folder/x.csv") + ": "), qPrintable(nowhere.err));

        QFile shortTest(path("short.vqm"));
        QVERIFY(shortTest.open(QIODevice::WriteOnly));
        shortTest.write(QByteArray(100, '\0'));
        shortTest.close();
        const Outcome test = run({"report", path("short.vqm"), "--pdf", path("short.pdf")});
        QCOMPARE(test.status, 2);
        QVERIFY2(oneLine(test, "short.vqm"), qPrintable(test.err));
        QVERIFY(!QFile::exists(path("short.pdf")));

        QCOMPARE(run({"measure", "--count", "many"}).status, 1);
        QCOMPARE(run({"settings", "write", "--ct-angle", "30.01"}).status, 1);
        QCOMPARE(run({"frobnicate"}).status, 1);
    }
};

QTEST_GUILESS_MAIN(CliSimTest)
#include "test_cli_sim.moc"
