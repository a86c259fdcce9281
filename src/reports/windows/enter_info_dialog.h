#pragma once
// "Enter the print information" (TEnterInfoForm): the texts every report
// carries in its footer. Created once at start-up, it keeps its fields
// between showings; the date field starts with today's date. "Enter" writes
// EnterInfo.ini, "Cancel" and "Exit" close without writing.

#include "appearance/windows/window_texts.h"
#include "reports/report_info.h"

#include <QDialog>

class Notifier;
class QLineEdit;
class QPushButton;
class QRadioButton;

class EnterInfoDialog : public QDialog {
    Q_OBJECT
public:
    // enterInfoPath: EnterInfo.ini, read now and written by "Enter".
    EnterInfoDialog(const QString& enterInfoPath, Notifier& notifier, QWidget* parent = nullptr);

    // The fields as they stand.
    ReportInfo fields() const;

    // "Enter": writes the six keys and closes. A file that cannot be written
    // is reported and the dialog stays open with what was typed.
    void enter();

signals:
    // The report information was written.
    void entered();

protected:
    void changeEvent(QEvent* event) override;

private:
    QString path_;
    Notifier& notifier_;
    QLineEdit* projectEdit_ = nullptr;      // Edit1
    QLineEdit* companyEdit_ = nullptr;      // Edit2
    QLineEdit* testerEdit_ = nullptr;       // Edit3
    QLineEdit* dateEdit_ = nullptr;         // Edit4
    QLineEdit* temperatureEdit_ = nullptr;  // Edit5
    QRadioButton* celsiusButton_ = nullptr;
    QRadioButton* fahrenheitButton_ = nullptr;
    WindowTexts texts_;
};
