#include "appearance/windows/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

// The resources live in a static library, so they are registered before the
// first use; registering them again is harmless. (The registration macro
// must be used outside any namespace.)
static void RegisterArtworkResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

namespace artwork {

QPixmap RenderSvg(const QString& resourcePath, QSize size, qreal devicePixelRatio)
{
    RegisterArtworkResources();
    if (devicePixelRatio < 1.0) devicePixelRatio = 1.0;
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resourcePath);
    if (!renderer.isValid()) return pixmap;
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QPixmap SplashPicture(qreal devicePixelRatio)
{
    return RenderSvg(QStringLiteral(":/appearance/splash.svg"), kSplashPictureSize, devicePixelRatio);
}

QPixmap Logo(qreal devicePixelRatio)
{
    return RenderSvg(QStringLiteral(":/appearance/logo.svg"), kLogoSize, devicePixelRatio);
}

QPixmap SmallLogo(qreal devicePixelRatio)
{
    return RenderSvg(QStringLiteral(":/appearance/logo_small.svg"), kSmallLogoSize, devicePixelRatio);
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(RenderSvg(QStringLiteral(":/desktop/qzr6100.svg"), QSize(side, side), 1.0));
    return icon;
}

} // namespace artwork
