// Save and Open as the user meets them: the overwrite question, errors that
// leave the test on screen alone, and the harmonic table window.

#include "acquisition/acquisition_state.h"
#include "acquisition/test_file.h"
#include "acquisition/windows/test_file_commands.h"
#include "display/windows/harmonic_window.h"
#include "support/recording_main_window_view.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <QtTest>

class TestFileCommandsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    AcquisitionState state;
    RecordingMainWindowView view;
    RecordingNotifier notifier;

    static QByteArray fileBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        state = AcquisitionState();
        InitAcquisitionState(state, QSize(800, 600), nullptr);
        notifier = RecordingNotifier();
        view = RecordingMainWindowView();
    }

    void saveAsksBeforeOverwriting()
    {
        const QString path = dir.filePath("TestFile.vqm");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("precious");
        f.close();

        TestFileCommands commands(state, view, notifier, nullptr);
        QString proposed;
        commands.chooseSaveFile = [&](const QString& p) {
            proposed = p;
            return path;
        };
        notifier.answers = {Notifier::Answer::No};
        commands.save();
        QVERIFY(proposed.endsWith("/TestFile.vqm"));
        QCOMPARE(notifier.questions, QStringList{"  File already exists, overwrite?  "});
        QCOMPARE(fileBytes(path), QByteArray("precious"));

        notifier.answers = {Notifier::Answer::Yes};
        commands.save();
        QCOMPARE(fileBytes(path).size(), 8052);

        // A cancelled dialog does nothing; a new file is written without asking.
        commands.chooseSaveFile = [](const QString&) { return QString(); };
        commands.save();
        commands.chooseSaveFile = [&](const QString&) { return dir.filePath("new.vqm"); };
        commands.save();
        QCOMPARE(notifier.questions.size(), 2);
        QCOMPARE(fileBytes(dir.filePath("new.vqm")).size(), 8052);
    }

    void openShowsTheTestOrExplainsWhyNot()
    {
        TestRecordImage saved;
        std::memcpy(saved.bytes(), state.TestRecord.bytes(), kTestRecordSize);
        saved.Urms.set(230.5f);
        QVERIFY(SaveTestFile(dir.filePath("good.vqm"), saved, nullptr));
        QFile bad(dir.filePath("bad.vqm"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(100, 'x'));
        bad.close();

        TestFileCommands commands(state, view, notifier, nullptr);
        commands.chooseOpenFile = [&](const QString&) { return dir.filePath("bad.vqm"); };
        commands.open();
        QCOMPARE(notifier.messages.size(), 1);
        QVERIFY(notifier.messages[0].contains("bad.vqm"));
        QCOMPARE(state.TestRecord.Urms.get(), 0.0f);
        QCOMPARE(view.redraws, 0);

        commands.chooseOpenFile = [&](const QString&) { return dir.filePath("good.vqm"); };
        commands.open();
        QCOMPARE(state.TestRecord.Urms.get(), 230.5f);
        QCOMPARE(view.redraws, 1);
    }

    void harmonicWindowFollowsTheRecord()
    {
        HarmonicWindow window(state.TestRecord);
        QCOMPARE(window.windowTitle(), QString(" Harmonic Report "));
        QCOMPARE(window.size(), QSize(648, 500));
        QCOMPARE(window.cellText(0, 0), QString("         Order"));
        const QString indent(21, ' ');
        QCOMPARE(window.cellText(2, 1), indent + "0.00");
        state.TestRecord.VoltageHarmonics[1].set(311.127f);
        // The table catches up by itself within a second.
        QTRY_COMPARE_WITH_TIMEOUT(window.cellText(2, 1), indent + "220.00", 2500);
        QCOMPARE(window.cellText(2, 2), indent + "100.00%");
        QCOMPARE(window.cellText(51, 0), indent + "50");  // row 0 is the header
    }
};

QTEST_MAIN(TestFileCommandsTest)
#include "test_test_file_commands.moc"
