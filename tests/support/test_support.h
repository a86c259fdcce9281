#pragma once
// Shared fakes for the tests: a notifier that records instead of showing
// boxes, and a serial port whose replies the test scripts byte by byte.

#include "acquisition/notifier.h"
#include "link/serial_port.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <vector>

class RecordingNotifier : public Notifier {
public:
    void message(const QString& text, const QString& caption, Icon icon) override;
    Answer question(const QString& text, const QString& caption) override;

    QStringList messages;       // texts in the order shown
    QStringList questions;
    QList<Answer> answers;      // answers to give, in order; No when exhausted
};

class ScriptedPort : public SerialPort {
public:
    bool isOpen() const override { return open; }
    bool writeBytes(const uint8_t* data, int length) override;
    QByteArray readInputBytes() override;
    QByteArray readReply(int maxBytes = 0) override;
    // Everything scripted waits in the queue, as everything that has arrived
    // waits in a port's; a read takes across the scripted pieces.
    int bytesQueued() const override;
    void discardInput() override { discards += int(pendingReads.size()); pendingReads.clear(); }
    QByteArray lastWritten() const override { return written.isEmpty() ? QByteArray() : written.last(); }
    uint32_t lineSpeed() const override { return speed; }

    bool open = true;
    QList<QByteArray> written;     // every block written, in order
    QList<QByteArray> pendingReads; // what the next reads return, one per read
    QByteArray lastRead;
    uint32_t speed = 115200;
    int discards = 0;               // scripted reads thrown away unread
};

QByteArray Bytes(std::initializer_list<int> values);
QByteArray FromHex(const char* spacedHex);  // "02 03 00 94"
QString ToHex(const QByteArray& bytes);      // "02 03 00 94"
// Appends the Modbus CRC, low byte first.
QByteArray WithCrc(QByteArray body);
