#pragma once
// The look of the program: the skin that restyles every window, the fill of
// every plot (GraphBackgroundColor) and the colour of grids, axes and ticks
// (ScaleColor). The style dialog forwards its three radio groups here; the
// choices take effect at once and are kept in SysSet.ini.

#include <QColor>
#include <QString>

#include <functional>

class MainWindowView;
class SysSettings;
struct DisplayColors;
struct SettingKey;

// What restyles the windows. Loading a skin switches skinning on.
class SkinEngine {
public:
    virtual ~SkinEngine() = default;
    // Applies the skin in the file at path to every window of the program.
    // On failure the current look stays and *error says why.
    virtual bool load(const QString& path, QString* error) = 0;
    // Back to the platform's own look.
    virtual void switchOff() = 0;
};

namespace StyleTables {
inline constexpr int kNoItem = -1;
inline constexpr int kSkinItemCount = 7;   // "WINDOWS" and "Skin 1" .. "Skin 6"
inline constexpr int kColorItemCount = 3;  // items of each colour group

// The colour of a background or scale item; an invalid QColor outside 0..2.
QColor BackgroundColor(int item);
QColor ScaleColor(int item);

// The file of skin n (1..6) relative to the program's folder: "SkinsFile/0n.vqs".
QString SkinFileName(int skin);
QString SkinFilePath(const QString& programFolder, int skin);
} // namespace StyleTables

struct StyleServices {
    SysSettings& settings;
    DisplayColors& colors;
    SkinEngine& skins;
    MainWindowView& mainWindow;  // redrawn after a colour change
    QString programFolder;       // the folder that holds SkinsFile/
    // Tells the user that something did not work (the main status bar).
    std::function<void(const QString&)> reportProblem;
};

// Applies the stored skin while the main window is being created: "Skin" 0
// switches skinning off, 1..6 loads that skin, any other number changes nothing.
void LoadStartupStyle(const StyleServices& services);

class StyleSettings {
public:
    explicit StyleSettings(const StyleServices& services);
    StyleSettings(const StyleSettings&) = delete;
    StyleSettings& operator=(const StyleSettings&) = delete;

    // Runs when the style dialog is created: selects the stored item of each
    // group. Selecting an item other than the one already selected acts as if
    // the user had chosen it, so the stored colours take effect here and are
    // written back; a stored value that names no item selects nothing.
    void restore();

    // The user picked an item; picking the selected one again applies it
    // again. A skin that does not load leaves the look, the selection and the
    // stored value as they were, and the user is told why.
    void skinChosen(int item);
    void backgroundChosen(int item);
    void scaleChosen(int item);

    // The selected item of each group, StyleTables::kNoItem for none.
    int skinItem() const { return skinItem_; }
    int backgroundItem() const { return backgroundItem_; }
    int scaleItem() const { return scaleItem_; }

private:
    void select(int& selected, int item, int itemCount, void (StyleSettings::*choose)(int));
    void store(const SettingKey& key, int value);

    StyleServices services_;
    int skinItem_ = 1;  // the dialog comes up with "Skin 1" selected
    int backgroundItem_ = StyleTables::kNoItem;
    int scaleItem_ = StyleTables::kNoItem;
};
