#include "publish_dialog.h"

#include "acquisition/ini_file.h"
#include "publishing/measurement_publishing.h"
#include "publishing/publish_settings.h"
#include "publishing/windows/password_store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

PublishDialog::PublishDialog(const QString& settingsPath, MeasurementPublishing& publishing, PasswordStore& passwords,
                             QWidget* parent)
    : QDialog(parent), settingsPath_(settingsPath), publishing_(publishing), passwords_(passwords)
{
    setObjectName(QStringLiteral("PublishDialog"));
    setWindowTitle(tr("Publish measurements (MQTT)"));

    auto* layout = new QVBoxLayout(this);
    enabled_ = new QCheckBox(tr("Publish every measurement to the broker"), this);
    enabled_->setObjectName(QStringLiteral("PublishCheck"));
    layout->addWidget(enabled_);

    auto* form = new QFormLayout;
    broker_ = new QLineEdit(this);
    broker_->setObjectName(QStringLiteral("BrokerEdit"));
    broker_->setPlaceholderText(QStringLiteral("mqtt://127.0.0.1"));
    broker_->setToolTip(tr("mqtt://HOST[:PORT], or mqtts://HOST[:PORT] for TLS"));
    form->addRow(tr("Broker:"), broker_);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("NameEdit"));
    name_->setPlaceholderText(QSysInfo::machineHostName());
    name_->setToolTip(tr("The bench's name in the topics qzr6100/NAME/...: letters, digits, - and _"));
    form->addRow(tr("Bench name:"), name_);
    user_ = new QLineEdit(this);
    user_->setObjectName(QStringLiteral("UserEdit"));
    form->addRow(tr("User:"), user_);
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("PasswordEdit"));
    password_->setEchoMode(QLineEdit::Password);
    form->addRow(tr("Password:"), password_);
    passwordPlace_ = new QLabel(this);
    passwordPlace_->setObjectName(QStringLiteral("PasswordPlaceLabel"));
    passwordPlace_->setWordWrap(true);
    // A wrapped label's height depends on its width, which a form layout
    // only learns late; without a floor the second line runs into the next row.
    passwordPlace_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);
    form->addRow(QString(), passwordPlace_);
    caFile_ = fileRow(form, tr("CA certificate:"), "CaFileEdit");
    certFile_ = fileRow(form, tr("Client certificate:"), "CertFileEdit");
    keyFile_ = fileRow(form, tr("Client key:"), "KeyFileEdit");
    discovery_ = new QCheckBox(tr("Announce the readouts to Home Assistant (discovery)"), this);
    discovery_->setObjectName(QStringLiteral("DiscoveryCheck"));
    form->addRow(QString(), discovery_);
    qos_ = new QComboBox(this);
    qos_->setObjectName(QStringLiteral("QosCombo"));
    qos_->addItem(tr("1: each measurement confirmed by the broker"), 1);
    qos_->addItem(tr("0: sent without confirmation"), 0);
    form->addRow(tr("Quality of service:"), qos_);
    layout->addLayout(form);

    auto* statusForm = new QFormLayout;
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("BrokerStateLabel"));
    state_->setWordWrap(true);
    state_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusForm->addRow(tr("Connection:"), state_);
    queue_ = new QLabel(this);
    queue_->setObjectName(QStringLiteral("QueueLabel"));
    statusForm->addRow(tr("Measurements:"), queue_);
    layout->addLayout(statusForm);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Apply | QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(buttons->button(QDialogButtonBox::Ok), &QPushButton::clicked, this, [this] {
        apply();
        hide();
    });
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &PublishDialog::apply);
    connect(buttons->button(QDialogButtonBox::Close), &QPushButton::clicked, this, &QDialog::reject);
    connect(&publishing_, &MeasurementPublishing::changed, this, &PublishDialog::showStatus);
    setMinimumWidth(520);
    showStatus();
}

QLineEdit* PublishDialog::fileRow(QFormLayout* form, const QString& label, const char* objectName)
{
    auto* row = new QHBoxLayout;
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setPlaceholderText(tr("for mqtts:// only"));
    auto* browse = new QPushButton(tr("Browse..."), this);
    row->addWidget(edit, 1);
    row->addWidget(browse);
    form->addRow(label, row);
    connect(browse, &QPushButton::clicked, this, [this, edit, label] {
        // Opened window-modal, answered by a signal: no event loop of its own.
        auto* chooser = new QFileDialog(this, label, edit->text());
        chooser->setAttribute(Qt::WA_DeleteOnClose);
        chooser->setFileMode(QFileDialog::ExistingFile);
        connect(chooser, &QFileDialog::fileSelected, edit, &QLineEdit::setText);
        chooser->open();
    });
    return edit;
}

void PublishDialog::showEvent(QShowEvent* event)
{
    load();
    QDialog::showEvent(event);
}

void PublishDialog::load()
{
    const PublishSettings s = LoadPublishSettings(IniFile(settingsPath_));
    enabled_->setChecked(s.enabled);
    broker_->setText(s.broker);
    name_->setText(s.name);
    user_->setText(s.username);
    caFile_->setText(s.caFile);
    certFile_->setText(s.certFile);
    keyFile_->setText(s.keyFile);
    discovery_->setChecked(s.discovery);
    qos_->setCurrentIndex(s.qos == 0 ? 1 : 0);
    passwords_.read([this](const QString& password, const QString& error) {
        password_->setText(password);
        passwordPlace_->setText(error.isEmpty() ? tr("The password is kept in %1.").arg(passwords_.where()) : error);
    });
    showStatus();
}

PublishSettings PublishDialog::fields() const
{
    PublishSettings s;
    s.enabled = enabled_->isChecked();
    s.broker = broker_->text().trimmed();
    s.name = name_->text().trimmed();
    s.username = user_->text().trimmed();
    s.caFile = caFile_->text().trimmed();
    s.certFile = certFile_->text().trimmed();
    s.keyFile = keyFile_->text().trimmed();
    s.discovery = discovery_->isChecked();
    s.qos = qos_->currentData().toInt();
    return s;
}

void PublishDialog::apply()
{
    const PublishSettings s = fields();
    IniFile ini(settingsPath_);
    QString error;
    if (!SavePublishSettings(ini, s, &error)) startError_ = tr("The settings cannot be saved: %1").arg(error);
    const QString password = password_->text();
    passwords_.write(password, [this](const QString& where, const QString& storeError) {
        passwordPlace_->setText(storeError.isEmpty() ? tr("The password is kept in %1.").arg(where) : storeError);
    });
    startWith(s, password);
}

void PublishDialog::startStored()
{
    const PublishSettings s = LoadPublishSettings(IniFile(settingsPath_));
    if (!s.enabled) return;
    passwords_.read([this, s](const QString& password, const QString& error) {
        // Starting without the stored password would only earn a refusal
        // that hides the cause; the dialog says what is wrong instead.
        if (!error.isEmpty()) {
            startError_ = tr("Not publishing: %1").arg(error);
            showStatus();
            show();  // publishing was left on; the user learns why it is not
            return;
        }
        startWith(s, password);
    });
}

void PublishDialog::startWith(const PublishSettings& s, const QString& password)
{
    startError_.clear();
    if (!s.enabled) {
        publishing_.stop();
        return;
    }
    PublisherConfig config;
    QString error;
    if (!MakePublisherConfig(s, password, &config, &error) || !publishing_.start(config, &error)) {
        publishing_.stop();
        startError_ = tr("Not publishing: %1").arg(error);
    }
    showStatus();
}

void PublishDialog::showStatus()
{
    const MqttPublisher* publisher = publishing_.publisher();
    if (!publisher) {
        state_->setText(startError_.isEmpty() ? tr("Not publishing") : startError_);
        queue_->clear();
        return;
    }
    const PublisherStatus s = publisher->status();
    const QString broker = publisher->config().broker.text();
    switch (s.state) {
    case BrokerState::Connecting: state_->setText(tr("Connecting to %1").arg(broker)); break;
    case BrokerState::Connected:
        state_->setText(tr("Connected to %1, publishing under qzr6100/%2/").arg(broker, publisher->config().name));
        break;
    case BrokerState::Waiting:
        state_->setText(tr("%1; trying again in %n s", nullptr, s.retryInSeconds).arg(s.problem));
        break;
    case BrokerState::Refused:
    case BrokerState::TlsFailed: state_->setText(tr("%1; check the settings and apply them again").arg(s.problem)); break;
    case BrokerState::Stopped: state_->setText(tr("Not publishing")); break;
    }
    queue_->setText(tr("%1 waiting, %2 published, %3 lost").arg(s.queued).arg(s.published).arg(s.lost));
}
