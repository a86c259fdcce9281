#pragma once
// The style dialog " Style ": the skin, the plots' background and the colour
// of their grids. Created once at start-up, second of the program's windows;
// creating it puts the stored colours into effect. A thin face over
// StyleSettings, which does the work.

#include "appearance/style_settings.h"
#include "appearance/windows/window_texts.h"

#include <QDialog>

#include <memory>

class QButtonGroup;
class QGroupBox;
class QPushButton;

class StyleDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 264;
    static constexpr int kHeight = 362;

    explicit StyleDialog(const StyleServices& services, QWidget* parent = nullptr);
    ~StyleDialog() override;

    const StyleSettings& style() const { return *style_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    // Radio buttons in columns of rowsPerColumn, numbered from 0 down the columns.
    QGroupBox* buildGroup(const QString& title, const QStringList& items, int rowsPerColumn, QButtonGroup** buttons);
    // Checks the buttons that StyleSettings has selected.
    void showSelection();

    std::unique_ptr<StyleSettings> style_;
    QButtonGroup* skinButtons_ = nullptr;
    QButtonGroup* backgroundButtons_ = nullptr;
    QButtonGroup* scaleButtons_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    WindowTexts texts_;
};
