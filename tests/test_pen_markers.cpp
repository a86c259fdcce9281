// The record window's pictures: every shipped PenData file decodes to its
// size with its colour in it, and files that are missing, empty, not PNG,
// truncated or damaged give a null picture and an error naming the file.

#include "recording/pen_markers.h"

#include <QtTest>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString ShippedFolder()
{
    const QString green = QFINDTESTDATA("../resources/PenData/green.dat");
    return green.isEmpty() ? QString() : QFileInfo(green).absolutePath();
}

int CountOf(const QImage& image, QRgb color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == color;
    return count;
}

} // namespace

class PenMarkersTest : public QObject {
    Q_OBJECT

private slots:
    void shippedPicturesDecode_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("color");
        const QSize marker(18, 16), glyph(24, 24);
        QTest::newRow("CH1") << "green.dat" << marker << QColor(0, 128, 0);
        QTest::newRow("CH2") << "red.dat" << marker << QColor(255, 0, 0);
        QTest::newRow("CH3") << "blue.dat" << marker << QColor(0, 0, 255);
        QTest::newRow("CH4") << "maroon.dat" << marker << QColor(128, 0, 0);
        QTest::newRow("CH5") << "yellow.dat" << marker << QColor(255, 255, 0);
        QTest::newRow("CH6") << "red2.dat" << marker << QColor(255, 0, 255);
        QTest::newRow("Recording glyph") << "12.dat" << glyph << QColor(220, 0, 0);
        QTest::newRow("Inspection glyph") << "13.dat" << glyph << QColor(200, 230, 255);
    }
    void shippedPicturesDecode()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QFETCH(QColor, color);
        QVERIFY2(!ShippedFolder().isEmpty(), "resources/PenData not found");
        const DecodedPng decoded = DecodePngFile(QDir(ShippedFolder()).filePath(file));
        QVERIFY2(decoded.error.isEmpty(), qPrintable(decoded.error));
        QCOMPARE(decoded.image.size(), size);
        QVERIFY(CountOf(decoded.image, color.rgb()) >= 10);
        QCOMPARE(qAlpha(decoded.image.pixel(size.width() - 1, 0)), 0);  // transparent around
        if (size == marker()) {
            // The chart puts a marker's top 7 rows above the newest point, whose
            // 2-pixel trace covers the marker's rows 7 and 8: the tip is there.
            for (int y = 0; y < size.height(); ++y)
                QCOMPARE(qAlpha(decoded.image.pixel(size.width() - 1, y)), y == 7 || y == 8 ? 255 : 0);
        }
    }

    void loadPenData()
    {
        const PenDataImages shipped = LoadPenData(ShippedFolder());
        QVERIFY2(shipped.errors.isEmpty(), qPrintable(shipped.errors.join('\n')));
        for (const QImage& marker : shipped.markers) QVERIFY(!marker.isNull());
        QVERIFY(!shipped.recordingGlyph.isNull() && !shipped.inspectionGlyph.isNull());

        QTemporaryDir dir;
        const PenDataImages none = LoadPenData(dir.filePath("PenData"));
        QCOMPARE(none.errors.size(), kPenMarkerCount + 2);
        for (const QImage& marker : none.markers) QVERIFY(marker.isNull());
        QVERIFY(none.recordingGlyph.isNull() && none.inspectionGlyph.isNull());
        QVERIFY(none.errors.first().contains("green.dat") && none.errors.last().contains("13.dat"));
    }

    void badFilesGiveANullPictureAndAnError_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing" << "No such file";
        QTest::newRow("empty") << "empty" << "not a PNG image";
        QTest::newRow("not PNG") << "text" << "not a PNG image";
        QTest::newRow("header only") << "header" << "PNG";
        QTest::newRow("truncated image data") << "truncated" << "damaged PNG image data";
        QTest::newRow("corrupted chunks") << "corrupted" << "PNG";
        QTest::newRow("absurd width") << "huge" << "PNG";
        QTest::newRow("larger than a marker can be") << "large" << "more than 1024 a side";
        QTest::newRow("a folder") << "folder" << "";
    }
    void badFilesGiveANullPictureAndAnError()
    {
        QFETCH(QString, damage);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath("green.dat");
        QFile shipped(QDir(ShippedFolder()).filePath("13.dat"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QByteArray bytes = shipped.readAll();
        // PNG signature (8 bytes), IHDR length and type (8), width (4) ...
        if (damage == "empty") bytes.clear();
        if (damage == "text") bytes = "this is not a picture\n";
        if (damage == "header") bytes = bytes.left(33);
        if (damage == "truncated") bytes.chop(40);
        if (damage == "corrupted") bytes.replace(45, bytes.size() - 65, QByteArray(bytes.size() - 65, 'Z'));
        if (damage == "huge") bytes[17] = char(0xff);
        if (damage == "large") {
            QBuffer buffer(&bytes);
            bytes.clear();
            QVERIFY(buffer.open(QIODevice::WriteOnly) && QImage(1025, 2, QImage::Format_RGB32).save(&buffer, "PNG"));
        }
        if (damage == "folder") QVERIFY(QDir(dir.path()).mkdir("green.dat"));
        if (damage != "missing" && damage != "folder") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        const DecodedPng decoded = DecodePngFile(path);
        QVERIFY(decoded.image.isNull());
        QVERIFY2(decoded.error.contains("green.dat") && decoded.error.contains(reason), qPrintable(decoded.error));
    }

private:
    static QSize marker() { return QSize(18, 16); }
};

QTEST_MAIN(PenMarkersTest)
#include "test_pen_markers.moc"
