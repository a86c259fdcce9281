#include "link/windows/communication_dialog.h"

#include "link/baud_list.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

CommunicationDialog::CommunicationDialog(PortDiscovery& discovery, QWidget* parent)
    : QDialog(parent), discovery_(discovery)
{
    setWindowTitle(tr("Program communication settings"));

    scanButton_ = new QPushButton(tr(" Scanning Communication port"), this);
    exitButton_ = new QPushButton(tr("Exit"), this);
    // Enter in the address field must not press a button.
    scanButton_->setAutoDefault(false);
    exitButton_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(scanButton_);
    buttons->addWidget(exitButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildBaudGroup());
    layout->addWidget(buildPortGroup(), 1);
    layout->addWidget(buildAddressGroup());
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    discovery_.setView(this);

    connect(baudList_, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { discovery_.baudIndexChosen(index); });
    connect(portButtons_, &QButtonGroup::idClicked, this, [this](int id) { discovery_.portItemChosen(id); });
    connect(addressEdit_, &QLineEdit::textEdited, this,
            [this](const QString& text) { discovery_.addressTextChanged(text); });
    connect(scanButton_, &QPushButton::clicked, this, [this] { discovery_.scan(); });
    connect(exitButton_, &QPushButton::clicked, this, &QDialog::accept);
    texts_.capture(this);
}

void CommunicationDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) texts_.retranslate();
    QDialog::changeEvent(event);
}

CommunicationDialog::~CommunicationDialog()
{
    discovery_.setView(nullptr);
}

QGroupBox* CommunicationDialog::buildBaudGroup()
{
    auto* group = new QGroupBox(tr("BaudRate"), this);
    baudList_ = new QComboBox(group);
    for (const BaudList::Entry& entry : BaudList::kEntries) baudList_->addItem(QString::fromUtf8(entry.caption));
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(baudList_);
    return group;
}

QGroupBox* CommunicationDialog::buildPortGroup()
{
    auto* group = new QGroupBox(tr(" Communication Port "), this);
    portLayout_ = new QVBoxLayout(group);
    portLayout_->addStretch(1);
    portButtons_ = new QButtonGroup(this);
    portButtons_->setExclusive(true);
    return group;
}

QGroupBox* CommunicationDialog::buildAddressGroup()
{
    auto* group = new QGroupBox(tr("Address"), this);
    auto* label = new QLabel(tr("Instruments Address（1-255）：  "), group);
    addressEdit_ = new QLineEdit(group);
    addressEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), addressEdit_));
    addressEdit_->installEventFilter(this);
    label->setBuddy(addressEdit_);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(label);
    layout->addWidget(addressEdit_, 1);
    return group;
}

void CommunicationDialog::selectBaudIndex(int index)
{
    baudList_->setCurrentIndex(BaudList::IsValidIndex(index) ? index : -1);
}

void CommunicationDialog::setPortItems(const QStringList& items, int selected)
{
    const auto old = portButtons_->buttons();
    for (QAbstractButton* button : old) {
        portButtons_->removeButton(button);
        portLayout_->removeWidget(button);
        button->hide();
        button->deleteLater();
    }
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), portLayout_->parentWidget());
        portButtons_->addButton(button, i);
        // Above the stretch that keeps the list at the top of the group.
        portLayout_->insertWidget(i, button);
        button->setChecked(i == selected);
    }
}

void CommunicationDialog::setAddressText(const QString& text)
{
    addressEdit_->setText(text);
}

void CommunicationDialog::setAddressInvalid(bool invalid)
{
    addressEdit_->setStyleSheet(invalid ? QStringLiteral("QLineEdit { color: red; }") : QString());
}

bool CommunicationDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == addressEdit_ && event->type() == QEvent::KeyPress
        && !IsAddressKeyAllowed(static_cast<QKeyEvent*>(event)->text()))
        return true;
    return QDialog::eventFilter(watched, event);
}
