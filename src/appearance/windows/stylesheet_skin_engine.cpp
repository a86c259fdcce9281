#include "appearance/windows/stylesheet_skin_engine.h"

#include "appearance/skin_file.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

namespace {

// Qt reports a style sheet it cannot parse only as a warning, and then
// ignores the whole sheet. While a sheet is tried the warning is caught here;
// every other message goes on to the handler that was installed before.
QtMessageHandler gPreviousHandler = nullptr;
bool gParseFailed = false;

void CatchParseFailure(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("Could not parse"))) {
        gParseFailed = true;
        return;
    }
    if (gPreviousHandler) gPreviousHandler(type, context, message);
}

} // namespace

bool StyleSheetParses(const QString& sheet)
{
    gParseFailed = false;
    gPreviousHandler = qInstallMessageHandler(CatchParseFailure);
    {
        QWidget probe;
        probe.setStyleSheet(sheet);
        probe.ensurePolished();
    }
    qInstallMessageHandler(gPreviousHandler);
    gPreviousHandler = nullptr;
    return !gParseFailed;
}

bool StylesheetSkinEngine::load(const QString& path, QString* error)
{
    QString sheet;
    if (!SkinFile::Read(path, &sheet, error)) return false;
    sheet = SkinFile::ResolveUrls(sheet, QFileInfo(path).absolutePath());
    if (!StyleSheetParses(sheet)) {
        if (error) *error = QStringLiteral("the file is not a style sheet Qt can read");
        return false;
    }
    // Setting the same sheet again would repolish every widget for nothing.
    if (qApp->styleSheet() != sheet) qApp->setStyleSheet(sheet);
    currentPath_ = path;
    return true;
}

void StylesheetSkinEngine::switchOff()
{
    qApp->setStyleSheet(QString());
    currentPath_.clear();
}
