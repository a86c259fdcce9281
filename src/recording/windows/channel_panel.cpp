#include "recording/windows/channel_panel.h"

#include <QEvent>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace {

// Button names of CH1 .. CH6, as the window's designer numbered them.
constexpr int kVisibilityButtons[6] = {1, 6, 9, 12, 15, 18};
constexpr int kScaleUpButtons[6] = {3, 4, 7, 10, 13, 16};
constexpr int kScaleDownButtons[6] = {2, 5, 8, 11, 14, 17};

// The visibility button's face: a bar in the trace colour while the trace is
// drawn, its outline while it is hidden.
QIcon VisibilityIcon(const QColor& color)
{
    QIcon icon;
    for (const bool shown : {true, false}) {
        QPixmap face(20, 10);
        face.fill(Qt::transparent);
        QPainter p(&face);
        p.setPen(QPen(color.darker(130), 1));
        p.setBrush(shown ? QBrush(color) : QBrush(Qt::NoBrush));
        p.drawRect(QRect(1, 1, 17, 7));
        p.end();
        icon.addPixmap(face, QIcon::Normal, shown ? QIcon::On : QIcon::Off);
    }
    return icon;
}

QToolButton* SmallButton(QWidget* parent, int number, const QString& tip)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("SeSkinButton%1").arg(number));
    button->setToolTip(tip);
    button->setAutoRaise(false);
    button->setFixedSize(20, 20);
    return button;
}

} // namespace

ChannelPanel::ChannelPanel(int channel, const QColor& color, QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("ChannelPanel%1").arg(channel + 1));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    name_ = QStringLiteral("CH%1").arg(channel + 1);
    const QString& name = name_;

    nameLabel_ = new QLabel(name + QLatin1Char(' '), this);
    nameLabel_->setObjectName(QStringLiteral("ChannelName%1").arg(channel + 1));
    QFont bold = nameLabel_->font();
    bold.setBold(true);
    nameLabel_->setFont(bold);
    QPalette namePalette = nameLabel_->palette();
    namePalette.setColor(QPalette::WindowText, color.value() > 200 && color.green() > 200 ? color.darker(140) : color);
    nameLabel_->setPalette(namePalette);

    quantityLabel_ = new QLabel(this);
    quantityLabel_->setObjectName(QStringLiteral("Label%1").arg(7 + channel));
    valueLabel_ = new QLabel(tr("Value: "), this);
    valueLabel_->setObjectName(QStringLiteral("Label%1").arg(13 + channel));
    // In a narrow window the texts are cut rather than the chart squeezed.
    quantityLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    valueLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    visibilityButton_ = SmallButton(this, kVisibilityButtons[channel], QString());
    visibilityButton_->setCheckable(true);
    visibilityButton_->setChecked(true);
    visibilityButton_->setIcon(VisibilityIcon(color));
    visibilityButton_->setIconSize(QSize(20, 10));
    visibilityButton_->setFixedWidth(30);
    scaleUpButton_ = SmallButton(this, kScaleUpButtons[channel], QString());
    scaleUpButton_->setArrowType(Qt::UpArrow);
    scaleDownButton_ =
        SmallButton(this, kScaleDownButtons[channel], QString());
    scaleDownButton_->setArrowType(Qt::DownArrow);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(5, 4, 5, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    grid->addWidget(nameLabel_, 0, 0);
    grid->addWidget(quantityLabel_, 0, 1, 1, 3);
    grid->addWidget(valueLabel_, 1, 0, 1, 4);
    grid->addWidget(visibilityButton_, 2, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(scaleUpButton_, 2, 2);
    grid->addWidget(scaleDownButton_, 2, 3);
    grid->setColumnStretch(1, 1);
    showToolTips();
}

void ChannelPanel::showToolTips()
{
    visibilityButton_->setToolTip(tr("Show or hide %1").arg(name_));
    scaleUpButton_->setToolTip(tr("Enlarge %1 (scale up)").arg(name_));
    scaleDownButton_->setToolTip(tr("Reduce %1 (scale down)").arg(name_));
}

void ChannelPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) showToolTips();
    QFrame::changeEvent(event);
}

void ChannelPanel::apply(const ChannelChange& change, bool visible)
{
    if (change.labelsEnabled) {
        nameLabel_->setEnabled(*change.labelsEnabled);
        quantityLabel_->setEnabled(*change.labelsEnabled);
        valueLabel_->setEnabled(*change.labelsEnabled);
    }
    if (change.scaleUpEnabled) scaleUpButton_->setEnabled(*change.scaleUpEnabled);
    if (change.scaleDownEnabled) scaleDownButton_->setEnabled(*change.scaleDownEnabled);
    visibilityButton_->setChecked(visible);
}
