#pragma once
// The program's own pictures: the start-up picture, the logo in two sizes and
// the application icon. They are SVG drawings in the resources, rendered at
// the size the window asks for and sharp on high-density screens.

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace artwork {

constexpr QSize kSplashPictureSize{441, 313};
constexpr QSize kLogoSize{121, 33};
constexpr QSize kSmallLogoSize{72, 20};

// Any SVG drawing of the resources at a size; transparent where the drawing
// is missing.
QPixmap RenderSvg(const QString& resourcePath, QSize size, qreal devicePixelRatio = 1.0);

QPixmap SplashPicture(qreal devicePixelRatio = 1.0);
QPixmap Logo(qreal devicePixelRatio = 1.0);
// For the status bar's logo panel.
QPixmap SmallLogo(qreal devicePixelRatio = 1.0);
QIcon ApplicationIcon();

} // namespace artwork
