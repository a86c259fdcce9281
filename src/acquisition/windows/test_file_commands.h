#pragma once
// Open and Save of the main window: the file dialogs, the overwrite question
// and the error messages around the test-file routines.

#include <QCoreApplication>
#include <QString>

#include <functional>

class MainWindowView;
class Notifier;
class QWidget;
struct AcquisitionState;

class TestFileCommands {
    Q_DECLARE_TR_FUNCTIONS(TestFileCommands)

public:
    TestFileCommands(AcquisitionState& state, MainWindowView& view, Notifier& notifier, QWidget* dialogParent);

    void save();
    void open();
    // Opens path as a test file and redraws; on failure shows why and leaves
    // the current test as it was.
    bool openFile(const QString& path);

    // The file dialogs; replaced by tests. An empty result means cancelled.
    std::function<QString(const QString& proposedPath)> chooseSaveFile;
    std::function<QString(const QString& folder)> chooseOpenFile;

private:
    AcquisitionState& state_;
    MainWindowView& view_;
    Notifier& notifier_;
    QString lastFolder_;  // the dialogs open where the user last was
};
