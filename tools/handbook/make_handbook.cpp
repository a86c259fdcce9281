// Build helper: turns the handbook's HTML source and its screenshots into the
// PDF the program's Help / Manual command opens. It uses only Qt's own text
// layout and PDF writer, so the build needs nothing beyond Qt.
//
//   make_handbook HANDBOOK.html COVER.svg OUTPUT.pdf
//
// Page 1 is a cover (the start-up picture and the title), then the table of
// contents, then the handbook. <h1> starts a chapter (running header, entry
// in the contents), <h2> a section (entry in the contents). Every image the
// source names must load, otherwise no PDF is written and the tool fails, so
// a lost screenshot breaks the build instead of the manual.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextStream>
#include <QUrl>

#include <cmath>
#include <functional>

namespace {

constexpr int kResolution = 300;        // dots per inch of the PDF's coordinates
constexpr qreal kMarginMm = 20.0;       // left and right
constexpr qreal kTopMm = 24.0;          // above the body, the running header sits in it
constexpr qreal kBottomMm = 22.0;       // below the body, the footer sits in it
const QColor kAccent(0x0b, 0x53, 0x94);
const QColor kGrey(0x60, 0x6b, 0x78);

struct Heading {
    int level = 1;
    QString text;
    int page = 0;  // 1-based page of the whole PDF
};

qreal MmToDots(qreal mm) { return mm / 25.4 * kResolution; }
qreal PtToDots(qreal pt) { return pt / 72.0 * kResolution; }

// Body text and headings in DejaVu; Chinese falls back to the Noto CJK
// font (simplified Chinese forms) rather than whatever the system finds first.
QFont HandbookFont(qreal pointSize, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QString MetaContent(const QString& html, const QString& name)
{
    const QRegularExpression re(QStringLiteral("<meta\\s+name=\"%1\"\\s+content=\"([^\"]*)\"").arg(name));
    const QRegularExpressionMatch m = re.match(html);
    return m.hasMatch() ? m.captured(1) : QString();
}

// Every image of the document must load; returns the ones that do not.
QStringList MissingImages(QTextDocument& doc)
{
    QStringList missing;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            const QString name = format.toImageFormat().name();
            const QUrl url = doc.baseUrl().resolved(QUrl(name));
            if (QImage(url.toLocalFile()).isNull()) missing << name;
        }
    }
    return missing;
}

// Half a dot of slack: a line pushed to the next page starts exactly at its top.
int PageOf(qreal y, qreal bodyHeight) { return int(std::floor((y + 0.5) / bodyHeight)); }

// Where a block's first line is: a line that does not fit at the foot of a
// page is pushed to the next one inside its block, so the block itself may
// still begin on the page before.
qreal FirstLineTop(QAbstractTextDocumentLayout* layout, const QTextBlock& block)
{
    const qreal top = layout->blockBoundingRect(block).top();
    const QTextLayout* lines = block.layout();
    return (lines && lines->lineCount() > 0) ? top + lines->lineAt(0).y() : top;
}

// The source with a page break put before some of its headings, counted in
// the order they appear (a heading that sets its own break keeps it).
QString WithPageBreaksBefore(const QString& html, const QSet<int>& headings)
{
    static const QRegularExpression tag(QStringLiteral("<h([1-6])(\\s[^>]*)?>"));
    QString out;
    qsizetype last = 0;
    int index = 0;
    for (auto it = tag.globalMatch(html); it.hasNext(); ++index) {
        const QRegularExpressionMatch m = it.next();
        out += html.mid(last, m.capturedStart() - last);
        if (headings.contains(index) && !m.captured(2).contains(QStringLiteral("style=")))
            out += QStringLiteral("<h%1 style=\"page-break-before: always;\"%2>").arg(m.captured(1), m.captured(2));
        else
            out += m.captured(0);
        last = m.capturedEnd();
    }
    return out + html.mid(last);
}

// Lays the handbook out into pages of the body's height. A heading left
// alone at the foot of a page goes to the next page with the text it
// introduces; moving one heading moves what follows, so the layout is redone
// (from the source: the text layout does not reliably redo only a part of a
// laid-out document) until no heading is left alone.
void LayOutPages(QTextDocument& doc, const QString& html, qreal bodyHeight)
{
    QSet<int> breaks;
    for (int round = 0; round < 50; ++round) {
        doc.setHtml(WithPageBreaksBefore(html, breaks));
        doc.setDocumentMargin(0);  // the root frame is new after each load
        QAbstractTextDocumentLayout* layout = doc.documentLayout();
        int heading = -1;
        int lonely = -1;
        for (QTextBlock block = doc.begin(); block.isValid() && lonely < 0; block = block.next()) {
            if (block.blockFormat().headingLevel() == 0) continue;
            ++heading;
            const QTextBlock next = block.next();
            if (!next.isValid() || breaks.contains(heading)) continue;
            if (PageOf(FirstLineTop(layout, block), bodyHeight) != PageOf(FirstLineTop(layout, next), bodyHeight))
                lonely = heading;
        }
        if (lonely < 0) return;
        breaks.insert(lonely);
    }
}

QList<Heading> CollectHeadings(QTextDocument& doc, qreal bodyHeight, int firstBodyPage)
{
    QList<Heading> headings;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2) continue;
        const QString text = block.text().simplified();
        if (text.isEmpty()) continue;
        headings.append({level, text, firstBodyPage + PageOf(FirstLineTop(layout, block), bodyHeight)});
    }
    return headings;
}

void DrawCover(QPainter& p, const QRectF& page, const QString& coverSvg, const QString& title,
               const QString& subtitle)
{
    const qreal margin = MmToDots(kMarginMm);
    QSvgRenderer cover(coverSvg);
    const QSizeF pictureSize = cover.defaultSize();
    const qreal width = page.width() - 2 * margin;
    const QRectF pictureRect(margin, MmToDots(40), width, width * pictureSize.height() / pictureSize.width());
    cover.render(&p, pictureRect);

    qreal y = pictureRect.bottom() + MmToDots(22);
    p.setPen(kAccent);
    p.setFont(HandbookFont(28, true));
    const QRectF titleRect(margin, y, width, MmToDots(30));
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title);
    y = titleRect.top() + p.fontMetrics().boundingRect(titleRect.toRect(), Qt::TextWordWrap, title).height()
        + MmToDots(6);
    p.setPen(kGrey);
    p.setFont(HandbookFont(14));
    p.drawText(QRectF(margin, y, width, MmToDots(20)), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, subtitle);

    p.setPen(QPen(kAccent, PtToDots(2)));
    p.drawLine(QPointF(margin, page.bottom() - MmToDots(30)), QPointF(page.right() - margin, page.bottom() - MmToDots(30)));
}

struct ContentsLayout {
    qreal chapterHeight = 0;
    qreal sectionHeight = 0;
    qreal titleHeight = 0;
};

ContentsLayout MeasureContents()
{
    ContentsLayout c;
    c.chapterHeight = PtToDots(11) * 2.1;
    c.sectionHeight = PtToDots(10) * 1.6;
    c.titleHeight = PtToDots(20) * 2.6;
    return c;
}

int ContentsPageCount(const QList<Heading>& headings, qreal bodyHeight)
{
    const ContentsLayout c = MeasureContents();
    int pages = 1;
    qreal y = c.titleHeight;
    for (const Heading& h : headings) {
        const qreal step = h.level == 1 ? c.chapterHeight : c.sectionHeight;
        if (y + step > bodyHeight) {
            ++pages;
            y = 0;
        }
        y += step;
    }
    return pages;
}

// Draws the contents on the current page and on as many more as it needs;
// startPage begins each further page.
void DrawContents(QPainter& p, const QRectF& body, const QList<Heading>& headings,
                  const std::function<void()>& startPage)
{
    const ContentsLayout c = MeasureContents();
    p.setPen(kAccent);
    p.setFont(HandbookFont(20, true));
    p.drawText(QRectF(body.left(), body.top(), body.width(), c.titleHeight), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Contents"));
    qreal y = body.top() + c.titleHeight;
    for (const Heading& h : headings) {
        const bool chapter = h.level == 1;
        const qreal step = chapter ? c.chapterHeight : c.sectionHeight;
        if (y + step > body.bottom()) {
            startPage();
            y = body.top();
        }
        const qreal indent = chapter ? 0 : MmToDots(8);
        p.setFont(HandbookFont(chapter ? 11 : 10, chapter));
        p.setPen(chapter ? kAccent : Qt::black);
        const QFontMetricsF fm(p.font());
        const qreal baseline = y + step - fm.descent() - (chapter ? PtToDots(3) : PtToDots(2));
        const QString number = QString::number(h.page);
        const qreal numberWidth = fm.horizontalAdvance(number);
        const qreal textLeft = body.left() + indent;
        const QString text = fm.elidedText(h.text, Qt::ElideRight, body.width() - indent - numberWidth - MmToDots(12));
        p.drawText(QPointF(textLeft, baseline), text);
        p.drawText(QPointF(body.right() - numberWidth, baseline), number);
        // Dotted leader from the entry to its page number.
        const qreal leaderLeft = textLeft + fm.horizontalAdvance(text) + MmToDots(2);
        const qreal leaderRight = body.right() - numberWidth - MmToDots(2);
        if (leaderRight > leaderLeft) {
            QPen dots(kGrey, PtToDots(0.8), Qt::DotLine);
            p.save();
            p.setPen(dots);
            p.drawLine(QPointF(leaderLeft, baseline), QPointF(leaderRight, baseline));
            p.restore();
        }
        y += step;
    }
}

void DrawHeaderAndFooter(QPainter& p, const QRectF& page, const QRectF& body, const QString& header,
                         const QString& footer, int pageNumber, int pageCount)
{
    p.save();
    p.setFont(HandbookFont(8));
    p.setPen(kGrey);
    const qreal headerBase = body.top() - MmToDots(7);
    if (!header.isEmpty()) {
        p.drawText(QPointF(body.left(), headerBase), header);
        p.setPen(QPen(QColor(0xc8, 0xd0, 0xd8), PtToDots(0.6)));
        p.drawLine(QPointF(body.left(), headerBase + MmToDots(2)), QPointF(body.right(), headerBase + MmToDots(2)));
        p.setPen(kGrey);
    }
    const qreal footerBase = page.bottom() - MmToDots(kBottomMm) + MmToDots(11);
    p.drawText(QPointF(body.left(), footerBase), footer);
    const QString number = QStringLiteral("Page %1 of %2").arg(pageNumber).arg(pageCount);
    const qreal width = QFontMetricsF(p.font()).horizontalAdvance(number);
    p.drawText(QPointF(body.right() - width, footerBase), number);
    p.restore();
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        err << "usage: make_handbook HANDBOOK.html COVER.svg OUTPUT.pdf\n";
        return 2;
    }
    const QString htmlPath = args.at(1);
    const QString coverPath = args.at(2);
    const QString outputPath = args.at(3);

    QFile source(htmlPath);
    if (!source.open(QIODevice::ReadOnly)) {
        err << "make_handbook: cannot read " << htmlPath << "\n";
        return 1;
    }
    const QString html = QString::fromUtf8(source.readAll());
    if (!QSvgRenderer(coverPath).isValid()) {
        err << "make_handbook: cannot read the cover picture " << coverPath << "\n";
        return 1;
    }

    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly)) {
        err << "make_handbook: cannot write " << outputPath << "\n";
        return 1;
    }
    QPdfWriter writer(&output);
    writer.setResolution(kResolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("QZR6100 handbook builder"));

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(HandbookFont(10));
    doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(htmlPath).absolutePath() + QLatin1Char('/')));
    doc.setHtml(html);
    const QStringList missing = MissingImages(doc);
    if (!missing.isEmpty()) {
        err << "make_handbook: these images of " << htmlPath << " cannot be loaded: " << missing.join(QStringLiteral(", "))
            << "\n";
        output.cancelWriting();
        return 1;
    }
    const QString title = doc.metaInformation(QTextDocument::DocumentTitle);
    writer.setTitle(title);

    const QRectF page(0, 0, writer.width(), writer.height());
    const QRectF body(MmToDots(kMarginMm), MmToDots(kTopMm), page.width() - 2 * MmToDots(kMarginMm),
                      page.height() - MmToDots(kTopMm) - MmToDots(kBottomMm));
    doc.setDocumentMargin(0);
    doc.setPageSize(body.size());
    LayOutPages(doc, html, body.height());
    const int bodyPages = doc.pageCount();

    // Page numbers of the contents depend on how many pages the contents
    // take, which depends only on the number of entries.
    const QList<Heading> provisional = CollectHeadings(doc, body.height(), 0);
    const int contentsPages = ContentsPageCount(provisional, body.height());
    const int firstBodyPage = 2 + contentsPages;
    const QList<Heading> headings = CollectHeadings(doc, body.height(), firstBodyPage);
    const int pageCount = 1 + contentsPages + bodyPages;
    const QString footer = title;

    QPainter p(&writer);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    DrawCover(p, page, coverPath, title, MetaContent(html, QStringLiteral("subtitle")));

    int pageNumber = 1;
    const auto startPage = [&](const QString& header) {
        writer.newPage();
        ++pageNumber;
        DrawHeaderAndFooter(p, page, body, header, footer, pageNumber, pageCount);
    };
    startPage(QString());
    DrawContents(p, body, headings, [&] { startPage(QString()); });

    for (int i = 0; i < bodyPages; ++i) {
        QString chapter;
        for (const Heading& h : headings) {
            if (h.level == 1 && h.page <= pageNumber + 1) chapter = h.text;
        }
        startPage(chapter);

        p.save();
        p.translate(body.left(), body.top() - i * body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, i * body.height(), body.width(), body.height());
        context.palette.setColor(QPalette::Text, Qt::black);
        p.setClipRect(context.clip);
        doc.documentLayout()->draw(&p, context);
        p.restore();
    }
    p.end();

    if (!output.commit()) {
        err << "make_handbook: cannot write " << outputPath << "\n";
        return 1;
    }
    QTextStream(stdout) << "make_handbook: " << outputPath << ", " << pageCount << " pages\n";
    return 0;
}
