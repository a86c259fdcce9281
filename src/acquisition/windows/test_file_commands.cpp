#include "acquisition/windows/test_file_commands.h"

#include "acquisition/acquisition_state.h"
#include "acquisition/main_window_view.h"
#include "acquisition/notifier.h"
#include "acquisition/test_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

TestFileCommands::TestFileCommands(AcquisitionState& state, MainWindowView& view, Notifier& notifier,
                                   QWidget* dialogParent)
    : state_(state), view_(view), notifier_(notifier), lastFolder_(QDir::homePath())
{
    chooseSaveFile = [dialogParent](const QString& proposed) {
        QFileDialog dialog(dialogParent, tr("Save"), proposed,
                           tr("Velquor Test File(.vqm) (*.vqm)"));
        dialog.setObjectName(QStringLiteral("SaveDialog1"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("vqm"));
        // The overwrite question is asked by the program itself.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(proposed);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    chooseOpenFile = [dialogParent](const QString& folder) {
        return QFileDialog::getOpenFileName(dialogParent, tr("Open"), folder,
                                            tr("VelquorFile (*.vqm);;AllFile (*)"));
    };
}

void TestFileCommands::save()
{
    const QString path = chooseSaveFile(QDir(lastFolder_).filePath(QStringLiteral("TestFile.vqm")));
    if (path.isEmpty()) return;
    lastFolder_ = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(path) &&
        notifier_.question(tr("  File already exists, overwrite?  "), tr("File exists")) !=
            Notifier::Answer::Yes)
        return;
    QString error;
    if (!SaveTestFile(path, state_.TestRecord, &error)) notifier_.message(error, QString(), Notifier::Icon::Error);
}

void TestFileCommands::open()
{
    const QString path = chooseOpenFile(lastFolder_);
    if (path.isEmpty()) return;
    lastFolder_ = QFileInfo(path).absolutePath();
    openFile(path);
}

bool TestFileCommands::openFile(const QString& path)
{
    QString error;
    if (!LoadTestFile(path, state_.TestRecord, &error)) {
        notifier_.message(error, QString(), Notifier::Icon::Error);
        return false;
    }
    view_.redrawMainDisplay();
    return true;
}
