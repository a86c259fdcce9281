#include "settings/windows/address_reset_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QEvent>
#include <QVBoxLayout>

AddressResetDialog::AddressResetDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TAddressResetForm"));
    setWindowTitle(tr("Baudrate and address of the instrument"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(14, 10, 14, 8);
    body->setSpacing(6);
    outer->addLayout(body, 1);

    auto* notes = new QVBoxLayout;
    notes->setSpacing(2);
    notes->addWidget(addNote(1, tr("Only for QZR6100x-S.   ")));
    notes->addWidget(addNote(2, tr("This setting can only be connected to a single instrument,")));
    notes->addWidget(addNote(3, tr("To change the operation may take some time.")));
    body->addLayout(notes);
    body->addSpacing(4);

    auto* fields = new QGridLayout;
    fields->setContentsMargins(24, 0, 24, 0);
    fields->setHorizontalSpacing(8);
    auto* baudLabel = new QLabel(tr("Baudrate:   "), this);
    baudLabel->setObjectName(QStringLiteral("BaudrateLabel"));
    baudList_ = new QComboBox(this);
    baudList_->setObjectName(QStringLiteral("ComboBox1"));
    baudList_->addItems({QStringLiteral("19.2  kbps"), QStringLiteral("115.2 kbps")});
    baudList_->setCurrentIndex(0);
    auto* addressLabel = new QLabel(tr("Address:  "), this);
    addressLabel->setObjectName(QStringLiteral("AddressLabel"));
    addressEdit_ = new QLineEdit(QStringLiteral("1"), this);
    addressEdit_->setObjectName(QStringLiteral("Edit1"));
    baudLabel->setBuddy(baudList_);
    addressLabel->setBuddy(addressEdit_);
    fields->addWidget(baudLabel, 0, 0);
    fields->addWidget(baudList_, 0, 1);
    fields->addWidget(addressLabel, 1, 0);
    fields->addWidget(addressEdit_, 1, 1);
    fields->setColumnStretch(1, 1);
    body->addLayout(fields);
    body->addStretch(1);

    // The instrument has no request for either action, so neither button
    // sends anything or changes a setting; each says so in the status bar
    // rather than leaving the press unanswered.
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    scanButton_ = new QPushButton(tr("Scanning Slave Device"), this);
    scanButton_->setObjectName(QStringLiteral("Button2"));
    scanButton_->setAutoDefault(false);
    changeButton_ = new QPushButton(tr("Change"), this);
    changeButton_->setObjectName(QStringLiteral("Button1"));
    changeButton_->setAutoDefault(false);
    buttons->addWidget(scanButton_, 3);
    buttons->addWidget(changeButton_, 2);
    body->addLayout(buttons);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(false);
    outer->addWidget(statusBar_);
    const auto explain = [this] {
        statusBar_->showMessage(tr("Not available: the instrument takes no request for this. The program's own "
                                   "baud rate and address are in Options > Program communication settings."));
    };
    connect(scanButton_, &QPushButton::clicked, this, explain);
    connect(changeButton_, &QPushButton::clicked, this, explain);

    resize(kWidth, kHeight);
    texts_.capture(this);
}

void AddressResetDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) texts_.retranslate();
    QDialog::changeEvent(event);
}

QLabel* AddressResetDialog::addNote(int number, const QString& text)
{
    auto* note = new QLabel(text, this);
    note->setObjectName(QStringLiteral("NoteLabel%1").arg(number));
    // The notes are warnings; they are red whatever the skin says.
    note->setStyleSheet(QStringLiteral("color: #ff0000;"));
    note->setWordWrap(true);
    return note;
}
