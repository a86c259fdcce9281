#include "reports/windows/enter_info_dialog.h"

#include "acquisition/ini_file.h"
#include "acquisition/notifier.h"

#include <QDate>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char* const kCaption = QT_TRANSLATE_NOOP("EnterInfoDialog", "Enter the print information");

} // namespace

EnterInfoDialog::EnterInfoDialog(const QString& enterInfoPath, Notifier& notifier, QWidget* parent)
    : QDialog(parent), path_(enterInfoPath), notifier_(notifier)
{
    setObjectName(QStringLiteral("TEnterInfoForm"));
    setWindowTitle(tr(kCaption));

    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(group);
    const auto addRow = [&](int row, const char* name, const QString& label) {
        auto* edit = new QLineEdit(group);
        edit->setObjectName(QString::fromLatin1(name));
        auto* caption = new QLabel(label, group);
        caption->setBuddy(edit);
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1, 1, 3);
        return edit;
    };
    projectEdit_ = addRow(0, "Edit1", tr("Project Name:"));
    companyEdit_ = addRow(1, "Edit2", tr("Testing organization:"));
    testerEdit_ = addRow(2, "Edit3", tr("Test by:"));
    dateEdit_ = addRow(3, "Edit4", tr("Date:"));
    temperatureEdit_ = new QLineEdit(group);
    temperatureEdit_->setObjectName(QStringLiteral("Edit5"));
    auto* temperatureLabel = new QLabel(tr("Temperature:"), group);
    temperatureLabel->setBuddy(temperatureEdit_);
    celsiusButton_ = new QRadioButton(tr("℃"), group);
    celsiusButton_->setObjectName(QStringLiteral("RadioButton1"));
    fahrenheitButton_ = new QRadioButton(tr("F"), group);
    fahrenheitButton_->setObjectName(QStringLiteral("RadioButton2"));
    grid->addWidget(temperatureLabel, 4, 0);
    grid->addWidget(temperatureEdit_, 4, 1);
    grid->addWidget(celsiusButton_, 4, 2);
    grid->addWidget(fahrenheitButton_, 4, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 120);

    auto* enterButton = new QPushButton(tr("Enter"), this);
    enterButton->setObjectName(QStringLiteral("SeSkinButton1"));
    enterButton->setDefault(true);
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("SeSkinButton2"));
    auto* exitButton = new QPushButton(tr("Exit"), this);
    exitButton->setObjectName(QStringLiteral("SeSkinButton3"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(enterButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    connect(enterButton, &QPushButton::clicked, this, &EnterInfoDialog::enter);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);

    // The stored date is not shown: a new report is dated today.
    const ReportInfo stored = LoadReportInfo(IniFile(path_));
    projectEdit_->setText(stored.projectName);
    companyEdit_->setText(stored.company);
    testerEdit_->setText(stored.tester);
    dateEdit_->setText(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    temperatureEdit_->setText(stored.temperature);
    (stored.celsius ? celsiusButton_ : fahrenheitButton_)->setChecked(true);
    resize(sizeHint().expandedTo(QSize(380, 0)));
    texts_.capture(this);
}

void EnterInfoDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) texts_.retranslate();
    QDialog::changeEvent(event);
}

ReportInfo EnterInfoDialog::fields() const
{
    ReportInfo info;
    info.projectName = projectEdit_->text();
    info.company = companyEdit_->text();
    info.tester = testerEdit_->text();
    info.date = dateEdit_->text();
    info.temperature = temperatureEdit_->text();
    info.celsius = celsiusButton_->isChecked();
    return info;
}

void EnterInfoDialog::enter()
{
    IniFile file(path_);
    QString reason;
    if (!SaveReportInfo(file, fields(), &reason)) {
        notifier_.message(tr("The report information cannot be saved to %1: %2").arg(path_, reason),
                          tr(kCaption), Notifier::Icon::Error);
        return;
    }
    emit entered();
    accept();
}
