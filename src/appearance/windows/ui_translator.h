#pragma once
// Puts a window language into effect for the whole program: installs or
// removes the translator, which makes Qt send every window a LanguageChange,
// on which each window shows its texts again (WindowTexts).

#include "appearance/ui_language.h"

#include <QString>
#include <QTranslator>

class UiTranslator {
public:
    UiTranslator() = default;
    ~UiTranslator();
    UiTranslator(const UiTranslator&) = delete;
    UiTranslator& operator=(const UiTranslator&) = delete;

    // On failure (no readable translation) the language stays as it was and
    // *error says why.
    bool apply(UiLanguage language, QString* error = nullptr);
    UiLanguage language() const { return language_; }

    // translations/qzr6100_en.qm beside the program when there is one (so an
    // installed or replaced file wins), else the copy built into the program.
    static QString translationFile(UiLanguage language);

private:
    QTranslator translator_;
    bool installed_ = false;
    UiLanguage language_ = UiLanguage::Instrument;
};
