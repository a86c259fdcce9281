// The translation files keep step with the code: lupdate run over the
// sources into a copy of each .ts finds no text without a translation and
// no translation whose text the code no longer has; every translation keeps
// the placeholders of its source and reads without Chinese.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    QString type;  // "", "unfinished", "vanished", "obsolete"
};

QList<Message> ReadTs(const QString& path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name")) context = xml.readElementText();
        else if (xml.name() == QLatin1String("message")) m = Message{context, {}, {}, {}};
        else if (xml.name() == QLatin1String("source")) m.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            m.type = xml.attributes().value(QLatin1String("type")).toString();
            // A plural text keeps its forms in child elements; they are read as one.
            m.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages << m;
        }
    }
    return messages;
}

QSet<QString> Placeholders(const QString& text)
{
    static const QRegularExpression kArg(QStringLiteral("%[0-9]+"));
    QSet<QString> found;
    for (auto it = kArg.globalMatch(text); it.hasNext();) found << it.next().captured();
    return found;
}

} // namespace

class TranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void everyTextHasItsTranslationAndNoneIsStale()
    {
        const QDir translations(QStringLiteral(QZ_SOURCE_DIR "/translations"));
        const QStringList files = translations.entryList({QStringLiteral("*.ts")});
        QVERIFY(!files.isEmpty());
        for (const QString& name : files) {
            QTemporaryDir dir;
            const QString copy = dir.filePath(name);
            QVERIFY(QFile::copy(translations.filePath(name), copy));
            QProcess lupdate;
            lupdate.start(QStringLiteral(QZ_LUPDATE),
                          {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                           QStringLiteral(QZ_SOURCE_DIR "/src"), QStringLiteral("-ts"), copy});
            QVERIFY(lupdate.waitForFinished(120000));
            QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());

            const QList<Message> messages = ReadTs(copy);
            QVERIFY(messages.size() > 100);
            QStringList problems;
            static const QRegularExpression kCjk(QStringLiteral("[\\x{3000}-\\x{303F}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
            for (const Message& m : messages) {
                const QString where = m.context + QStringLiteral(" \"") + m.source + QLatin1Char('"');
                if (m.type == QLatin1String("unfinished") || m.translation.isEmpty())
                    problems << where + QStringLiteral(": no translation");
                else if (!m.type.isEmpty())
                    problems << where + QStringLiteral(": no longer in the code (") + m.type + QLatin1Char(')');
                else if (Placeholders(m.translation) != Placeholders(m.source))
                    problems << where + QStringLiteral(": placeholders differ");
                else if (name.endsWith(QLatin1String("_en.ts")) && kCjk.match(m.translation).hasMatch())
                    problems << where + QStringLiteral(": Chinese in the English text");
            }
            QVERIFY2(problems.isEmpty(), qPrintable(name + QStringLiteral(":\n") + problems.join(QLatin1Char('\n'))));
        }
    }
};

QTEST_GUILESS_MAIN(TranslationsTest)
#include "test_translations.moc"
