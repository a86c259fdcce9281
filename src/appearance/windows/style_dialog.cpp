#include "appearance/windows/style_dialog.h"

#include <QEvent>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

void CheckOnly(QButtonGroup* group, int id)
{
    // An exclusive group cannot show "none selected"; it is lifted for the change.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == id);
    group->setExclusive(true);
}

} // namespace

StyleDialog::StyleDialog(const StyleServices& services, QWidget* parent)
    : QDialog(parent), style_(std::make_unique<StyleSettings>(services))
{
    setObjectName(QStringLiteral("Tskin"));
    setWindowTitle(tr(" Style "));

    // Every group spans the dialog's width, so that its title has room in
    // any skin; the items run down columns.
    QGroupBox* skins = buildGroup(tr("Skins"),
                                  {tr("WINDOWS"), tr("Skin 1"), tr("Skin 2"),
                                   tr("Skin 3"), tr("Skin 4"), tr("Skin 5"),
                                   tr("Skin 6")},
                                  4, &skinButtons_);
    QGroupBox* background = buildGroup(tr(" Graphic background "),
                                       {tr(" Black"), tr(" White"), tr(" Gray")}, 1,
                                       &backgroundButtons_);
    QGroupBox* scale = buildGroup(tr(" Scale color "),
                                  {tr(" Blue-green"), tr(" Yellow"),
                                   tr(" Light Black")},
                                  2, &scaleButtons_);
    closeButton_ = new QPushButton(tr("Close"), this);
    closeButton_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(skins);
    layout->addWidget(background);
    layout->addWidget(scale);
    layout->addStretch(1);
    layout->addLayout(buttons);
    // A skin with larger paddings may need more room; the dialog never clips.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    resize(kWidth, kHeight);

    connect(skinButtons_, &QButtonGroup::idClicked, this, [this](int id) {
        style_->skinChosen(id);
        showSelection();
    });
    connect(backgroundButtons_, &QButtonGroup::idClicked, this, [this](int id) {
        style_->backgroundChosen(id);
        showSelection();
    });
    connect(scaleButtons_, &QButtonGroup::idClicked, this, [this](int id) {
        style_->scaleChosen(id);
        showSelection();
    });
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);

    style_->restore();
    showSelection();
    texts_.capture(this);
}

StyleDialog::~StyleDialog() = default;

QGroupBox* StyleDialog::buildGroup(const QString& title, const QStringList& items, int rowsPerColumn,
                                   QButtonGroup** buttons)
{
    auto* group = new QGroupBox(title, this);
    auto* layout = new QGridLayout(group);
    *buttons = new QButtonGroup(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), group);
        (*buttons)->addButton(button, i);
        layout->addWidget(button, i % rowsPerColumn, i / rowsPerColumn);
    }
    return group;
}

void StyleDialog::showSelection()
{
    CheckOnly(skinButtons_, style_->skinItem());
    CheckOnly(backgroundButtons_, style_->backgroundItem());
    CheckOnly(scaleButtons_, style_->scaleItem());
}

void StyleDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) texts_.retranslate();
    QDialog::changeEvent(event);
}
