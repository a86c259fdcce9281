// The window language: every window created at start-up, and every message
// a button can bring up, reads in English when English is chosen; switching
// back gives the instrument's texts exactly; the choice is kept in SysSet.ini
// and --language overrides it for one run.

#include "acquisition/notifier.h"
#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "acquisition/windows/test_file_commands.h"
#include "acquisition/ini_file.h"
#include "appearance/windows/style_dialog.h"
#include "appearance/windows/version_window.h"
#include "display/windows/harmonic_window.h"
#include "link/windows/communication_dialog.h"
#include "recording/windows/record_settings_dialog.h"
#include "recording/windows/record_window.h"
#include "reports/windows/enter_info_dialog.h"
#include "reports/windows/report_window.h"
#include "settings/windows/address_reset_dialog.h"
#include "settings/windows/alarm_dialog.h"
#include "settings/windows/calibration_window.h"
#include "settings/windows/instrument_settings_window.h"
#include "settings/windows/starting_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

namespace {

// Han characters, CJK punctuation and full-width forms.
const QRegularExpression kCjk(QStringLiteral("[\\x{3000}-\\x{303F}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

// Message boxes with their captions, in the order shown.
class CapturingNotifier : public Notifier {
public:
    void message(const QString& text, const QString& caption, Icon) override { shown << text << caption; }
    Answer question(const QString& text, const QString& caption) override
    {
        shown << text << caption;
        return Answer::No;
    }
    QStringList shown;
};

void Add(QStringList& texts, const QString& where, const QString& text)
{
    if (!text.isEmpty()) texts << where + QStringLiteral(" = ") + text;
}

// Every text a user can see or a screen reader can say in the window's tree,
// each prefixed with where it sits.
QStringList ShownTexts(QWidget* root)
{
    QStringList texts;
    QList<QWidget*> widgets{root};
    widgets += root->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        const QString at = QString::fromLatin1(w->metaObject()->className()) + QLatin1Char('/') + w->objectName();
        Add(texts, at + QStringLiteral(" title"), w->windowTitle());
        Add(texts, at + QStringLiteral(" tip"), w->toolTip());
        Add(texts, at + QStringLiteral(" status tip"), w->statusTip());
        Add(texts, at + QStringLiteral(" name"), w->accessibleName());
        Add(texts, at + QStringLiteral(" description"), w->accessibleDescription());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) Add(texts, at, b->text());
        if (auto* l = qobject_cast<QLabel*>(w)) Add(texts, at, l->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) Add(texts, at, g->title());
        if (auto* e = qobject_cast<QLineEdit*>(w)) Add(texts, at + QStringLiteral(" placeholder"), e->placeholderText());
        if (auto* c = qobject_cast<QComboBox*>(w)) {
            Add(texts, at + QStringLiteral(" placeholder"), c->placeholderText());
            for (int i = 0; i < c->count(); ++i) Add(texts, at + QStringLiteral(" item"), c->itemText(i));
        }
        if (auto* t = qobject_cast<QTableWidget*>(w)) {
            for (int i = 0; i < t->columnCount(); ++i) {
                if (t->horizontalHeaderItem(i)) Add(texts, at + QStringLiteral(" header"), t->horizontalHeaderItem(i)->text());
            }
        }
    }
    for (QAction* a : root->findChildren<QAction*>()) {
        const QString at = QStringLiteral("QAction/") + a->objectName();
        Add(texts, at, a->text());
        Add(texts, at + QStringLiteral(" tip"), a->toolTip());
    }
    return texts;
}

QStringList WithCjk(const QStringList& texts)
{
    QStringList hits;
    for (const QString& t : texts) {
        if (kCjk.match(t).hasMatch()) hits << t;
    }
    return hits;
}

// The language change reaches the application first, which passes it on to
// every window.
void DeliverLanguageChange()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    CapturingNotifier notifier;
    std::unique_ptr<Program> program;

    QString settingsPath() const { return dir.filePath(QStringLiteral("SysSet.ini")); }

    // No instrument: the port named does not exist, so every transfer a
    // button starts ends in its "not connected" message.
    void startProgram(std::optional<UiLanguage> language)
    {
        program.reset();
        ProgramOptions options;
        options.portOverride = dir.filePath(QStringLiteral("no-such-port"));
        options.settingsPath = settingsPath();
        options.notifier = &notifier;
        options.factory = true;
        options.language = language;
        program = std::make_unique<Program>(options);
        QString error;
        QVERIFY2(program->start(&error), qPrintable(error));
        DeliverLanguageChange();
        // File choosers answer "cancelled" instead of blocking the test.
        program->testFiles().chooseSaveFile = [](const QString&) { return QString(); };
        program->testFiles().chooseOpenFile = [](const QString&) { return QString(); };
        program->recordWindow().chooseSaveFile = [](const QString&) { return QString(); };
        program->recordWindow().chooseOpenFile = [](const QString&) { return QString(); };
        program->recordWindow().chooseExportFile = [](ExportFormat, const QString&) { return QString(); };
        program->startingWindow().chooseSaveFile = [](const QString&) { return QString(); };
        program->reportWindow().chooseSavePath = [](const QString&) { return QString(); };
    }

    std::map<QString, QWidget*> windows()
    {
        Program& p = *program;
        return {
            {"main", &p.mainWindow()},
            {"communication", &p.commDialog()},
            {"style", &p.styleDialog()},
            {"version", &p.versionWindow()},
            {"record", &p.recordWindow()},
            {"record settings", &p.recordSettingsDialog()},
            {"harmonic table", &p.harmonicWindow()},
            {"report", &p.reportWindow()},
            {"report information", &p.enterInfoDialog()},
            {"instrument settings", &p.instrumentSettingsWindow()},
            {"alarm limits", &p.alarmDialog()},
            {"starting test", &p.startingWindow()},
            {"calibration", &p.calibrationWindow()},
            {"address", &p.addressResetDialog()},
        };
    }

    std::map<QString, QStringList> allTexts()
    {
        std::map<QString, QStringList> texts;
        for (const auto& [name, window] : windows()) texts[name] = ShownTexts(window);
        return texts;
    }

    // Presses every button and menu command whose messages come from the
    // window itself (those that open a modal window of their own are left
    // out: that window is checked on its own).
    void pressEveryButton()
    {
        using C = MainWindow::Command;
        MainWindow& main = program->mainWindow();
        for (C c : {C::SingleSampling, C::ContinuousSampling, C::Stop, C::Save, C::Open})
            main.action(c)->trigger();
        const QStringList modalCommands{"N5", "N13", "SeSkinSpeedButton3", "SeSkinSpeedButton4", "N6"};
        for (QAction* a : program->recordWindow().findChildren<QAction*>()) {
            if (!a->objectName().isEmpty() && !modalCommands.contains(a->objectName()) && !a->menu()) a->trigger();
        }
        // The starting test asks before it starts once a range is chosen.
        program->startingWindow().findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(-1);
        for (QWidget* w : {static_cast<QWidget*>(&program->alarmDialog()),
                           static_cast<QWidget*>(&program->calibrationWindow()),
                           static_cast<QWidget*>(&program->instrumentSettingsWindow()),
                           static_cast<QWidget*>(&program->startingWindow()),
                           static_cast<QWidget*>(&program->reportWindow()),
                           static_cast<QWidget*>(&program->enterInfoDialog()),
                           static_cast<QWidget*>(&program->recordSettingsDialog()),
                           static_cast<QWidget*>(&program->commDialog()),
                           static_cast<QWidget*>(&program->addressResetDialog())}) {
            for (QPushButton* b : w->findChildren<QPushButton*>()) {
                // Print would reach a real printer; Printer Setup is the
                // system's own dialog.
                if (w == &program->reportWindow() && b->objectName().startsWith(QLatin1String("SeSkinButton")) &&
                    b->objectName() != QLatin1String("SeSkinButton2"))
                    continue;
                b->click();
            }
        }
        program->startingWindow().findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(0);
        program->startingWindow().findChild<QPushButton*>(QStringLiteral("SeSkinSpeedButton1"))->click();
        // A value that is not a number reaches the alarm dialog's message.
        program->alarmDialog().findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(QStringLiteral("x"));
        program->alarmDialog().findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    }

private slots:
    void cleanup()
    {
        program.reset();
        notifier.shown.clear();
        QFile::remove(settingsPath());
    }

    void everyWindowReadsInEnglish()
    {
        startProgram(UiLanguage::English);
        QCOMPARE(program->language(), UiLanguage::English);
        for (const auto& [name, texts] : allTexts()) {
            QVERIFY2(texts.size() > 2, qPrintable(name));
            const QStringList hits = WithCjk(texts);
            QVERIFY2(hits.isEmpty(), qPrintable(name + QStringLiteral(": ") + hits.join(QStringLiteral("; "))));
        }
        // The misspelt instrument texts are put right.
        QCOMPARE(program->instrumentSettingsWindow().findChild<QCheckBox*>()->text(), QStringLiteral("Turn on filter"));
    }

    void everyMessageFromAButtonReadsInEnglish()
    {
        // The same presses bring up Chinese messages with the instrument's texts...
        startProgram(UiLanguage::Instrument);
        pressEveryButton();
        QVERIFY(!WithCjk(notifier.shown).isEmpty());
        const int instrumentCount = notifier.shown.size();

        // ...and none in English.
        notifier.shown.clear();
        startProgram(UiLanguage::English);
        pressEveryButton();
        QCOMPARE(notifier.shown.size(), instrumentCount);
        const QStringList hits = WithCjk(notifier.shown);
        QVERIFY2(hits.isEmpty(), qPrintable(hits.join(QStringLiteral("; "))));
    }

    void switchingAppliesAtOnceAndBackRestoresTheInstrumentTexts()
    {
        startProgram(std::nullopt);
        QCOMPARE(program->language(), UiLanguage::Instrument);
        QAction* english = program->mainWindow().action(MainWindow::Command::LanguageEnglish);
        QAction* instrument = program->mainWindow().action(MainWindow::Command::LanguageInstrument);
        QVERIFY(instrument->isChecked());
        // A status line written since start-up: the read-out's request text.
        program->alarmDialog().findChild<QPushButton*>(QStringLiteral("Button3"))->click();
        QVERIFY(kCjk.match(program->alarmDialog().statusText()).hasMatch());
        const auto before = allTexts();

        english->trigger();
        DeliverLanguageChange();
        QVERIFY(english->isChecked() && !instrument->isChecked());
        const auto translated = allTexts();
        for (const auto& [name, texts] : translated) {
            // Every window changed, and none shows Chinese any more.
            QVERIFY2(texts != before.at(name), qPrintable(name));
            QVERIFY2(WithCjk(texts).isEmpty(), qPrintable(name + QStringLiteral(": ") + WithCjk(texts).join("; ")));
        }

        instrument->trigger();
        DeliverLanguageChange();
        const auto restored = allTexts();
        for (const auto& [name, texts] : restored) QCOMPARE(texts, before.at(name));
    }

    void aStatusLineWrittenInEnglishReturnsToTheInstrumentsWords()
    {
        startProgram(std::nullopt);
        AlarmDialog& alarm = program->alarmDialog();
        program->mainWindow().action(MainWindow::Command::LanguageEnglish)->trigger();
        DeliverLanguageChange();
        alarm.findChild<QPushButton*>(QStringLiteral("Button3"))->click();
        const QString english = alarm.statusText();
        QVERIFY(!english.isEmpty() && !kCjk.match(english).hasMatch());

        program->mainWindow().action(MainWindow::Command::LanguageInstrument)->trigger();
        DeliverLanguageChange();
        QCOMPARE(alarm.statusText(), QStringLiteral("正在请求仪器数据......"));
    }

    void aWindowBuiltWhileEnglishIsShownSwitchesBackToo()
    {
        startProgram(UiLanguage::English);
        AddressResetDialog late;
        const QStringList english = ShownTexts(&late);
        QVERIFY(WithCjk(english).isEmpty());
        program->mainWindow().action(MainWindow::Command::LanguageInstrument)->trigger();
        DeliverLanguageChange();
        // As the program's own address window, built before English was chosen.
        QCOMPARE(ShownTexts(&late), ShownTexts(&program->addressResetDialog()));
        QVERIFY(ShownTexts(&late) != english);
    }

    void theChoiceIsKeptAndTheCommandLineWinsForOneRun()
    {
        startProgram(std::nullopt);
        program->mainWindow().action(MainWindow::Command::LanguageEnglish)->trigger();
        QCOMPARE(IniFile(settingsPath()).readString("Language", "Name", QString()), QStringLiteral("en"));

        // A restart keeps English...
        startProgram(std::nullopt);
        QCOMPARE(program->language(), UiLanguage::English);
        QVERIFY(program->mainWindow().action(MainWindow::Command::LanguageEnglish)->isChecked());
        QCOMPARE(program->alarmDialog().windowTitle(), QStringLiteral("Alarm limits"));

        // ...unless this run asks for the instrument's texts, which it does not store.
        startProgram(UiLanguage::Instrument);
        QCOMPARE(program->alarmDialog().windowTitle(), QStringLiteral("报警值设定"));
        QCOMPARE(IniFile(settingsPath()).readString("Language", "Name", QString()), QStringLiteral("en"));

        // A name the program does not know means the instrument's texts.
        IniFile(settingsPath()).writeString("Language", "Name", "tlh");
        startProgram(std::nullopt);
        QCOMPARE(program->language(), UiLanguage::Instrument);
    }

    void anUnknownLanguageOnTheCommandLineIsRefused()
    {
        QProcess app;
        app.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        app.start(qEnvironmentVariable("QZ_APP_BINARY"), {"--language", "fr"});
        QVERIFY(app.waitForFinished(20000));
        QCOMPARE(app.exitCode(), 2);
        QVERIFY(app.readAllStandardError().contains("unknown language \"fr\""));
    }
};

QTEST_MAIN(LanguageTest)
#include "test_language.moc"
