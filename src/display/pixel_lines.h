#pragma once
// Drawing primitives with exact, direction-independent pixel coverage for the
// plots. Qt's aliased 1-pixel lines leave out the right/bottom end of a line
// whatever its direction (a line drawn right-to-left loses its start instead
// of its end) and draw a pixel for a zero-length line; the plots need every
// line to cover its start point and never its end point, so that a chain of
// segments covers each vertex exactly once. These helpers draw through a
// QPainter as filled pixel spans, so clipping and the target are Qt's.

#include <QColor>
#include <QPainter>
#include <QPoint>
#include <QString>

enum class LineStyle {
    Solid,
    Dotted,  // three pixels on, three off, counted from the start point
};

// A line from `from` to `to`: covers `from`, not `to`; a zero-length line
// draws nothing. Pixels follow the nearest-integer path along the longer
// axis (the major axis; the other is the minor axis).
//
// Wider pens are centred on that path across the minor axis: a pen of width
// w covers, for every path pixel, w pixels along the minor axis from
// -((w - 1) div 2) to w div 2. A 2-pixel pen thus puts its extra pixel below
// a mostly horizontal line and right of a mostly vertical one (a 45-degree
// line counts as horizontal), and keeps the start-not-end rule: a width-2
// line from (0, 5) to (4, 5) covers columns 0..3 of rows 5 and 6. Widths
// below 1 count as 1.
//
// Only the part of the line whose major coordinate lies on the painter's
// device is walked when the painter has no transform, so a line running far
// outside the surface costs no more than its visible part.
void DrawPixelLine(QPainter& painter, QPoint from, QPoint to, const QColor& color,
                   LineStyle style = LineStyle::Solid, int penWidth = 1);

// Lines through points[0] .. points[count - 1]; each segment leaves out its end,
// so inner vertices are covered (by the following segment) and the last point
// is not.
void DrawPixelPolyline(QPainter& painter, const QPoint* points, int count, const QColor& color,
                       int penWidth = 1);

// A rectangle from (left, top) to (right, bottom), corners in either order:
// covers columns left..right-1 and rows top..bottom-1, a 1-pixel outline in
// penColor and the inside in brushColor. No width or no height: nothing.
void DrawOutlinedRect(QPainter& painter, int left, int top, int right, int bottom, const QColor& penColor,
                      const QColor& brushColor);

// Text whose top-left corner (not its baseline) is at (x, y), in the painter's
// current font and pen colour, on a transparent background.
void DrawTextTopLeft(QPainter& painter, int x, int y, const QString& text);
