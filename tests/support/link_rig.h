#pragma once
// The core of the link as the program wires it, on a scripted port: the link
// master, the register map's requests, sampling, the reply handler and
// windows that write what they are shown into one log. Replies go through
// the link master exactly as they come from a port.

#include "acquisition/acquisition_state.h"
#include "acquisition/reply_sinks.h"
#include "acquisition/response_handler.h"
#include "acquisition/sampling_controller.h"
#include "link/link_master.h"
#include "link/modbus_framing.h"
#include "link/register_map.h"
#include "support/recording_main_window_view.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QtTest>

// The settings windows write what they are shown into one log, "window: text",
// together with how many requests had gone out by then.
struct WindowLog {
    explicit WindowLog(const ScriptedPort& p) : port(&p) {}
    const ScriptedPort* port;
    QStringList entries;
    QList<int> writesAt;
    void add(const QString& entry)
    {
        entries << entry;
        writesAt << int(port->written.size());
    }
};

struct LogAlarmWindow : AlarmReplySink {
    WindowLog& log;
    explicit LogAlarmWindow(WindowLog& l) : log(l) {}
    void showLimitText(int field, const QString& text) override { log.add(QString("field%1: %2").arg(field).arg(text)); }
    void showEnableBits(uint8_t bits) override { log.add(QString("bits: %1").arg(bits, 2, 16, QChar('0'))); }
    void showStatus(const QString& text) override { log.add("alarm: " + text); }
    void readOutEnded(bool complete) override { log.add(QString("alarm read-out ended: %1").arg(complete)); }
    void writeEnded(bool complete) override { log.add(QString("alarm write ended: %1").arg(complete)); }
};

struct LogSettingsWindow : InstrumentSettingsReplySink {
    WindowLog& log;
    explicit LogSettingsWindow(WindowLog& l) : log(l) {}
    void showSettings(const CtSettingsBlock& b) override
    {
        log.add("block: " + ToHex(QByteArray(reinterpret_cast<const char*>(b.bytes()), 19)));
    }
    void showStatus(const QString& text) override { log.add("settings: " + text); }
    void readEnded(bool complete) override { log.add(QString("settings read ended: %1").arg(complete)); }
    void saveEnded(bool complete) override { log.add(QString("settings save ended: %1").arg(complete)); }
};

struct LogCalibrationWindow : CalibrationReplySink {
    WindowLog& log;
    bool angleToTime = true;
    explicit LogCalibrationWindow(WindowLog& l) : log(l) {}
    void showVoltagePhase(const QString& text) override { log.add("U phase: " + text); }
    void showCurrentPhase(const QString& text) override { log.add("I phase: " + text); }
    bool angleToTimeChecked() const override { return angleToTime; }
    void showNarrowbandPhase(const QString& text) override { log.add("narrowband: " + text); }
    void showBroadbandPhase(const QString& text) override { log.add("broadband: " + text); }
};

struct LogStartingWindow : StartingReplySink {
    WindowLog& log;
    explicit LogStartingWindow(WindowLog& l) : log(l) {}
    void showStatus(const QString& text) override { log.add("starting: " + text); }
    void drawStartingPlot() override { log.add("plot"); }
};

struct LinkRig {
    AcquisitionState state;
    ScriptedPort port;
    ModbusMaster framing{state, port};
    RecordingMainWindowView view;
    LinkMaster link{state, framing, view};
    InstrumentRequests requests{state, link};
    RecordingNotifier notifier;
    SamplingController sampling{state, requests, view, notifier};
    WindowLog log{port};
    LogAlarmWindow alarm{log};
    LogSettingsWindow settings{log};
    LogCalibrationWindow calibration{log};
    LogStartingWindow starting{log};
    ReplySinks sinks{&alarm, &settings, &calibration, &starting};
    ResponseHandler handler{state, requests, sampling, view, notifier, sinks};
    QStringList dropped;

    LinkRig()
    {
        InitAcquisitionState(state, QSize(800, 600), nullptr);
        state.SlaveAddress = 2;
        handler.dateTimeText = [] { return QStringLiteral("2024/5/6 7:08:09"); };
        link.onDropped = [this](const QByteArray& frame, const QString& why) { dropped << why + ": " + ToHex(frame); };
    }

    // Bytes arrive as one read and the link takes them in; returns once it
    // has nothing more to do until the instrument answers again.
    void receive(const QByteArray& bytes)
    {
        if (!bytes.isEmpty()) port.pendingReads << bytes;
        link.bytesWaiting();
        settle();
    }
    void settle()
    {
        // Looked at every millisecond: the rest between two measurements is
        // only 50 ms.
        QElapsedTimer waited;
        waited.start();
        while (!link.settled() && waited.elapsed() < 5000) QTest::qWait(1);
        QVERIFY(link.settled());
    }

    // Waits until n requests have gone out, looking every millisecond, so
    // that a reply fed right after comes as promptly as an instrument's.
    void waitForRequests(int n, int limitMs = 5000)
    {
        QElapsedTimer waited;
        waited.start();
        while (int(port.written.size()) < n && waited.elapsed() < limitMs) QTest::qWait(1);
        QCOMPARE(int(port.written.size()), n);
    }

    QTimer* timer(const char* name)
    {
        if (auto* t = sampling.findChild<QTimer*>(QLatin1String(name))) return t;
        return link.findChild<QTimer*>(QLatin1String(name));
    }
    QString lastRequest() const { return port.written.isEmpty() ? QString() : ToHex(port.written.last()); }
};

inline QString ReadRequest(int reg, int count)
{
    return ToHex(WithCrc(Bytes({2, 3, reg >> 8, reg & 0xFF, count >> 8, count & 0xFF})));
}
inline QByteArray ReadReply(const QByteArray& data) { return WithCrc(Bytes({2, 0x03, int(data.size())}) + data); }
inline QByteArray WriteAck(int reg) { return WithCrc(Bytes({2, 0x09, reg & 0xFF})); }
