#pragma once
// The skin engine of the program: a skin is a Qt style sheet, applied to the
// whole application so that every window, open or yet to be created, takes
// it. Switched off, the application has no style sheet and every window has
// the platform's own look.

#include "appearance/style_settings.h"

#include <QString>

class StylesheetSkinEngine : public SkinEngine {
public:
    // Reads the sheet, makes sure Qt can parse it, and only then applies it:
    // a damaged skin must not replace the current look with the platform's.
    bool load(const QString& path, QString* error) override;
    void switchOff() override;

    bool isOn() const { return !currentPath_.isEmpty(); }
    // The file of the skin in use, empty while skinning is off.
    const QString& currentPath() const { return currentPath_; }

private:
    QString currentPath_;
};

// True when Qt parses the style sheet; it is tried on a widget nobody sees.
bool StyleSheetParses(const QString& sheet);
