// Publishing from the desktop program: the real program on the simulated
// instrument, its Options > Publish measurements dialog, and a broker and
// subscriber of the test's own.

#include "acquisition/windows/main_window.h"
#include "acquisition/windows/program.h"
#include "publishing/measurement_publishing.h"
#include "publishing/windows/publish_dialog.h"
#include "support/mqtt_test_broker.h"
#include "support/test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using mqtt_test::Broker;
using mqtt_test::BrokerOptions;
using mqtt_test::Subscriber;

class PublishDialogSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    RecordingNotifier notifier;

    std::unique_ptr<Program> startProgram()
    {
        ProgramOptions options;
        options.simulate = true;
        options.settingsPath = dir.filePath("SysSet.ini");
        options.notifier = &notifier;
        auto program = std::make_unique<Program>(options);
        QString error;
        if (!program->start(&error)) qWarning() << error;
        program->mainWindow().show();
        return program;
    }
    template <typename T>
    static T* child(QWidget& parent, const char* name)
    {
        return parent.findChild<T*>(QString::fromLatin1(name));
    }

private slots:
    void initTestCase()
    {
        // No session bus: the password goes to the file beside SysSet.ini.
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        QVERIFY(dir.isValid());
    }

    void switchedOnInTheDialogPublishesEveryMeasurementAndRemembers()
    {
        QTemporaryDir brokerDir;
        BrokerOptions brokerOptions;
        brokerOptions.user = QStringLiteral("desk");
        brokerOptions.password = QStringLiteral("pw-desk");
        Broker broker(brokerDir.path(), brokerOptions);
        QString error;
        QVERIFY2(broker.start(&error), qPrintable(error));
        Subscriber subscriber(broker.port(), "qzr6100/desk/#", "test-desk", false, "desk", "pw-desk");
        QVERIFY(subscriber.waitSubscribed());

        std::unique_ptr<Program> program = startProgram();
        MainWindow& window = program->mainWindow();
        window.action(MainWindow::Command::PublishMqtt)->trigger();
        PublishDialog& dialog = program->publishDialog();
        QVERIFY(dialog.isVisible());
        child<QCheckBox>(dialog, "PublishCheck")->setChecked(true);
        child<QLineEdit>(dialog, "BrokerEdit")->setText(QStringLiteral("mqtt://127.0.0.1:%1").arg(broker.port()));
        child<QLineEdit>(dialog, "NameEdit")->setText(QStringLiteral("desk"));
        child<QLineEdit>(dialog, "UserEdit")->setText(QStringLiteral("desk"));
        child<QLineEdit>(dialog, "PasswordEdit")->setText(QStringLiteral("pw-desk"));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply)->click();

        QLabel* state = child<QLabel>(dialog, "BrokerStateLabel");
        QTRY_VERIFY_WITH_TIMEOUT(state->text().startsWith("Connected to mqtt://127.0.0.1"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.has("qzr6100/desk/availability", "online"), 5000);

        // Single and continuous sampling both publish, with exact values.
        window.action(MainWindow::Command::SingleSampling)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.count("qzr6100/desk/measurement") >= 1, 10000);
        window.action(MainWindow::Command::ContinuousSampling)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.count("qzr6100/desk/measurement") >= 4, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.has("qzr6100/desk/status", "sampling"), 5000);
        window.action(MainWindow::Command::Stop)->trigger();
        const QJsonObject last =
            QJsonDocument::fromJson(subscriber.on("qzr6100/desk/measurement").last().payload).object();
        QVERIFY(last.value("Frequency").toDouble() > 49 && last.value("Frequency").toDouble() < 51);
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>(dialog, "QueueLabel")->text().contains(" published"), 3000);

        // The settings are in SysSet.ini, the password is not: it is in a
        // file only the user can read, as the dialog says.
        QFile ini(dir.filePath("SysSet.ini"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray settings = ini.readAll();
        QVERIFY(settings.contains("[Mqtt]"));
        QVERIFY(settings.contains("Broker=mqtt://127.0.0.1:"));
        QVERIFY(!settings.contains("pw-desk"));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(dir.filePath("MqttPassword")).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), 0600);
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>(dialog, "PasswordPlaceLabel")->text().contains("MqttPassword"), 3000);

        // Switched off: "offline", and the state says so.
        child<QCheckBox>(dialog, "PublishCheck")->setChecked(false);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply)->click();
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.has("qzr6100/desk/availability", "offline"), 10000);
        QCOMPARE(state->text(), QStringLiteral("Not publishing"));

        // Switched on and left on: the next start publishes by itself.
        child<QCheckBox>(dialog, "PublishCheck")->setChecked(true);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(!dialog.isVisible());
        program.reset();
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.on("qzr6100/desk/availability").last().payload == "offline", 10000);
        const int before = subscriber.count("qzr6100/desk/availability");
        program = startProgram();
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.count("qzr6100/desk/availability") > before &&
                                     subscriber.on("qzr6100/desk/availability").last().payload == "online",
                                 10000);
        program.reset();
    }

    void aBrokerThatRefusesIsShownNotRetried()
    {
        QTemporaryDir brokerDir;
        BrokerOptions brokerOptions;
        brokerOptions.user = QStringLiteral("desk");
        brokerOptions.password = QStringLiteral("right");
        Broker broker(brokerDir.path(), brokerOptions);
        QString error;
        QVERIFY2(broker.start(&error), qPrintable(error));
        QFile::remove(dir.filePath("SysSet.ini"));

        std::unique_ptr<Program> program = startProgram();
        program->mainWindow().action(MainWindow::Command::PublishMqtt)->trigger();
        PublishDialog& dialog = program->publishDialog();
        child<QCheckBox>(dialog, "PublishCheck")->setChecked(true);
        child<QLineEdit>(dialog, "BrokerEdit")->setText(QStringLiteral("mqtt://127.0.0.1:%1").arg(broker.port()));
        child<QLineEdit>(dialog, "NameEdit")->setText(QStringLiteral("desk"));
        child<QLineEdit>(dialog, "UserEdit")->setText(QStringLiteral("desk"));
        child<QLineEdit>(dialog, "PasswordEdit")->setText(QStringLiteral("wrong"));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply)->click();
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>(dialog, "BrokerStateLabel")->text().contains("refuses the credentials"),
                                 10000);

        // A bench name that is no topic level is refused before connecting.
        child<QLineEdit>(dialog, "NameEdit")->setText(QStringLiteral("bench/1"));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply)->click();
        QVERIFY(child<QLabel>(dialog, "BrokerStateLabel")->text().startsWith("Not publishing: 'bench/1' cannot be"));

        // Left on, but the stored password cannot be read at the next start:
        // the dialog comes up and says so rather than earning a refusal.
        child<QLineEdit>(dialog, "NameEdit")->setText(QStringLiteral("desk"));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        program.reset();
        QVERIFY(QFile::remove(dir.filePath("MqttPassword")));
        QVERIFY(QDir(dir.path()).mkdir("MqttPassword"));
        program = startProgram();
        PublishDialog& shown = program->publishDialog();
        QTRY_VERIFY_WITH_TIMEOUT(shown.isVisible(), 5000);
        QVERIFY(child<QLabel>(shown, "BrokerStateLabel")->text().contains("MqttPassword"));
        QVERIFY(!program->publishing().publisher());
        program.reset();
        QDir(dir.filePath("MqttPassword")).removeRecursively();
    }
};

QTEST_MAIN(PublishDialogSimTest)
#include "test_publish_dialog_sim.moc"
