#include "settings/windows/instrument_settings_window.h"

#include "link/register_map.h"

#include "settings/windows/number_field_filter.h"

#include <QEvent>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

const CtSettingsControls kDefaults = [] {
    CtSettingsControls c;
    c.rangeMode = CurrentRangeMode::Auto;
    c.rangeItem = 3;  // " 4"
    return c;
}();

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QLineEdit* NumberEdit(const char* name, const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(120);
    return edit;
}

QStringList NumberedItems(int count)
{
    QStringList items;
    for (int i = 1; i <= count; ++i) items << QStringLiteral(" %1").arg(i);
    return items;
}

void SelectItem(QButtonGroup* group, int item)
{
    if (QAbstractButton* button = group->button(item)) button->setChecked(true);
}

} // namespace

InstrumentSettingsWindow::InstrumentSettingsWindow(AcquisitionState& state, InstrumentRequests& requests,
                                                   MainWindowView& mainWindow, Notifier& notifier, QWidget* parent)
    : QDialog(parent), commands_(state, requests, mainWindow, notifier)
{
    setObjectName(QStringLiteral("TExternal_CT_form"));
    setWindowTitle(tr("Instrument settings"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 10, 10, 8);
    body->setSpacing(8);
    outer->addLayout(body, 1);

    body->addWidget(buildCurrentTransformerGroup());
    auto* middle = new QHBoxLayout;
    middle->addWidget(buildVoltageTransformerGroup());
    middle->addWidget(buildChoiceGroup("RadioGroup1", tr("Current Bandwidth "),
                                       {tr(" Narrowband"), tr(" Broadband")},
                                       &bandwidthButtons_));
    middle->addWidget(buildChoiceGroup("RadioGroup2", tr(" THD Algorithm"),
                                       {tr("  %F  Fundamental"), tr("  %R  RMS")},
                                       &thdButtons_));
    body->addLayout(middle);
    auto* lower = new QHBoxLayout;
    lower->addWidget(buildFilterGroup(), 1);
    lower->addWidget(buildRangeGroup(), 1);
    body->addLayout(lower);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [this, buttons](const char* name, const QString& text, void (InstrumentSettingsWindow::*slot)()) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button);
    };
    addButton("Button1", tr("Saved to instrument"), &InstrumentSettingsWindow::save);
    addButton("Button2", tr("Read from instrument"), &InstrumentSettingsWindow::readFromInstrument);
    addButton("Button3", tr("Default"), &InstrumentSettingsWindow::restoreDefaults);
    body->addLayout(buttons);

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setSizeGripEnabled(false);
    statusPanel_ = new QLabel(tr("还没有与仪器同步数据！"), statusBar);
    statusPanel_->setObjectName(QStringLiteral("StatusPanel"));
    statusBar->addWidget(statusPanel_, 1);
    outer->addWidget(statusBar);

    auto* numbers = new NumberFieldFilter(MinusKey::Allowed, this);
    for (QLineEdit* edit : {angleEdit_, currentRatioEdit_, voltageRatioEdit_}) numbers->watch(edit);
    texts_.capture(this, {QStringLiteral("ResponseHandler"), QStringLiteral("InstrumentSettingsCommands")});
}

void InstrumentSettingsWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) texts_.retranslate();
    QDialog::changeEvent(event);
}

QWidget* InstrumentSettingsWindow::buildCurrentTransformerGroup()
{
    auto* group = new QGroupBox(tr("  External current transformer "), this);
    group->setObjectName(QStringLiteral("CurrentTransformerGroup"));
    auto* grid = new QGridLayout(group);
    angleEdit_ = NumberEdit("Edit1", QStringLiteral("0"), group);
    frequencyList_ = new QComboBox(group);
    frequencyList_->setObjectName(QStringLiteral("ComboBox3"));
    frequencyList_->addItems({tr(" 50 Hz "), tr(" 60 Hz ")});
    // Nothing chosen means 50 Hz, which the empty list says.
    frequencyList_->setPlaceholderText(tr(" 50Hz "));
    frequencyList_->setCurrentIndex(-1);
    currentRatioEdit_ = NumberEdit("Edit3", QStringLiteral("1"), group);

    grid->addWidget(Caption(tr("Angle difference  "), angleEdit_, group), 0, 0);
    grid->addWidget(angleEdit_, 0, 1);
    grid->addWidget(new QLabel(tr("Deg（±30）"), group), 0, 2);
    grid->addWidget(Caption(tr("Reference frequency "), frequencyList_, group), 0, 3);
    grid->addWidget(frequencyList_, 0, 4);
    grid->addWidget(Caption(tr("Ratio    "), currentRatioEdit_, group), 1, 0);
    grid->addWidget(currentRatioEdit_, 1, 1);
    auto* hint = new QLabel(tr("When not connected to an external transformer, \n"
                                   "The input angle difference 0, fill 1 ratio.  "),
                            group);
    hint->setObjectName(QStringLiteral("HintLabel"));
    grid->addWidget(hint, 2, 0, 1, 5);
    grid->setColumnStretch(5, 1);
    return group;
}

QWidget* InstrumentSettingsWindow::buildVoltageTransformerGroup()
{
    auto* group = new QGroupBox(tr("  External voltage transformer "), this);
    group->setObjectName(QStringLiteral("VoltageTransformerGroup"));
    auto* row = new QHBoxLayout(group);
    voltageRatioEdit_ = NumberEdit("Edit4", QStringLiteral("1"), group);
    row->addWidget(Caption(tr("Ratio  "), voltageRatioEdit_, group));
    row->addWidget(voltageRatioEdit_);
    return group;
}

QWidget* InstrumentSettingsWindow::buildChoiceGroup(const char* name, const QString& caption,
                                                    const QStringList& items, QButtonGroup** buttons)
{
    auto* group = new QGroupBox(caption, this);
    group->setObjectName(QString::fromLatin1(name));
    auto* column = new QVBoxLayout(group);
    *buttons = new QButtonGroup(group);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], group);
        button->setObjectName(QStringLiteral("%1Item%2").arg(QString::fromLatin1(name)).arg(i));
        (*buttons)->addButton(button, i);
        column->addWidget(button);
    }
    (*buttons)->button(0)->setChecked(true);
    return group;
}

QWidget* InstrumentSettingsWindow::buildFilterGroup()
{
    auto* group = new QGroupBox(tr(" Display filter "), this);
    group->setObjectName(QStringLiteral("FilterGroup"));
    auto* grid = new QGridLayout(group);
    filterList_ = new QComboBox(group);
    filterList_->setObjectName(QStringLiteral("ComboBox1"));
    filterList_->addItems(NumberedItems(10));
    filterList_->setCurrentIndex(kDefaults.filterItem);
    filterOnBox_ = new QCheckBox(tr("Trun On filter"), group);
    filterOnBox_->setObjectName(QStringLiteral("CheckBox1"));
    grid->addWidget(Caption(tr("Filter coefficient "), filterList_, group), 0, 0);
    grid->addWidget(filterList_, 0, 1);
    grid->addWidget(filterOnBox_, 1, 0, 1, 2);
    grid->setColumnStretch(2, 1);
    return group;
}

QWidget* InstrumentSettingsWindow::buildRangeGroup()
{
    auto* group = new QGroupBox(tr("Current Range "), this);
    group->setObjectName(QStringLiteral("RangeGroup"));
    auto* grid = new QGridLayout(group);
    autoRangeButton_ = new QRadioButton(tr("Auto  "), group);
    autoRangeButton_->setObjectName(QStringLiteral("RadioButton1"));
    lockRangeButton_ = new QRadioButton(tr("Lock"), group);
    lockRangeButton_->setObjectName(QStringLiteral("RadioButton2"));
    rangeModeButtons_ = new QButtonGroup(group);
    rangeModeButtons_->addButton(autoRangeButton_);
    rangeModeButtons_->addButton(lockRangeButton_);
    rangeList_ = new QComboBox(group);
    rangeList_->setObjectName(QStringLiteral("ComboBox2"));
    rangeList_->addItems(NumberedItems(4));
    rangeList_->setCurrentIndex(0);
    rangeLabel_ = Caption(tr("Range  "), rangeList_, group);
    rangeLabel_->setObjectName(QStringLiteral("Label11"));
    // The group keeps its size while the list comes and goes.
    for (QWidget* w : {static_cast<QWidget*>(rangeLabel_), static_cast<QWidget*>(rangeList_)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    grid->addWidget(autoRangeButton_, 0, 0);
    grid->addWidget(lockRangeButton_, 1, 0);
    grid->addWidget(rangeLabel_, 1, 1);
    grid->addWidget(rangeList_, 1, 2);
    grid->setColumnStretch(3, 1);
    // The list of ranges matters only while the range is locked; a read-out
    // that selects a button does the same as a click.
    connect(autoRangeButton_, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        rangeLabel_->hide();
        rangeList_->hide();
    });
    connect(lockRangeButton_, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        rangeLabel_->show();
        rangeList_->show();
    });
    return group;
}

CtSettingsControls InstrumentSettingsWindow::controls() const
{
    CtSettingsControls c;
    c.angleText = angleEdit_->text();
    c.frequencyItem = frequencyList_->currentIndex();
    c.currentRatioText = currentRatioEdit_->text();
    c.voltageRatioText = voltageRatioEdit_->text();
    c.bandwidthItem = bandwidthButtons_->checkedId();
    c.thdItem = thdButtons_->checkedId();
    c.filterItem = filterList_->currentIndex();
    c.filterOn = filterOnBox_->isChecked();
    c.rangeMode = autoRangeButton_->isChecked()   ? CurrentRangeMode::Auto
                  : lockRangeButton_->isChecked() ? CurrentRangeMode::Lock
                                                  : CurrentRangeMode::Unset;
    c.rangeItem = rangeList_->currentIndex();
    return c;
}

void InstrumentSettingsWindow::setControls(const CtSettingsControls& c)
{
    angleEdit_->setText(c.angleText);
    currentRatioEdit_->setText(c.currentRatioText);
    voltageRatioEdit_->setText(c.voltageRatioText);
    SelectItem(bandwidthButtons_, c.bandwidthItem);
    SelectItem(thdButtons_, c.thdItem);
    filterList_->setCurrentIndex(c.filterItem);
    filterOnBox_->setChecked(c.filterOn);
    rangeList_->setCurrentIndex(c.rangeItem);
    setRangeMode(c.rangeMode);
}

void InstrumentSettingsWindow::setRangeMode(CurrentRangeMode mode)
{
    switch (mode) {
    case CurrentRangeMode::Auto: autoRangeButton_->setChecked(true); break;
    case CurrentRangeMode::Lock: lockRangeButton_->setChecked(true); break;
    case CurrentRangeMode::Unset:
        rangeModeButtons_->setExclusive(false);
        autoRangeButton_->setChecked(false);
        lockRangeButton_->setChecked(false);
        rangeModeButtons_->setExclusive(true);
        break;
    }
}

QString InstrumentSettingsWindow::statusText() const { return statusPanel_->text(); }

void InstrumentSettingsWindow::save()
{
    const QString status = commands_.save(controls());
    if (!status.isNull()) showStatus(status);
}

void InstrumentSettingsWindow::readFromInstrument()
{
    const QString status = commands_.read();
    if (!status.isNull()) showStatus(status);
}

void InstrumentSettingsWindow::restoreDefaults() { setControls(kDefaults); }

void InstrumentSettingsWindow::showSettings(const CtSettingsBlock& block) { setControls(DecodeCtSettings(block)); }

void InstrumentSettingsWindow::showStatus(const QString& text) { statusPanel_->setText(text); }

// A read or a save that got no answer for 8 s says so rather than leaving
// its "being transmitted" text standing.
void InstrumentSettingsWindow::readEnded(bool complete)
{
    if (!complete) showStatus(RequestNotSentText());
}

void InstrumentSettingsWindow::saveEnded(bool complete)
{
    if (!complete) showStatus(RequestNotSentText());
}

void InstrumentSettingsWindow::selectBandwidth(int item) { SelectItem(bandwidthButtons_, item); }

void InstrumentSettingsWindow::selectLockedRange(int item)
{
    rangeList_->setCurrentIndex(item);
    setRangeMode(CurrentRangeMode::Lock);
}
