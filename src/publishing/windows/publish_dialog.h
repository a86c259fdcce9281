#pragma once
// Options > Publish measurements (MQTT)...: the broker, the bench name, the
// user and password, the TLS files, Home Assistant discovery and the on/off
// switch, kept in SysSet.ini section "Mqtt" (the password in the password
// store), and the broker state and queue while publishing. Modeless: it can
// stay open beside the main window to watch the queue.

#include <QDialog>

class IniFile;
class MeasurementPublishing;
class PasswordStore;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
struct PublishSettings;

class PublishDialog : public QDialog {
    Q_OBJECT

public:
    PublishDialog(const QString& settingsPath, MeasurementPublishing& publishing, PasswordStore& passwords,
                  QWidget* parent = nullptr);

    // At start-up: publishing goes on when it was left on.
    void startStored();

    // Fills the fields from the settings and the password store (on show).
    void load();
    // Saves the fields and switches publishing as they say.
    void apply();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* fileRow(class QFormLayout* form, const QString& label, const char* objectName);
    PublishSettings fields() const;
    void startWith(const PublishSettings& settings, const QString& password);
    void showStatus();

    QString settingsPath_;
    MeasurementPublishing& publishing_;
    PasswordStore& passwords_;

    QCheckBox* enabled_ = nullptr;
    QLineEdit* broker_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* caFile_ = nullptr;
    QLineEdit* certFile_ = nullptr;
    QLineEdit* keyFile_ = nullptr;
    QCheckBox* discovery_ = nullptr;
    QComboBox* qos_ = nullptr;
    QLabel* state_ = nullptr;
    QLabel* queue_ = nullptr;
    QLabel* passwordPlace_ = nullptr;
    QString startError_;
};
