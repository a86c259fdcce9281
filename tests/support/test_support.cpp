#include "support/test_support.h"

#include "link/modbus_framing.h"

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

QByteArray ScriptedPort::readReply(int maxBytes)
{
    if (pendingReads.isEmpty()) return QByteArray();
    QByteArray& head = pendingReads.first();
    if (maxBytes > 0 && maxBytes < head.size()) {
        lastRead = head.left(maxBytes);
        head.remove(0, maxBytes);
        return lastRead;
    }
    lastRead = pendingReads.takeFirst();
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
