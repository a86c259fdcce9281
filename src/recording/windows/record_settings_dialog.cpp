#include "recording/windows/record_settings_dialog.h"

#include "acquisition/notifier.h"
#include "acquisition/sys_settings.h"
#include "recording/record_settings.h"
#include "recording/recorder.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QComboBox* NewList(QWidget* parent, int number)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("ComboBox%1").arg(number));
    list->setEditable(false);  // only the selected index matters
    return list;
}

QGroupBox* GroupWith(QWidget* parent, const QString& title, const char* name, QWidget* content)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(content);
    return group;
}

} // namespace

RecordSettingsDialog::RecordSettingsDialog(SysSettings& settings, Recorder& recorder, Notifier& notifier,
                                           QWidget* parent)
    : QDialog(parent), settings_(settings), recorder_(recorder), notifier_(notifier)
{
    setObjectName(QStringLiteral("TRecSetForm"));
    setWindowTitle(tr("Record Seting"));
    setModal(true);

    auto* inputs = new QGroupBox(tr("Input selection"), this);
    inputs->setObjectName(QStringLiteral("GroupBox1"));
    auto* form = new QFormLayout(inputs);
    for (int ch = 0; ch < kRecordChannelCount; ++ch) {
        QComboBox* list = NewList(inputs, 3 + ch);
        for (int code = 0; code < kQuantityCodeCount; ++code) list->addItem(QuantityListText(code));
        form->addRow(tr("CH%1 ").arg(ch + 1), list);
        channelLists_[size_t(ch)] = list;
    }

    samplingStepList_ = NewList(this, 2);
    for (int i = 0; i < kSamplingStepListCount; ++i) samplingStepList_->addItem(SamplingStepListText(i));
    saveStepList_ = NewList(this, 1);
    for (int i = 0; i < kSaveStepCount; ++i) saveStepList_->addItem(SaveStepListText(i));
    // The external temperature instrument's interface is not built.
    temperatureList_ = NewList(this, 9);
    temperatureList_->setPlaceholderText(tr("Unfinished"));
    temperatureList_->setCurrentIndex(-1);
    QGroupBox* temperature =
        GroupWith(this, tr("Temperature input interface"), "GroupBox4", temperatureList_);
    temperature->setEnabled(false);

    auto* side = new QVBoxLayout;
    side->addWidget(GroupWith(this, tr("Sampling Step"), "GroupBox2", samplingStepList_));
    side->addWidget(GroupWith(this, tr("Save setp"), "GroupBox3", saveStepList_));
    side->addWidget(temperature);
    side->addStretch(1);

    auto* enterButton = new QPushButton(tr("Enter"), this);
    enterButton->setObjectName(QStringLiteral("Button1"));
    enterButton->setDefault(true);
    auto* cancelButton = new QPushButton(tr("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("Button2"));
    connect(enterButton, &QPushButton::clicked, this, &RecordSettingsDialog::enter);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    columns->addWidget(inputs, 1);
    columns->addLayout(side, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(enterButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    // The lists show what the file holds; a value the file holds that is not
    // valid was read as its default, as the record window reads it.
    const RecordSettings stored = LoadRecordSettings(settings_);
    for (int ch = 0; ch < kRecordChannelCount; ++ch)
        channelLists_[size_t(ch)]->setCurrentIndex(stored.channelCodes[size_t(ch)]);
    samplingStepList_->setCurrentIndex(stored.samplingStep < kSamplingStepListCount ? stored.samplingStep : -1);
    saveStepList_->setCurrentIndex(stored.saveStep);
    texts_.capture(this, {QStringLiteral("RecordSettings")});
}

void RecordSettingsDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) texts_.retranslate();
    QDialog::changeEvent(event);
}

void RecordSettingsDialog::enter()
{
    RecordSettingsSelection selection;
    for (int ch = 0; ch < kRecordChannelCount; ++ch)
        selection.channels[size_t(ch)] = channelLists_[size_t(ch)]->currentIndex();
    selection.samplingStep = samplingStepList_->currentIndex();
    selection.saveStep = saveStepList_->currentIndex();
    selection.temperatureInterface = temperatureList_->currentIndex();

    // What is stored is what is put into effect: a list without a selection
    // keeps the value in effect.
    const RecordSettings next = ApplyRecordSettingsSelection(recorder_.settings(), selection);
    QString error;
    if (!StoreRecordSettings(settings_, next, selection.temperatureInterface, &error))
        notifier_.message(tr("The record settings could not be stored in %1:\n%2")
                              .arg(settings_.path(), error),
                          windowTitle(), Notifier::Icon::Error);
    recorder_.applySettings(next, StepTextForm::Dialog);
    if (next.recordsTemperature()) notifier_.message(TemperatureInputMessage());
    accept();
}
