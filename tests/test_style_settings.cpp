// The style choices: SysSet.ini keys read at start and written on each
// choice, the two colour tables, and what reaches the skin engine and the
// main window. The engine is a fake, so no widget is needed.

#include "acquisition/sys_settings.h"
#include "appearance/skin_file.h"
#include "appearance/style_settings.h"
#include "display/display_colors.h"
#include "support/recording_main_window_view.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class FakeSkinEngine : public SkinEngine {
public:
    bool load(const QString& path, QString* error) override
    {
        calls << QStringLiteral("load ") + QDir(folder).relativeFilePath(path);
        if (failing.contains(QDir(folder).relativeFilePath(path))) {
            if (error) *error = QStringLiteral("the file does not exist");
            return false;
        }
        current = QDir(folder).relativeFilePath(path);
        return true;
    }
    void switchOff() override
    {
        calls << QStringLiteral("off");
        current = QStringLiteral("off");
    }

    QString folder;
    QStringList failing;  // skin files, relative to folder, that fail to load
    QStringList calls;
    QString current = QStringLiteral("built-in");
};

const QColor kBlack(0, 0, 0);

} // namespace

class StyleSettingsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString iniPath;
    std::unique_ptr<SysSettings> settings;
    DisplayColors colors;
    FakeSkinEngine engine;
    RecordingMainWindowView view;
    QStringList problems;

    StyleServices services()
    {
        return StyleServices{*settings, colors, engine, view, dir.path(),
                             [this](const QString& text) { problems << text; }};
    }

    void writeIni(const QByteArray& text)
    {
        QFile f(iniPath);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray iniText() const
    {
        QFile f(iniPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString skinKey() const { return settings->readText(SysSetKeys::Skin); }

private slots:
    void init()
    {
        iniPath = dir.filePath(QStringLiteral("SysSet.ini"));
        QFile::remove(iniPath);
        settings = std::make_unique<SysSettings>(iniPath);
        // Until the style dialog exists the plots are drawn in black.
        colors.GraphBackgroundColor = kBlack;
        colors.ScaleColor = kBlack;
        engine = FakeSkinEngine();
        engine.folder = dir.path();
        view = RecordingMainWindowView();
        problems.clear();
    }

    void tablesAndFileNames()
    {
        QCOMPARE(StyleTables::BackgroundColor(0), QColor(0, 0, 0));
        QCOMPARE(StyleTables::BackgroundColor(1), QColor(255, 255, 255));
        QCOMPARE(StyleTables::BackgroundColor(2), QColor(238, 238, 238));
        QCOMPARE(StyleTables::ScaleColor(0), QColor(0, 128, 128));
        QCOMPARE(StyleTables::ScaleColor(1), QColor(239, 239, 0));
        QCOMPARE(StyleTables::ScaleColor(2), QColor(170, 170, 170));
        QVERIFY(!StyleTables::BackgroundColor(3).isValid());
        QVERIFY(!StyleTables::ScaleColor(-1).isValid());
        QCOMPARE(StyleTables::SkinFileName(1), QStringLiteral("SkinsFile/01.vqs"));
        QCOMPARE(StyleTables::SkinFileName(6), QStringLiteral("SkinsFile/06.vqs"));
        QCOMPARE(StyleTables::SkinFilePath(QStringLiteral("/opt/qz"), 3), QStringLiteral("/opt/qz/SkinsFile/03.vqs"));
    }

    void noSettingsFileGivesSkinTwoGrayAndLightBlack()
    {
        LoadStartupStyle(services());
        StyleSettings style(services());
        style.restore();

        // Loaded by the start-up, and again when the dialog's selection moves
        // from its design-time item 1 to the stored 2.
        QCOMPARE(engine.calls, QStringList({"load SkinsFile/02.vqs", "load SkinsFile/02.vqs"}));
        QCOMPARE(style.skinItem(), 2);
        QCOMPARE(style.backgroundItem(), 2);
        QCOMPARE(style.scaleItem(), 2);
        QCOMPARE(colors.GraphBackgroundColor, QColor(238, 238, 238));
        QCOMPARE(colors.ScaleColor, QColor(170, 170, 170));
        QCOMPARE(view.redraws, 2);
        QCOMPARE(settings->readText(SysSetKeys::Skin), QStringLiteral("2"));
        QCOMPARE(settings->readText(SysSetKeys::WaveBackground), QStringLiteral("2"));
        QCOMPARE(settings->readText(SysSetKeys::ScaleColor), QStringLiteral("2"));
        QVERIFY(problems.isEmpty());
    }

    void startupSkin_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("0 switches off") << QByteArray("0") << QStringList{"off"};
        QTest::newRow("1") << QByteArray("1") << QStringList{"load SkinsFile/01.vqs"};
        QTest::newRow("6") << QByteArray("6") << QStringList{"load SkinsFile/06.vqs"};
        QTest::newRow("7 does nothing") << QByteArray("7") << QStringList{};
        QTest::newRow("-1 does nothing") << QByteArray("-1") << QStringList{};
        QTest::newRow("letters read as 2") << QByteArray("dark") << QStringList{"load SkinsFile/02.vqs"};
        QTest::newRow("fraction read as 2") << QByteArray("3.0") << QStringList{"load SkinsFile/02.vqs"};
        QTest::newRow("empty read as 2") << QByteArray("") << QStringList{"load SkinsFile/02.vqs"};
    }
    void startupSkin()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QStringList, calls);
        writeIni("[SkinSet]\nSkin=" + stored + "\n");
        LoadStartupStyle(services());
        QCOMPARE(engine.calls, calls);
        QCOMPARE(iniText(), QByteArray("[SkinSet]\nSkin=" + stored + "\n"));
        QCOMPARE(view.redraws, 0);
    }

    // What creating the dialog does with the stored skin, after the start-up
    // has applied it.
    void dialogCreationSkin_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QStringList>("dialogCalls");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("keyAfter");
        // The blank shows whether the key was written back: a write drops it.
        QTest::newRow("1: already selected") << QByteArray(" 1") << QStringList{} << 1 << QString(" 1");
        QTest::newRow("0") << QByteArray(" 0") << QStringList{"off"} << 0 << QString("0");
        QTest::newRow("4") << QByteArray(" 4") << QStringList{"load SkinsFile/04.vqs"} << 4 << QString("4");
        QTest::newRow("9 names no item") << QByteArray(" 9") << QStringList{} << -1 << QString(" 9");
        QTest::newRow("-2 names no item") << QByteArray("-2") << QStringList{} << -1 << QString("-2");
        QTest::newRow("letters read as 2") << QByteArray("x1") << QStringList{"load SkinsFile/02.vqs"} << 2
                                           << QString("2");
    }
    void dialogCreationSkin()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QStringList, dialogCalls);
        QFETCH(int, item);
        QFETCH(QString, keyAfter);
        writeIni("[SkinSet]\nSkin=" + stored + "\n");
        LoadStartupStyle(services());
        const QStringList startupCalls = engine.calls;
        StyleSettings style(services());
        style.restore();
        QCOMPARE(engine.calls.mid(startupCalls.size()), dialogCalls);
        QCOMPARE(style.skinItem(), item);
        QVERIFY(iniText().contains("Skin=" + keyAfter.toLatin1() + "\n"));
    }

    void skinOneAtStartIsLoadedOnceAndNotWrittenBack()
    {
        writeIni("[SkinSet]\nSkin=1\n[WaveSet]\nWaveBackground=0\nScaleColor=1\n");
        LoadStartupStyle(services());
        StyleSettings style(services());
        style.restore();
        QCOMPARE(engine.calls, QStringList{"load SkinsFile/01.vqs"});
        QCOMPARE(style.skinItem(), 1);
        QCOMPARE(iniText(), QByteArray("[SkinSet]\nSkin=1\n[WaveSet]\nWaveBackground=0\nScaleColor=1\n"));
        QCOMPARE(colors.GraphBackgroundColor, QColor(0, 0, 0));
        QCOMPARE(colors.ScaleColor, QColor(239, 239, 0));
    }

    void storedColours_data()
    {
        QTest::addColumn<QByteArray>("background");
        QTest::addColumn<QByteArray>("scale");
        QTest::addColumn<int>("backgroundItem");
        QTest::addColumn<int>("scaleItem");
        QTest::addColumn<QColor>("backgroundColor");
        QTest::addColumn<QColor>("scaleColor");
        QTest::addColumn<int>("redraws");
        QTest::newRow("black, blue-green") << QByteArray("0") << QByteArray("0") << 0 << 0 << QColor(0, 0, 0)
                                           << QColor(0, 128, 128) << 2;
        QTest::newRow("white, yellow") << QByteArray("1") << QByteArray("1") << 1 << 1 << QColor(255, 255, 255)
                                       << QColor(239, 239, 0) << 2;
        QTest::newRow("5 and 3 select nothing") << QByteArray("5") << QByteArray("3") << -1 << -1 << kBlack
                                                << kBlack << 0;
        QTest::newRow("negative selects nothing") << QByteArray("-1") << QByteArray("2") << -1 << 2 << kBlack
                                                  << QColor(170, 170, 170) << 1;
        QTest::newRow("letters read as 2") << QByteArray("gray") << QByteArray("0x1") << 2 << 2
                                           << QColor(238, 238, 238) << QColor(170, 170, 170) << 2;
    }
    void storedColours()
    {
        QFETCH(QByteArray, background);
        QFETCH(QByteArray, scale);
        QFETCH(int, backgroundItem);
        QFETCH(int, scaleItem);
        QFETCH(QColor, backgroundColor);
        QFETCH(QColor, scaleColor);
        QFETCH(int, redraws);
        writeIni("[SkinSet]\nSkin=1\n[WaveSet]\nWaveBackground=" + background + "\nScaleColor=" + scale + "\n");
        StyleSettings style(services());
        style.restore();
        QCOMPARE(style.backgroundItem(), backgroundItem);
        QCOMPARE(style.scaleItem(), scaleItem);
        QCOMPARE(colors.GraphBackgroundColor, backgroundColor);
        QCOMPARE(colors.ScaleColor, scaleColor);
        QCOMPARE(view.redraws, redraws);
        // A selected item is written back as its index; no selection writes nothing.
        QCOMPARE(settings->readText(SysSetKeys::WaveBackground),
                 backgroundItem < 0 ? QString::fromLatin1(background) : QString::number(backgroundItem));
        QCOMPARE(settings->readText(SysSetKeys::ScaleColor),
                 scaleItem < 0 ? QString::fromLatin1(scale) : QString::number(scaleItem));
    }

    void userChoicesTakeEffectAndAreStored()
    {
        StyleSettings style(services());
        style.restore();
        engine.calls.clear();
        view.redraws = 0;

        style.skinChosen(5);
        style.skinChosen(0);
        QCOMPARE(engine.calls, QStringList({"load SkinsFile/05.vqs", "off"}));
        QCOMPARE(style.skinItem(), 0);
        QCOMPARE(skinKey(), QStringLiteral("0"));

        // Choosing the selected skin again loads it again, as a click on it does.
        style.skinChosen(0);
        QCOMPARE(engine.calls.size(), 3);

        style.backgroundChosen(0);
        QCOMPARE(colors.GraphBackgroundColor, QColor(0, 0, 0));
        QCOMPARE(view.redraws, 1);
        style.scaleChosen(1);
        QCOMPARE(colors.ScaleColor, QColor(239, 239, 0));
        QCOMPARE(view.redraws, 2);
        QCOMPARE(settings->readText(SysSetKeys::WaveBackground), QStringLiteral("0"));
        QCOMPARE(settings->readText(SysSetKeys::ScaleColor), QStringLiteral("1"));

        // Items that do not exist are not choices.
        style.skinChosen(7);
        style.backgroundChosen(3);
        style.scaleChosen(-1);
        QCOMPARE(engine.calls.size(), 3);
        QCOMPARE(view.redraws, 2);
        QCOMPARE(style.backgroundItem(), 0);
        QCOMPARE(style.scaleItem(), 1);
        QVERIFY(problems.isEmpty());
    }

    void missingSkinKeepsTheCurrentOneAndSaysSo()
    {
        writeIni("[SkinSet]\nSkin=3\n");
        engine.failing = QStringList{"SkinsFile/04.vqs"};
        LoadStartupStyle(services());
        StyleSettings style(services());
        style.restore();
        QCOMPARE(style.skinItem(), 3);

        style.skinChosen(4);
        QCOMPARE(engine.current, QStringLiteral("SkinsFile/03.vqs"));
        QCOMPARE(style.skinItem(), 3);
        QCOMPARE(skinKey(), QStringLiteral("3"));
        QCOMPARE(problems.size(), 1);
        QVERIFY(problems[0].contains(QStringLiteral("Skin 4")));
        QVERIFY(problems[0].contains(QDir::toNativeSeparators(dir.filePath("SkinsFile/04.vqs"))));
        QVERIFY(problems[0].contains(QStringLiteral("the file does not exist")));
    }

    void missingSkinAtStartKeepsTheBuiltInLook()
    {
        engine.failing = QStringList{"SkinsFile/02.vqs"};
        LoadStartupStyle(services());
        QCOMPARE(engine.current, QStringLiteral("built-in"));
        QCOMPARE(problems.size(), 1);

        StyleSettings style(services());
        style.restore();
        QCOMPARE(engine.current, QStringLiteral("built-in"));
        // Nothing is written for a skin that is not in use; the colours still are.
        QCOMPARE(settings->readText(SysSetKeys::Skin), QStringLiteral("2"));
        QVERIFY(!iniText().contains("Skin="));
        QCOMPARE(colors.GraphBackgroundColor, QColor(238, 238, 238));
    }

    void skinFileReading_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("reason");
        QTest::newRow("style sheet") << QByteArray("QPushButton { color: #123456; }\n") << true << QString();
        QTest::newRow("with byte order mark") << QByteArray("\xEF\xBB\xBFQLabel { color: red; }") << true
                                              << QString();
        QTest::newRow("empty") << QByteArray() << false << QString("empty");
        QTest::newRow("blank lines") << QByteArray("\n \n\t\n") << false << QString("empty");
        QTest::newRow("binary") << QByteArray("QLabel\0\x01\x02", 9) << false << QString("not text");
        QTest::newRow("not UTF-8") << QByteArray("QLabel { color: \xff\xfe; }") << false << QString("UTF-8");
        QTest::newRow("too large") << QByteArray(int(SkinFile::kMaxBytes) + 1, ' ') << false
                                   << QString("too large");
    }
    void skinFileReading()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, accepted);
        QFETCH(QString, reason);
        const QString path = dir.filePath(QStringLiteral("skin.vqs"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        QString sheet, error;
        QCOMPARE(SkinFile::Read(path, &sheet, &error), accepted);
        if (accepted) {
            QVERIFY(sheet.startsWith(QLatin1String("Q")));
        } else {
            QVERIFY2(error.contains(reason), qPrintable(error));
            QVERIFY(sheet.isEmpty());
        }
    }

    void skinFileThatCannotBeRead()
    {
        QString error;
        QVERIFY(!SkinFile::Read(dir.filePath(QStringLiteral("none.vqs")), nullptr, &error));
        QVERIFY(error.contains(QStringLiteral("does not exist")));
        QVERIFY(!SkinFile::Read(dir.path(), nullptr, &error));
        QVERIFY(error.contains(QStringLiteral("not a file")));
    }

    void skinFileWithoutReadPermission()
    {
        QString error;
        const QString path = dir.filePath(QStringLiteral("locked.vqs"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("QLabel { color: red; }");
        f.close();
        QVERIFY(f.setPermissions(QFileDevice::WriteOwner));
        if (QFile(path).open(QIODevice::ReadOnly)) QSKIP("running with rights that ignore file permissions");
        QVERIFY(!SkinFile::Read(path, nullptr, &error));
        QVERIFY(!error.isEmpty());
    }

    void imagePathsAreResolvedAgainstTheSkinFolder_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bare") << "QCheckBox::indicator:checked { image: url(02/check.svg); }"
                              << "QCheckBox::indicator:checked { image: url(\"/opt/q z/SkinsFile/02/check.svg\"); }";
        QTest::newRow("quoted, blanks inside")
            << "a { image: url( '02/down.svg' ); } b { image: url(\"up.svg\") }"
            << "a { image: url(\"/opt/q z/SkinsFile/02/down.svg\"); } b { image: url(\"/opt/q z/SkinsFile/up.svg\") }";
        QTest::newRow("resource, absolute and scheme kept")
            << "a { image: url(:/icons/x.svg); b: url(/usr/share/x.png); c: url(file:///x.png); }"
            << "a { image: url(:/icons/x.svg); b: url(/usr/share/x.png); c: url(file:///x.png); }";
        QTest::newRow("empty and comment text kept") << "/* url() is relative */ a { color: red; }"
                                                     << "/* url() is relative */ a { color: red; }";
    }
    void imagePathsAreResolvedAgainstTheSkinFolder()
    {
        QFETCH(QString, sheet);
        QFETCH(QString, expected);
        QCOMPARE(SkinFile::ResolveUrls(sheet, QStringLiteral("/opt/q z/SkinsFile")), expected);
    }
};

QTEST_GUILESS_MAIN(StyleSettingsTest)
#include "test_style_settings.moc"
