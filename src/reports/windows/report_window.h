#pragma once
// The report window (TPrinterForm, caption "PrinterForm"): a one-page
// preview of the Power Analysis Report of the current test or of the Record
// Report of the record window (PrintFromRecorder decides), and the commands
// to print it, to save it as a PDF file, to enter the report information
// and to choose the printer and paper.
//
// The window is a shell: the preview is drawn by the report renderers onto
// an off-screen surface that the paint box `image1` only copies, and the
// printed page by the same renderers onto the printer or a PDF writer.
// Every drawing reads EnterInfo.ini afresh.

#include "appearance/windows/window_texts.h"
#include "reports/record_report.h"
#include "reports/report_output.h"

#include <QDialog>
#include <QImage>
#include <QPrinter>

#include <functional>
#include <optional>

class EnterInfoDialog;
class DragScroll;
class Notifier;
class PaintBox;
class QLabel;
class QPushButton;
class QScrollArea;
struct AcquisitionState;

struct ReportWindowServices {
    const AcquisitionState& state;  // the test, and PrintFromRecorder
    QString enterInfoPath;          // EnterInfo.ini
    // What the record window shows; called at every drawing of the record
    // report.
    std::function<RecordReportSource()> recordSource;
    Notifier& notifier;
};

class ReportWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 747;
    static constexpr int kHeight = 500;

    explicit ReportWindow(ReportWindowServices services, QWidget* parent = nullptr);
    ~ReportWindow() override;

    // "Environmental data" shows this dialog (created after the window, as
    // its child, so that it can be used while the report is shown modally).
    void setEnterInfoDialog(EnterInfoDialog* dialog);

    ReportKind kind() const;
    // Places the page, scrolls to the top and draws the selected report.
    void redrawPreview();
    void scrollToTop();

    // "Print": the page on the printer chosen in Printer Setup (at first the
    // system's default printer), titled with the job title. Failures are
    // reported; true when the page went to the printer.
    bool printReport();
    // "Save as PDF": the printed page into a PDF file chosen in a save
    // dialog, A4 unless a paper was chosen in Printer Setup.
    bool saveAsPdf();
    // "Printer Setup": Qt's print dialog for printer, paper and orientation.
    // Each report turns the paper its own way when its window opens
    // (portrait for the power report, landscape for the record report)
    // until the user turns it in Printer Setup; that orientation then stays
    // for every report of this session.
    void printerSetup();
    // The orientation chosen in Printer Setup, if the user changed it there.
    std::optional<QPageLayout::Orientation> chosenOrientation() const { return chosenOrientation_; }

    QPrinter& printer() { return printer_; }
    // The preview surface and the page's size on it.
    const QImage& previewSurface() const { return surface_; }
    QSize previewPageSize() const { return pageSize_; }
    QScrollArea* scrollBox() const { return rongqi_; }
    // The outcome of the last print or save, as shown above the preview.
    QString statusText() const;

    // The save dialog of "Save as PDF"; replaced by tests. An empty result
    // means cancelled.
    std::function<QString(const QString& proposedPath)> chooseSavePath;
    // The printer setup dialog on the window's printer; true when confirmed.
    // Replaced by tests.
    std::function<bool(QPrinter& printer)> runPrinterSetup;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ReportContent currentContent();
    QPageLayout pdfLayout() const;
    void showStatus(const QString& text);

    ReportWindowServices services_;
    EnterInfoDialog* enterInfo_ = nullptr;
    RecordReportSource recordSource_;  // of the last drawing or printout
    QImage surface_;                   // ReportSurface, created at the first drawing
    QSize pageSize_;
    QPrinter printer_;
    bool pageChosen_ = false;  // Printer Setup was confirmed
    std::optional<QPageLayout::Orientation> chosenOrientation_;
    QString lastFolder_;

    QPushButton* printButton_ = nullptr;        // SeSkinButton1
    QPushButton* savePdfButton_ = nullptr;
    QPushButton* environmentButton_ = nullptr;  // SeSkinButton2
    QPushButton* setupButton_ = nullptr;        // SeSkinButton3
    QLabel* statusLabel_ = nullptr;
    QScrollArea* rongqi_ = nullptr;
    DragScroll* dragScroll_ = nullptr;  // the page moves with the hand
    QWidget* sheet_ = nullptr;  // what Rongqi scrolls
    PaintBox* image1_ = nullptr;
    QWidget* imageDi_ = nullptr;
    WindowTexts texts_;
};
