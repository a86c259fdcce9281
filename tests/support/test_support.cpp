#include "support/test_support.h"

#include "link/modbus_framing.h"

#include <algorithm>

void RecordingNotifier::message(const QString& text, const QString&, Icon) { messages << text; }

Notifier::Answer RecordingNotifier::question(const QString& text, const QString&)
{
    questions << text;
    return answers.isEmpty() ? Answer::No : answers.takeFirst();
}

bool ScriptedPort::writeBytes(const uint8_t* data, int length)
{
    if (!open) return false;
    written << QByteArray(reinterpret_cast<const char*>(data), length);
    return true;
}

QByteArray ScriptedPort::readInputBytes()
{
    if (!pendingReads.isEmpty()) lastRead = pendingReads.takeFirst();
    return lastRead;
}

int ScriptedPort::bytesQueued() const
{
    int queued = 0;
    for (const QByteArray& piece : pendingReads) queued += int(piece.size());
    return queued;
}

QByteArray ScriptedPort::readReply(int maxBytes)
{
    if (pendingReads.isEmpty()) return QByteArray();
    QByteArray read;
    while (!pendingReads.isEmpty() && (maxBytes <= 0 || read.size() < maxBytes)) {
        QByteArray& head = pendingReads.first();
        const qsizetype take = maxBytes <= 0 ? head.size() : std::min<qsizetype>(head.size(), maxBytes - read.size());
        read += head.left(take);
        head.remove(0, take);
        if (head.isEmpty()) pendingReads.removeFirst();
    }
    lastRead = read;
    return lastRead;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values) out.append(char(uint8_t(v)));
    return out;
}

QByteArray FromHex(const char* spacedHex) { return QByteArray::fromHex(QByteArray(spacedHex).replace(' ', "")); }

QString ToHex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ')).toUpper(); }

QByteArray WithCrc(QByteArray body)
{
    const uint16_t crc = ModbusCrc16(reinterpret_cast<const uint8_t*>(body.constData()), int(body.size()));
    body.append(char(uint8_t(crc)));
    body.append(char(uint8_t(crc >> 8)));
    return body;
}
