#pragma once
// The version window (TVForm): the logo, the maker's line, the version
// number, title and date, the web address, and "Enter" to close it. The
// main window shows it modally from Help / Version and its tool button.

#include "appearance/windows/window_texts.h"

#include <QDialog>

class QLabel;
class QPushButton;

class VersionWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 316;
    static constexpr int kClientHeight = 137;

    static const char* const kCompanyText;
    static const char* const kVersionNumberText;
    static const char* const kVersionTitleText;
    static const char* const kDateText;
    // Followed by the web address; the spelling is the window's own.
    static const char* const kWebsitePrefix;

    explicit VersionWindow(const QString& websiteAddress, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* addLine(const char* objectName, const QString& text, const QRect& geometry);
    QString websiteAddress_;
    QLabel* websiteLabel_ = nullptr;
    WindowTexts texts_;
};
