#pragma once
// Puts a window language into effect for the whole program: installs or
// removes the translation, which makes Qt send every window a LanguageChange,
// on which each window shows its texts again (WindowTexts).

#include "appearance/ui_language.h"

#include <QHash>
#include <QMutex>
#include <QString>
#include <QTranslator>

// Asked with QCoreApplication::translate(kSourceTextContext,
// SourceTextQuery(context, text)), the translation answers with the text
// that `text` was translated from in that context: so a window built while
// English is shown, or a status line written in English, returns to the
// instrument's words with the rest.
inline constexpr char kSourceTextContext[] = "qzr6100 source text";
QString SourceTextQuery(const QString& context, const QString& text);

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
    // Translates while a language is in effect and remembers what it gave
    // out, which it tells through kSourceTextContext in either language.
    class Translator : public QTranslator {
    public:
        QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                          int n = -1) const override;
        bool isEmpty() const override { return false; }
        bool translating = false;

    private:
        mutable QMutex mutex_;  // translations may be asked for from any thread
        mutable QHash<QString, QString> sources_;
    };

    void install(bool translating);

    Translator translator_;
    bool installed_ = false;
    UiLanguage language_ = UiLanguage::Instrument;
};
