// Spreadsheet export: what the .xlsx sheet and the CSV file hold, that they
// do not depend on the user's locale, and that an export which is declined,
// cancelled or fails leaves no file behind (and an existing file untouched).
//
// The sheet is read back from the workbook's zip container with zlib (which
// libxlsxwriter brings along), so no outside tool is needed.

#include "recording/export_job.h"
#include "recording/ole_date.h"
#include "recording/record_export.h"

#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <array>
#include <cmath>
#include <cstdio>
#include <locale.h>
#include <sys/stat.h>
#include <vector>
#include <zlib.h>

namespace {

using Rows = QList<QStringList>;

quint32 Le(const QByteArray& b, qsizetype at, int size)
{
    quint32 v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | quint8(b.at(at + i));
    return v;
}

// One member of a zip file, through its central directory.
QByteArray ZipMember(const QByteArray& zip, const QByteArray& name)
{
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0) return {};
    const int entries = int(Le(zip, end + 10, 2));
    qsizetype at = Le(zip, end + 16, 4);
    for (int i = 0; i < entries && Le(zip, at, 4) == 0x02014b50; ++i) {
        const int method = int(Le(zip, at + 10, 2));
        const quint32 packed = Le(zip, at + 20, 4);
        const quint32 size = Le(zip, at + 24, 4);
        const int nameLength = int(Le(zip, at + 28, 2));
        const qsizetype local = Le(zip, at + 42, 4);
        if (zip.mid(at + 46, nameLength) == name) {
            const QByteArray data =
                zip.mid(local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2), packed);
            if (method == 0) return data;
            QByteArray out(qsizetype(size), '\0');
            z_stream z{};
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
            z.avail_in = uInt(data.size());
            z.next_out = reinterpret_cast<Bytef*>(out.data());
            z.avail_out = uInt(out.size());
            if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return {};
            const int result = inflate(&z, Z_FINISH);
            inflateEnd(&z);
            return result == Z_STREAM_END ? out : QByteArray();
        }
        at += 46 + nameLength + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
    }
    return {};
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The first sheet's rows: text cells as their text, number cells as "#"
// followed by the number as stored, an absent cell as "".
Rows SheetRows(const QString& xlsxPath)
{
    const QByteArray xml = ZipMember(FileBytes(xlsxPath), "xl/worksheets/sheet1.xml");
    Rows rows;
    QXmlStreamReader reader(xml);
    QString cellType;
    int column = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement()) continue;
        if (reader.name() == QLatin1String("row")) {
            rows.append(QStringList());
        } else if (reader.name() == QLatin1String("c")) {
            cellType = reader.attributes().value("t").toString();
            column = reader.attributes().value("r").at(0).unicode() - 'A';
            while (rows.last().size() < column) rows.last().append(QString());
        } else if (reader.name() == QLatin1String("v") || reader.name() == QLatin1String("t")) {
            const QString text = reader.readElementText();
            rows.last().append(cellType == QLatin1String("inlineStr") ? text : QLatin1Char('#') + text);
        }
    }
    return reader.hasError() ? Rows{} : rows;
}

QList<QByteArray> CsvLines(const QString& path)
{
    QByteArray bytes = FileBytes(path);
    if (!bytes.startsWith("\xEF\xBB\xBF")) return {};
    bytes.remove(0, 3);
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || !lines.last().isEmpty()) return {};  // every line ends
    lines.removeLast();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r')) return {};
        line.chop(1);
    }
    return lines;
}

// Files this process holds open that were removed: temporary files.
QStringList OpenRemovedFiles()
{
    QStringList removed;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target.endsWith(QLatin1String(" (deleted)"))) removed << target;
    }
    return removed;
}

int OpenDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)
                   .size());
}

struct TestRecord {
    std::vector<float> values[kExportChannelCount];
    std::vector<double> times;
    std::array<QString, kExportChannelCount> labels{
        {QStringLiteral("Voltage"), QStringLiteral("Current"), QStringLiteral("Power"),
         QStringLiteral("Temperature 1"), QStringLiteral("Frequency"), QStringLiteral("Power Factor")}};

    explicit TestRecord(int count)
    {
        const double start = OleDateFromLocal(QDateTime(QDate(2026, 12, 9), QTime(0, 12, 11, 123)));
        for (int i = 0; i < count; ++i) {
            times.push_back(start + i * 3.0 / 86400.0);
            values[0].push_back(std::array<float, 3>{230.1f, 230.2f, 230.3f}[size_t(i % 3)]);
            values[1].push_back(0.1f);
            values[2].push_back(1.5f * float(i % 3) - 1.5f);
            values[3].push_back(0.0f);  // a temperature channel records zeros
            values[4].push_back(50.0f);
            values[5].push_back(0.93f);
        }
    }

    ExportSource source() const
    {
        ExportSource s;
        for (int c = 0; c < kExportChannelCount; ++c)
            s.channels[size_t(c)] = values[c].empty() ? nullptr : values[c].data();
        s.times = times.empty() ? nullptr : times.data();
        s.count = int(times.size());
        s.headers = ExportHeaders(labels);
        return s;
    }
};

const QStringList kHeaders{"Recording time", "CH1:Voltage", "CH2:Current", "CH3:Power",
                           "CH4:Temperature 1", "CH5:Frequency", "CH6:Power Factor"};

QString ExportTo(ExportFormat format, const ExportSource& source, const QString& path, QString* error = nullptr,
                 const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates))
{
    std::atomic<bool> cancel{false};
    QString reason;
    const ExportOutcome outcome = format == ExportFormat::Xlsx
                                      ? ExportXlsx(source, path, {}, cancel, &reason, locale)
                                      : ExportCsv(source, path, {}, cancel, &reason);
    if (error != nullptr) *error = reason;
    return outcome == ExportOutcome::Done ? path : QString();
}

// Everything in the folder, hidden files included.
QStringList FolderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

Q_DECLARE_METATYPE(ExportFormat)

class RecordExportTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QTemporaryDir scratch;  // TMPDIR while the tests run: must stay empty

    void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void initTestCase() { qputenv("TMPDIR", QFile::encodeName(scratch.path())); }

    void cleanup()
    {
        QLocale::setDefault(QLocale::c());
        setlocale(LC_NUMERIC, "C");
        for (const QString& name : FolderEntries(dir.path())) {
            const QFileInfo entry(dir.filePath(name));
            if (entry.isDir())
                QDir(entry.filePath()).removeRecursively();
            else
                QFile::remove(entry.filePath());
        }
    }

    void emptyRecordGivesHeaderRowOnly_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("xlsx") << ExportFormat::Xlsx;
        QTest::newRow("csv") << ExportFormat::Csv;
    }
    void emptyRecordGivesHeaderRowOnly()
    {
        QFETCH(ExportFormat, format);
        const TestRecord record(0);
        const ExportSource source = record.source();
        QVERIFY(source.times == nullptr);
        if (format == ExportFormat::Xlsx) {
            const QString path = ExportTo(format, source, dir.filePath("empty.xlsx"));
            QVERIFY(!path.isEmpty());
            QVERIFY(FileBytes(path).startsWith("PK"));
            QCOMPARE(SheetRows(path), Rows{kHeaders});
        } else {
            const QString path = ExportTo(format, source, dir.filePath("empty.csv"));
            QCOMPARE(CsvLines(path), QList<QByteArray>{kHeaders.join(',').toUtf8()});
        }
    }

    // CH4 records the first temperature: its header names it and its column
    // holds zeros; the other values are the recorded floats' shortest
    // decimals and the time is the text the record window shows.
    void xlsxSheetHoldsRecordedValues()
    {
        const TestRecord record(3);
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QString path = ExportTo(ExportFormat::Xlsx, record.source(), dir.filePath("t.xlsx"), nullptr, us);
        QVERIFY(!path.isEmpty());
        const Rows rows = SheetRows(path);
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0], kHeaders);
        QCOMPARE(rows[1], (QStringList{"12/9/26 12:12:11 AM", "#230.1", "#0.1", "#-1.5", "#0", "#50", "#0.93"}));
        QCOMPARE(rows[3], (QStringList{"12/9/26 12:12:17 AM", "#230.3", "#0.1", "#1.5", "#0", "#50", "#0.93"}));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(rows[i + 1][0], FormatRecordStamp(record.times[size_t(i)], us));
            QCOMPARE(rows[i + 1][4], QString("#0"));
        }
    }

    void csvHoldsRecordedValues()
    {
        const TestRecord record(3);
        const QLocale german(QLocale::German, QLocale::Germany);
        QLocale::setDefault(german);  // decimal comma wherever Qt formats numbers
        const QString path = ExportTo(ExportFormat::Csv, record.source(), dir.filePath("t.csv"), nullptr, german);
        QCOMPARE(CsvLines(path), (QList<QByteArray>{
                                     kHeaders.join(',').toUtf8(),
                                     "2026-12-09T00:12:11.123,230.1,0.1,-1.5,0,50,0.93",
                                     "2026-12-09T00:12:14.123,230.2,0.1,0,0,50,0.93",
                                     "2026-12-09T00:12:17.123,230.3,0.1,1.5,0,50,0.93",
                                 }));
    }

    // Headers are quoted where RFC 4180 needs it and Chinese survives as
    // UTF-8; values that are no numbers and times that are no dates are
    // written so that the file stays readable.
    void unusualContent_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("xlsx") << ExportFormat::Xlsx;
        QTest::newRow("csv") << ExportFormat::Csv;
    }
    void unusualContent()
    {
        QFETCH(ExportFormat, format);
        TestRecord record(2);
        record.labels[0] = QStringLiteral("电压");
        record.labels[1] = QStringLiteral("A, \"B\"");
        record.values[0] = {std::nanf(""), 3.4028235e38f};
        record.values[1] = {INFINITY, -INFINITY};
        record.values[2] = {1e-45f, -0.001f};
        record.times[0] = std::nan("");
        const QString path = ExportTo(format, record.source(), dir.filePath(format == ExportFormat::Xlsx ? "u.xlsx" : "u.csv"));
        QVERIFY(!path.isEmpty());
        if (format == ExportFormat::Xlsx) {
            const Rows rows = SheetRows(path);
            QCOMPARE(rows.size(), 3);
            QCOMPARE(rows[0][1], QStringLiteral("CH1:电压"));
            QCOMPARE(rows[0][2], QStringLiteral("CH2:A, \"B\""));
            QCOMPARE(rows[1].mid(0, 4), (QStringList{"", "NaN", "Inf", "#1E-45"}));
            QCOMPARE(rows[2].mid(1, 3), (QStringList{"#3.4028235E+38", "-Inf", "#-0.001"}));
        } else {
            const QList<QByteArray> lines = CsvLines(path);
            QCOMPARE(lines.size(), 3);
            QVERIFY(lines[0].startsWith(QStringLiteral("Recording time,CH1:电压,\"CH2:A, \"\"B\"\"\",CH3:").toUtf8()));
            QVERIFY(lines[1].startsWith(",,inf,1e-45,"));
            QVERIFY(lines[2].startsWith("2026-12-09T00:12:14.123,3.4028235e+38,-inf,-0.001,"));
        }
    }

    // A Qt program runs under the user's C locale; where that writes a
    // decimal comma, the numbers of the sheet must still use a full stop or
    // the workbook does not open.
    void xlsxNumbersIgnoreDecimalCommaLocale()
    {
        QTemporaryDir locales;
        if (setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
            const QString localedef = QStandardPaths::findExecutable("localedef");
            if (localedef.isEmpty()) QSKIP("no German locale and no localedef to make one");
            QProcess::execute(localedef, {"-i", "de_DE", "-f", "UTF-8", locales.filePath("de_DE.UTF-8")});
            qputenv("LOCPATH", QFile::encodeName(locales.path()));
            const bool made = setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
            qunsetenv("LOCPATH");
            if (!made) QSKIP("no German locale available");
        }
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        QCOMPARE(QByteArray(probe), QByteArray("1,5"));

        const TestRecord record(1);
        const QString path = ExportTo(ExportFormat::Xlsx, record.source(), dir.filePath("de.xlsx"));
        QCOMPARE(SheetRows(path).value(1).mid(1), (QStringList{"#230.1", "#0.1", "#-1.5", "#0", "#50", "#0.93"}));
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        QCOMPARE(QByteArray(probe), QByteArray("1,5"));  // the caller's locale is left as it was
    }

    // The job copies the record when it is made: a recording that goes on
    // (or a new record file emptying the arrays) does not reach the file.
    void jobWritesTheRecordAsItWasAtStart()
    {
        TestRecord record(2);
        const QString target = dir.filePath("copy.csv");
        ExportJob job(record.source(), target, ExportFormat::Csv);
        for (auto& channel : record.values) std::fill(channel.begin(), channel.end(), 9.0f);
        record.times.assign(record.times.size(), 0.0);
        QString error;
        QVERIFY(job.start(&error));
        QCOMPARE(job.wait(&error), ExportOutcome::Done);
        QVERIFY(job.commit(&error));
        const QList<QByteArray> lines = CsvLines(target);
        QCOMPARE(lines.value(1), QByteArray("2026-12-09T00:12:11.123,230.1,0.1,-1.5,0,50,0.93"));
    }

    // Yes: the file takes the target's place, replacing an existing file in
    // one step and keeping its permissions; a new file gets the usual ones.
    // No: no file, and an existing target is untouched. Either way nothing
    // else is left in the folder.
    void keepOrDiscard_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<bool>("targetExists");
        for (const bool keep : {true, false}) {
            for (const bool exists : {false, true}) {
                const QByteArray name = QByteArray(keep ? "yes" : "no") + (exists ? ", existing target" : ", new target");
                QTest::newRow("xlsx, " + name) << ExportFormat::Xlsx << keep << exists;
                QTest::newRow("csv, " + name) << ExportFormat::Csv << keep << exists;
            }
        }
    }
    void keepOrDiscard()
    {
        QFETCH(ExportFormat, format);
        QFETCH(bool, keep);
        QFETCH(bool, targetExists);
        const QString target = dir.filePath(format == ExportFormat::Xlsx ? "Record.xlsx" : "Record.csv");
        if (targetExists) {
            writeFile(target, "old");
            QVERIFY(::chmod(QFile::encodeName(target).constData(), 0640) == 0);
        }
        const mode_t oldMask = ::umask(022);

        const TestRecord record(5);
        ExportJob job(record.source(), target, format);
        QString error;
        QVERIFY2(job.start(&error), qPrintable(error));
        QVERIFY(QFileInfo(job.temporaryPath()).fileName().startsWith(".Record."));
        QCOMPARE(QFileInfo(job.temporaryPath()).absolutePath(), dir.path());
        QCOMPARE(job.wait(&error), ExportOutcome::Done);
        QCOMPARE(job.rowsDone(), 5);
        if (keep) QVERIFY2(job.commit(&error), qPrintable(error));
        else job.discard();
        ::umask(oldMask);

        QCOMPARE(FolderEntries(dir.path()), targetExists || keep ? QStringList{QFileInfo(target).fileName()} : QStringList{});
        if (!keep) {
            if (targetExists) QCOMPARE(FileBytes(target), QByteArray("old"));
            return;
        }
        if (format == ExportFormat::Xlsx)
            QCOMPARE(SheetRows(target).size(), 6);
        else
            QCOMPARE(CsvLines(target).size(), 6);
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(target).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, targetExists ? 0640u : 0644u);
    }

    // Cancelling, at any moment, leaves no file, neither beside the target
    // nor in TMPDIR; a cancelled workbook keeps no temporary file open.
    void cancelLeavesNoFile_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("xlsx") << ExportFormat::Xlsx;
        QTest::newRow("csv") << ExportFormat::Csv;
    }
    void cancelLeavesNoFile()
    {
        QFETCH(ExportFormat, format);
        const TestRecord record(3 * kExportRowsPerStep);
        const QString target = dir.filePath("cancelled");
        writeFile(target, "old");

        const int descriptors = OpenDescriptors();
        QString error;
        // Before the first row, with rows written, and after the last row.
        for (const int steps : {0, 1, 2}) {
            std::atomic<bool> cancel{steps == 0};
            const ExportProgress progress = [&](int rows) {
                if (rows >= steps * kExportRowsPerStep) cancel = true;
            };
            const ExportOutcome outcome =
                format == ExportFormat::Xlsx ? ExportXlsx(record.source(), dir.filePath("direct"), progress, cancel, &error)
                                             : ExportCsv(record.source(), dir.filePath("direct"), progress, cancel, &error);
            QCOMPARE(outcome, ExportOutcome::Cancelled);
        }
        QCOMPARE(OpenDescriptors(), descriptors);
        QCOMPARE(FolderEntries(scratch.path()), QStringList());
        QFile::remove(dir.filePath("direct"));

        ExportJob job(record.source(), target, format);
        QVERIFY(job.start(&error));
        job.cancel();
        QCOMPARE(job.wait(&error), ExportOutcome::Cancelled);
        QVERIFY(!job.commit(&error));
        QCOMPARE(FolderEntries(dir.path()), QStringList{"cancelled"});
        QCOMPARE(FileBytes(target), QByteArray("old"));
        QCOMPARE(FolderEntries(scratch.path()), QStringList());
    }

    // Failures give the system's reason and leave no partial file.
    void failureGivesReason_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        for (const ExportFormat format : {ExportFormat::Xlsx, ExportFormat::Csv}) {
            const char* name = format == ExportFormat::Xlsx ? "xlsx" : "csv";
            QTest::addRow("%s, missing folder", name) << format << "missing/r" << "No such file or directory";
            QTest::addRow("%s, folder is a file", name) << format << "plain/r" << "Not a directory";
            QTest::addRow("%s, target is a folder", name) << format << "folder" << "Is a directory";
        }
    }
    void failureGivesReason()
    {
        QFETCH(ExportFormat, format);
        QFETCH(QString, target);
        QFETCH(QString, reason);
        writeFile(dir.filePath("plain"), "x");
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        const TestRecord record(2);
        QString error;
        ExportJob job(record.source(), dir.filePath(target), format);
        QVERIFY(!job.start(&error));
        QCOMPARE(error, reason);
        if (reason != QLatin1String("Is a directory")) {  // the writers alone fail alike
            QVERIFY(ExportTo(format, record.source(), dir.filePath(target), &error).isEmpty());
            QVERIFY2(error.startsWith(reason), qPrintable(error));
        }
        QCOMPARE(FolderEntries(dir.path()), (QStringList{"folder", "plain"}));
        QVERIFY(FolderEntries(dir.filePath("folder")).isEmpty());
    }

    // A disk that fills up while the file is written (/dev/full fails every
    // write): the system's reason, and no temporary file kept open (the
    // library leaves its descriptor open; it is pointed at /dev/null).
    void fullDiskIsReported_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("xlsx") << ExportFormat::Xlsx;
        QTest::newRow("csv") << ExportFormat::Csv;
    }
    void fullDiskIsReported()
    {
        QFETCH(ExportFormat, format);
        if (!QFileInfo::exists("/dev/full")) QSKIP("no /dev/full");
        const TestRecord record(3 * kExportRowsPerStep);
        QString error;
        QVERIFY(ExportTo(format, record.source(), "/dev/full", &error).isEmpty());
        QVERIFY2(error.startsWith("No space left on device"), qPrintable(error));
        QCOMPARE(OpenRemovedFiles(), QStringList());
        QCOMPARE(FolderEntries(scratch.path()), QStringList());
    }

    // The folder vanishes while the user is asked whether to keep the file.
    void folderRemovedBeforeYes()
    {
        const QString folder = dir.filePath("gone");
        QVERIFY(QDir(dir.path()).mkdir("gone"));
        const TestRecord record(2);
        ExportJob job(record.source(), folder + "/r.xlsx", ExportFormat::Xlsx);
        QString error;
        QVERIFY(job.start(&error));
        QCOMPARE(job.wait(&error), ExportOutcome::Done);
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(!job.commit(&error));
        QCOMPARE(error, QString("No such file or directory"));
        QVERIFY(FolderEntries(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(RecordExportTest)
#include "test_record_export.moc"
