// Reading SysSet.ini and EnterInfo.ini with the INI reader both share: every
// key the program reads, through the code that reads it at start-up (the
// communication keys, the style with its write-backs, the record settings,
// the report information), then one key written as a settings dialog writes
// it. The file may hold anything: no sections, duplicate sections and keys,
// comments, CR LF or CR line ends, NULs, bytes that are not UTF-8.
//
// Properties: the record settings are always usable (valid codes and steps),
// the style's colours are from the tables, a written key reads back as
// written, and writing one key keeps every other line of the file byte for
// byte.

#include "fuzz_support.h"

#include "acquisition/ini_file.h"
#include "acquisition/main_window_view.h"
#include "acquisition/sys_settings.h"
#include "appearance/style_settings.h"
#include "display/display_colors.h"
#include "link/port_discovery.h"
#include "recording/record_settings.h"

#include <QList>

namespace {

class NullSkinEngine : public SkinEngine {
public:
    bool load(const QString&, QString*) override { return true; }
    void switchOff() override {}
};

class NullMainWindow : public MainWindowView {
public:
    void setStatusText(int, const QString&) override {}
    void setControlEnabled(Control, bool) override {}
    void setProgress(int) override {}
    void redrawMainDisplay() override {}
};

// The file's lines as bytes, without their line ends and the carriage
// returns before them (which no reader of the file tells apart).
QList<QByteArray> Lines(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    if (lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& line : lines)
        while (line.endsWith('\r')) line.chop(1);
    return lines;
}

// True when `after` is `before` with one line replaced, or with the lines
// of a new key (and its section) added in one place: writing a key changed
// no other line.
bool KeepsOtherLines(const QList<QByteArray>& before, const QList<QByteArray>& after)
{
    qsizetype head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < after.size() - head
           && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const qsizetype removed = before.size() - head - tail;
    const qsizetype added = after.size() - head - tail;
    return removed <= 1 && added <= 3;
}

void ReadSysSet(const QString& path)
{
    SysSettings settings(path);
    for (const SettingKey& key : {SysSetKeys::Baudrate, SysSetKeys::Port, SysSetKeys::Address, SysSetKeys::Skin,
                                  SysSetKeys::WaveBackground, SysSetKeys::ScaleColor, SysSetKeys::SamplingStep,
                                  SysSetKeys::SaveStep, SysSetKeys::TemperatureInterface}) {
        settings.readInt(key);
        settings.readText(key);
    }
    PortPathFromSetting(settings.readText(SysSetKeys::Port));

    const RecordSettings record = LoadRecordSettings(settings);
    for (const int32_t code : record.channelCodes) FUZZ_CHECK(IsValidQuantityCode(code));
    FUZZ_CHECK(IsValidSamplingStep(record.samplingStep));
    FUZZ_CHECK(IsValidSaveStep(record.saveStep));
    FUZZ_CHECK(record.samplingIntervalMs() > 0 && record.saveIntervalMs() > 0);

    // Start-up: the stored skin, then the style dialog's creation, which
    // writes back what it selects.
    DisplayColors colors;
    NullSkinEngine skins;
    NullMainWindow mainWindow;
    const StyleServices services{settings, colors, skins, mainWindow, QStringLiteral("/nonexistent"), {}};
    LoadStartupStyle(services);
    StyleSettings style(services);
    style.restore();
    for (const QColor& color : {colors.GraphBackgroundColor, colors.ScaleColor}) FUZZ_CHECK(color.isValid());
}

void ReadEnterInfo(const QString& path)
{
    const IniFile file(path);
    for (const char* key : {"ProjectName", "company", "conner", "date", "temperature"})
        file.readString(QStringLiteral("PrintInfo"), QLatin1String(key), QStringLiteral("2"));
    int units = 0;
    ParseDecimalInt(file.readString(QStringLiteral("PrintInfo"), QStringLiteral("units"), QStringLiteral("2")), &units);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzStartQt("fuzz_ini_file");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    ReadSysSet(FuzzWriteFile("SysSet.ini", input));
    ReadEnterInfo(FuzzWriteFile("EnterInfo.ini", input));

    // One key written as the record settings dialog writes it.
    const QString path = FuzzWriteFile("Written.ini", input);
    IniFile file(path);
    QString error;
    FUZZ_CHECK(file.writeInt(QStringLiteral("RecordSet"), QStringLiteral("Ch3"), 7, &error));
    FUZZ_CHECK(file.readInt(QStringLiteral("RecordSet"), QStringLiteral("Ch3"), -1) == 7);
    // (A UTF-16 file is written back whole, as UTF-8.)
    const bool utf16 = input.startsWith("\xFF\xFE") || input.startsWith("\xFE\xFF");
    if (!utf16) FUZZ_CHECK(KeepsOtherLines(Lines(input), Lines(FuzzReadFile(path))));
    return 0;
}
