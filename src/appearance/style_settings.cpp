#include "appearance/style_settings.h"

#include "acquisition/main_window_view.h"
#include "acquisition/sys_settings.h"
#include "display/display_colors.h"

#include <QCoreApplication>
#include <QDir>

namespace StyleTables {

namespace {
// Rows: " Black", " White", " Gray" and " Blue-green", " Yellow", " Light Black".
const QRgb kBackgroundColors[kColorItemCount] = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(238, 238, 238)};
const QRgb kScaleColors[kColorItemCount] = {qRgb(0, 128, 128), qRgb(239, 239, 0), qRgb(170, 170, 170)};

bool IsColorItem(int item) { return item >= 0 && item < kColorItemCount; }
} // namespace

QColor BackgroundColor(int item) { return IsColorItem(item) ? QColor(kBackgroundColors[item]) : QColor(); }

QColor ScaleColor(int item) { return IsColorItem(item) ? QColor(kScaleColors[item]) : QColor(); }

QString SkinFileName(int skin) { return QStringLiteral("SkinsFile/%1.vqs").arg(skin, 2, 10, QLatin1Char('0')); }

QString SkinFilePath(const QString& programFolder, int skin)
{
    return QDir(programFolder).filePath(SkinFileName(skin));
}

} // namespace StyleTables

namespace {

constexpr int kLastSkin = StyleTables::kSkinItemCount - 1;

// Item 0 switches skinning off, items 1..6 load their skin file. A skin that
// cannot be loaded leaves the look as it was, and the user is told.
bool ApplySkinItem(const StyleServices& services, int item)
{
    if (item == 0) {
        services.skins.switchOff();
        return true;
    }
    const QString path = StyleTables::SkinFilePath(services.programFolder, item);
    QString error;
    if (services.skins.load(path, &error)) return true;
    if (services.reportProblem) {
        services.reportProblem(QCoreApplication::translate("StyleSettings", "Skin %1 could not be loaded from %2: %3. The style stays as it was.")
                                   .arg(item)
                                   .arg(QDir::toNativeSeparators(path), error));
    }
    return false;
}

} // namespace

void LoadStartupStyle(const StyleServices& services)
{
    const int skin = services.settings.readInt(SysSetKeys::Skin);
    if (skin >= 0 && skin <= kLastSkin) ApplySkinItem(services, skin);
}

StyleSettings::StyleSettings(const StyleServices& services) : services_(services) {}

void StyleSettings::restore()
{
    SysSettings& settings = services_.settings;
    select(skinItem_, settings.readInt(SysSetKeys::Skin), StyleTables::kSkinItemCount, &StyleSettings::skinChosen);
    select(backgroundItem_, settings.readInt(SysSetKeys::WaveBackground), StyleTables::kColorItemCount,
           &StyleSettings::backgroundChosen);
    select(scaleItem_, settings.readInt(SysSetKeys::ScaleColor), StyleTables::kColorItemCount,
           &StyleSettings::scaleChosen);
}

void StyleSettings::select(int& selected, int item, int itemCount, void (StyleSettings::*choose)(int))
{
    if (item < 0 || item >= itemCount) {
        // A stored number that names no item leaves the group without a
        // selection and changes nothing else.
        selected = StyleTables::kNoItem;
        return;
    }
    if (item != selected) (this->*choose)(item);
}

void StyleSettings::skinChosen(int item)
{
    if (item < 0 || item > kLastSkin) return;
    // A skin that did not load is not remembered: the stored value and the
    // selection keep describing the look that is actually shown.
    if (!ApplySkinItem(services_, item)) return;
    skinItem_ = item;
    store(SysSetKeys::Skin, item);
}

void StyleSettings::backgroundChosen(int item)
{
    const QColor color = StyleTables::BackgroundColor(item);
    if (!color.isValid()) return;
    backgroundItem_ = item;
    services_.colors.GraphBackgroundColor = color;
    store(SysSetKeys::WaveBackground, item);
    services_.mainWindow.redrawMainDisplay();
}

void StyleSettings::scaleChosen(int item)
{
    const QColor color = StyleTables::ScaleColor(item);
    if (!color.isValid()) return;
    scaleItem_ = item;
    services_.colors.ScaleColor = color;
    store(SysSetKeys::ScaleColor, item);
    services_.mainWindow.redrawMainDisplay();
}

// A choice that cannot be stored still holds for this run; the user is told
// that the next start will not remember it.
void StyleSettings::store(const SettingKey& key, int value)
{
    QString error;
    if (!services_.settings.writeInt(key, value, &error) && services_.reportProblem) {
        services_.reportProblem(QCoreApplication::translate("StyleSettings", "The style cannot be saved to %1: %2. It applies until the program ends.")
                                    .arg(services_.settings.path(), error));
    }
}
