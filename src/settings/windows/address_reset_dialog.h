#pragma once
// "Baudrate and address of the instrument" (TAddressResetForm): meant for
// changing the instrument's own baud rate and bus address and for scanning
// the bus. The instrument's register map offers no request for either, so
// the window only shows its fields; its two buttons send nothing and change
// nothing (they say so in the status bar), and nothing reads its fields. The program's own baud rate and slave address are set in
// the communication settings window. Reached from the hidden menu item
// "Instrument communication settings", shown non-modally.

#include "appearance/windows/window_texts.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

class AddressResetDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 331;
    static constexpr int kHeight = 235;

    explicit AddressResetDialog(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* addNote(int number, const QString& text);

    QComboBox* baudList_ = nullptr;
    QLineEdit* addressEdit_ = nullptr;
    QPushButton* scanButton_ = nullptr;
    QPushButton* changeButton_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    WindowTexts texts_;
};
