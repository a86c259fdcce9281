#include "link/frame_trace.h"

#include <QDateTime>

bool FrameTrace::open(const QString& path, QString* error)
{
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        if (error) *error = file_.errorString();
        return false;
    }
    return true;
}

QByteArray FrameTrace::FormatLine(const QByteArray& timestamp, Direction direction, const uint8_t* data, int length)
{
    QByteArray line = timestamp;
    switch (direction) {
    case Direction::Sent: line += " TX "; break;
    case Direction::Received: line += " RX "; break;
    case Direction::Dropped: line += " DROP "; break;
    }
    line += QByteArray::number(length);
    if (length > 0) {
        line += ' ';
        line += QByteArray(reinterpret_cast<const char*>(data), length).toHex(' ').toUpper();
    }
    line += '\n';
    return line;
}

bool FrameTrace::record(Direction direction, const uint8_t* data, int length, QString* error)
{
    if (!file_.isOpen()) return false;
    const QByteArray stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
    const QByteArray line = FormatLine(stamp, direction, data, length);
    // Flushed per frame so the log survives a crash or a killed program.
    if (file_.write(line) == line.size() && file_.flush()) return true;
    if (error) *error = file_.errorString();
    file_.close();
    return false;
}
