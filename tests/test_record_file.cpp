// Record files byte for byte: OLE dates, a new file, the saves (one or two
// block writes, the boundaries and the 450000-sample end, catching up after
// failed saves), the recorder's final saves, New during a recording, the
// failed-save report, and opening sound and malformed files.
//
// Runs in the Europe/Berlin time zone (set in main) for the summer-time cases.

#include "acquisition/acquisition_state.h"
#include "recording/ole_date.h"
#include "recording/record_file.h"
#include "recording/record_reader.h"
#include "recording/record_writer.h"
#include "recording/recorder.h"
#include "support/recording_record_window_view.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <memory>

namespace {

using Codes = std::array<int32_t, kRecordChannelCount>;
const Codes kCodes{0, 9, 10, 3, 12, 7};
constexpr int kStep = 11;

// What every test record holds at sample i, exact in single precision.
float SampleValue(int ch, int i) { return float(ch * 1000000 + i); }
double SampleTime(int i) { return 45365.25 + i / 86400.0; }

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

const uint8_t* At(const QByteArray& b, qint64 offset)
{
    return reinterpret_cast<const uint8_t*>(b.constData()) + offset;
}
qint64 SlotOffset(int i) { return qint64(i / kBlockSlots) * kRecordBlockSize + i % kBlockSlots; }
int32_t CountField(const QByteArray& f, int block)
{
    return int32_t(le::loadU32(At(f, qint64(block) * kRecordBlockSize + 32008)));
}
float FileValue(const QByteArray& f, int ch, int i)
{
    return le::loadF32(At(f, SlotOffset(i) + 3 * (i % kBlockSlots) + ch * 4000));
}
double FileTime(const QByteArray& f, int i)
{
    return le::loadF64(At(f, SlotOffset(i) + 7 * (i % kBlockSlots) + 24000));
}

// The 16 header bytes of a file made with kCodes and kStep.
QByteArray Header(int32_t count)
{
    return Bytes({0, 9, 10, 3, 12, 7, kStep, 0, count & 0xFF, (count >> 8) & 0xFF, (count >> 16) & 0xFF,
                  (count >> 24) & 0xFF, 0, 0, 0, 0});
}

// `blocks` blocks with every slot filled and every count field `count`, and
// `tornBytes` of a torn block after them.
QByteArray MakeFile(int blocks, int32_t count, int tornBytes = 0)
{
    QByteArray out;
    auto block = std::make_unique<RecordBlock>();
    for (int k = 0; k < blocks; ++k) {
        ResetRecordBlock(*block, kCodes, kStep);
        for (int i = 0; i < kBlockSlots; ++i) {
            for (int ch = 0; ch < kRecordChannelCount; ++ch)
                block->Values[ch][i].set(SampleValue(ch, k * kBlockSlots + i));
            block->Times[i].set(SampleTime(k * kBlockSlots + i));
        }
        block->Header.Count.set(count);
        out += QByteArray(reinterpret_cast<const char*>(block->bytes()), kRecordBlockSize);
    }
    return out + QByteArray(tornBytes, char(0x5A));
}

struct RecorderRig {
    AcquisitionState acquisition;
    RecordingRecordWindowView view;
    RecordingNotifier notifier;
    Recorder recorder{acquisition, RecordSettings(), view, notifier};  // every channel records power
    int ticks = 0;

    RecorderRig()
    {
        acquisition.SamplingMode = SamplingContinuous;
        recorder.clock = [this] { return SampleTime(ticks); };
    }
    // Samples whose power is their number in the run.
    void sample(int n)
    {
        for (int k = 0; k < n; ++k, ++ticks) {
            acquisition.TestRecord.ActivePower.set(float(ticks));
            recorder.samplingTick();
        }
    }
};

} // namespace

class RecordFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<LiveRecord> full;  // 450000 samples of the pattern

    QString file(const char* name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        full = std::make_unique<LiveRecord>();
        for (int i = 0; i < kRecordCapacity; ++i) {
            for (int ch = 0; ch < kRecordChannelCount; ++ch) full->data.channel(ch)[i] = SampleValue(ch, i);
            full->data.times()[i] = SampleTime(i);
        }
    }

    void oleDates_data()
    {
        QTest::addColumn<QDateTime>("local");
        QTest::addColumn<double>("ole");
        QTest::newRow("day zero") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0;
        QTest::newRow("noon of day zero") << QDateTime(QDate(1899, 12, 30), QTime(12, 0)) << 0.5;
        QTest::newRow("2000-01-01") << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << 36526.0;
        QTest::newRow("2024-03-14 06:00") << QDateTime(QDate(2024, 3, 14), QTime(6, 0)) << 45365.25;
        QTest::newRow("day before, midnight") << QDateTime(QDate(1899, 12, 29), QTime(0, 0)) << -1.0;
        // Before day zero the fraction still adds time of day.
        QTest::newRow("day before, 06:00") << QDateTime(QDate(1899, 12, 29), QTime(6, 0)) << -1.25;
        QTest::newRow("two days before, 18:00") << QDateTime(QDate(1899, 12, 28), QTime(18, 0)) << -2.75;
        QTest::newRow("last millisecond")
            << QDateTime(QDate(2024, 3, 14), QTime(23, 59, 59, 999)) << 45365.0 + 86399.999 / 86400;
    }
    void oleDates()
    {
        QFETCH(QDateTime, local);
        QFETCH(double, ole);
        QVERIFY(std::fabs(OleDateFromLocal(local) - ole) < 1e-10);
        QCOMPARE(LocalFromOleDate(ole), local);
    }

    void oleDatesThatNeedCare()
    {
        QCOMPARE(LocalFromOleDate(-0.5), QDateTime(QDate(1899, 12, 30), QTime(12, 0)));  // as 0.5
        QCOMPARE(LocalFromOleDate(45365.0 - 1e-12), QDateTime(QDate(2024, 3, 14), QTime(0, 0)));
        for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 2958466.0,
                           -657435.0, 1e300}) {
            QVERIFY(!LocalFromOleDate(bad).isValid());
            QCOMPARE(FormatRecordStamp(bad, QLocale::c()), QString());
        }
        QCOMPARE(FormatRecordStamp(45365.75, QLocale(QLocale::English, QLocale::UnitedStates)),
                 QString("3/14/24 6:00:00 PM"));
        QCOMPARE(FormatRecordDate(45365.75, QLocale(QLocale::English, QLocale::UnitedStates)), QString("3/14/24"));
        QCOMPARE(FormatRecordTimeOfDay(45365.75, QLocale(QLocale::English, QLocale::UnitedStates)),
                 QString("6:00:00 PM"));
        QCOMPARE(FormatRecordDate(std::numeric_limits<double>::quiet_NaN(), QLocale::c()), QString());
        QCOMPARE(FormatRecordTimeOfDay(1e300, QLocale::c()), QString());
    }

    void summerTimeChangesKeepTheWallClock()
    {
        // 2024-03-31: one real hour from 01:30 reads 03:30, two wall-clock hours.
        const QDateTime before(QDate(2024, 3, 31), QTime(1, 30));
        const QDateTime after = before.addSecs(3600);
        QVERIFY(std::fabs(OleDateFromLocal(after) - OleDateFromLocal(before) - 2.0 / 24) < 1e-9);
        // 02:30 never happened that day; it reads as 03:30.
        QCOMPARE(LocalFromOleDate(OleDateFromLocal(before) + 1.0 / 24), after);
        // 2024-10-27: 02:30 happens twice and both are stored alike.
        const QDateTime first = QDateTime(QDate(2024, 10, 27), QTime(0, 30), Qt::UTC).toLocalTime();
        QCOMPARE(first.time(), QTime(2, 30));
        QCOMPARE(OleDateFromLocal(first.addSecs(3600)), OleDateFromLocal(first));
        QCOMPARE(LocalFromOleDate(OleDateFromLocal(first)).time(), QTime(2, 30));
        // A time given in UTC is stored as the local wall clock.
        QCOMPARE(OleDateFromLocal(QDateTime(QDate(2024, 7, 1), QTime(10, 0), Qt::UTC)),
                 OleDateFromLocal(QDateTime(QDate(2024, 7, 1), QTime(12, 0))));
    }

    void aNewFileIsOneBlockOfZerosAndReplacesAnOldOneWhole()
    {
        const QString path = file("new.vqr");
        WriteAll(path, MakeFile(3, 2500));
        RecordFileWriter writer;
        QString error;
        QVERIFY2(writer.create(path, kCodes, kStep, &error), qPrintable(error));
        QCOMPARE(ReadAll(path), QByteArray(32000, 0) + Header(0));
        QCOMPARE(QDir(dir.path()).entryList({"new.vqr*"}, QDir::Files), QStringList{"new.vqr"});  // no temporary left
    }

    void twoBlocksAfterAThousandSamples()
    {
        RecordFileWriter writer;
        QVERIFY(writer.create(file("thousand.vqr"), kCodes, kStep, nullptr));
        full->count = 990;
        QCOMPARE(writer.save(*full).blockWrites, 1);
        full->count = 1000;
        QCOMPARE(writer.save(*full).blockWrites, 2);
        const QByteArray bytes = ReadAll(file("thousand.vqr"));
        QCOMPARE(bytes.size(), 2 * kRecordBlockSize);
        QCOMPARE(bytes.mid(32000, 16), Header(1000));
        QCOMPARE(bytes.mid(kRecordBlockSize + 32000, 16), Header(1000));
        for (int i : {0, 999})
            for (int ch = 0; ch < kRecordChannelCount; ++ch) QCOMPARE(FileValue(bytes, ch, i), SampleValue(ch, i));
        QCOMPARE(FileTime(bytes, 999), SampleTime(999));
        // Slots past the count carry nothing, whatever the arrays hold there.
        QCOMPARE(bytes.mid(kRecordBlockSize, 32000), QByteArray(32000, 0));
    }

    void aSaveWritesOneBlockOrTwoAtABoundary_data()
    {
        QTest::addColumn<int>("previous");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("writes");
        QTest::addColumn<int>("blocks");
        QTest::newRow("first save") << 0 << 10 << 1 << 1;
        QTest::newRow("onto a boundary") << 990 << 1000 << 2 << 2;
        QTest::newRow("just past it") << 1000 << 1010 << 1 << 2;
        QTest::newRow("across a boundary") << 1990 << 2030 << 2 << 3;
        QTest::newRow("boundary at 200000") << 199990 << 200000 << 2 << 201;
        QTest::newRow("into the last block") << 448990 << 449000 << 2 << 450;
        QTest::newRow("last sample but one") << 449990 << 449999 << 1 << 450;
        QTest::newRow("full: no 451st block") << 449990 << 450000 << 1 << 450;
    }
    void aSaveWritesOneBlockOrTwoAtABoundary()
    {
        QFETCH(int, previous);
        QFETCH(int, count);
        QFETCH(int, blocks);
        const QString path = file("saves.vqr");
        RecordFileWriter writer;
        QVERIFY(writer.create(path, kCodes, kStep, nullptr));
        full->count = previous;
        QVERIFY(writer.save(*full).ok);
        full->count = count;
        QTEST(writer.save(*full).blockWrites, "writes");
        const QByteArray bytes = ReadAll(path);
        QCOMPARE(bytes.size(), qint64(blocks) * kRecordBlockSize);
        QCOMPARE(CountField(bytes, blocks - 1), count);

        ViewedRecord viewed;
        const RecordOpenResult opened = OpenRecordFile(path, viewed);
        QCOMPARE(opened.message, QString());
        QCOMPARE(viewed.lastIndex, count - 1);
        QCOMPARE(viewed.data.channel(3)[count - 1], SampleValue(3, count - 1));
        QCOMPARE(viewed.data.times()[count - 1], SampleTime(count - 1));
    }

    void aSaveAfterFailedOnesWritesEveryBlockMissingAndCutsATornEnd()
    {
        const QString path = file("catchup.vqr");
        RecordFileWriter writer;
        QVERIFY(writer.create(path, kCodes, kStep, nullptr));
        // The disk is full while the record grows past two boundaries.
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::link("/dev/full", path));
        full->count = 2500;
        const RecordFileWriter::SaveResult failed = writer.save(*full);
        QVERIFY(!failed.ok);
        QCOMPARE(failed.error, QString("No space left on device"));
        // Space again; the file ends in a torn block past the last good save.
        QVERIFY(QFile::remove(path));
        WriteAll(path, MakeFile(1, 0, 700));
        QCOMPARE(writer.save(*full).blockWrites, 3);
        const QByteArray bytes = ReadAll(path);
        QCOMPARE(bytes.size(), 3 * kRecordBlockSize);
        for (int k = 0; k < 3; ++k) QCOMPARE(CountField(bytes, k), 2500);
        for (int i : {999, 1000, 2499}) QCOMPARE(FileValue(bytes, 2, i), SampleValue(2, i));
        // A file longer than the record is cut back to it.
        full->count = 10;
        QVERIFY(writer.save(*full).ok);
        QCOMPARE(QFileInfo(path).size(), qint64(kRecordBlockSize));
    }

    void theFileHoldsEverySampleTakenWhenRecordingEnds_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("before");  // samples before the last save tick
        QTest::newRow("Stop") << "stop" << 7;
        QTest::newRow("continuous sampling lost") << "lost" << 7;
        QTest::newRow("450000 samples") << "full" << kRecordCapacity - 30;
    }
    void theFileHoldsEverySampleTakenWhenRecordingEnds()
    {
        QFETCH(QString, ending);
        QFETCH(int, before);
        const QString path = file("ending.vqr");
        QFile::remove(path);
        RecorderRig rig;
        QVERIFY(rig.recorder.newRecordFile(path));
        rig.recorder.start();
        rig.sample(before);
        rig.recorder.saveTick();
        if (ending == "full") {
            rig.sample(30);
        } else {
            rig.sample(5);
            if (ending == "lost") rig.acquisition.SamplingMode = SamplingIdle;
            ending == "stop" ? rig.recorder.stop() : rig.recorder.samplingTick();
        }
        const int count = rig.recorder.liveRecord().count;
        QCOMPARE(count, ending == "full" ? kRecordCapacity : 12);
        const QByteArray bytes = ReadAll(path);
        const int last = int(bytes.size() / kRecordBlockSize) - 1;
        QCOMPARE(last, ending == "full" ? kMaxRecordBlocks - 1 : 0);
        QCOMPARE(CountField(bytes, last), count);
        QCOMPARE(FileValue(bytes, 0, count - 1), float(count - 1));
        QCOMPARE(FileTime(bytes, count - 1), SampleTime(count - 1));
    }

    void newDuringARecordingFinishesTheOldFileAndGoesOnInTheNewOne()
    {
        const QString first = file("first.vqr"), second = file("second.vqr");
        QFile::remove(first);
        QFile::remove(second);
        RecorderRig rig;
        QVERIFY(rig.recorder.newRecordFile(first));
        rig.recorder.start();
        rig.sample(8);
        rig.recorder.saveTick();
        rig.sample(3);
        QVERIFY(rig.recorder.newRecordFile(second));
        QCOMPARE(CountField(ReadAll(first), 0), 11);
        QCOMPARE(FileValue(ReadAll(first), 0, 10), 10.0f);
        QCOMPARE(ReadAll(second), QByteArray(32000, 0) + Bytes({2, 2, 2, 2, 2, 2, 2, 0}) + QByteArray(8, 0));

        rig.sample(4);  // samples 11..14 of the run are 0..3 of the new file
        rig.recorder.stop();
        const QByteArray now = ReadAll(second);
        QCOMPARE(CountField(now, 0), 4);
        QCOMPARE(FileValue(now, 0, 0), 11.0f);
        QCOMPARE(FileValue(now, 0, 3), 14.0f);
    }

    void settingsChangedBeforeStartNameTheFilesQuantities()
    {
        const QString path = file("changed.vqr");
        QFile::remove(path);
        RecorderRig rig;
        QVERIFY(rig.recorder.newRecordFile(path));
        RecordSettings changed;
        changed.channelCodes = {0, 1, 10, 6, 6, 8};
        changed.samplingStep = 0;
        rig.recorder.applySettings(changed, StepTextForm::Dialog);
        rig.recorder.start();
        rig.acquisition.TestRecord.Frequency.set(50.0f);
        rig.sample(1);
        rig.recorder.stop();
        const QByteArray bytes = ReadAll(path);
        QCOMPARE(bytes.mid(32000, 8), Bytes({0, 1, 10, 6, 6, 8, 0, 0}));
        QCOMPARE(FileValue(bytes, 2, 0), 0.0f);   // temperature
        QCOMPARE(FileValue(bytes, 3, 0), 50.0f);  // frequency
    }

    void aFailedSaveIsReportedOnceAndTriedAgain()
    {
        const QString path = file("gone.vqr");
        QFile::remove(path);
        RecorderRig rig;
        QVERIFY(rig.recorder.newRecordFile(path));
        rig.recorder.start();
        rig.sample(3);
        QVERIFY(QFile::remove(path));
        rig.recorder.saveTick();
        rig.sample(2);
        rig.recorder.saveTick();
        QCOMPARE(rig.notifier.messages.size(), 1);
        QVERIFY(rig.notifier.messages[0].contains(path));
        QVERIFY(rig.notifier.messages[0].contains("No such file or directory"));
        QCOMPARE(rig.recorder.state(), Recorder::State::Recording);
        QCOMPARE(rig.recorder.liveRecord().count, 5);

        WriteAll(path, MakeFile(1, 0));  // back: the next save brings it up to date
        rig.recorder.saveTick();
        QCOMPARE(CountField(ReadAll(path), 0), 5);

        // A new failure after a good save is reported again; after Stop the
        // save timer goes on until the file is up to date.
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::link("/dev/full", path));
        rig.sample(1);
        rig.recorder.stop();
        rig.recorder.saveTick();
        QCOMPARE(rig.notifier.messages.size(), 2);
        QVERIFY(rig.notifier.messages[1].contains("No space left on device"));
        QVERIFY(rig.recorder.saveTimer().isActive());
        QVERIFY(QFile::remove(path));
        WriteAll(path, MakeFile(1, 5));
        rig.recorder.saveTick();
        QVERIFY(!rig.recorder.saveTimer().isActive());
        QCOMPARE(CountField(ReadAll(path), 0), 6);
    }

    // New after a failed save that was reported: it asks, saying how many
    // samples are not on disk; No keeps the record and its retries, Yes
    // starts the new file.
    void newAfterAFailedSaveAsksBeforeLosingSamples()
    {
        const QString path = file("failing.vqr"), next = file("next.vqr");
        QFile::remove(path);
        QFile::remove(next);
        RecorderRig rig;
        QVERIFY(rig.recorder.newRecordFile(path));
        rig.recorder.start();
        rig.sample(3);
        rig.recorder.saveTick();
        QVERIFY(QFile::remove(path));
        rig.sample(4);
        rig.recorder.saveTick();
        QCOMPARE(rig.notifier.messages.size(), 1);  // the failure, reported once

        rig.notifier.answers = {Notifier::Answer::No};
        QVERIFY(!rig.recorder.newRecordFile(next));
        QCOMPARE(rig.notifier.questions.size(), 1);
        QVERIFY2(rig.notifier.questions[0].contains(path) && rig.notifier.questions[0].contains("No such file")
                     && rig.notifier.questions[0].contains("4 samples are not on disk"),
                 qPrintable(rig.notifier.questions[0]));
        QVERIFY(!QFile::exists(next));
        QCOMPARE(rig.recorder.fileName(), path);
        QCOMPARE(rig.recorder.liveRecord().count, 7);
        QCOMPARE(rig.recorder.state(), Recorder::State::Recording);
        WriteAll(path, MakeFile(1, 0));  // the retries go on and catch up
        rig.recorder.saveTick();
        QCOMPARE(CountField(ReadAll(path), 0), 7);

        // Stopped with one sample unsaved: Yes starts the new file.
        QVERIFY(QFile::remove(path));
        rig.sample(1);
        rig.recorder.stop();
        QCOMPARE(rig.notifier.messages.size(), 2);
        rig.notifier.answers = {Notifier::Answer::Yes};
        QVERIFY(rig.recorder.newRecordFile(next));
        QVERIFY(rig.notifier.questions.value(1).contains("1 sample is not on disk"));
        QCOMPARE(rig.recorder.fileName(), next);
        QCOMPARE(rig.recorder.liveRecord().count, 0);
        QCOMPARE(rig.recorder.state(), Recorder::State::FileReady);
        QVERIFY(!rig.recorder.saveTimer().isActive());
        QCOMPARE(rig.notifier.messages.size(), 2);
    }

    void openingMalformedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("length");
        QTest::addColumn<QStringList>("complaints");
        QTest::newRow("sound") << MakeFile(2, 1500) << 1500 << QStringList();
        QTest::newRow("empty record") << MakeFile(1, 0) << 0 << QStringList();
        QTest::newRow("torn last block") << MakeFile(2, 1500, 777) << 1500
                                         << QStringList{"not a whole number of 32016-byte blocks", "777 bytes"};
        QTest::newRow("count in the torn block")
            << MakeFile(1, 1200, 20000) << 1000 << QStringList{"1200", "more than the 1000 samples its blocks hold"};
        QTest::newRow("451 blocks") << MakeFile(451, 450000) << 450000
                                    << QStringList{"451 blocks", "only the first 450"};
        QTest::newRow("452 blocks, count past them")
            << MakeFile(452, 451500) << 450000
            << QStringList{"451500", "more than the 450000 samples a record can hold"};
        QTest::newRow("negative count") << MakeFile(2, -5) << 0 << QStringList{"-5", "negative"};
        QTest::newRow("count past 450000") << MakeFile(450, 450001) << 450000 << QStringList{"450001"};
        QTest::newRow("largest count") << MakeFile(3, std::numeric_limits<int32_t>::max()) << 3000
                                       << QStringList{"2147483647"};
        QTest::newRow("count past the blocks") << MakeFile(2, 2500) << 2000 << QStringList{"2500", "the 2000 samples"};
    }
    void openingMalformedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, length);
        QFETCH(QStringList, complaints);
        const QString path = file("malformed.vqr");
        WriteAll(path, bytes);
        ViewedRecord viewed;
        const RecordOpenResult result = OpenRecordFile(path, viewed);
        QVERIFY(result.loaded);
        QCOMPARE(viewed.lastIndex, length - 1);
        QCOMPARE(viewed.samplingStep, uint16_t(kStep));
        QCOMPARE(viewed.channelCodes[4], uint8_t(12));
        if (length > 0) QCOMPARE(viewed.data.channel(5)[length - 1], SampleValue(5, length - 1));
        for (const QString& c : complaints) QVERIFY2(result.message.contains(c), qPrintable(result.message));
        if (complaints.isEmpty())
            QCOMPARE(result.message, QString());
        else
            QVERIFY2(result.message.endsWith(QString("\n%1 samples were loaded.").arg(length)),
                     qPrintable(result.message));
    }

    void aFailedOpenLeavesTheRecordInView_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("no file") << "missing.vqr"
                                 << "No such file or directory";
        QTest::newRow("empty file") << "zero.vqr"
                                    << "does not hold one whole record block (0 bytes)";
        QTest::newRow("less than a block") << "short.vqr"
                                           << "(32015 bytes)";
        QTest::newRow("a folder") << "folder.vqr"
                                  << "Is a directory";
    }
    void aFailedOpenLeavesTheRecordInView()
    {
        QFETCH(QString, name);
        QFETCH(QString, complaint);
        const QString path = dir.filePath(name);
        if (name == "folder.vqr") QVERIFY(QDir(dir.path()).mkpath(name));
        if (name == "zero.vqr") WriteAll(path, QByteArray());
        if (name == "short.vqr") WriteAll(path, MakeFile(1, 5).left(32015));
        WriteAll(file("inview.vqr"), MakeFile(1, 42));
        ViewedRecord viewed;
        QVERIFY(OpenRecordFile(file("inview.vqr"), viewed).loaded);

        const RecordOpenResult result = OpenRecordFile(path, viewed);
        QVERIFY(!result.loaded);
        QVERIFY2(result.message.contains(complaint) && result.message.contains(path), qPrintable(result.message));
        QCOMPARE(viewed.lastIndex, 41);
        QCOMPARE(viewed.data.channel(0)[41], SampleValue(0, 41));
    }

    void openedRecordTexts_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<double>("firstTime");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("texts");  // length, start, end, step, CH1 label
        QTest::newRow("record") << 3 << 36526.0 << 11 << 10
                                << QStringList{"Length:3", "Start: 1 Jan 2000 00:00:00", "End: 14 Mar 2024 06:02:00",
                                               "Step: 30S", "Temperature 1"};
        QTest::newRow("empty") << 0 << 36526.0 << 0 << 12
                               << QStringList{"Length:0", "Start: 0", "End: 0", "Step: 1S", "Temperature 3"};
        QTest::newRow("time never written")
            << 3 << 0.0 << 12 << 13 << QStringList{"Length:3", "Start: 0", "End: 14 Mar 2024 06:02:00", "", ""};
        QTest::newRow("before 2000") << 3 << 36525.5 << 2 << 255
                                     << QStringList{"Length:3", "Start: 0", "End: 14 Mar 2024 06:02:00", "Step: 3S",
                                                    ""};
    }
    void openedRecordTexts()
    {
        QFETCH(int, length);
        QFETCH(double, firstTime);
        QFETCH(int, step);
        QFETCH(int, code);
        ViewedRecord viewed;
        viewed.lastIndex = length - 1;
        viewed.data.times()[0] = firstTime;
        viewed.data.times()[2] = 45365.25 + 120 / 86400.0;
        viewed.samplingStep = uint16_t(step);
        viewed.channelCodes = {uint8_t(code), 0, 0, 0, 0, 0};
        const OpenedRecordTexts t = DescribeOpenedRecord(viewed, QLocale::c());
        QTEST((QStringList{t.length, t.start, t.end, t.step.value_or(""), t.labels[0].value_or("")}), "texts");
        QCOMPARE(t.labels[1], std::optional<QString>("Voltage"));
    }
};

int main(int argc, char** argv)
{
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    QCoreApplication app(argc, argv);
    RecordFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_record_file.moc"
