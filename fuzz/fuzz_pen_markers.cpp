// The record window's pictures (PenData/*.dat, PNG files decoded with
// libpng): any file as a channel marker or a mode glyph.
//
// Properties: a picture is either refused with a reason or decoded to an
// ARGB32 image within the size limit; the window's loading of a folder of
// such pictures reports every one it could not use.

#include "fuzz_support.h"

#include "recording/pen_markers.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzStartQt("fuzz_pen_markers");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = FuzzWriteFile(kPenMarkerFiles[0], data, size);
    const DecodedPng decoded = DecodePngFile(path);
    if (decoded.image.isNull()) {
        FUZZ_CHECK(!decoded.error.isEmpty());
    } else {
        FUZZ_CHECK(decoded.error.isEmpty());
        FUZZ_CHECK(decoded.image.format() == QImage::Format_ARGB32);
        FUZZ_CHECK(decoded.image.width() <= kPenImageMaxSide && decoded.image.height() <= kPenImageMaxSide);
        // Every pixel is read, as drawing the marker would.
        quint32 sum = 0;
        for (int y = 0; y < decoded.image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(decoded.image.constScanLine(y));
            for (int x = 0; x < decoded.image.width(); ++x) sum += line[x];
        }
        (void)sum;
    }
    // The folder the input sits in, as the record window loads PenData: the
    // other seven pictures are missing and each is reported.
    const PenDataImages images = LoadPenData(QFileInfo(path).absolutePath());
    FUZZ_CHECK(images.errors.size() == (decoded.image.isNull() ? 8 : 7));
    return 0;
}
