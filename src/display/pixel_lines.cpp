#include "display/pixel_lines.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QTransform>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kDotRun = 3;  // on and off lengths of a dotted line

// Spans of consecutive pixels with the same minor coordinate are filled as one
// rectangle, `thickness` pixels across from minor + minorOffset; that keeps
// long horizontal and vertical lines to one call.
class SpanWriter {
public:
    SpanWriter(QPainter& painter, const QColor& color, bool xMajor, int majorStep, int thickness)
        : painter_(painter), color_(color), xMajor_(xMajor), majorStep_(majorStep), thickness_(thickness),
          minorOffset_(-((thickness - 1) / 2))
    {
    }
    ~SpanWriter() { flush(); }

    void add(int major, int minor)
    {
        if (open_ && minor == minor_ && major == last_ + majorStep_) {
            last_ = major;
            ++count_;
            return;
        }
        flush();
        open_ = true;
        first_ = last_ = major;
        minor_ = minor;
        count_ = 1;
    }

    void flush()
    {
        if (!open_) return;
        const int low = std::min(first_, last_);
        const int across = minor_ + minorOffset_;
        const QRect span = xMajor_ ? QRect(low, across, count_, thickness_) : QRect(across, low, thickness_, count_);
        painter_.fillRect(span, color_);
        open_ = false;
    }

private:
    QPainter& painter_;
    const QColor& color_;
    const bool xMajor_;
    const int majorStep_;
    const int thickness_;
    const int minorOffset_;
    bool open_ = false;
    int first_ = 0, last_ = 0, minor_ = 0, count_ = 0;
};

// Steps first..last of a line (0 <= first, last < length) whose major
// coordinate start + step * direction lies on the device; everything when the
// painter maps coordinates through a transform. first > last: none.
struct StepRange {
    long long first = 0;
    long long last = -1;
};

StepRange StepsOnDevice(const QPainter& painter, bool xMajor, int majorStart, int direction, int length)
{
    StepRange range{0, length - 1};
    const QPaintDevice* device = painter.device();
    if (!painter.isActive() || device == nullptr || painter.combinedTransform().type() != QTransform::TxNone) {
        return range;
    }
    const long long extent = xMajor ? device->width() : device->height();
    // start + i * direction in [0, extent - 1]
    const long long low = direction > 0 ? -(long long)majorStart : (long long)majorStart - (extent - 1);
    const long long high = direction > 0 ? extent - 1 - majorStart : (long long)majorStart;
    range.first = std::max(range.first, low);
    range.last = std::min(range.last, high);
    return range;
}

} // namespace

void DrawPixelLine(QPainter& painter, QPoint from, QPoint to, const QColor& color, LineStyle style, int penWidth)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int majorLength = xMajor ? std::abs(dx) : std::abs(dy);
    if (majorLength == 0) return;

    const int majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const long long minorDelta = xMajor ? dy : dx;
    const int majorStart = xMajor ? from.x() : from.y();
    const int minorStart = xMajor ? from.y() : from.x();

    const StepRange steps = StepsOnDevice(painter, xMajor, majorStart, majorStep, majorLength);
    SpanWriter spans(painter, color, xMajor, majorStep, std::max(penWidth, 1));
    for (long long i = steps.first; i <= steps.last; ++i) {
        if (style == LineStyle::Dotted && (i / kDotRun) % 2 == 1) continue;
        // Nearest integer of i * minorDelta / majorLength, halves rounded up.
        const long long num = 2 * i * minorDelta + majorLength;
        const long long den = 2LL * majorLength;
        const long long offset = num >= 0 ? num / den : -((-num + den - 1) / den);
        spans.add(majorStart + int(i) * majorStep, minorStart + int(offset));
    }
}

void DrawPixelPolyline(QPainter& painter, const QPoint* points, int count, const QColor& color, int penWidth)
{
    for (int i = 1; i < count; ++i) DrawPixelLine(painter, points[i - 1], points[i], color, LineStyle::Solid, penWidth);
}

void DrawOutlinedRect(QPainter& painter, int left, int top, int right, int bottom, const QColor& penColor,
                      const QColor& brushColor)
{
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const int width = right - left;
    const int height = bottom - top;
    if (width <= 0 || height <= 0) return;
    if (width <= 2 || height <= 2) {
        painter.fillRect(QRect(left, top, width, height), penColor);
        return;
    }
    painter.fillRect(QRect(left + 1, top + 1, width - 2, height - 2), brushColor);
    painter.fillRect(QRect(left, top, width, 1), penColor);
    painter.fillRect(QRect(left, bottom - 1, width, 1), penColor);
    painter.fillRect(QRect(left, top + 1, 1, height - 2), penColor);
    painter.fillRect(QRect(right - 1, top + 1, 1, height - 2), penColor);
}

void DrawTextTopLeft(QPainter& painter, int x, int y, const QString& text)
{
    painter.drawText(x, y + painter.fontMetrics().ascent(), text);
}
