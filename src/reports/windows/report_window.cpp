#include "reports/windows/report_window.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/ini_file.h"
#include "acquisition/notifier.h"
#include "display/windows/paint_box.h"
#include "reports/windows/drag_scroll.h"
#include "reports/windows/enter_info_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kCaption = QT_TRANSLATE_NOOP("ReportWindow", "PrinterForm");
constexpr int kPageLeft = 5;
constexpr int kPageTop = 5;
constexpr int kBelowPage = 10;  // image_di, the strip under the page

// A file name made from the job title: no folder separators.
QString FileNameOf(const QString& title)
{
    QString name = title;
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return name.trimmed().isEmpty() ? QStringLiteral("Report.pdf") : name + QStringLiteral(".pdf");
}

} // namespace

ReportWindow::ReportWindow(ReportWindowServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)), printer_(QPrinter::HighResolution),
      lastFolder_(QDir::homePath())
{
    setObjectName(QStringLiteral("TPrinterForm"));
    setWindowTitle(tr(kCaption));
    // A dialog border the user cannot drag.
    setFixedSize(kWidth, kHeight);
    printer_.setResolution(kReportDotsPerInch);

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("Panel1"));
    auto* buttons = new QHBoxLayout(top);
    buttons->setContentsMargins(6, 4, 6, 4);
    statusLabel_ = new QLabel(top);
    statusLabel_->setObjectName(QStringLiteral("StatusLabel"));
    statusLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    buttons->addWidget(statusLabel_, 1);
    const auto button = [&](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, top);
        if (name) b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        buttons->addWidget(b);
        return b;
    };
    printButton_ = button("SeSkinButton1", tr("Print"), tr("Print the report on the printer chosen in Printer Setup"));
    savePdfButton_ = button("SavePdfButton", tr("Save as PDF"), tr("Write the printed page into a PDF file"));
    environmentButton_ =
        button("SeSkinButton2", tr("Environmental data"),
               tr("Project, organisation, tester, date and temperature of the footer"));
    setupButton_ = button("SeSkinButton3", tr("Printer Setup"), tr("Choose the printer, the paper and the orientation"));
    // "Environmental data" is offered once the report-information dialog exists.
    environmentButton_->setEnabled(false);

    rongqi_ = new QScrollArea(this);
    rongqi_->setObjectName(QStringLiteral("Rongqi"));
    rongqi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    rongqi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rongqi_->setWidgetResizable(false);
    sheet_ = new QWidget;
    sheet_->setObjectName(QStringLiteral("Sheet"));
    sheet_->setAutoFillBackground(true);
    image1_ = new PaintBox(&surface_, [this] { return QRect(QPoint(0, 0), pageSize_); }, sheet_);
    image1_->setObjectName(QStringLiteral("image1"));
    imageDi_ = new QWidget(sheet_);
    imageDi_->setObjectName(QStringLiteral("image_di"));
    rongqi_->setWidget(sheet_);
    dragScroll_ = new DragScroll(rongqi_);

    auto* layout = new QVBoxLayout(this);
    // The scroll box is 741 wide, which makes the page 708 pixels wide: the
    // width the table's fixed text columns were placed for.
    layout->setContentsMargins(3, 0, 3, 3);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(rongqi_, 1);

    connect(printButton_, &QPushButton::clicked, this, &ReportWindow::printReport);
    connect(savePdfButton_, &QPushButton::clicked, this, &ReportWindow::saveAsPdf);
    connect(setupButton_, &QPushButton::clicked, this, &ReportWindow::printerSetup);
    connect(environmentButton_, &QPushButton::clicked, this, [this] {
        if (!enterInfo_) return;
        enterInfo_->show();
        enterInfo_->raise();
        enterInfo_->activateWindow();
    });

    chooseSavePath = [this](const QString& proposed) {
        QFileDialog dialog(this, tr("Save as PDF"), proposed, tr("PDF document (*.pdf)"));
        dialog.setObjectName(QStringLiteral("SavePdfDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        dialog.selectFile(proposed);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    runPrinterSetup = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(tr("Printer Setup"));
        dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
        // Here the dialog only chooses; printing is the window's Print button.
        if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
            if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText(tr("OK"));
        }
        return dialog.exec() == QDialog::Accepted;
    };
    texts_.capture(this);
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        texts_.retranslate();
        // The page's captions are drawn into the preview.
        if (isVisible()) redrawPreview();
    }
    QDialog::changeEvent(event);
}

void ReportWindow::setEnterInfoDialog(EnterInfoDialog* dialog)
{
    enterInfo_ = dialog;
    environmentButton_->setEnabled(dialog != nullptr);
    if (dialog) {
        // A change shows at once, from the top of the page.
        connect(dialog, &EnterInfoDialog::entered, this, [this] {
            scrollToTop();
            if (isVisible()) redrawPreview();
        });
    }
}

ReportKind ReportWindow::kind() const
{
    return services_.state.PrintFromRecorder ? ReportKind::Record : ReportKind::Power;
}

ReportContent ReportWindow::currentContent()
{
    ReportContent content;
    content.kind = kind();
    content.info = LoadReportInfo(IniFile(services_.enterInfoPath));
    if (content.kind == ReportKind::Power) {
        content.record = &services_.state.TestRecord;
    } else {
        recordSource_ = services_.recordSource ? services_.recordSource() : RecordReportSource();
        content.recordSource = &recordSource_;
    }
    return content;
}

void ReportWindow::scrollToTop() { rongqi_->verticalScrollBar()->setValue(0); }

void ReportWindow::redrawPreview()
{
    const ReportKind k = kind();
    const ReportContent content = currentContent();
    pageSize_ = ReportPreviewPageSize(k, rongqi_->width());
    if (content.recordSource) pageSize_ = RecordReportPreviewSize(pageSize_, *content.recordSource);
    if (surface_.isNull()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const int screenWidth = screen ? screen->size().width() : 1920;
        surface_ = QImage(std::max(screenWidth, pageSize_.width()), kReportSurfaceHeight, QImage::Format_RGB32);
    }
    pageSize_ = pageSize_.boundedTo(surface_.size());
    image1_->setGeometry(kPageLeft, kPageTop, pageSize_.width(), pageSize_.height());
    imageDi_->setGeometry(kPageLeft, kPageTop + pageSize_.height(), pageSize_.width(), kBelowPage);
    sheet_->resize(rongqi_->viewport()->width(), kPageTop + pageSize_.height() + kBelowPage);
    scrollToTop();
    DrawReportPreview(surface_, pageSize_, content);
    image1_->update();
}

void ReportWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Each report prints in its own orientation unless the user has turned
    // the paper in Printer Setup.
    const QPageLayout::Orientation own =
        kind() == ReportKind::Power ? QPageLayout::Portrait : QPageLayout::Landscape;
    printer_.setPageOrientation(chosenOrientation_.value_or(own));
    statusLabel_->clear();
    printButton_->setFocus();  // Return prints, whatever was pressed last time
    redrawPreview();
}

void ReportWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isVisible()) redrawPreview();
}

void ReportWindow::showStatus(const QString& text) { statusLabel_->setText(text); }

QString ReportWindow::statusText() const { return statusLabel_->text(); }

bool ReportWindow::printReport()
{
    const ReportContent content = currentContent();
    // Without any printer Qt falls back to a PDF file it has no name for.
    const bool noPrinter = printer_.outputFormat() == QPrinter::NativeFormat ? printer_.printerName().isEmpty()
                                                                               : printer_.outputFileName().isEmpty();
    if (noPrinter) {
        services_.notifier.message(
            tr("No printer is set up on this computer. Choose one in Printer Setup, or use Save as PDF."),
            tr(kCaption), Notifier::Icon::Warning);
        return false;
    }
    printer_.setDocName(ReportJobTitle(content.kind, content.info.projectName));
    printer_.setResolution(kReportDotsPerInch);
    QString reason;
    if (!PrintReport(printer_, content, &reason) || printer_.printerState() == QPrinter::Error) {
        if (reason.isEmpty()) reason = tr("The printer reported an error.");
        const QString target = printer_.outputFormat() == QPrinter::PdfFormat ? printer_.outputFileName()
                                                                                : printer_.printerName();
        services_.notifier.message(tr("The report could not be printed on %1: %2").arg(target, reason),
                                   tr(kCaption), Notifier::Icon::Error);
        showStatus(QString());
        return false;
    }
    showStatus(printer_.outputFormat() == QPrinter::PdfFormat
                   ? tr("Printed to %1").arg(QFileInfo(printer_.outputFileName()).fileName())
                   : tr("Sent to %1").arg(printer_.printerName()));
    return true;
}

QPageLayout ReportWindow::pdfLayout() const
{
    if (!pageChosen_) return DefaultReportPageLayout(kind());
    const QPageLayout chosen = printer_.pageLayout();
    return QPageLayout(chosen.pageSize(), chosen.orientation(), QMarginsF(0, 0, 0, 0));
}

bool ReportWindow::saveAsPdf()
{
    const ReportContent content = currentContent();
    const QString title = ReportJobTitle(content.kind, content.info.projectName);
    QString path = chooseSavePath(QDir(lastFolder_).filePath(FileNameOf(title)));
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    lastFolder_ = QFileInfo(path).absolutePath();
    QString reason;
    if (!WriteReportPdf(path, pdfLayout(), content, &reason)) {
        services_.notifier.message(tr("The report could not be saved as %1: %2").arg(path, reason),
                                   tr(kCaption), Notifier::Icon::Error);
        showStatus(QString());
        return false;
    }
    showStatus(tr("Saved as %1").arg(QFileInfo(path).fileName()));
    return true;
}

void ReportWindow::printerSetup()
{
    const QPageLayout::Orientation before = printer_.pageLayout().orientation();
    if (!runPrinterSetup || !runPrinterSetup(printer_)) return;
    pageChosen_ = true;
    printer_.setResolution(kReportDotsPerInch);
    // Only a turn of the paper is the user's choice of orientation; a setup
    // that chose just the printer or the paper leaves each report its own.
    const QPageLayout::Orientation after = printer_.pageLayout().orientation();
    if (after != before) chosenOrientation_ = after;
}
