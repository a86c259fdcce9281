#include "display/windows/harmonic_window.h"

#include "acquisition/acquisition_state.h"
#include "display/harmonic_table.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

HarmonicWindow::HarmonicWindow(const TestRecordImage& record, QWidget* parent) : QDialog(parent), record_(record)
{
    setObjectName(QStringLiteral("THarmonicForm"));
    setWindowTitle(tr(" Harmonic Report "));
    resize(648, 500);

    grid_ = new QTableWidget(kHarmonicTableRows - 1, kHarmonicTableColumns, this);
    grid_->setObjectName(QStringLiteral("p1_h"));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The cells are indented with blanks, as the table has always been; a
    // compact font keeps the indented numbers inside their columns, and a
    // number is never shortened to an ellipsis.
    QFont gridFont = grid_->font();
    gridFont.setPixelSize(11);
    grid_->setFont(gridFont);
    grid_->horizontalHeader()->setFont(gridFont);
    grid_->setTextElideMode(Qt::ElideNone);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(20);
    grid_->horizontalHeader()->setMinimumSectionSize(20);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < kHarmonicTableColumns; ++c) {
        // The header's leading blanks indented it under a narrow bitmap font;
        // here the header is aligned by the skin, and the blanks would only
        // push the text out of its column.
        auto* header = new QTableWidgetItem(headerText(c));
        header->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        grid_->setHorizontalHeaderItem(c, header);
    }
    for (int row = 0; row < kHarmonicCount; ++row) {
        for (int c = 0; c < kHarmonicTableColumns; ++c) {
            auto* item = new QTableWidgetItem;
            if (c == 0) {
                // The order column is fixed, like the header row; its look
                // comes from the skin in use.
                item->setFlags(Qt::ItemIsEnabled);
                item->setText(HarmonicTableCell(record_, 0, row));
            }
            grid_->setItem(row, c, item);
        }
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);

    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, &HarmonicWindow::refresh);
    timer1_.start();
    refresh();
    texts_.capture(this);
}

QString HarmonicWindow::headerText(int column)
{
    return QCoreApplication::translate("HarmonicTable", HarmonicTableHeader(column).toUtf8().constData()).trimmed();
}

void HarmonicWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        texts_.retranslate();
        for (int c = 0; c < kHarmonicTableColumns; ++c) grid_->horizontalHeaderItem(c)->setText(headerText(c));
    }
    QDialog::changeEvent(event);
}

void HarmonicWindow::refresh()
{
    for (int row = 0; row < kHarmonicCount; ++row) {
        for (int c = 1; c < kHarmonicTableColumns; ++c) grid_->item(row, c)->setText(HarmonicTableCell(record_, c, row));
    }
}

QString HarmonicWindow::cellText(int row, int column) const
{
    if (row == 0) return HarmonicTableHeader(column);
    const QTableWidgetItem* item = grid_->item(row - 1, column);
    return item ? item->text() : QString();
}

void HarmonicWindow::showEvent(QShowEvent* event)
{
    refresh();
    QDialog::showEvent(event);
}

void HarmonicWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The grid fills the window (its layout has not caught up yet here); the
    // columns share what the vertical scroll bar leaves.
    const int width = (event->size().width() - 10 - grid_->verticalScrollBar()->sizeHint().width()) /
                      kHarmonicTableColumns;
    for (int c = 0; c < kHarmonicTableColumns; ++c) grid_->setColumnWidth(c, std::max(width, 40));
}
