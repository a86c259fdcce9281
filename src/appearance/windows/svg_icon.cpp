#include "appearance/windows/svg_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resources are compiled into a static library, so they are registered
// by hand before their first use.
static void RegisterResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

QIcon SvgIcon(const QString& resourcePath)
{
    RegisterResources();
    QSvgRenderer renderer(resourcePath);
    QIcon icon;
    if (!renderer.isValid()) return icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
