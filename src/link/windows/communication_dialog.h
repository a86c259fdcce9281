#pragma once
// The communication settings window: baud rate, serial port and the
// instrument's slave address. A thin face over PortDiscovery, which does the
// work; the window is created once at start-up, and creating it runs the
// first port scan and starts the USB link watchdog.

#include "link/comm_settings_view.h"
#include "link/port_discovery.h"

#include <QDialog>

#include <memory>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

class CommunicationDialog : public QDialog, public CommSettingsView {
    Q_OBJECT

public:
    explicit CommunicationDialog(const PortDiscoveryServices& services, QWidget* parent = nullptr);
    ~CommunicationDialog() override;

    PortDiscovery& discovery() { return *discovery_; }
    // The selected line of the baud-rate list, -1 for none.
    int baudIndex() const { return discovery_->baudIndex(); }

    // CommSettingsView
    void selectBaudIndex(int index) override;
    void setPortItems(const QStringList& items, int selected) override;
    void setAddressText(const QString& text) override;
    void setAddressInvalid(bool invalid) override;

protected:
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
    std::unique_ptr<PortDiscovery> discovery_;
};
