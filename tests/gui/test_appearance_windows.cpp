// The small windows around the main window: the start-up picture, the
// version window and the instrument address window, on their own and as
// the running program (against the simulated instrument) shows them.

#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "appearance/windows/artwork.h"
#include "appearance/windows/splash_window.h"
#include "appearance/windows/version_window.h"
#include "pty_simulator.h"
#include "settings/windows/address_reset_dialog.h"
#include "support/test_support.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kAddress = QStringLiteral("https://example.test/qzr6100/");

QSet<QWidget*> VisibleTopLevels()
{
    QSet<QWidget*> visible;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) visible.insert(w);
    }
    return visible;
}

int CountWrites(const std::vector<std::vector<uint8_t>>& frames)
{
    int n = 0;
    for (const auto& f : frames) {
        if (f.size() > 1 && (f[1] == 0x10 || f[1] == 0x06)) ++n;
    }
    return n;
}

} // namespace

class AppearanceWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void versionWindowTexts_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("text");
        QTest::newRow("number") << "VersionNumberLabel" << "Version Number : QZR6100_S_01";
        QTest::newRow("title") << "VersionTitleLabel" << "Version Title : QZR6100 Software";
        QTest::newRow("date") << "DateLabel" << "Date : 2011-10-08";
        // The window's own spelling, followed by the address it was given.
        QTest::newRow("website") << "WebsiteLabel" << "Wedsite: https://example.test/qzr6100/";
        QTest::newRow("company") << "CompanyLabel" << "Velquor Power Measurement Instruments";
    }

    void versionWindowTexts()
    {
        QFETCH(QString, objectName);
        QFETCH(QString, text);
        VersionWindow window(kAddress);
        auto* label = window.findChild<QLabel*>(objectName);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(window.windowTitle(), QStringLiteral("Version"));
        auto* enter = window.findChild<QPushButton*>("EnterButton");
        QVERIFY(enter);
        QCOMPARE(enter->text(), QStringLiteral("Enter"));
    }

    void versionWindowHasAFixedFrameAndItsLogo()
    {
        VersionWindow window(kAddress);
        QCOMPARE(window.objectName(), QStringLiteral("TVForm"));
        QCOMPARE(window.size(), QSize(316, 137));
        QCOMPARE(window.minimumSize(), QSize(316, 137));
        QCOMPARE(window.maximumSize(), QSize(316, 137));
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowSystemMenuHint);

        auto* logo = window.findChild<QLabel*>("LogoImage");
        QVERIFY(logo);
        QCOMPARE(logo->geometry(), QRect(8, 8, 121, 33));
        const QPixmap pixmap = logo->pixmap();
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.deviceIndependentSize().toSize(), QSize(121, 33));
        // The drawing was found and rendered: not a blank picture.
        const QImage image = pixmap.toImage();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) inked += qAlpha(image.pixel(x, y)) > 0;
        QVERIFY(inked > image.width() * image.height() / 5);
    }

    void versionWindowLinesFitWithoutOverlapping()
    {
        // A longer address than the program's own still fits.
        VersionWindow window(QStringLiteral("https://qzr6100-software.example.org/"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QList<QWidget*> parts;
        for (QLabel* label : window.findChildren<QLabel*>()) {
            parts << label;
            QVERIFY2(window.rect().contains(label->geometry()), qPrintable(label->objectName()));
            if (label->text().isEmpty()) continue;
            const int needed = label->fontMetrics().horizontalAdvance(label->text());
            QVERIFY2(needed <= label->contentsRect().width(),
                     qPrintable(QStringLiteral("%1 needs %2 px").arg(label->objectName()).arg(needed)));
            QVERIFY(label->fontMetrics().height() <= label->height());
        }
        auto* enter = window.findChild<QPushButton*>("EnterButton");
        QVERIFY(window.rect().contains(enter->geometry()));
        parts << enter;
        for (int i = 0; i < parts.size(); ++i)
            for (int j = i + 1; j < parts.size(); ++j)
                QVERIFY2(!parts[i]->geometry().intersects(parts[j]->geometry()),
                         qPrintable(parts[i]->objectName() + " / " + parts[j]->objectName()));
    }

    void enterClosesTheVersionWindowEachTime()
    {
        QWidget owner;
        owner.setGeometry(50, 40, 600, 400);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        VersionWindow window(kAddress, &owner);
        for (int showing = 0; showing < 2; ++showing) {
            window.open();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(window.isModal());
            // Centred on the window that owns it.
            QVERIFY((window.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <= 2);
            QTest::mouseClick(window.findChild<QPushButton*>("EnterButton"), Qt::LeftButton);
            QVERIFY(!window.isVisible());
            QCOMPARE(window.result(), int(QDialog::Accepted));
        }
    }

    void splashShowsThePictureEightPixelsLeft()
    {
        SplashWindow splash;
        QCOMPARE(splash.objectName(), QStringLiteral("TLogoForm"));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        splash.showNow();
        QVERIFY(splash.isVisible());
        QCOMPARE(splash.size(), QSize(437, 319));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((splash.frameGeometry().center() - screen.center()).manhattanLength() <= 2);

        const QImage shown = splash.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage picture = artwork::SplashPicture(1.0).toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(picture.size(), QSize(441, 313));
        // Client pixel (x, y) shows picture pixel (x + 8, y).
        for (const QPoint p : {QPoint(0, 0), QPoint(30, 120), QPoint(200, 236), QPoint(432, 312), QPoint(120, 300)})
            QCOMPARE(shown.pixel(p), picture.pixel(p + QPoint(8, 0)));

        // A click does not dismiss it; only start-up's end does.
        QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(splash.isVisible());
    }

    void addressWindowTexts_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("text");
        QTest::newRow("note 1") << "NoteLabel1" << "Only for QZR6100x-S.   ";
        QTest::newRow("note 2") << "NoteLabel2" << "This setting can only be connected to a single instrument,";
        QTest::newRow("note 3") << "NoteLabel3" << "To change the operation may take some time.";
        QTest::newRow("baud rate") << "BaudrateLabel" << "Baudrate:   ";
        QTest::newRow("address") << "AddressLabel" << "Address:  ";
        QTest::newRow("scan") << "Button2" << "Scanning Slave Device";
        QTest::newRow("change") << "Button1" << "Change";
    }

    void addressWindowTexts()
    {
        QFETCH(QString, objectName);
        QFETCH(QString, text);
        AddressResetDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Baudrate and address of the instrument"));
        if (auto* label = dialog.findChild<QLabel*>(objectName)) {
            QCOMPARE(label->text(), text);
            if (objectName.startsWith("NoteLabel")) {
                label->ensurePolished();
                QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
            }
        } else {
            auto* button = dialog.findChild<QPushButton*>(objectName);
            QVERIFY2(button, qPrintable(objectName));
            QCOMPARE(button->text(), text);
        }
    }

    void addressWindowFieldsAndSize()
    {
        AddressResetDialog dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("TAddressResetForm"));
        auto* baud = dialog.findChild<QComboBox*>("ComboBox1");
        QVERIFY(baud);
        QCOMPARE(baud->count(), 2);
        QCOMPARE(baud->itemText(0), QStringLiteral("19.2  kbps"));
        QCOMPARE(baud->itemText(1), QStringLiteral("115.2 kbps"));
        QCOMPARE(baud->currentIndex(), 0);
        auto* address = dialog.findChild<QLineEdit*>("Edit1");
        QVERIFY(address);
        QCOMPARE(address->text(), QStringLiteral("1"));
        auto* status = dialog.findChild<QStatusBar*>("StatusBar1");
        QVERIFY(status);
        QVERIFY(status->currentMessage().isEmpty());
        QVERIFY(status->findChildren<QWidget*>().isEmpty());

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.size(), QSize(331, 235));
        // Everything fits the window's size: nothing is squeezed or clipped.
        const QSize needed = dialog.layout()->minimumSize();
        QVERIFY2(needed.width() <= 331 && needed.height() <= 235,
                 qPrintable(QStringLiteral("needs %1 x %2").arg(needed.width()).arg(needed.height())));
        auto* scan = dialog.findChild<QPushButton*>("Button2");
        auto* change = dialog.findChild<QPushButton*>("Button1");
        QCOMPARE(scan->y(), change->y());
        QVERIFY(scan->x() < change->x());
        QVERIFY(address->y() > baud->y());
        QVERIFY(scan->y() > address->y());
        QVERIFY(status->y() > scan->y());
    }

    void addressWindowButtonsChangeNothing()
    {
        AddressResetDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* baud = dialog.findChild<QComboBox*>("ComboBox1");
        auto* address = dialog.findChild<QLineEdit*>("Edit1");
        baud->setCurrentIndex(1);
        address->setText(QStringLiteral("7"));
        const QSet<QWidget*> before = VisibleTopLevels();
        for (const char* name : {"Button2", "Button1"}) {
            QTest::mouseClick(dialog.findChild<QPushButton*>(name), Qt::LeftButton);
            QCoreApplication::processEvents();
            QVERIFY(dialog.isVisible());
            QCOMPARE(baud->currentIndex(), 1);
            QCOMPARE(address->text(), QStringLiteral("7"));
            // The press is answered where the window says things, and nowhere else.
            QStatusBar* status = dialog.findChild<QStatusBar*>("StatusBar1");
            QVERIFY(!status->currentMessage().isEmpty());
            status->clearMessage();
            QCOMPARE(VisibleTopLevels(), before);
        }
    }

    void theProgramShowsThemFromItsMenus()
    {
        QTemporaryDir dir;
        RecordingNotifier notifier;
        ProgramOptions options;
        options.simulate = true;
        options.settingsPath = dir.filePath("SysSet.ini");
        options.notifier = &notifier;
        Program program(options);
        QString error;
        QVERIFY2(program.start(&error), qPrintable(error));
        MainWindow& main = program.mainWindow();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));

        // The status bar's logo is a picture now, not text.
        auto* logo = main.findChild<QLabel*>("Image1");
        QVERIFY(logo);
        QVERIFY(!logo->pixmap().isNull());

        // Help / Version shows the version window modally with the project's address.
        bool sawVersion = false;
        QTimer::singleShot(0, &main, [&] {
            VersionWindow& version = program.versionWindow();
            sawVersion = version.isVisible() && version.isModal();
            QCOMPARE(version.findChild<QLabel*>("WebsiteLabel")->text(),
                     QStringLiteral("Wedsite: ") + QString::fromLatin1(kWebsiteAddress));
            QTest::mouseClick(version.findChild<QPushButton*>("EnterButton"), Qt::LeftButton);
        });
        main.action(MainWindow::Command::Version)->trigger();
        QVERIFY(sawVersion);
        QVERIFY(!program.versionWindow().isVisible());

        // The hidden item shows the address window without blocking the main window.
        AddressResetDialog& address = program.addressResetDialog();
        main.action(MainWindow::Command::InstrumentCommSettings)->trigger();
        QVERIFY(address.isVisible());
        QVERIFY(!address.isModal());

        // Its buttons send nothing to the instrument and touch no setting.
        QTRY_VERIFY_WITH_TIMEOUT(!program.simulator()->requests().empty(), 5000);
        QFile settings(options.settingsPath);
        const QByteArray settingsBefore = settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
        settings.close();
        const int writesBefore = CountWrites(program.simulator()->requests());
        QTest::mouseClick(address.findChild<QPushButton*>("Button2"), Qt::LeftButton);
        QTest::mouseClick(address.findChild<QPushButton*>("Button1"), Qt::LeftButton);
        QTest::qWait(300);
        QCOMPARE(CountWrites(program.simulator()->requests()), writesBefore);
        const QByteArray settingsAfter = settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
        QCOMPARE(settingsAfter, settingsBefore);
        QVERIFY(notifier.messages.isEmpty());
        address.close();
    }
};

QTEST_MAIN(AppearanceWindowsTest)
#include "test_appearance_windows.moc"
