#include "appearance/windows/svg_icon.h"

#include "appearance/windows/artwork.h"

QIcon SvgIcon(const QString& resourcePath)
{
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64}) icon.addPixmap(artwork::RenderSvg(resourcePath, QSize(side, side)));
    return icon;
}
