// The handbook the Manual command opens: built at build time into
// PdfDoc/Handbook.pdf beside the executable. A broken build step would leave
// the menu item opening nothing, or a PDF with blank pages or missing text.

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

class HandbookTest : public QObject {
    Q_OBJECT

    QByteArray pdf;
    QString path;

    static QString HandbookPath()
    {
        // The program's path comes from the test environment; run by hand,
        // the test sits in tests/ under the build tree, beside which the
        // program is built.
        const QByteArray app = qgetenv("QZ_APP_BINARY");
        const QString dir = app.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/..")
                                          : QFileInfo(QString::fromLocal8Bit(app)).absolutePath();
        return dir + QStringLiteral("/PdfDoc/Handbook.pdf");
    }

    int count(const QRegularExpression& re) const
    {
        int n = 0;
        auto it = re.globalMatch(QString::fromLatin1(pdf));
        while (it.hasNext()) {
            it.next();
            ++n;
        }
        return n;
    }

private slots:
    void initTestCase()
    {
        path = HandbookPath();
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(QStringLiteral("cannot open %1").arg(path)));
        pdf = file.readAll();
    }

    void isACompletePdfFile()
    {
        QVERIFY2(pdf.size() > 50 * 1024, qPrintable(QStringLiteral("%1 bytes only").arg(pdf.size())));
        QVERIFY(pdf.startsWith("%PDF-1."));
        // A writer that stopped half-way leaves no trailer.
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        QVERIFY(pdf.contains("trailer"));
        QVERIFY(pdf.contains("startxref"));
    }

    void hasAPlausibleNumberOfPages()
    {
        const int pages = count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![A-Za-z])")));
        // Cover, contents and a dozen chapters: well over ten pages, and a
        // runaway layout (an image or table repeated page after page) would
        // give hundreds.
        QVERIFY2(pages >= 12 && pages <= 120, qPrintable(QStringLiteral("%1 pages").arg(pages)));
        const QRegularExpression pageCount(QStringLiteral("/Type\\s*/Pages\\b[^>]*?/Count\\s+(\\d+)"),
                                           QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch m = pageCount.match(QString::fromLatin1(pdf));
        if (m.hasMatch()) QCOMPARE(m.captured(1).toInt(), pages);
    }

    void embedsTheFontsOfItsTexts_data()
    {
        QTest::addColumn<QString>("fontPattern");
        QTest::newRow("body text") << QStringLiteral("/BaseFont\\s*/[A-Z+]*DejaVuSans(?![-A-Za-z])");
        QTest::newRow("headings") << QStringLiteral("/BaseFont\\s*/[A-Z+]*DejaVuSans-Bold");
        // The Chinese captions of the instrument windows need a CJK font; without
        // one they would come out as empty boxes.
        QTest::newRow("Chinese") << QStringLiteral("/BaseFont\\s*/[A-Z+]*NotoSansCJK");
    }

    void embedsTheFontsOfItsTexts()
    {
        QFETCH(QString, fontPattern);
        QVERIFY2(count(QRegularExpression(fontPattern)) >= 1, qPrintable(fontPattern));
        QVERIFY(count(QRegularExpression(QStringLiteral("/FontFile2?\\s"))) >= 1);
    }

    void carriesItsScreenshotsAndTitle()
    {
        QVERIFY(count(QRegularExpression(QStringLiteral("/Subtype\\s*/Image"))) >= 3);
        // The document title goes into the PDF's information, as UTF-16.
        const QString title = QStringLiteral("QZR6100 Power Analyser");
        QByteArray utf16;
        for (QChar c : title) {
            utf16.append(char(c.unicode() >> 8));
            utf16.append(char(c.unicode() & 0xff));
        }
        QVERIFY(pdf.contains(utf16));
    }
};

QTEST_GUILESS_MAIN(HandbookTest)
#include "test_handbook.moc"
