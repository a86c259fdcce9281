#include "settings/windows/alarm_dialog.h"

#include "acquisition/notifier.h"
#include "settings/windows/number_field_filter.h"
#include "settings/typed_number.h"

#include <QEvent>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

const char* const kRowLabels[4] = {QT_TRANSLATE_NOOP("AlarmDialog", "电压： "), QT_TRANSLATE_NOOP("AlarmDialog", "电流： "),
                                   QT_TRANSLATE_NOOP("AlarmDialog", "功率： "), QT_TRANSLATE_NOOP("AlarmDialog", "PF： ")};
const char* const kUpperHead = QT_TRANSLATE_NOOP("AlarmDialog", "上限值： ");
const char* const kLowerHead = QT_TRANSLATE_NOOP("AlarmDialog", "下限值： ");
// What the boxes hold before anything has been read: the instrument's
// factory limits.
const char* const kInitialLimits[kAlarmLimitCount] = {"300", "0", "20", "0", "6000", "0", "1", "0"};

const char* const kNotSynchronisedText = QT_TRANSLATE_NOOP("AlarmDialog", "状态：没有同步");
const char* const kSendingText = QT_TRANSLATE_NOOP("AlarmDialog", "正在传输数据到仪器。");
const char* const kReadFailedText = QT_TRANSLATE_NOOP("AlarmDialog", "与仪器数据同步失败，仪器已经关闭或和电脑还没有正常连接。");
const char* const kNotConnectedText =
    QT_TRANSLATE_NOOP("AlarmDialog", "Communication failure with the instrument, the instrument has been turned off, or not properly "
                   "connected.");

// "电压： " and "上限值： " name a box as "电压 上限值" in messages.
QString BareCaption(const char* text)
{
    return AlarmDialog::tr(text).remove(QStringLiteral("：")).remove(QLatin1Char(':')).trimmed();
}

QString LimitCaption(int n)
{
    return BareCaption(kRowLabels[n / 2]) + QLatin1Char(' ') + BareCaption(n % 2 == 0 ? kUpperHead : kLowerHead);
}

} // namespace

AlarmDialog::AlarmDialog(AcquisitionState& state, InstrumentRequests& requests, Notifier& notifier, QWidget* parent)
    : QDialog(parent), transfer_(state, requests), notifier_(notifier)
{
    setObjectName(QStringLiteral("TAlarmForm"));
    setWindowTitle(tr("报警值设定"));
    // Modal like a dialog run with exec(), but shown without a loop of its
    // own, so the reply handler keeps filling it.
    setWindowModality(Qt::ApplicationModal);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(18, 14, 18, 14);
    outer->setSpacing(10);

    // Limits are never negative: a minus sign cannot be typed or pasted.
    auto* numbers = new NumberFieldFilter(MinusKey::Refused, this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(12);
    auto* upperHead = new QLabel(tr(kUpperHead), this);
    upperHead->setObjectName(QStringLiteral("UpperHeadLabel"));
    auto* lowerHead = new QLabel(tr(kLowerHead), this);
    lowerHead->setObjectName(QStringLiteral("LowerHeadLabel"));
    grid->addWidget(upperHead, 0, 1, 1, 2);
    grid->addWidget(lowerHead, 0, 3, 1, 2);
    for (int row = 0; row < 4; ++row) {
        auto* rowLabel = new QLabel(tr(kRowLabels[row]), this);
        rowLabel->setObjectName(QStringLiteral("RowLabel%1").arg(row + 1));
        grid->addWidget(rowLabel, row + 1, 0);
        for (int side = 0; side < 2; ++side) {
            const int n = row * 2 + side;  // 0-based: upper limits even, lower ones odd
            auto* edit = new QLineEdit(QString::fromLatin1(kInitialLimits[n]), this);
            edit->setObjectName(QStringLiteral("Edit%1").arg(n + 1));
            numbers->watch(edit);
            auto* box = new QCheckBox(tr("开启"), this);
            box->setObjectName(QStringLiteral("CheckBox%1").arg(n + 1));
            grid->addWidget(edit, row + 1, 1 + side * 2);
            grid->addWidget(box, row + 1, 2 + side * 2);
            limitEdits_[size_t(n)] = edit;
            enableBoxes_[size_t(n)] = box;
        }
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    outer->addLayout(grid);
    outer->addStretch(1);

    statusLabel_ = new QLabel(tr(kNotSynchronisedText), this);
    statusLabel_->setObjectName(QStringLiteral("Label7"));
    // The status line is red whatever the skin says.
    statusLabel_->setStyleSheet(QStringLiteral("color: #ff0000;"));
    outer->addWidget(statusLabel_);

    readButton_ = new QPushButton(tr("读仪器数据"), this);
    readButton_->setObjectName(QStringLiteral("Button3"));
    saveButton_ = new QPushButton(tr("保存到仪器"), this);
    saveButton_->setObjectName(QStringLiteral("Button1"));
    exitButton_ = new QPushButton(tr("退出"), this);
    exitButton_->setObjectName(QStringLiteral("Button2"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    for (QPushButton* button : {readButton_, saveButton_, exitButton_}) {
        // Return in a box must not start a transfer.
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    outer->addLayout(buttons);

    connect(readButton_, &QPushButton::clicked, this, &AlarmDialog::readInstrument);
    connect(saveButton_, &QPushButton::clicked, this, &AlarmDialog::saveToInstrument);
    connect(exitButton_, &QPushButton::clicked, this, &QDialog::close);

    setFixedSize(kWidth, kHeight);
    texts_.capture(this, {QStringLiteral("ResponseHandler")});
}

void AlarmDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) texts_.retranslate();
    QDialog::changeEvent(event);
}

void AlarmDialog::openAndReadOut()
{
    showStatus(tr("Request data!......"));
    if (transfer_.startReadOut()) {
        readingOut_ = true;
        readButton_->setEnabled(false);
    } else {
        notifier_.message(tr(kNotConnectedText), windowTitle(), Notifier::Icon::Warning);
    }
    // First shown centred on the main window; after that where the user left it.
    show();
    raise();
    activateWindow();
}

void AlarmDialog::readInstrument()
{
    showStatus(tr("正在请求仪器数据......"));
    if (transfer_.startReadOut()) {
        readingOut_ = true;
        readButton_->setEnabled(false);
    } else {
        notifier_.message(tr(kReadFailedText), windowTitle(), Notifier::Icon::Warning);
    }
}

void AlarmDialog::saveToInstrument()
{
    setButtonsEnabled(false);
    const QString statusBefore = statusLabel_->text();
    showStatus(tr(kSendingText));

    std::array<float, kAlarmLimitCount> limits{};
    for (int n = 0; n < kAlarmLimitCount; ++n) {
        QLineEdit* edit = limitEdits_[size_t(n)];
        // The instrument keeps single-precision values; one beyond their
        // range would arrive as infinity.
        const std::optional<float> value = ParseTypedFloat32(edit->text(), EmptyText::IsZero);
        if (!value) {
            // Nothing was sent, so the status line must not claim a transfer.
            showStatus(statusBefore);
            setButtonsEnabled(true);
            notifier_.message(NotANumberText(LimitCaption(n), edit->text()), windowTitle(),
                              Notifier::Icon::Warning);
            edit->setFocus();
            edit->selectAll();
            return;
        }
        limits[size_t(n)] = *value;
    }
    std::array<bool, kAlarmLimitCount> on{};
    for (int n = 0; n < kAlarmLimitCount; ++n) on[size_t(n)] = enableBoxes_[size_t(n)]->isChecked();

    const bool sent = transfer_.startWrite(limits, AlarmEnableBitsFrom(on));
    // The acknowledgements run the rest of the chain; a second save may
    // start while it runs.
    setButtonsEnabled(true);
    if (!sent) {
        showStatus(statusBefore);
        notifier_.message(tr(kNotConnectedText), windowTitle(), Notifier::Icon::Warning);
    }
}

QString AlarmDialog::statusText() const { return statusLabel_->text(); }

void AlarmDialog::showLimitText(int field, const QString& text)
{
    if (field < 1 || field > kAlarmLimitCount) return;
    limitEdits_[size_t(field - 1)]->setText(text);
}

void AlarmDialog::showEnableBits(uint8_t bits)
{
    for (int n = 0; n < kAlarmLimitCount; ++n) enableBoxes_[size_t(n)]->setChecked((bits >> n) & 1u);
}

void AlarmDialog::showStatus(const QString& text)
{
    statusLabel_->setText(text);
    statusLabel_->show();
    // The reply handler holds the user-interface thread while it waits for
    // the next reply; the line is painted now, not after the chain.
    statusLabel_->repaint();
}

void AlarmDialog::readOutEnded(bool complete)
{
    readingOut_ = false;
    readButton_->setEnabled(true);
    // A read-out that got no answer for 8 s says so rather than leaving its
    // request text standing.
    if (!complete) showStatus(tr(kReadFailedText));
}

void AlarmDialog::writeEnded(bool complete)
{
    if (!complete) showStatus(tr(kNotConnectedText));
}

void AlarmDialog::setButtonsEnabled(bool enabled)
{
    saveButton_->setEnabled(enabled);
    exitButton_->setEnabled(enabled);
    readButton_->setEnabled(enabled && !readingOut_);
}
