// Build helper: renders an SVG drawing into a PNG of a given size, so the
// desktop icons are made from the same drawing as the program's own icon.
//
//   render_svg INPUT.svg OUTPUT.png WIDTH [HEIGHT]

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() != 4 && args.size() != 5) {
        err << "usage: render_svg INPUT.svg OUTPUT.png WIDTH [HEIGHT]\n";
        return 2;
    }
    bool widthOk = false;
    bool heightOk = true;
    const int width = args.at(3).toInt(&widthOk);
    const int height = args.size() == 5 ? args.at(4).toInt(&heightOk) : width;
    if (!widthOk || !heightOk || width < 1 || height < 1 || width > 4096 || height > 4096) {
        err << "render_svg: bad size\n";
        return 2;
    }

    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        err << "render_svg: cannot read " << args.at(1) << "\n";
        return 1;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter);
    painter.end();
    if (!image.save(args.at(2), "PNG")) {
        err << "render_svg: cannot write " << args.at(2) << "\n";
        return 1;
    }
    return 0;
}
