#pragma once
// Where a command's data go as they come: standard output, or the file
// named by -o, written line by line (a measurement without end can be
// followed with tail -f, and what came before Ctrl-C is kept).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

class DataOutput {
public:
    // "-" or empty: standard output.
    bool open(const QString& path, QString* error);
    bool toStandardOutput() const { return file_ == nullptr; }
    const QString& path() const { return path_; }

    // Writes and flushes (a script reading the file or pipe sees each line
    // as it comes); false once a write failed.
    bool write(const QByteArray& bytes);
    // Closes the file; false with the reason when a write failed.
    bool close(QString* error);

private:
    QString path_;
    std::unique_ptr<QFile> file_;
    bool failed_ = false;
};

// A finished file onto standard output, for the commands that make their
// output in one piece (export, report) when -o is "-".
bool CopyFileToStandardOutput(const QString& path, QString* error);
