#pragma once
// The language of the windows: the instrument's own texts (partly English,
// partly Chinese) or English throughout. Kept in SysSet.ini, section
// "Language", key "Name"; the command line may choose another for one run.
// Files, INI keys, the wire and the command-line tool never change with it.

#include <QString>

#include <optional>

class SysSettings;

enum class UiLanguage { Instrument, English };

// "instrument" or "en" (blanks and case ignored); nothing for any other name.
std::optional<UiLanguage> ParseUiLanguage(const QString& name);
QString UiLanguageName(UiLanguage language);

// The stored choice; a missing or unknown name gives the instrument's texts.
UiLanguage LoadUiLanguage(const SysSettings& settings);
bool SaveUiLanguage(SysSettings& settings, UiLanguage language, QString* error = nullptr);
