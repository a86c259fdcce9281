#pragma once
// The harmonic table window: orders 0..50 with RMS value and percentage of
// the fundamental, refreshed every second while the program runs, so the
// table follows continuous sampling while it is open.

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
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const TestRecordImage& record_;
    QTableWidget* grid_ = nullptr;
    QTimer timer1_;
};
