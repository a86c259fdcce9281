#pragma once
// What both reports share: their fonts, the frame of the preview (title,
// rules, footer) at fixed pixel positions, and the frame of the printed page
// laid out in fractions of the printer's page.

#include "reports/report_info.h"
#include "reports/report_texts.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QSize>
#include <QString>

#include <array>

inline const QColor kReportGrey{128, 128, 128};
inline const QColor kReportBlack{0, 0, 0};

// --- Preview -----------------------------------------------------------------

// The preview surface: screen width x 2400 pixels, white, kept for the
// window's life.
constexpr int kReportSurfaceHeight = 2400;

// Size of the page in the preview for a scroll box `viewportWidth` wide:
// width = viewportWidth - 33, height = width x 1.414 (portrait, power report)
// or width / 1.414 (landscape, record report), rounded.
QSize ReportPreviewPageSize(ReportKind kind, int viewportWidth);

// The preview's fonts are in pixels (a point at 96 dots per inch), so that
// the texts keep their places on the fixed pixel layout whatever the
// screen's resolution.
QFont ReportPreviewFont(int pointSize);

// Title, the two grey rules, "Page 1/1" (power report) and the footer, on a
// page of `size` (W x H).
void DrawPreviewFrame(QPainter& painter, QSize size, ReportKind kind, const ReportInfo& info);

// --- Printed page ------------------------------------------------------------

// The printed page in device pixels: pw x ph is the printable area of the
// page; the margins are pw div 18 and ph div 26. unit is the size of one
// dot of the 600-dot-per-inch page the fixed distances (pens, offsets of the
// record report) are given in.
struct ReportPage {
    int pw = 0, ph = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
    int W = 0, H = 0;  // right - left, bottom - top
    double unit = 1.0;
    bool portrait = true;

    // A length of the 600-dot-per-inch page, in this page's pixels.
    int dots(double d) const;
};
ReportPage ReportPageOf(int pageWidth, int pageHeight, int dotsPerInch);

// Fonts of the printed page, in points of the device.
QFont ReportPageFont(double pointSize);

// Title, "Page 1/1" and the rule under them.
void DrawPageFrame(QPainter& painter, const ReportPage& page, ReportKind kind);

// The footer's grey rule at 0.95 of the frame's height and its two lines of
// three columns (DrawReportTextRow: every text whole).
struct PageFooterTexts {
    QString cells[2][3];
};
void DrawPageFooter(QPainter& painter, const ReportPage& page, const PageFooterTexts& texts);

// --- Shared helpers ----------------------------------------------------------

// Text with its top-left corner at (x, y), always whole. With a room, a text
// wider than the room is drawn in a smaller type that fits it.
void DrawReportText(QPainter& painter, int x, int y, const QString& text, const QColor& color, int room = 0);

// One line of three texts whose left edges are `anchors`, in the painter's
// font, none of them ever cut. A text too wide for its column takes the room
// it needs and pushes the texts after it to the right, at least `gap` apart;
// only if the line would then run past `right` are the too-wide texts drawn
// in the largest smaller type with which it ends there.
void DrawReportTextRow(QPainter& painter, int y, const std::array<int, 3>& anchors,
                       const std::array<QString, 3>& texts, int right, int gap, const QColor& color);

// A straight line of a pen of `width` pixels, square-ended.
void DrawReportLine(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& color, int width,
                    Qt::PenStyle style = Qt::SolidLine);
