#pragma once
// The running program: the shared record, the serial component, the
// controllers and the windows, created in start-up order and kept until exit.

#include "acquisition/acquisition_state.h"
#include "acquisition/sys_settings.h"
#include "display/display_colors.h"
#include "display/main_display.h"
#include "link/frame_trace.h"
#include "acquisition/reply_sinks.h"
#include "appearance/windows/stylesheet_skin_engine.h"
#include "appearance/windows/ui_translator.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class AddressResetDialog;
class MeasurementPublishing;
class PasswordStore;
class PublishDialog;
class AlarmDialog;
class CalibrationWindow;
class InstrumentSettingsWindow;
class CommunicationDialog;
class PortDiscovery;
class EnterInfoDialog;
class HarmonicWindow;
class RecordSettingsDialog;
class RecordWindow;
class ReportWindow;
class StyleDialog;
class TestFileCommands;
class InstrumentRequests;
class LinkAssembly;
class LinkMaster;
class MainWindow;
class Notifier;
class QAction;
class ResponseHandler;
class SamplingController;
class StartingWindow;
class TComm;
class VersionWindow;
namespace sim {
class PtySimulator;
}

struct ProgramOptions {
    QString portOverride;   // --port: this port instead of the stored one, for this run
    bool simulate = false;  // --simulate: start the built-in simulated instrument
    QString traceFile;      // --trace: communication log
    bool factory = false;   // --factory: show the calibration and instrument-address items
    QStringList files;      // file arguments
    std::optional<UiLanguage> language;  // --language: this one instead of the stored one, for this run
    QString settingsPath;   // SysSet.ini; empty for the usual place
    Notifier* notifier = nullptr;  // message boxes; null for real ones
};

class Program {
    Q_DECLARE_TR_FUNCTIONS(Program)

public:
    explicit Program(ProgramOptions options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts the simulator and the trace when asked for, then creates the
    // windows in start-up order; creating the communication window scans the
    // ports, opens the instrument's port and sends the first request.
    bool start(QString* error);

    MainWindow& mainWindow() { return *mainWindow_; }
    CommunicationDialog& commDialog() { return *commDialog_; }
    PortDiscovery& portDiscovery();
    VersionWindow& versionWindow() { return *versionWindow_; }
    AddressResetDialog& addressResetDialog() { return *addressResetDialog_; }
    CalibrationWindow& calibrationWindow() { return *calibrationWindow_; }
    AlarmDialog& alarmDialog() { return *alarmDialog_; }
    StartingWindow& startingWindow() { return *startingWindow_; }
    InstrumentSettingsWindow& instrumentSettingsWindow() { return *instrumentSettingsWindow_; }
    ReportWindow& reportWindow() { return *reportWindow_; }
    EnterInfoDialog& enterInfoDialog() { return *enterInfoDialog_; }
    HarmonicWindow& harmonicWindow() { return *harmonicWindow_; }
    RecordWindow& recordWindow() { return *recordWindow_; }
    RecordSettingsDialog& recordSettingsDialog() { return *recordSettingsDialog_; }
    PublishDialog& publishDialog() { return *publishDialog_; }
    MeasurementPublishing& publishing() { return *publishing_; }
    StyleDialog& styleDialog() { return *styleDialog_; }
    TestFileCommands& testFiles() { return *testFiles_; }
    AcquisitionState& state() { return state_; }
    TComm& comm();
    LinkMaster& link();
    InstrumentRequests& requests();
    SamplingController& sampling();
    ResponseHandler& responseHandler();
    ReplySinks& replySinks() { return sinks_; }
    sim::PtySimulator* simulator() { return simulator_.get(); }
    Notifier& notifier() { return *notifier_; }

    // Options > Language: shows every window in the language at once and
    // keeps the choice in SysSet.ini.
    void chooseLanguage(UiLanguage language);
    UiLanguage language() const { return translator_.language(); }

private:
    bool startSimulator(QString* error);
    void connectMainWindowCommands();
    void openCommandLineFile();
    // A sampling button of the calibration window pressed while the main
    // window's own is off.
    void explainRefusedSampling(QAction* button);
    StyleServices styleServices();
    void applyLanguage(UiLanguage language);

    ProgramOptions options_;
    std::unique_ptr<Notifier> ownNotifier_;
    Notifier* notifier_ = nullptr;
    AcquisitionState state_;
    MainSurfaces surfaces_;
    // Black until the style dialog puts the stored colours into effect.
    DisplayColors colors_{QColor(0, 0, 0), QColor(0, 0, 0)};
    StylesheetSkinEngine skinEngine_;
    SysSettings settings_;
    UiTranslator translator_;
    FrameTrace trace_;
    ReplySinks sinks_;
    std::unique_ptr<sim::PtySimulator> simulator_;
    QString simulatorLink_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<LinkAssembly> link_;
    std::unique_ptr<TestFileCommands> testFiles_;
    std::unique_ptr<StyleDialog> styleDialog_;
    std::unique_ptr<CommunicationDialog> commDialog_;
    std::unique_ptr<ReportWindow> reportWindow_;
    std::unique_ptr<EnterInfoDialog> enterInfoDialog_;
    std::unique_ptr<HarmonicWindow> harmonicWindow_;
    std::unique_ptr<RecordWindow> recordWindow_;
    std::unique_ptr<RecordSettingsDialog> recordSettingsDialog_;
    std::unique_ptr<VersionWindow> versionWindow_;
    std::unique_ptr<CalibrationWindow> calibrationWindow_;
    std::unique_ptr<AlarmDialog> alarmDialog_;
    std::unique_ptr<StartingWindow> startingWindow_;
    std::unique_ptr<InstrumentSettingsWindow> instrumentSettingsWindow_;
    std::unique_ptr<AddressResetDialog> addressResetDialog_;
    std::unique_ptr<PasswordStore> passwordStore_;
    std::unique_ptr<MeasurementPublishing> publishing_;
    std::unique_ptr<PublishDialog> publishDialog_;
};

// The project's web address, opened by the website command and the logo.
extern const char* const kWebsiteAddress;
