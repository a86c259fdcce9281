#pragma once
// The harmonic table window: orders 0..50 with RMS value and percentage of
// the fundamental, refreshed every second while the program runs, so the
// table follows continuous sampling while it is open.

#include "appearance/windows/window_texts.h"

#include <QDialog>
#include <QTimer>

class QTableWidget;
struct TestRecordImage;

class HarmonicWindow : public QDialog {
    Q_OBJECT
public:
    HarmonicWindow(const TestRecordImage& record, QWidget* parent = nullptr);

    void refresh();
    QString cellText(int row, int column) const;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The header as shown: the table's own, translated, without its indent.
    static QString headerText(int column);

    const TestRecordImage& record_;
    QTableWidget* grid_ = nullptr;
    QTimer timer1_;
    WindowTexts texts_;
};
