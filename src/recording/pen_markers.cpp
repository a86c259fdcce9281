#include "recording/pen_markers.h"

#include <QDir>
#include <QFile>

#include <png.h>

#include <cstring>

namespace {

QString Failure(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot load the picture %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

// QImage::Format_ARGB32 keeps each pixel as one 32-bit 0xAARRGGBB word.
constexpr png_uint_32 kArgb32Layout = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;

} // namespace

DecodedPng DecodePngFile(const QString& path)
{
    DecodedPng result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = Failure(path, file.errorString());
        return result;
    }
    if (file.size() > kPenImageMaxFileBytes) {
        result.error = Failure(path, QStringLiteral("the file is larger than %1 bytes").arg(kPenImageMaxFileBytes));
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = Failure(path, file.errorString());
        return result;
    }

    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.constData(), size_t(bytes.size()))) {
        result.error = Failure(
            path, QStringLiteral("not a PNG image, or a damaged one (%1)").arg(QString::fromLatin1(png.message)));
        png_image_free(&png);
        return result;
    }
    if (png.width == 0 || png.height == 0 || png.width > png_uint_32(kPenImageMaxSide) ||
        png.height > png_uint_32(kPenImageMaxSide)) {
        result.error = Failure(path, QStringLiteral("the picture is %1 x %2 pixels, more than %3 a side")
                                         .arg(png.width)
                                         .arg(png.height)
                                         .arg(kPenImageMaxSide));
        png_image_free(&png);
        return result;
    }

    png.format = kArgb32Layout;
    QImage image(int(png.width), int(png.height), QImage::Format_ARGB32);
    if (image.isNull()) {
        result.error = Failure(path, QStringLiteral("out of memory"));
        png_image_free(&png);
        return result;
    }
    // finish_read releases libpng's state whether it succeeds or not.
    if (!png_image_finish_read(&png, nullptr, image.bits(), png_int_32(image.bytesPerLine()), nullptr)) {
        result.error =
            Failure(path, QStringLiteral("damaged PNG image data (%1)").arg(QString::fromLatin1(png.message)));
        return result;
    }
    result.image = image;
    return result;
}

PenDataImages LoadPenData(const QString& folder)
{
    PenDataImages images;
    const QDir dir(folder);
    const auto load = [&](const char* name, QImage& target) {
        DecodedPng decoded = DecodePngFile(dir.filePath(QLatin1String(name)));
        if (decoded.image.isNull()) images.errors << decoded.error;
        target = decoded.image;
    };
    for (int k = 0; k < kPenMarkerCount; ++k) load(kPenMarkerFiles[size_t(k)], images.markers[size_t(k)]);
    load(kRecordingGlyphFile, images.recordingGlyph);
    load(kInspectionGlyphFile, images.inspectionGlyph);
    return images;
}
