#pragma once
// The communication log a field engineer asks for when a link misbehaves:
// every frame sent and received as a hex line with a millisecond time stamp.

#include <QByteArray>
#include <QFile>
#include <QString>

class FrameTrace {
public:
    // Dropped: a frame read whole and then left unused (nobody asked for
    // it, a copy of one already taken, damaged); it was logged as received too.
    enum class Direction { Sent, Received, Dropped };

    // Opens (appends to) the file; false with the reason in *error.
    bool open(const QString& path, QString* error);
    bool isOpen() const { return file_.isOpen(); }

    // False, with the reason in *error, when the line could not be written
    // (disk full, file removed); the log is closed then.
    bool record(Direction direction, const uint8_t* data, int length, QString* error = nullptr);

    // The line written for one frame, e.g. "2026-12-09 00:12:11.123 TX 8 02 03 00 94 00 02 85 D4".
    static QByteArray FormatLine(const QByteArray& timestamp, Direction direction, const uint8_t* data, int length);

private:
    QFile file_;
};
