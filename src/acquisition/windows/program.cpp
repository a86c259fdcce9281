#include "acquisition/windows/program.h"

#include "acquisition/link_assembly.h"
#include "acquisition/notifier.h"
#include "acquisition/response_handler.h"
#include "acquisition/sampling_controller.h"
#include "acquisition/windows/gui_notifier.h"
#include "acquisition/test_file.h"
#include "acquisition/windows/main_window.h"
#include "acquisition/windows/test_file_commands.h"
#include "appearance/windows/style_dialog.h"
#include "appearance/windows/version_window.h"
#include "display/windows/harmonic_window.h"
#include "link/port_discovery.h"
#include "link/port_prober.h"
#include "link/register_map.h"
#include "link/serial_port_enumerator.h"
#include "link/tcomm.h"
#include "link/windows/communication_dialog.h"
#include "recording/record_settings.h"
#include "recording/windows/record_settings_dialog.h"
#include "publishing/measurement_publishing.h"
#include "publishing/password_file.h"
#include "publishing/windows/password_store.h"
#include "publishing/windows/publish_dialog.h"
#include "recording/windows/record_window.h"
#include "reports/report_info.h"
#include "reports/windows/enter_info_dialog.h"
#include "reports/windows/record_report_source.h"
#include "reports/windows/report_window.h"
#include "settings/windows/address_reset_dialog.h"
#include "settings/windows/alarm_dialog.h"
#include "settings/windows/calibration_window.h"
#include "settings/windows/instrument_settings_window.h"
#include "settings/windows/starting_window.h"
#include "pty_simulator.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>

const char* const kWebsiteAddress = "https://qzr6100.example.org/";

Program::Program(ProgramOptions options)
    : options_(std::move(options)),
      settings_(options_.settingsPath.isEmpty() ? SysSetPath() : options_.settingsPath)
{
    if (options_.notifier) {
        notifier_ = options_.notifier;
    } else {
        ownNotifier_ = std::make_unique<GuiNotifier>();
        notifier_ = ownNotifier_.get();
    }
}

Program::~Program()
{
    // Windows and controllers go before the port they use; the simulator last.
    // The publisher says "offline" and disconnects on its own thread.
    publishDialog_.reset();
    publishing_.reset();
    passwordStore_.reset();
    addressResetDialog_.reset();
    sinks_.instrumentSettings = nullptr;
    instrumentSettingsWindow_.reset();
    sinks_.starting = nullptr;
    startingWindow_.reset();
    sinks_.alarm = nullptr;
    alarmDialog_.reset();
    sinks_.calibration = nullptr;
    calibrationWindow_.reset();
    versionWindow_.reset();
    recordSettingsDialog_.reset();
    recordWindow_.reset();
    harmonicWindow_.reset();
    enterInfoDialog_.reset();
    reportWindow_.reset();
    commDialog_.reset();
    styleDialog_.reset();
    testFiles_.reset();
    link_.reset();
    mainWindow_.reset();
    simulator_.reset();
}

bool Program::startSimulator(QString* error)
{
    sim::Options simOptions;
    simOptions.address = settings_.readInt(SysSetKeys::Address);
    if (simOptions.address < 1 || simOptions.address > 255) simOptions.address = SysSetKeys::Address.defaultValue;
    // The link keeps one name for the device across a simulated replug.
    simulatorLink_ = QDir::temp().filePath(QStringLiteral("qzr6100-sim-%1").arg(QCoreApplication::applicationPid()));
    simOptions.linkPath = simulatorLink_.toStdString();
    simulator_ = std::make_unique<sim::PtySimulator>(simOptions);
    std::string reason;
    if (!simulator_->start(&reason)) {
        if (error) *error = tr("The simulated instrument could not start: %1").arg(QString::fromStdString(reason));
        simulator_.reset();
        return false;
    }
    return true;
}

bool Program::start(QString* error)
{
    if (options_.simulate && !startSimulator(error)) return false;
    if (!options_.traceFile.isEmpty()) {
        QString reason;
        if (!trace_.open(options_.traceFile, &reason)) {
            if (error) *error = tr("Cannot write the communication log %1: %2").arg(options_.traceFile, reason);
            return false;
        }
    }

    // The main window first: it initialises the shared record and lays itself out.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1920, 1080);
    InitAcquisitionState(state_, screenSize, &surfaces_);
    mainWindow_ = std::make_unique<MainWindow>(state_, surfaces_, colors_);
    mainWindow_->setFactoryMode(options_.factory);
    LoadStartupStyle(styleServices());
    // The link: the serial component, the link master, sampling, the reply
    // handler and port discovery, built as the command-line tool builds them.
    QList<PortCandidate> extras;
    QString portOverride = options_.portOverride;
    if (simulator_) {
        portOverride = simulatorLink_;
        extras << PortCandidate{simulatorLink_, SimulatedInstrumentIdentification(state_.UsbProductIdTag)};
    } else if (!portOverride.isEmpty()) {
        extras << PortCandidate{portOverride, QString()};
    }
    link_ = std::make_unique<LinkAssembly>(
        LinkAssemblyServices{state_, *mainWindow_, *notifier_, sinks_, settings_, extras, portOverride});
    if (trace_.isOpen()) {
        link_->traceTo(trace_, [this](const QString& reason) {
            notifier_->message(tr("The communication log %1 cannot be written any more: %2")
                                   .arg(options_.traceFile, reason),
                               QString(), Notifier::Icon::Warning);
        });
    }
    testFiles_ = std::make_unique<TestFileCommands>(state_, *mainWindow_, *notifier_, mainWindow_.get());
    connectMainWindowCommands();
    mainWindow_->applyMainLayout();
    mainWindow_->redrawMainDisplay();
    openCommandLineFile();

    // The style dialog's creation puts the stored colours into effect.
    styleDialog_ = std::make_unique<StyleDialog>(styleServices(), mainWindow_.get());
    versionWindow_ = std::make_unique<VersionWindow>(QString::fromLatin1(kWebsiteAddress), mainWindow_.get());

    // Then the communication settings; the port is found and opened once
    // every window exists (below). Port discovery and the watchdog belong to
    // the link; the window only shows and edits what they hold.
    commDialog_ = std::make_unique<CommunicationDialog>(portDiscovery(), mainWindow_.get());
    // The report window and its report information; EnterInfo.ini lies
    // beside SysSet.ini. The record report reads the record window, made later.
    const QString enterInfoPath = EnterInfoPathBeside(settings_.path());
    reportWindow_ = std::make_unique<ReportWindow>(
        ReportWindowServices{state_, enterInfoPath,
                             [this] { return recordWindow_ ? RecordReportSourceOf(*recordWindow_) : RecordReportSource(); },
                             *notifier_},
        mainWindow_.get());
    enterInfoDialog_ = std::make_unique<EnterInfoDialog>(enterInfoPath, *notifier_, reportWindow_.get());
    reportWindow_->setEnterInfoDialog(enterInfoDialog_.get());
    harmonicWindow_ = std::make_unique<HarmonicWindow>(state_.TestRecord, mainWindow_.get());
    // The record window loads the record settings and allocates both
    // records; the settings dialog reads the same keys into its lists.
    recordWindow_ = std::make_unique<RecordWindow>(state_, LoadRecordSettings(settings_), colors_, *notifier_,
                                                   QCoreApplication::applicationDirPath() + QStringLiteral("/PenData"),
                                                   mainWindow_.get());
    recordSettingsDialog_ = std::make_unique<RecordSettingsDialog>(settings_, recordWindow_->recorder(), *notifier_,
                                                                   recordWindow_.get());
    QObject::connect(recordWindow_.get(), &RecordWindow::settingsRequested, recordWindow_.get(),
                     [this] { recordSettingsDialog_->exec(); });
    // The record window has set PrintFromRecorder: the record report.
    QObject::connect(recordWindow_.get(), &RecordWindow::printRequested, recordWindow_.get(),
                     [this] { reportWindow_->exec(); });
    // Calibration comes before the instrument-settings window, whose range
    // and bandwidth it switches; the two are joined once both exist.
    using C = MainWindow::Command;
    calibrationWindow_ = std::make_unique<CalibrationWindow>(
        requests(), [this](QString* reason) { return portDiscovery().openPortIfClosed(reason); },
        *notifier_,
        CalibrationWindow::SamplingButtons{mainWindow_->toolAction(C::SingleSampling),
                                           mainWindow_->toolAction(C::ContinuousSampling),
                                           mainWindow_->toolAction(C::Stop),
                                           [this](QAction* button) { explainRefusedSampling(button); }},
        mainWindow_.get());
    sinks_.calibration = calibrationWindow_.get();
    alarmDialog_ = std::make_unique<AlarmDialog>(state_, requests(), *notifier_, mainWindow_.get());
    sinks_.alarm = alarmDialog_.get();
    startingWindow_ =
        std::make_unique<StartingWindow>(state_, requests(), *notifier_, colors_, screenSize, mainWindow_.get());
    sinks_.starting = startingWindow_.get();
    // Registered at once: the read of its block that discovery sent when it
    // opened the port is answered after start-up and fills this window.
    instrumentSettingsWindow_ =
        std::make_unique<InstrumentSettingsWindow>(state_, requests(), *mainWindow_, *notifier_, mainWindow_.get());
    sinks_.instrumentSettings = instrumentSettingsWindow_.get();
    calibrationWindow_->setInstrumentSettings(instrumentSettingsWindow_.get());
    addressResetDialog_ = std::make_unique<AddressResetDialog>(mainWindow_.get());
    // Publishing to an MQTT broker; the password in the desktop's secret
    // store when a session bus could offer one, else in a file beside SysSet.ini.
    passwordStore_ = std::make_unique<PasswordStore>(PasswordFileBeside(settings_.path()),
                                                     !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"));
    publishing_ = std::make_unique<MeasurementPublishing>(state_, sampling(), requests());
    publishDialog_ = std::make_unique<PublishDialog>(settings_.path(), *publishing_, *passwordStore_, mainWindow_.get());
    publishDialog_->startStored();
    // Every window exists and has taken note of its texts as written; now
    // they may show them in the chosen language.
    applyLanguage(options_.language.value_or(LoadUiLanguage(settings_)));
    // The port is looked for last, so that what the search has to say is
    // said in that language too, and every window a reply may fill exists.
    portDiscovery().scan();
    portDiscovery().startWatchdog();
    return true;
}

void Program::applyLanguage(UiLanguage language)
{
    QString reason;
    if (!translator_.apply(language, &reason)) {
        notifier_->message(reason, QString(), Notifier::Icon::Warning);
    }
    mainWindow_->showLanguage(translator_.language());
}

void Program::chooseLanguage(UiLanguage language)
{
    applyLanguage(language);
    if (translator_.language() != language) return;
    QString reason;
    if (!SaveUiLanguage(settings_, language, &reason)) {
        mainWindow_->statusBar()->showMessage(
            tr("The language cannot be saved to %1: %2. It applies until the program ends.")
                .arg(QDir::toNativeSeparators(settings_.path()), reason),
            10000);
    }
}

void Program::explainRefusedSampling(QAction* button)
{
    // The main window's button is off; the main window comes forward with
    // its own word on why.
    mainWindow_->raise();
    if (button == mainWindow_->toolAction(MainWindow::Command::Stop))
        notifier_->message(QCoreApplication::translate("MainWindow", "No sampling is under way."));
    else if (state_.SamplingMode != SamplingIdle)
        notifier_->message(
            QCoreApplication::translate("MainWindow", "Sampling is already under way; press Stop first."));
    else  // no port to sample on
        notifier_->message(RequestNotSentText());
}

TComm& Program::comm() { return link_->comm(); }
LinkMaster& Program::link() { return link_->link(); }
InstrumentRequests& Program::requests() { return link_->requests(); }
SamplingController& Program::sampling() { return link_->sampling(); }
ResponseHandler& Program::responseHandler() { return link_->handler(); }
PortDiscovery& Program::portDiscovery() { return link_->discovery(); }

void Program::openCommandLineFile()
{
    if (options_.files.isEmpty()) return;
    state_.OpenedWithFile = true;
    state_.CommandLineFile = CommandLineFileName(options_.files);
    switch (ClassifyCommandLineFile(state_.CommandLineFile)) {
    case CommandLineFileKind::TestFile: testFiles_->openFile(state_.CommandLineFile); break;
    case CommandLineFileKind::RecordFile:
        // MOpenTimer's tick starts the record window's OpenTimer, whose tick
        // shows the window and opens CommandLineFile.
        sampling().onRecordFileHandOver = [this] {
            if (recordWindow_) recordWindow_->startOpenTimer();
        };
        sampling().armRecordFileHandOver();
        break;
    case CommandLineFileKind::Other: break;
    }
}

void Program::connectMainWindowCommands()
{
    using C = MainWindow::Command;
    MainWindow& w = *mainWindow_;
    QObject::connect(w.action(C::SingleSampling), &QAction::triggered, &w, [this] { sampling().startSingle(); });
    QObject::connect(w.action(C::ContinuousSampling), &QAction::triggered, &w,
                     [this] { sampling().startContinuous(); });
    QObject::connect(w.action(C::Stop), &QAction::triggered, &w, [this] { sampling().stop(); });
    QObject::connect(w.action(C::CommSettings), &QAction::triggered, &w, [this] { commDialog_->exec(); });
    QObject::connect(w.action(C::Style), &QAction::triggered, &w, [this] { styleDialog_->exec(); });
    QObject::connect(w.action(C::PublishMqtt), &QAction::triggered, &w, [this] {
        publishDialog_->show();
        publishDialog_->raise();
        publishDialog_->activateWindow();
    });
    QObject::connect(w.action(C::Version), &QAction::triggered, &w, [this] { versionWindow_->exec(); });
    QObject::connect(w.action(C::AlarmLimits), &QAction::triggered, &w, [this] { alarmDialog_->openAndReadOut(); });
    QObject::connect(w.action(C::StartingTest), &QAction::triggered, &w, [this] {
        startingWindow_->show();
        startingWindow_->raise();
        startingWindow_->activateWindow();
    });
    QObject::connect(w.action(C::InstrumentCommSettings), &QAction::triggered, &w, [this] {
        addressResetDialog_->show();
        addressResetDialog_->raise();
        addressResetDialog_->activateWindow();
    });
    // Both settings windows are modeless and keep their values when closed.
    QObject::connect(w.action(C::InstrumentSettings), &QAction::triggered, &w, [this] {
        instrumentSettingsWindow_->show();
        instrumentSettingsWindow_->raise();
        instrumentSettingsWindow_->activateWindow();
    });
    QObject::connect(w.action(C::Calibration), &QAction::triggered, &w, [this] {
        calibrationWindow_->show();
        calibrationWindow_->raise();
        calibrationWindow_->activateWindow();
    });
    QObject::connect(w.action(C::Open), &QAction::triggered, &w, [this] { testFiles_->open(); });
    QObject::connect(w.action(C::Save), &QAction::triggered, &w, [this] { testFiles_->save(); });
    QObject::connect(w.action(C::HarmonicReport), &QAction::triggered, &w, [this] { harmonicWindow_->exec(); });
    // The power report of the current test.
    QObject::connect(w.action(C::Print), &QAction::triggered, &w, [this] {
        state_.PrintFromRecorder = false;
        reportWindow_->exec();
    });
    // The record window is modeless; closing it only hides it.
    QObject::connect(w.action(C::Record), &QAction::triggered, &w, [this] {
        recordWindow_->show();
        recordWindow_->raise();
        recordWindow_->activateWindow();
    });
    QObject::connect(w.action(C::Website), &QAction::triggered, &w,
                     [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebsiteAddress))); });
    QObject::connect(w.action(C::Manual), &QAction::triggered, &w, [] {
        QDesktopServices::openUrl(
            QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + QStringLiteral("/PdfDoc/Handbook.pdf")));
    });
    QObject::connect(w.action(C::LanguageInstrument), &QAction::triggered, &w,
                     [this] { chooseLanguage(UiLanguage::Instrument); });
    QObject::connect(w.action(C::LanguageEnglish), &QAction::triggered, &w,
                     [this] { chooseLanguage(UiLanguage::English); });
    w.onCloseQuery = [this] { sampling().closeQuery(); };
}

StyleServices Program::styleServices()
{
    // The skins sit beside the executable; SysSet.ini may live in the config folder.
    return StyleServices{settings_, colors_, skinEngine_, *mainWindow_, QCoreApplication::applicationDirPath(),
                         [this](const QString& text) { mainWindow_->statusBar()->showMessage(text, 10000); }};
}
