// Loading a skin file as the style dialog does: the program's own checks of
// the file (size, text, UTF-8), the rewriting of its relative image paths,
// Qt's parse of the style sheet on a widget nobody sees, and, when it parses,
// applying it to the application and switching skinning off again.
//
// Properties: a file that is refused leaves the look as it was and says
// why; an accepted one is applied as read, with its image paths resolved
// against its folder, and switching off removes it.

#include "fuzz_support.h"

#include "appearance/skin_file.h"
#include "appearance/windows/stylesheet_skin_engine.h"

#include <QApplication>
#include <QFileInfo>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_skin_file";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);  // lives as long as the process
    FuzzStartQt(name);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = FuzzWriteFile("input.vqs", data, size);
    StylesheetSkinEngine engine;
    QString error;
    if (!engine.load(path, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(qApp->styleSheet().isEmpty());
        FUZZ_CHECK(!engine.isOn());
        return 0;
    }
    FUZZ_CHECK(engine.isOn());

    QString sheet;
    FUZZ_CHECK(SkinFile::Read(path, &sheet, &error));
    FUZZ_CHECK(qApp->styleSheet() == SkinFile::ResolveUrls(sheet, QFileInfo(path).absolutePath()));
    engine.switchOff();
    FUZZ_CHECK(qApp->styleSheet().isEmpty());
    return 0;
}
