#pragma once
// The communication settings window: baud rate, serial port and the
// instrument's slave address. A thin face over the link's PortDiscovery,
// which does the work and outlives the window.

#include "appearance/windows/window_texts.h"
#include "link/comm_settings_view.h"
#include "link/port_discovery.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

class CommunicationDialog : public QDialog, public CommSettingsView {
    Q_OBJECT

public:
    explicit CommunicationDialog(PortDiscovery& discovery, QWidget* parent = nullptr);
    ~CommunicationDialog() override;

    PortDiscovery& discovery() { return discovery_; }

    // CommSettingsView
    void selectBaudIndex(int index) override;
    void setPortItems(const QStringList& items, int selected) override;
    void setAddressText(const QString& text) override;
    void setAddressInvalid(bool invalid) override;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildBaudGroup();
    QGroupBox* buildPortGroup();
    QGroupBox* buildAddressGroup();

    QComboBox* baudList_ = nullptr;
    QVBoxLayout* portLayout_ = nullptr;
    QButtonGroup* portButtons_ = nullptr;
    QLineEdit* addressEdit_ = nullptr;
    QPushButton* scanButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    PortDiscovery& discovery_;
    WindowTexts texts_;
};
