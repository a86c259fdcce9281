// Draws the record window's pictures and writes them as PNG files into a
// PenData folder: the six channel markers (green.dat ... red2.dat) and the
// mode toggle's glyphs (12.dat for Recording, 13.dat for Inspection).
// The program reads them back with libpng at run time; this generator is run
// by hand when the pictures change, and its output is kept in
// resources/PenData.
//
// Usage: make_pendata <output folder>
//
// Every picture is drawn without antialiasing on a transparent background,
// so each colour used appears exactly.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Marker: a pen nib pointing right, 18 x 16 pixels. The trend chart puts the
// marker's top 7 rows above the newest point, and its 2-pixel trace covers
// that row and the one below, so the nib's point is rows 7 and 8.
constexpr int kMarkerWidth = 18;
constexpr int kMarkerHeight = 16;
constexpr int kBodyRight = 9;   // last column of the body
constexpr int kBodyTop = 3;     // body rows 3 .. 12
constexpr int kBodyBottom = 12;
const QColor kOutline(48, 48, 48);
const QColor kHighlight(255, 255, 255);

// Right end of the nib in row y, -1 for rows outside the shape. The body
// spans columns 0 .. 9; the point narrows from there to column 17.
int NibEnd(int y)
{
    if (y < kBodyTop || y > kBodyBottom) return -1;
    const double fromCentre = std::fabs(y - 7.5) - 0.5;  // 0 for rows 7 and 8, 4 for rows 3 and 12
    return kMarkerWidth - 1 - int(fromCentre * 2);
}

bool InMarker(int x, int y)
{
    if (x < 0 || y < 0 || x >= kMarkerWidth || y >= kMarkerHeight) return false;
    return x <= NibEnd(y);
}

QImage Marker(const QColor& color)
{
    QImage image(kMarkerWidth, kMarkerHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < kMarkerHeight; ++y) {
        for (int x = 0; x < kMarkerWidth; ++x) {
            if (!InMarker(x, y)) continue;
            const bool edge = !InMarker(x - 1, y) || !InMarker(x + 1, y) || !InMarker(x, y - 1) || !InMarker(x, y + 1);
            // The body ends in a band where the nib starts, as on a pen.
            const bool band = x == kBodyRight - 3;
            QColor c = edge || band ? kOutline : color;
            // A slit down the middle of the nib, its light side above.
            if (!edge && x > kBodyRight && x < kMarkerWidth - 4 && y == 7) c = kHighlight;
            image.setPixelColor(x, y, c);
        }
    }
    return image;
}

constexpr int kGlyphSide = 24;
const QColor kTrendLine(0, 96, 160);
const QColor kRecordRed(220, 0, 0);
const QColor kLensRim(64, 64, 64);
const QColor kLensGlass(200, 230, 255);

// A small trend line across the lower part of a glyph.
void DrawTrend(QPainter& p)
{
    const QPolygon line({QPoint(1, 19), QPoint(5, 14), QPoint(9, 17), QPoint(13, 10), QPoint(17, 15), QPoint(22, 8)});
    p.setPen(QPen(kTrendLine, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
}

QImage Glyph(bool recording)
{
    QImage image(kGlyphSide, kGlyphSide, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    DrawTrend(p);
    if (recording) {
        // The record dot, top left, with a white ring so it stands off the line.
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(kRecordRed);
        p.drawEllipse(QRect(1, 1, 10, 10));
    } else {
        // A magnifier over the line: glass, rim and handle down to the right.
        p.setPen(QPen(kLensRim, 2));
        p.setBrush(kLensGlass);
        p.drawEllipse(QRect(3, 3, 11, 11));
        p.setPen(QPen(kLensRim, 3));
        p.drawLine(QPoint(14, 14), QPoint(21, 21));
    }
    return image;
}

bool Save(const QImage& image, const QDir& dir, const char* name)
{
    const QString path = dir.filePath(QLatin1String(name));
    if (image.save(path, "PNG")) return true;
    std::fprintf(stderr, "make_pendata: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pendata <output folder>\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make_pendata: cannot create %s\n", argv[1]);
        return 1;
    }

    struct Named {
        const char* file;
        QColor color;
    };
    const std::array<Named, 6> markers{{{"green.dat", QColor(0, 128, 0)},
                                        {"red.dat", QColor(255, 0, 0)},
                                        {"blue.dat", QColor(0, 0, 255)},
                                        {"maroon.dat", QColor(128, 0, 0)},
                                        {"yellow.dat", QColor(255, 255, 0)},
                                        {"red2.dat", QColor(255, 0, 255)}}};
    bool ok = true;
    for (const Named& m : markers) ok &= Save(Marker(m.color), dir, m.file);
    ok &= Save(Glyph(true), dir, "12.dat");
    ok &= Save(Glyph(false), dir, "13.dat");
    return ok ? 0 : 1;
}
