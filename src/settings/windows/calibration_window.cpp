#include "settings/windows/calibration_window.h"

#include "link/register_map.h"
#include "settings/instrument_settings_panel.h"
#include "settings/windows/number_field_filter.h"

#include <QEvent>
#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kVoltagePresets[] = {"320", "220", "110", "55", "15"};
const char* const kCurrentPresets[] = {"8", "5", "3", "2", "1", "0.5", "0.25", "0.1", "0.05", "0.02"};
constexpr int kCurrentPresetsPerRow = 5;
const char* const kRangeButtons[] = {QT_TRANSLATE_NOOP("CalibrationWindow", "第一档"), QT_TRANSLATE_NOOP("CalibrationWindow", "第二档"),
                                     QT_TRANSLATE_NOOP("CalibrationWindow", "第三档"), QT_TRANSLATE_NOOP("CalibrationWindow", "第四档")};
constexpr int kStepButtonWidth = 52;
const char* const kNoSettingsWindowTip = QT_TRANSLATE_NOOP("CalibrationWindow", "The instrument settings window is not available.");

QLineEdit* NumberEdit(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(QStringLiteral("0"), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(110);
    return edit;
}

} // namespace

CalibrationWindow::CalibrationWindow(InstrumentRequests& requests, CalibrationCommands::PortOpener openPort,
                                     Notifier& notifier, SamplingButtons sampling, QWidget* parent)
    : QDialog(parent), commands_(requests, std::move(openPort), notifier)
{
    setObjectName(QStringLiteral("TCalibrateForm"));
    setWindowTitle(tr("CalibrateForm"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->setSpacing(8);
    outer->addWidget(buildVoltageGroup());
    outer->addWidget(buildCurrentGroup());

    auto* bottom = new QHBoxLayout;
    QPushButton* unlock = addButton(this, tr("开锁"), QStringLiteral("Button1"));
    connect(unlock, &QPushButton::clicked, this, [this] { commands_.unlock(); });
    bottom->addWidget(unlock);
    QPushButton* factory = addButton(this, tr("恢复出厂"), QStringLiteral("Button4"));
    settingsButtons_ << factory;
    connect(factory, &QPushButton::clicked, this,
            [this] { driveInstrumentSettings([](InstrumentSettingsPanel& p) { p.pressDefault(); }); });
    bottom->addWidget(factory);
    bottom->addStretch(1);
    bottom->addWidget(
        addSamplingButton("SeSkinButton17", tr("单次测试"), sampling.single, sampling.refused));
    bottom->addWidget(
        addSamplingButton("SeSkinButton18", tr("连续测试"), sampling.continuous, sampling.refused));
    bottom->addWidget(addSamplingButton("SeSkinButton19", tr("停止"), sampling.stop, sampling.refused));
    outer->addLayout(bottom);

    // Temperature compensation is set at the factory's bench only; the group
    // stays hidden.
    outer->addWidget(buildTemperatureGroup());

    // References and phases are typed without a sign; the phase step
    // buttons are the way to a negative phase.
    auto* numbers = new NumberFieldFilter(MinusKey::Refused, this);
    for (QLineEdit* edit : {voltageEdit_, currentEdit_, narrowbandEdit_, broadbandEdit_}) numbers->watch(edit);
    setInstrumentSettings(nullptr);
    texts_.capture(this);
}

void CalibrationWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) texts_.retranslate();
    QDialog::changeEvent(event);
}

QPushButton* CalibrationWindow::addButton(QWidget* parent, const QString& text, const QString& name)
{
    auto* button = new QPushButton(text, parent);
    if (!name.isEmpty()) button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QPushButton* CalibrationWindow::addSamplingButton(const char* name, const QString& text, QAction* action,
                                                 const std::function<void(QAction*)>& refused)
{
    QPushButton* button = addButton(this, text, QString::fromLatin1(name));
    if (!action) {
        button->setEnabled(false);
        button->setToolTip(tr("Sampling is not available."));
        return button;
    }
    // Pressing it is pressing the main window's button. When that button is
    // off, the main window says why rather than this one staying silent.
    connect(button, &QPushButton::clicked, this, [action, refused] {
        if (action->isEnabled())
            action->trigger();
        else if (refused)
            refused(action);
    });
    return button;
}

QGroupBox* CalibrationWindow::buildVoltageGroup()
{
    auto* group = new QGroupBox(tr("电压"), this);
    group->setObjectName(QStringLiteral("VoltageGroup"));
    auto* grid = new QGridLayout(group);
    voltageEdit_ = NumberEdit("Edit1", group);
    QPushButton* calibrate = addButton(group, tr("校准"), QStringLiteral("SeSkinButton1"));
    connect(calibrate, &QPushButton::clicked, this, [this] { commands_.calibrateVoltage(voltageEdit_->text()); });
    grid->addWidget(new QLabel(tr("电压：  "), group), 0, 0);
    grid->addWidget(voltageEdit_, 0, 1);
    grid->addWidget(calibrate, 0, 2);
    auto* presets = new QHBoxLayout;
    for (const char* preset : kVoltagePresets) {
        const QString value = QString::fromLatin1(preset);
        QPushButton* button = addButton(group, value, QStringLiteral("VoltagePreset%1").arg(value));
        button->setMinimumWidth(kStepButtonWidth);
        connect(button, &QPushButton::clicked, this, [this, value] {
            voltageEdit_->setText(value);
            commands_.calibrateVoltage(value);
        });
        presets->addWidget(button);
    }
    presets->addStretch(1);
    grid->addLayout(presets, 0, 3);
    grid->addWidget(new QLabel(tr("实测相位： "), group), 1, 0);
    voltagePhaseLabel_ = new QLabel(QStringLiteral("0"), group);
    voltagePhaseLabel_->setObjectName(QStringLiteral("Label8"));
    grid->addWidget(voltagePhaseLabel_, 1, 1);
    grid->setColumnStretch(3, 1);
    return group;
}

QGroupBox* CalibrationWindow::buildCurrentGroup()
{
    auto* group = new QGroupBox(tr(" 电流相位校准 "), this);
    group->setObjectName(QStringLiteral("CurrentGroup"));
    auto* column = new QVBoxLayout(group);

    auto* measured = new QHBoxLayout;
    measured->addWidget(new QLabel(tr("实测相位： "), group));
    currentPhaseLabel_ = new QLabel(QStringLiteral("0"), group);
    currentPhaseLabel_->setObjectName(QStringLiteral("Label9"));
    measured->addWidget(currentPhaseLabel_);
    measured->addStretch(1);
    column->addLayout(measured);

    // Band and range are settings of the instrument-settings block: set
    // there and saved from there, so that window always shows what the
    // instrument was told.
    auto* ranges = new QHBoxLayout;
    const auto addSettingsButton = [this, group, ranges](const QString& text, const QString& name,
                                                         std::function<void(InstrumentSettingsPanel&)> setUp) {
        QPushButton* button = addButton(group, text, name);
        settingsButtons_ << button;
        connect(button, &QPushButton::clicked, this, [this, setUp] { driveInstrumentSettings(setUp); });
        ranges->addWidget(button);
    };
    addSettingsButton(tr("窄频"), QStringLiteral("NarrowbandButton"),
                      [](InstrumentSettingsPanel& p) { p.selectBandwidth(0); });
    addSettingsButton(tr("宽频"), QStringLiteral("BroadbandButton"),
                      [](InstrumentSettingsPanel& p) { p.selectBandwidth(1); });
    for (int i = 0; i < 4; ++i) {
        addSettingsButton(tr(kRangeButtons[i]), QStringLiteral("Range%1Button").arg(i + 1),
                          [i](InstrumentSettingsPanel& p) { p.selectLockedRange(i); });
    }
    ranges->addStretch(1);
    column->addLayout(ranges);

    column->addWidget(new QLabel(tr("幅度校准：    "), group));
    auto* amplitude = new QGridLayout;
    currentEdit_ = NumberEdit("Edit2", group);
    QPushButton* calibrate = addButton(group, tr("校准"), QStringLiteral("SeSkinButton2"));
    connect(calibrate, &QPushButton::clicked, this, [this] { commands_.calibrateCurrent(currentEdit_->text()); });
    amplitude->addWidget(new QLabel(tr("电流：  "), group), 0, 0);
    amplitude->addWidget(currentEdit_, 0, 1);
    amplitude->addWidget(calibrate, 0, 2);
    for (int row = 0; row < 2; ++row) {
        auto* presets = new QHBoxLayout;
        for (int i = 0; i < kCurrentPresetsPerRow; ++i) {
            const QString value = QString::fromLatin1(kCurrentPresets[row * kCurrentPresetsPerRow + i]);
            QPushButton* button = addButton(group, value + QLatin1Char('A'), QStringLiteral("CurrentPreset%1A").arg(value));
            button->setMinimumWidth(kStepButtonWidth);
            connect(button, &QPushButton::clicked, this, [this, value] {
                currentEdit_->setText(value);
                commands_.calibrateCurrent(value);
            });
            presets->addWidget(button);
        }
        presets->addStretch(1);
        amplitude->addLayout(presets, row, 3);
    }
    amplitude->setColumnStretch(3, 1);
    column->addLayout(amplitude);

    column->addWidget(new QLabel(tr("相位校准：    "), group));
    column->addWidget(buildPhaseRows(group));
    angleToTimeBox_ = new QCheckBox(tr("角度转时间(QZR6300专用）  "), group);
    angleToTimeBox_->setObjectName(QStringLiteral("CheckBox1"));
    // The instrument takes phase corrections as times only.
    angleToTimeBox_->setChecked(true);
    angleToTimeBox_->setEnabled(false);
    column->addWidget(angleToTimeBox_);
    return group;
}

QWidget* CalibrationWindow::buildPhaseRows(QWidget* parent)
{
    auto* rows = new QWidget(parent);
    auto* grid = new QGridLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    narrowbandEdit_ = NumberEdit("Edit7", rows);
    broadbandEdit_ = NumberEdit("Edit8", rows);

    struct Step {
        const char* text;
        double step;
        bool fromBroadband;  // "+1.3" sets the narrowband phase from the broadband one
    };
    const auto addRow = [&](int row, const QString& caption, uint16_t reg, QLineEdit* edit,
                            std::initializer_list<Step> steps, const char* writeName, const char* readName) {
        grid->addWidget(new QLabel(caption, rows), row, 0);
        grid->addWidget(edit, row, 1);
        auto* buttons = new QHBoxLayout;
        for (const Step& s : steps)
            buttons->addWidget(addStepButton(rows, QString::fromLatin1(s.text), reg,
                                             s.fromBroadband ? broadbandEdit_ : edit, s.step));
        QPushButton* write = addButton(rows, tr("写"), QString::fromLatin1(writeName));
        connect(write, &QPushButton::clicked, this, [this, reg] { writePhase(reg); });
        QPushButton* read = addButton(rows, tr("读"), QString::fromLatin1(readName));
        connect(read, &QPushButton::clicked, this, [this, reg] { commands_.readPhase(reg); });
        buttons->addWidget(write);
        buttons->addWidget(read);
        buttons->addStretch(1);
        grid->addLayout(buttons, row, 2);
    };
    addRow(0, tr("窄频： "), Reg::NarrowbandPhase, narrowbandEdit_,
           {{"-0.1", -0.1, false}, {"+0.1", 0.1, false}, {"+1.3", 1.3, true}, {"-0.01", -0.01, false},
            {"+0.01", 0.01, false}},
           "Button2", "Button8");
    addRow(1, tr("宽频： "), Reg::BroadbandPhase, broadbandEdit_,
           {{"-0.1", -0.1, false}, {"+0.1", 0.1, false}, {"-0.01", -0.01, false}, {"+0.01", 0.01, false}},
           "Button3", "Button9");
    grid->setColumnStretch(2, 1);
    return rows;
}

QPushButton* CalibrationWindow::addStepButton(QWidget* parent, const QString& text, uint16_t reg, QLineEdit* from,
                                              double step)
{
    const QString rowName = reg == Reg::NarrowbandPhase ? QStringLiteral("Narrowband") : QStringLiteral("Broadband");
    QPushButton* button = addButton(parent, text, rowName + QStringLiteral("Step") + text);
    button->setMinimumWidth(kStepButtonWidth);
    const uint16_t fromReg = from == narrowbandEdit_ ? Reg::NarrowbandPhase : Reg::BroadbandPhase;
    connect(button, &QPushButton::clicked, this, [this, reg, from, fromReg, step] {
        const std::optional<QString> text = commands_.steppedPhase(fromReg, from->text(), step);
        if (!text) return;
        phaseEdit(reg)->setText(*text);
        writePhase(reg);
    });
    return button;
}

QGroupBox* CalibrationWindow::buildTemperatureGroup()
{
    auto* group = new QGroupBox(tr("温度选项"), this);
    group->setObjectName(QStringLiteral("TemperatureGroup"));
    auto* row = new QHBoxLayout(group);
    const auto add = [this, group, row](const QString& text, const QString& name, TemperatureCommand command) {
        QPushButton* button = addButton(group, text, name);
        connect(button, &QPushButton::clicked, this, [this, command] { commands_.sendTemperatureCommand(command); });
        row->addWidget(button);
    };
    add(tr("开启温度补偿"), QStringLiteral("CompensationOnButton"), TemperatureCommand::CompensationOn);
    add(tr("关闭温度补偿"), QStringLiteral("CompensationOffButton"), TemperatureCommand::CompensationOff);
    add(tr("校准常温"), QStringLiteral("RoomTemperatureButton"),
        TemperatureCommand::CalibrateRoomTemperature);
    add(tr("校准低温"), QStringLiteral("LowTemperatureButton"), TemperatureCommand::CalibrateLowTemperature);
    group->hide();
    return group;
}

QLineEdit* CalibrationWindow::phaseEdit(uint16_t reg) const
{
    return reg == Reg::NarrowbandPhase ? narrowbandEdit_ : broadbandEdit_;
}

void CalibrationWindow::writePhase(uint16_t reg) { commands_.writePhase(reg, phaseEdit(reg)->text()); }

void CalibrationWindow::setInstrumentSettings(InstrumentSettingsPanel* panel)
{
    instrumentSettings_ = panel;
    for (QPushButton* button : settingsButtons_) {
        button->setEnabled(panel != nullptr);
        button->setToolTip(panel ? QString() : tr(kNoSettingsWindowTip));
    }
}

void CalibrationWindow::driveInstrumentSettings(const std::function<void(InstrumentSettingsPanel&)>& setUp)
{
    if (!instrumentSettings_) return;
    setUp(*instrumentSettings_);
    instrumentSettings_->pressSave();
}

void CalibrationWindow::showVoltagePhase(const QString& text) { voltagePhaseLabel_->setText(text); }

void CalibrationWindow::showCurrentPhase(const QString& text) { currentPhaseLabel_->setText(text); }

bool CalibrationWindow::angleToTimeChecked() const { return angleToTimeBox_->isChecked(); }

void CalibrationWindow::showNarrowbandPhase(const QString& text) { narrowbandEdit_->setText(text); }

void CalibrationWindow::showBroadbandPhase(const QString& text) { broadbandEdit_->setText(text); }
