// The communication log: one line per frame, sent and received told apart,
// readable hex, written as the frames pass.

#include "link/frame_trace.h"

#include <QTemporaryDir>
#include <QtTest>

class FrameTraceTest : public QObject {
    Q_OBJECT

private slots:
    void lineFormat()
    {
        const uint8_t request[] = {0x02, 0x03, 0x00, 0x94, 0x00, 0x02, 0x85, 0xD4};
        QCOMPARE(FrameTrace::FormatLine("2026-12-09 00:12:11.123", FrameTrace::Direction::Sent, request, 8),
                 QByteArray("2026-12-09 00:12:11.123 TX 8 02 03 00 94 00 02 85 D4\n"));
        QCOMPARE(FrameTrace::FormatLine("t", FrameTrace::Direction::Received, request, 0), QByteArray("t RX 0\n"));
    }

    void framesReachTheFileAtOnceAndAppend()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("trace.log");
        const uint8_t reply[] = {0x02, 0x09, 0x76, 0xAA, 0xBB};
        {
            FrameTrace trace;
            QString error;
            QVERIFY(trace.open(path, &error));
            trace.record(FrameTrace::Direction::Received, reply, 5);
            // Readable while the program still runs (flushed per frame).
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.readAll().endsWith(" RX 5 02 09 76 AA BB\n"));
        }
        FrameTrace again;
        QVERIFY(again.open(path, nullptr));
        again.record(FrameTrace::Direction::Sent, reply, 2);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count('\n'), 2);

        FrameTrace bad;
        QString error;
        QVERIFY(!bad.open(dir.filePath("missing/dir/trace.log"), &error));
        QVERIFY(!error.isEmpty());
    }

    void aFailedWriteIsReportedAndClosesTheLog()
    {
        FrameTrace full;
        QVERIFY(full.open(QStringLiteral("/dev/full"), nullptr));
        const uint8_t frame[] = {0x02, 0x03};
        QString error;
        QVERIFY(!full.record(FrameTrace::Direction::Sent, frame, 2, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!full.isOpen());
    }
};

QTEST_GUILESS_MAIN(FrameTraceTest)
#include "test_frame_trace.moc"
