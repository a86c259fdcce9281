#pragma once
// The start-up picture (TLogoForm): a borderless window centred on the
// screen that stays up while the program creates its windows and scans the
// ports. It has no timer and ignores clicks; the program entry closes it
// once the main window is up.

#include <QPixmap>
#include <QWidget>

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 437;
    static constexpr int kClientHeight = 319;
    // The picture sits 8 pixels left of the client area's edge.
    static constexpr int kPictureLeft = -8;
    static constexpr int kPictureTop = 0;

    explicit SplashWindow(QWidget* parent = nullptr);

    // Shows the window centred on the screen and paints it before returning,
    // so it is on screen while the start-up work blocks the event loop.
    void showNow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
};
