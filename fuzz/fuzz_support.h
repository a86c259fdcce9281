#pragma once
// What the fuzz targets share: the Qt application they need for fonts and
// timers, a private scratch folder for the file readers (which take paths),
// and a check that stops the run when a property of the program fails.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Creates the Qt application once (a QGuiApplication on the offscreen
// platform, unless the target made its own), without showing Qt the
// fuzzer's own options, and the scratch folder.
void FuzzStartQt(const char* programName);

// Writes the input to `name` in a private folder (in /dev/shm when there is
// one, so that the readers are fed from memory) and returns its path. The
// folder is removed by the next run after this process has ended.
QString FuzzWriteFile(const char* name, const uint8_t* data, size_t size);
QString FuzzWriteFile(const char* name, const QByteArray& bytes);
QByteArray FuzzReadFile(const QString& path);

// A property of the program that must hold for every input; a failure is a
// finding like a crash (the fuzzer keeps the input that caused it).
#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) FuzzCheckFailed(#condition, __FILE__, __LINE__);              \
    } while (false)
[[noreturn]] void FuzzCheckFailed(const char* condition, const char* file, int line);

// Reads the input a byte at a time; past its end every byte is 0.
class FuzzBytes {
public:
    FuzzBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t u16() { return uint16_t(byte() | (byte() << 8)); }
    // Up to `count` bytes, fewer at the end of the input.
    QByteArray take(size_t count);
    size_t left() const { return size_ - at_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};
