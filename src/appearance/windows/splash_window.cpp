#include "appearance/windows/splash_window.h"

#include "appearance/windows/artwork.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TLogoForm"));
    setWindowTitle(QStringLiteral("QZR6100"));
    setFixedSize(kClientWidth, kClientHeight);
    // Everything is painted here, so the system need not clear the window first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void SplashWindow::showNow()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    picture_ = artwork::SplashPicture(screen ? screen->devicePixelRatio() : 1.0);
    show();
    raise();
    // Wait briefly for the window system to map the window, then paint it
    // at once: the start-up work that follows does not return to the event
    // loop until the main window is ready.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (picture_.isNull()) picture_ = artwork::SplashPicture(devicePixelRatioF());
    // The picture leaves thin strips of the client area uncovered at the
    // right and the bottom; the picture stretched over the whole area below
    // it gives them the colours of the picture's own edges.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), picture_);
    painter.drawPixmap(kPictureLeft, kPictureTop, picture_);
}

void SplashWindow::mousePressEvent(QMouseEvent* event)
{
    // A click does not dismiss the picture: it goes when start-up is done.
    event->accept();
}
