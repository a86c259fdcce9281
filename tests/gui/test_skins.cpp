// The six shipped skins on real widgets: Qt parses each one, every image it
// names is there, the readouts keep their teal figures on a light face, and
// the style dialog fits its size. Also the skin engine's refusal of damaged
// files and the style dialog's wiring to the settings.

#include "acquisition/sys_settings.h"
#include "appearance/skin_file.h"
#include "appearance/style_settings.h"
#include "appearance/windows/style_dialog.h"
#include "appearance/windows/stylesheet_skin_engine.h"
#include "display/display_colors.h"
#include "support/recording_main_window_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

namespace {

const char* const kReadoutNames[15] = {"Panel_URMS", "Panel_IRMS", "Panel_UPP",  "Panel_IPP",  "Panel_UF",
                                       "Panel_IPA",  "Panel_WRMS", "Panel_PS",   "Panel_PQ",   "Panel_PF",
                                       "Panel_VTHD", "Panel_ITHD", "PANEL_IKF", "Panel_VKF", "Panel_KWH"};
const QColor kReadoutTeal(0, 128, 128);

QStringList gWarnings;
QtMessageHandler gPreviousHandler = nullptr;

void CollectWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg) gWarnings << message;
    if (gPreviousHandler) gPreviousHandler(type, context, message);
}

// One of every kind of control the program's windows use.
std::unique_ptr<QMainWindow> BuildWidgetTree()
{
    auto window = std::make_unique<QMainWindow>();
    QMenu* menu = window->menuBar()->addMenu(QStringLiteral("File(&F)"));
    menu->addAction(QStringLiteral("Open"));
    menu->addAction(QStringLiteral("Disabled"))->setEnabled(false);
    QToolBar* bar = window->addToolBar(QStringLiteral("Tools"));
    bar->addAction(QStringLiteral("Single sampling"));
    bar->addAction(QStringLiteral("Stop"))->setEnabled(false);

    auto* central = new QWidget;
    window->setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);
    auto* group = new QGroupBox(QStringLiteral("Measurement Parameters "));
    auto* groupLayout = new QHBoxLayout(group);
    for (const char* name : kReadoutNames) {
        auto* readout = new QLabel(QStringLiteral("230.01V"));
        readout->setObjectName(QString::fromLatin1(name));
        readout->setAutoFillBackground(true);
        groupLayout->addWidget(readout);
    }
    layout->addWidget(group);
    auto* button = new QPushButton(QStringLiteral("Close"));
    button->setDefault(true);
    layout->addWidget(button);
    layout->addWidget(new QRadioButton(QStringLiteral("Skin 1")));
    auto* check = new QCheckBox(QStringLiteral("Alarm"));
    check->setTristate(true);
    check->setCheckState(Qt::PartiallyChecked);
    layout->addWidget(check);
    auto* combo = new QComboBox;
    combo->addItems({QStringLiteral("9600"), QStringLiteral("19200")});
    layout->addWidget(combo);
    layout->addWidget(new QLineEdit(QStringLiteral("2")));
    layout->addWidget(new QSpinBox);
    layout->addWidget(new QDoubleSpinBox);
    auto* table = new QTableWidget(3, 3);
    table->setHorizontalHeaderLabels({QStringLiteral("Order"), QStringLiteral("U"), QStringLiteral("I")});
    layout->addWidget(table);
    layout->addWidget(new QScrollBar(Qt::Horizontal));
    layout->addWidget(new QSlider(Qt::Horizontal));
    layout->addWidget(new QProgressBar);
    auto* tabs = new QTabWidget;
    tabs->addTab(new QWidget, QStringLiteral("One"));
    tabs->addTab(new QWidget, QStringLiteral("Two"));
    layout->addWidget(tabs);
    window->statusBar()->addWidget(new QLabel(QStringLiteral("Connection: Connecting")), 1);
    return window;
}

double Lightness(const QColor& c) { return c.lightnessF(); }

} // namespace

class SkinsTest : public QObject {
    Q_OBJECT

    QString programFolder;  // holds SkinsFile/, beside the program
    QTemporaryDir dir;
    StylesheetSkinEngine engine;

    QString skinPath(int skin) const { return StyleTables::SkinFilePath(programFolder, skin); }

private slots:
    void initTestCase()
    {
        // The skins are found beside the executable, where the build copies them.
        const QString app = qEnvironmentVariable("QZ_APP_BINARY");
        programFolder = app.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/..")
                                      : QFileInfo(app).absolutePath();
        for (int skin = 1; skin <= 6; ++skin)
            QVERIFY2(QFileInfo::exists(skinPath(skin)), qPrintable(skinPath(skin)));
        gPreviousHandler = qInstallMessageHandler(CollectWarnings);
    }

    void cleanupTestCase()
    {
        qInstallMessageHandler(gPreviousHandler);
        qApp->setStyleSheet(QString());
    }

    void init()
    {
        gWarnings.clear();
        engine.switchOff();
    }

    void shippedSkin_data()
    {
        QTest::addColumn<int>("skin");
        for (int skin = 1; skin <= 6; ++skin) QTest::addRow("skin %d", skin) << skin;
    }

    void shippedSkin()
    {
        QFETCH(int, skin);
        QString error;
        QVERIFY2(engine.load(skinPath(skin), &error), qPrintable(error));
        QVERIFY(engine.isOn());
        QCOMPARE(engine.currentPath(), skinPath(skin));

        std::unique_ptr<QMainWindow> window = BuildWidgetTree();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (const QString& warning : gWarnings)
            QVERIFY2(!warning.contains(QLatin1String("stylesheet"), Qt::CaseInsensitive), qPrintable(warning));

        // Readouts: teal figures on a light face, whatever the rest looks like.
        for (const char* name : kReadoutNames) {
            auto* readout = window->findChild<QLabel*>(QString::fromLatin1(name));
            QVERIFY(readout);
            QCOMPARE(readout->palette().color(QPalette::WindowText), kReadoutTeal);
            QVERIFY2(Lightness(readout->palette().color(QPalette::Window)) > 0.9, name);
        }
        // Text on the window and on the input fields stands apart from its background.
        const QPalette windowPalette = window->centralWidget()->findChild<QRadioButton*>()->palette();
        QVERIFY(qAbs(Lightness(windowPalette.color(QPalette::WindowText)) - Lightness(window->palette().color(QPalette::Window))) > 0.5);
        const QPalette editPalette = window->centralWidget()->findChild<QLineEdit*>()->palette();
        QVERIFY(qAbs(Lightness(editPalette.color(QPalette::Text)) - Lightness(editPalette.color(QPalette::Base))) > 0.5);
    }

    void everyImageASkinNamesIsThere_data() { shippedSkin_data(); }
    void everyImageASkinNamesIsThere()
    {
        QFETCH(int, skin);
        QString sheet;
        QVERIFY(SkinFile::Read(skinPath(skin), &sheet, nullptr));
        sheet = SkinFile::ResolveUrls(sheet, QFileInfo(skinPath(skin)).absolutePath());
        static const QRegularExpression kUrl(QStringLiteral("url\\(\"([^\"]+)\"\\)"));
        int images = 0;
        for (const QRegularExpressionMatch& m : kUrl.globalMatch(sheet)) {
            QImageReader reader(m.captured(1));
            QVERIFY2(reader.canRead(), qPrintable(m.captured(1)));
            ++images;
        }
        QVERIFY(images > 0);
    }

    void skinsAreDistinct()
    {
        QList<QImage> looks;
        for (int skin = 1; skin <= 6; ++skin) {
            QVERIFY(engine.load(skinPath(skin), nullptr));
            std::unique_ptr<QMainWindow> window = BuildWidgetTree();
            window->resize(400, 600);
            looks << window->grab().toImage();
        }
        for (int a = 0; a < looks.size(); ++a)
            for (int b = a + 1; b < looks.size(); ++b) QVERIFY2(looks[a] != looks[b], qPrintable(QString("%1 and %2").arg(a + 1).arg(b + 1)));
    }

    void styleDialogFitsInEverySkin_data() { shippedSkin_data(); }
    void styleDialogFitsInEverySkin()
    {
        QFETCH(int, skin);
        QVERIFY(engine.load(skinPath(skin), nullptr));
        SysSettings settings(dir.filePath(QStringLiteral("fits.ini")));
        settings.writeInt(SysSetKeys::Skin, 1);
        DisplayColors colors;
        RecordingMainWindowView view;
        StyleDialog dialog(StyleServices{settings, colors, engine, view, programFolder, {}});
        const QSize needed = dialog.minimumSizeHint();
        QVERIFY2(needed.width() <= StyleDialog::kWidth && needed.height() <= StyleDialog::kHeight,
                 qPrintable(QString("%1x%2").arg(needed.width()).arg(needed.height())));
        QCOMPARE(dialog.size(), QSize(StyleDialog::kWidth, StyleDialog::kHeight));
    }

    void damagedSkinLeavesTheCurrentLook_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unbalanced braces") << QByteArray("QPushButton { color: red;\n") << QString("style sheet");
        QTest::newRow("empty") << QByteArray("") << QString("empty");
    }
    void damagedSkinLeavesTheCurrentLook()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QVERIFY(engine.load(skinPath(3), nullptr));
        const QString look = qApp->styleSheet();

        const QString path = dir.filePath(QStringLiteral("damaged.vqs"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        QString error;
        QVERIFY(!engine.load(path, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QVERIFY(!engine.load(dir.filePath(QStringLiteral("missing.vqs")), &error));
        QCOMPARE(qApp->styleSheet(), look);
        QCOMPARE(engine.currentPath(), skinPath(3));

        engine.switchOff();
        QVERIFY(qApp->styleSheet().isEmpty());
        QVERIFY(!engine.isOn());
    }

    void styleDialogChoices()
    {
        // A program folder with skins 1 and 4 only.
        QTemporaryDir program;
        QVERIFY(QDir(program.path()).mkpath(QStringLiteral("SkinsFile")));
        for (int skin : {1, 4}) QVERIFY(QFile::copy(skinPath(skin), StyleTables::SkinFilePath(program.path(), skin)));
        SysSettings settings(program.filePath(QStringLiteral("SysSet.ini")));
        settings.writeInt(SysSetKeys::Skin, 1);
        DisplayColors colors;
        RecordingMainWindowView view;
        QStringList problems;
        StyleDialog dialog(StyleServices{settings, colors, engine, view, program.path(),
                                         [&problems](const QString& text) { problems << text; }});
        QCOMPARE(dialog.windowTitle(), QStringLiteral(" Style "));
        auto button = [&dialog](const QString& text) {
            for (QRadioButton* b : dialog.findChildren<QRadioButton*>())
                if (b->text() == text) return b;
            return static_cast<QRadioButton*>(nullptr);
        };
        QVERIFY(button(QStringLiteral("Skin 1"))->isChecked());
        QVERIFY(button(QStringLiteral(" Gray"))->isChecked());
        QVERIFY(button(QStringLiteral(" Light Black"))->isChecked());

        button(QStringLiteral("Skin 4"))->click();
        QCOMPARE(engine.currentPath(), StyleTables::SkinFilePath(program.path(), 4));
        QCOMPARE(settings.readInt(SysSetKeys::Skin), 4);
        QVERIFY(button(QStringLiteral("Skin 4"))->isChecked());

        // Skin 3 is not there: the look, the key and the selection stay.
        button(QStringLiteral("Skin 3"))->click();
        QCOMPARE(engine.currentPath(), StyleTables::SkinFilePath(program.path(), 4));
        QCOMPARE(settings.readInt(SysSetKeys::Skin), 4);
        QVERIFY(button(QStringLiteral("Skin 4"))->isChecked());
        QVERIFY(!button(QStringLiteral("Skin 3"))->isChecked());
        QCOMPARE(problems.size(), 1);

        button(QStringLiteral("WINDOWS"))->click();
        QVERIFY(qApp->styleSheet().isEmpty());
        QCOMPARE(settings.readInt(SysSetKeys::Skin), 0);

        const int redraws = view.redraws;
        button(QStringLiteral(" White"))->click();
        button(QStringLiteral(" Yellow"))->click();
        QCOMPARE(colors.GraphBackgroundColor, QColor(255, 255, 255));
        QCOMPARE(colors.ScaleColor, QColor(239, 239, 0));
        QCOMPARE(view.redraws, redraws + 2);
        QCOMPARE(settings.readInt(SysSetKeys::WaveBackground), 1);
        QCOMPARE(settings.readInt(SysSetKeys::ScaleColor), 1);

        auto* close = dialog.findChild<QPushButton*>();
        QCOMPARE(close->text(), QStringLiteral("Close"));
        dialog.show();
        close->click();
        QVERIFY(!dialog.isVisible());
    }

    void storedValueThatNamesNoItemSelectsNothing()
    {
        SysSettings settings(dir.filePath(QStringLiteral("none.ini")));
        settings.writeInt(SysSetKeys::Skin, 9);
        settings.writeInt(SysSetKeys::WaveBackground, 5);
        settings.writeInt(SysSetKeys::ScaleColor, -1);
        DisplayColors colors{QColor(0, 0, 0), QColor(0, 0, 0)};
        RecordingMainWindowView view;
        StyleDialog dialog(StyleServices{settings, colors, engine, view, programFolder, {}});
        for (QRadioButton* b : dialog.findChildren<QRadioButton*>()) QVERIFY2(!b->isChecked(), qPrintable(b->text()));
        QCOMPARE(colors.GraphBackgroundColor, QColor(0, 0, 0));
        QCOMPARE(view.redraws, 0);
    }
};

QTEST_MAIN(SkinsTest)
#include "test_skins.moc"
