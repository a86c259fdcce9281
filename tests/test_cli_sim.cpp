// qzr6100-cli end to end: the built program run as a process against the
// simulated instrument on a pseudo-terminal (in this process, so that its
// faults can be injected and its registers looked at), through the real
// serial component, and its files read back with the program's own record
// reader and with poppler.

#include "acquisition/acquisition_state.h"
#include "acquisition/test_file.h"
#include "recording/ole_date.h"
#include "recording/record_arrays.h"
#include "recording/record_file.h"
#include "recording/record_reader.h"
#include "pty_simulator.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <cstring>
#include <memory>

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
    QByteArray rawOut;
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

// The readouts' names in storage order, as the data forms use them.
QStringList ReadoutKeys()
{
    return {"Urms",          "Upeak",         "Frequency", "Irms", "Ipeak", "Iphase", "PowerFactor", "ActivePower",
            "ApparentPower", "ReactivePower", "Uthd",      "Ithd", "Uff",   "Iff",    "Kwh"};
}

// A float32 from its text; the data forms write the shortest decimal that
// reads back as the value, so a float32 parse gives the value itself.
float FloatOf(const QString& text) { return std::strtof(text.toLatin1().constData(), nullptr); }

// One line of InfluxDB line protocol taken apart by its grammar: measurement
// (with its escapes), tags, fields (numbers: floats, or integers ending in
// i), a timestamp of digits. Empty measurement when the line breaks it.
struct InfluxLine {
    QString measurement;
    QMap<QString, QString> tags;
    QMap<QString, double> fields;
    qint64 timestamp = 0;
};

InfluxLine ParseInfluxLine(const QString& line)
{
    static const QRegularExpression kGrammar(QStringLiteral(
        R"(^((?:[^ ,\\]|\\.)+)((?:,(?:[^ ,=\\]|\\.)+=(?:[^ ,=\\]|\\.)+)*) ((?:[^ ,=\\]|\\.)+=[^ ,]+(?:,(?:[^ ,=\\]|\\.)+=[^ ,]+)*) (-?[0-9]+)$)"));
    static const QRegularExpression kFloat(QStringLiteral(R"(^-?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][-+]?[0-9]+)?$)"));
    static const QRegularExpression kPair(QStringLiteral(R"(((?:[^,=\\]|\\.)+)=((?:[^,\\]|\\.)+))"));
    InfluxLine parsed;
    const QRegularExpressionMatch m = kGrammar.match(line);
    if (!m.hasMatch()) return parsed;
    const auto unescape = [](QString text) { return text.replace(QRegularExpression(R"(\\(.))"), QStringLiteral("\\1")); };
    for (auto it = kPair.globalMatch(m.captured(2)); it.hasNext();) {
        const auto pair = it.next();
        parsed.tags[unescape(pair.captured(1))] = unescape(pair.captured(2));
    }
    for (auto it = kPair.globalMatch(m.captured(3)); it.hasNext();) {
        const auto pair = it.next();
        if (!kFloat.match(pair.captured(2)).hasMatch()) return parsed;
        parsed.fields[pair.captured(1)] = pair.captured(2).toDouble();
    }
    parsed.timestamp = m.captured(4).toLongLong();
    parsed.measurement = unescape(m.captured(1));
    return parsed;
}

// A record file of `length` samples one second apart from `first`, CH1 a
// slow wave around 230, CH2 its sample number; `nanEvery` puts NaN into
// every so many samples of CH1.
void WriteRecordFile(const QString& path, int length, const QDateTime& first, int nanEvery = 0)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    auto block = std::make_unique<RecordBlock>();
    const double start = OleDateFromLocal(first);
    for (int b = 0; b * kBlockSlots < length || b == 0; ++b) {
        ResetRecordBlock(*block, {0, 1, 2, 3, 4, 5}, 0);
        for (int i = 0; i < kBlockSlots; ++i) {
            const int n = b * kBlockSlots + i;
            if (n >= length) break;
            const bool nan = nanEvery > 0 && n % nanEvery == 0;
            block->Values[0][i].set(nan ? NAN : float(230 + 10 * std::sin(n / 300.0)));
            block->Values[1][i].set(float(n));
            block->Times[i].set(start + n / 86400.0);
        }
        block->Header.Count.set(length);
        QCOMPARE(file.write(reinterpret_cast<const char*>(block->bytes()), kRecordBlockSize), qint64(kRecordBlockSize));
    }
}

// The words of a page as pdftotext -bbox gives them, joined into lines by
// their baseline.
QStringList PdfLines(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression kWord(QStringLiteral(R"re(<word xMin="([0-9.]+)" yMin="[0-9.]+" xMax="[0-9.]+" yMax="([0-9.]+)">([^<]*)</word>)re"));
    QMap<int, QMap<double, QString>> rows;
    for (auto it = kWord.globalMatch(html); it.hasNext();) {
        const auto w = it.next();
        rows[qRound(w.captured(2).toDouble())][w.captured(1).toDouble()] = w.captured(3);
    }
    QStringList lines;
    for (const auto& row : rows) lines << QStringList(row.values()).join(u' ');
    return lines;
}

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
        const QByteArray out = process.readAllStandardOutput();
        return Outcome{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, QString::fromUtf8(out),
                       QString::fromUtf8(process.readAllStandardError()), out};
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
        const Outcome csv = runOnPort(QStringLiteral("measure"), {"-n", "3", "-f", "csv"});
        QCOMPARE(csv.status, 0);
        QVERIFY2(csv.err.isEmpty(), qPrintable(csv.err));
        const QStringList rows = Lines(csv.out);
        QCOMPARE(rows.size(), 4);
        QVERIFY(rows[0].startsWith("time,Urms (V),Upeak (V),Frequency (Hz),Irms (A)"));
        for (int i = 1; i < 4; ++i) {
            const QStringList fields = rows[i].split(u',');
            QCOMPARE(fields.size(), 16);
            QVERIFY(QRegularExpression("[+-][0-9]{2}:[0-9]{2}$").match(fields[0]).hasMatch());
            QVERIFY(QDateTime::fromString(fields[0], Qt::ISODateWithMs).isValid());
            QVERIFY2(fields[1].toDouble() > 200 && fields[1].toDouble() < 260, qPrintable(rows[i]));
            QVERIFY(qAbs(fields[3].toDouble() - 50) < 0.5);
        }
        QVERIFY(!csv.out.contains('\r'));
        QVERIFY(CountReads(simulator->requests(), 148) >= 5);

        const Outcome text = runOnPort(QStringLiteral("measure"), {});
        QCOMPARE(text.status, 0);
        QVERIFY(text.out.startsWith("Measurement 1  "));
        QVERIFY(QRegularExpression("Voltage +2[0-9]{2}\\.[0-9]+V").match(text.out).hasMatch());
    }

    void dataCarryTheInstrumentsOwnValues()
    {
        // JSON with the harmonics and the waveform; the last measurement is
        // saved, and every number printed is the float32 the file holds.
        const Outcome json = runOnPort(QStringLiteral("measure"), {"-n", "2", "-f", "json", "--harmonics", "--waveform",
                                                                   "--save", path("t.vqm")});
        QCOMPARE(json.status, 0);
        const QStringList objects = Lines(json.out);
        QCOMPARE(objects.size(), 2);
        TestRecordImage saved{};
        QString error;
        QVERIFY2(LoadTestFile(path("t.vqm"), saved, &error), qPrintable(error));
        QJsonParseError parseError;
        const QJsonObject last = QJsonDocument::fromJson(objects[1].toUtf8(), &parseError).object();
        QVERIFY2(parseError.error == QJsonParseError::NoError, qPrintable(objects[1]));
        QCOMPARE(last["n"].toInt(), 2);
        QVERIFY(last["time"].toString().contains(QRegularExpression("[+-][0-9]{2}:[0-9]{2}$")));
        const QStringList keys = ReadoutKeys();
        // The number texts themselves, not Qt's doubles: each must read back
        // as the stored float32.
        for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) {
            const QString number =
                QRegularExpression(QStringLiteral("\"%1\":([^,]+),").arg(keys[i])).match(objects[1]).captured(1);
            QVERIFY2(FloatOf(number) == saved.readout(i).get(), qPrintable(keys[i] + " " + number));
        }
        QCOMPARE(last["units"].toObject()["ActivePower"].toString(), QString("W"));
        const QJsonArray voltageHarmonics = last["VoltageHarmonics"].toArray();
        QCOMPARE(voltageHarmonics.size(), kHarmonicCount);
        for (int k = 0; k < kHarmonicCount; ++k)
            QCOMPARE(float(voltageHarmonics[k].toDouble()), saved.VoltageHarmonics[k].get());
        const QJsonArray raw = last["CurrentSamples"].toArray();
        const QJsonArray amperes = last["Current"].toArray();
        QCOMPARE(raw.size(), kWaveformSamples);
        QCOMPARE(amperes.size(), kWaveformSamples);
        double largest = 0;
        for (int k = 0; k < kWaveformSamples; ++k) {
            QCOMPARE(raw[k].toInt(), int(saved.CurrentSamples[k].get()));
            largest = std::max(largest, std::abs(amperes[k].toDouble()));
        }
        // The waveform plot's scale: the largest deviation is the peak.
        QCOMPARE(float(largest), saved.Ipeak.get());

        // CSV of the same file by dump: the same float32 values.
        const Outcome dump = run({"dump", path("t.vqm"), "-f", "csv"});
        QCOMPARE(dump.status, 0);
        const QStringList dumped = Lines(dump.out);
        QCOMPARE(dumped.size(), 2);
        const QStringList header = dumped[0].split(u',');
        const QStringList values = dumped[1].split(u',');
        QCOMPARE(values.size(), header.size());
        for (int i = 0; i < TestRecordImage::kReadoutCount; ++i) QCOMPARE(FloatOf(values[i + 1]), saved.readout(i).get());
        const int u0 = int(header.indexOf("Voltage0 (V)"));
        QVERIFY(u0 > 0);
        QCOMPARE(FloatOf(values[u0]), float(last["Voltage"].toArray()[0].toDouble()));

        // A measurement the instrument sent as not-a-number: null and empty,
        // never the display's repaired 0; line protocol leaves it out.
        simulator->injectNext(sim::Fault::NanReadouts);
        const Outcome nanJson = runOnPort(QStringLiteral("measure"), {"-f", "json"});
        QCOMPARE(nanJson.status, 0);
        const QJsonObject nan = QJsonDocument::fromJson(nanJson.out.toUtf8()).object();
        for (const QString& key : keys) QVERIFY2(nan[key].isNull(), qPrintable(key));
        simulator->injectNext(sim::Fault::NanReadouts);
        const Outcome nanCsv = runOnPort(QStringLiteral("measure"), {"-f", "csv", "-o", path("nan.csv")});
        QCOMPARE(nanCsv.status, 0);
        QVERIFY(nanCsv.out.isEmpty());  // the data went into the file
        QFile nanFile(path("nan.csv"));
        QVERIFY(nanFile.open(QIODevice::ReadOnly));
        const QStringList nanRow = Lines(QString::fromUtf8(nanFile.readAll())).value(1).split(u',');
        QCOMPARE(nanRow.size(), 16);
        QCOMPARE(nanRow.mid(1), QStringList(15, QString()));

        // Line protocol: every line parses by the grammar, tagged with the
        // port and timed now; the fields are the readouts.
        const Outcome influx = runOnPort(QStringLiteral("measure"), {"-n", "3", "-f", "influx", "--harmonics"});
        QCOMPARE(influx.status, 0);
        QVERIFY2(influx.err.isEmpty(), qPrintable(influx.err));
        const QStringList lines = Lines(influx.out);
        QCOMPARE(lines.size(), 3);
        for (const QString& line : lines) {
            const InfluxLine parsed = ParseInfluxLine(line);
            QCOMPARE(parsed.measurement, QString("qzr6100"));
            QCOMPARE(parsed.tags.value("port"), port());
            QCOMPARE(parsed.fields.size(), TestRecordImage::kReadoutCount + 2 * kHarmonicCount);
            QVERIFY(parsed.fields.value("Urms") > 200 && parsed.fields.value("Urms") < 260);
            QVERIFY(qAbs(parsed.timestamp / 1000000 - QDateTime::currentMSecsSinceEpoch()) < 60000);
        }
        QCOMPARE(runOnPort(QStringLiteral("measure"), {"-f", "influx", "--waveform"}).status, 1);

        // The report of the test still reads it.
        const Outcome report = run({"report", path("t.vqm"), "-o", path("t.pdf"), "--settings", path("SysSet.ini"),
                                    "--info", "project=Bench 7", "--info", "units=C"});
        QCOMPARE(report.status, 0);
        QVERIFY(report.out.isEmpty());
        QVERIFY(report.err.contains("report written to"));
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext is not installed");
        const QString page = pdfText(path("t.pdf"));
        QVERIFY(page.contains("Power Analysis Report"));
        QVERIFY(page.contains("Project Name: Bench 7"));
        QVERIFY(page.contains("℃"));
    }

    void recordStoppedBySighupKeepsEverySample()
    {
        QProcess recording;
        // Saved every 60 s: everything in the file after a few seconds was
        // written by the save that SIGHUP (a closed ssh session) makes.
        recording.start(CliBinary(), {"record", "-p", port(), "--settings", path("SysSet.ini"), "--out",
                                      path("r.vqr"), "--channels", "Voltage,Current,Frequency", "--step", "1",
                                      "--save-step", "60"});
        QByteArray progress;
        QTRY_VERIFY_WITH_TIMEOUT((progress += recording.readAllStandardError()).contains("Recording into"), 10000);
        QTest::qWait(3600);
        ::kill(pid_t(recording.processId()), SIGHUP);
        QVERIFY(recording.waitForFinished(20000));
        QCOMPARE(recording.exitCode(), 0);
        QVERIFY(recording.readAllStandardOutput().isEmpty());  // no data: everything said went to standard error
        const QString err = QString::fromUtf8(progress + recording.readAllStandardError());
        const QRegularExpressionMatch summary = QRegularExpression("\\n(\\d+) samples recorded in ").match(err);
        QVERIFY2(summary.hasMatch(), qPrintable(err));
        const int samples = summary.captured(1).toInt();
        QVERIFY2(samples >= 2 && samples <= 5, qPrintable(err));

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
        const QByteArray csvBytes = csvFile.readAll();
        // Standard output gets the same bytes, and nothing else goes there.
        const Outcome piped = run({"export", path("r.vqr"), "-o", "-", "-q"});
        QCOMPARE(piped.status, 0);
        QCOMPARE(piped.rawOut, csvBytes);
        QVERIFY(csvBytes.startsWith("\xEF\xBB\xBF"));  // for spreadsheets, also through a pipe
        QVERIFY(piped.err.isEmpty());
        const QStringList rows = Lines(QString::fromUtf8(csvBytes).remove(u'\r'));
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
        QProcess pdfOut;
        pdfOut.start(CliBinary(), {"report", path("r.vqr"), "-o", "-", "-q", "--settings", path("SysSet.ini")});
        QVERIFY(pdfOut.waitForFinished(60000));
        QCOMPARE(pdfOut.exitCode(), 0);
        QVERIFY(pdfOut.readAllStandardOutput().startsWith("%PDF-"));
        QVERIFY(pdfOut.readAllStandardError().isEmpty());
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

    void aSecondCtrlCDuringTheFinalSaveSaysWhatIsLost()
    {
        QProcess recording;
        recording.start(CliBinary(), {"record", "-p", port(), "--settings", path("SysSet.ini"), "-o", path("lost.vqr"),
                                      "--channels", "Current", "--step", "1", "--save-step", "10"});
        QByteArray progress;
        QTRY_VERIFY_WITH_TIMEOUT((progress += recording.readAllStandardError()).contains("Recording into"), 10000);
        QTest::qWait(2500);
        QVERIFY(QFile::remove(path("lost.vqr")));  // the final save cannot bring it up to date
        ::kill(pid_t(recording.processId()), SIGINT);
        QTest::qWait(300);  // the final save failed; its retries wait a second each
        ::kill(pid_t(recording.processId()), SIGINT);
        QVERIFY(recording.waitForFinished(20000));
        QCOMPARE(recording.exitCode(), 130);
        progress += recording.readAllStandardError();
        const QRegularExpressionMatch lost =
            QRegularExpression("stopped again while saving: \\S+lost.vqr holds no sample; samples 1 to (\\d+) "
                               "\\([0-9-]+ [0-9:]+ to [0-9-]+ [0-9:]+\\) were not saved")
                .match(QString::fromUtf8(progress));
        QVERIFY2(lost.hasMatch(), progress.constData());
        QVERIFY(lost.captured(1).toInt() >= 1);
        QVERIFY(!progress.contains("rescued"));  // given up at once: nothing more written
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

    void aTwoHourRecordsReportShowsItWhole()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext is not installed");
        const int length = 7200;  // two hours at 1 s
        const QDateTime first(QDate(2026, 12, 9), QTime(8, 0, 0));
        WriteRecordFile(path("2h.vqr"), length, first);
        auto record = std::make_unique<ViewedRecord>();
        QVERIFY(OpenRecordFile(path("2h.vqr"), *record).loaded);

        const auto reportLines = [&](const QStringList& extra) {
            const Outcome o = run(QStringList{"report", path("2h.vqr"), "-o", path("2h.pdf"), "--settings",
                                              path("SysSet.ini"), "-q"} << extra);
            [&] { QCOMPARE(o.status, 0); }();
            return PdfLines(path("2h.pdf"));
        };
        const auto lineWith = [](const QStringList& lines, const QString& word) {
            for (const QString& line : lines)
                if (line.contains(word)) return line;
            return QString();
        };

        // The whole record: drawn from its newest sample back to within one
        // zoom step of its first, and the texts say so.
        const QStringList lines = reportLines({});
        const QString status = lineWith(lines, "Length:");
        const QRegularExpressionMatch zoom = QRegularExpression("Time/DIV=(\\d+)S").match(lineWith(lines, "Time/DIV="));
        QVERIFY2(zoom.hasMatch(), qPrintable(lines.join('\n')));
        const int step = zoom.captured(1).toInt() / 20;  // samples per point
        const QRegularExpressionMatch points = QRegularExpression("Length:(\\d+)").match(status);
        QVERIFY2(points.hasMatch(), qPrintable(status));
        const int drawn = points.captured(1).toInt();
        const int oldest = length - 1 - (drawn - 1) * step;
        QVERIFY2(oldest >= 0 && oldest <= step + step, qPrintable(QString("%1 points of %2").arg(drawn).arg(step)));
        const QString startStamp = FormatRecordStamp(record->data.times()[oldest]);
        const QString endStamp = FormatRecordStamp(record->data.times()[length - 1]);
        QVERIFY2(status.contains("Start:" + startStamp), qPrintable(status + " / " + startStamp));
        QVERIFY2(status.contains("End:" + endStamp), qPrintable(status + " / " + endStamp));
        // A page is some 550 points wide: the record of 7200 samples needs 14 per point.
        QVERIFY(step >= 13 && step <= 14);

        // A part of it, by sample numbers and by time; range and scale.
        const QString part = lineWith(reportLines({"--from", "1001", "--to", "1500", "--range", "both", "--scale",
                                                   "2=0.5"}),
                                      "Length:");
        QVERIFY2(part.contains("End:" + FormatRecordStamp(record->data.times()[1499])), qPrintable(part));
        QVERIFY2(part.contains("Length:"), qPrintable(part));
        const QStringList byTime = reportLines({"--to", "08:30"});
        QVERIFY(lineWith(byTime, "Length:").contains("End:" + FormatRecordStamp(record->data.times()[1800])));
        QVERIFY(lineWith(byTime, "CH2/DIV=").contains("CH1/DIV=50"));
        QVERIFY(lineWith(reportLines({"--range", "both", "--scale", "2=0.5"}), "CH2/DIV=").contains("CH2/DIV=50"));

        QCOMPARE(run({"report", path("2h.vqr"), "-o", path("x.pdf"), "--scale", "2=0.3"}).status, 1);
        QCOMPARE(run({"report", path("2h.vqr"), "-o", path("x.pdf"), "--from", "9000"}).status, 1);

        // Letter paper: 11 x 8.5 inches, landscape.
        QCOMPARE(run({"report", path("2h.vqr"), "-o", path("letter.pdf"), "--paper", "letter", "-q"}).status, 0);
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path("letter.pdf")});
        info.waitForFinished(30000);
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains("792 x 612 pts (letter)"));
    }

    void infoSkipsSamplesThatAreNotNumbers()
    {
        // Every tenth CH1 sample is NaN: the statistics are those of the others.
        WriteRecordFile(path("nan.vqr"), 100, QDateTime(QDate(2026, 12, 9), QTime(8, 0, 0)), 10);
        auto record = std::make_unique<ViewedRecord>();
        QVERIFY(OpenRecordFile(path("nan.vqr"), *record).loaded);
        float low = INFINITY, high = -INFINITY;
        double sum = 0;
        for (int i = 0; i < 100; ++i) {
            if (i % 10 == 0) continue;
            low = std::min(low, record->data.channel(0)[i]);
            high = std::max(high, record->data.channel(0)[i]);
            sum += record->data.channel(0)[i];
        }
        const Outcome json = run({"info", path("nan.vqr"), "-f", "json"});
        QCOMPARE(json.status, 0);
        const QJsonObject info = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(info["length"].toInt(), 100);
        const QJsonObject ch1 = info["channels"].toArray()[0].toObject();
        QCOMPARE(ch1["numbers"].toInt(), 90);
        QCOMPARE(float(ch1["min"].toDouble()), low);
        QCOMPARE(float(ch1["max"].toDouble()), high);
        QCOMPARE(float(ch1["mean"].toDouble()), float(sum / 90));
        QVERIFY(info["damage"].isNull());
        const Outcome text = run({"info", path("nan.vqr")});
        QCOMPARE(text.status, 0);
        QVERIFY2(text.out.contains("(10 of 100 samples not a number)"), qPrintable(text.out));
        QVERIFY2(QRegularExpression("\nCH1 +Voltage +min [0-9.]+  max [0-9.]+  mean [0-9.]+ ").match(text.out).hasMatch(),
                 qPrintable(text.out));

        // Export spells them as measure does: empty.
        const Outcome csv = run({"export", path("nan.vqr"), "-o", "-", "-q"});
        QCOMPARE(csv.status, 0);
        QVERIFY(csv.rawOut.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(csv.out.split("\r\n").at(1).split(u',').at(1), QString());
    }

    void aSignalEndsACommandWithItsNumber()
    {
        // SIGTERM before the measurements are done: 128 + 15.
        QProcess measuring;
        measuring.start(CliBinary(), {"measure", "-p", port(), "-n", "5", "-i", "10", "-f", "csv"});
        QByteArray rows;
        QTRY_VERIFY_WITH_TIMEOUT((rows += measuring.readAllStandardOutput()).contains("\n2"), 10000);
        measuring.terminate();
        QVERIFY(measuring.waitForFinished(20000));
        QCOMPARE(measuring.exitCode(), 143);
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
        const Outcome unknown = run({"frobnicate"});
        QCOMPARE(unknown.status, 1);
        QVERIFY(unknown.err.contains("'frobnicate' is not a command"));
    }
};

QTEST_GUILESS_MAIN(CliSimTest)
#include "test_cli_sim.moc"
