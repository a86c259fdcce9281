// The export as the record window runs it: the progress dialog while a
// worker writes, the question whether to keep the file, Cancel, failures
// shown with the system's reason, and the file name step's extension.

#include "recording/windows/export_dialog.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <optional>

#include <functional>
#include <vector>

namespace {

// Records the captions too, and lets a test look around when asked.
class QuestionNotifier : public RecordingNotifier {
public:
    Answer question(const QString& text, const QString& caption) override
    {
        captions << caption;
        if (onQuestion) onQuestion();
        return RecordingNotifier::question(text, caption);
    }

    QStringList captions;
    std::function<void()> onQuestion;
};

struct Record {
    std::vector<float> values;
    std::vector<double> times;

    explicit Record(int count) : values(size_t(count), 1.25f), times(size_t(count), 46365.5) {}

    ExportSource source() const
    {
        ExportSource s;
        for (auto& channel : s.channels) channel = values.data();
        s.times = times.data();
        s.count = int(times.size());
        s.headers = ExportHeaders({"Voltage", "Current", "Power", "Temperature 1", "Frequency", "UTHD"});
        return s;
    }
};

QStringList FolderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

Q_DECLARE_METATYPE(ExportFormat)

class ExportDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QWidget window;

    // Runs an export to its end (the question answered), as the window's
    // event loop would; true when the file was kept.
    bool exportAndWait(Notifier& notifier, const ExportSource& source, const QString& target, ExportFormat format)
    {
        std::optional<bool> saved;
        StartExportWithProgress(&window, notifier, source, target, format, [&](bool s) { saved = s; });
        if (!QTest::qWaitFor([&] { return saved.has_value(); }, 120000)) return false;
        return *saved;
    }

private slots:
    void cleanup()
    {
        for (const QString& name : FolderEntries(dir.path())) QFile::remove(dir.filePath(name));
    }

    void withExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no extension") << "/data/rec" << "xlsx" << "/data/rec.xlsx";
        QTest::newRow("has it") << "/data/rec.xlsx" << "xlsx" << "/data/rec.xlsx";
        QTest::newRow("upper case") << "/data/REC.XLSX" << "xlsx" << "/data/REC.XLSX";
        QTest::newRow("another extension") << "/data/rec.xls" << "xlsx" << "/data/rec.xls.xlsx";
        QTest::newRow("dot in folder") << "/data.v2/rec" << "csv" << "/data.v2/rec.csv";
        QTest::newRow("csv has it") << "rec.csv" << "csv" << "rec.csv";
        QTest::newRow("empty") << "" << "csv" << "";
    }
    void withExtension()
    {
        QFETCH(QString, path);
        QFETCH(QString, extension);
        QFETCH(QString, expected);
        QCOMPARE(WithExtension(path, extension), expected);
    }

    // The question comes once the file is written; the window's events ran
    // meanwhile (a timer of the window kept ticking). Yes keeps the file,
    // No leaves none; nothing else is left in the folder either way.
    void exportAsksAndKeepsOrDiscards_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<bool>("yes");
        QTest::newRow("xlsx, yes") << ExportFormat::Xlsx << true;
        QTest::newRow("xlsx, no") << ExportFormat::Xlsx << false;
        QTest::newRow("csv, yes") << ExportFormat::Csv << true;
        QTest::newRow("csv, no") << ExportFormat::Csv << false;
    }
    void exportAsksAndKeepsOrDiscards()
    {
        QFETCH(ExportFormat, format);
        QFETCH(bool, yes);
        const QString target = dir.filePath("Record." + ExportExtension(format));
        const Record record(20000);

        int ticks = 0;
        QTimer ticker;
        ticker.setInterval(0);
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start();

        QuestionNotifier notifier;
        notifier.answers = {yes ? Notifier::Answer::Yes : Notifier::Answer::No};
        int ticksWhenAsked = -1;
        QStringList filesWhenAsked;
        notifier.onQuestion = [&] {
            ticksWhenAsked = ticks;
            filesWhenAsked = FolderEntries(dir.path());
        };
        QCOMPARE(exportAndWait(notifier, record.source(), target, format), yes);

        QCOMPARE(notifier.questions, QStringList{"Data export to complete. Sure to save it?"});
        QCOMPARE(notifier.captions, QStringList{"Save the file"});
        QVERIFY(notifier.messages.isEmpty());
        QVERIFY(ticksWhenAsked > 0);
        QCOMPARE(filesWhenAsked.size(), 1);  // the hidden temporary file, not yet the target
        QVERIFY(filesWhenAsked[0].startsWith(".Record."));
        QCOMPARE(FolderEntries(dir.path()), yes ? QStringList{QFileInfo(target).fileName()} : QStringList{});
        if (yes) QVERIFY(QFileInfo(target).size() > 20000 * 10);
        QVERIFY(window.findChildren<QProgressDialog*>().isEmpty());
    }

    // Cancel in the progress dialog: no question, no message, no file, and
    // an existing file of that name is untouched.
    void cancelLeavesNoFile_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::newRow("xlsx") << ExportFormat::Xlsx;
        QTest::newRow("csv") << ExportFormat::Csv;
    }
    void cancelLeavesNoFile()
    {
        QFETCH(ExportFormat, format);
        const QString target = dir.filePath("Old." + ExportExtension(format));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();

        bool clicked = false;
        QTimer::singleShot(0, this, [&] {
            auto* progress = window.findChild<QProgressDialog*>("ExportProgress");
            QPushButton* cancel = progress != nullptr ? progress->findChild<QPushButton*>() : nullptr;
            if (cancel == nullptr) return;
            cancel->click();
            clicked = true;
        });
        QuestionNotifier notifier;
        notifier.answers = {Notifier::Answer::Yes};
        const Record record(20000);
        QVERIFY(!exportAndWait(notifier, record.source(), target, format));
        QVERIFY(clicked);
        QVERIFY(notifier.questions.isEmpty());
        QVERIFY(notifier.messages.isEmpty());
        QCOMPARE(FolderEntries(dir.path()), QStringList{QFileInfo(target).fileName()});
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
    }

    void failureIsShownWithReason()
    {
        QuestionNotifier notifier;
        const Record record(10);
        const QString target = dir.filePath("missing/Record.xlsx");
        QVERIFY(!exportAndWait(notifier, record.source(), target, ExportFormat::Xlsx));
        QVERIFY(notifier.questions.isEmpty());
        QCOMPARE(notifier.messages.size(), 1);
        QVERIFY2(notifier.messages[0].contains(target), qPrintable(notifier.messages[0]));
        QVERIFY2(notifier.messages[0].endsWith("No such file or directory"), qPrintable(notifier.messages[0]));
        QVERIFY(FolderEntries(dir.path()).isEmpty());
    }
};

QTEST_MAIN(ExportDialogTest)
#include "test_export_dialog.moc"
