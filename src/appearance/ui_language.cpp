#include "appearance/ui_language.h"

#include "acquisition/sys_settings.h"

std::optional<UiLanguage> ParseUiLanguage(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("instrument")) return UiLanguage::Instrument;
    if (n == QLatin1String("en")) return UiLanguage::English;
    return std::nullopt;
}

QString UiLanguageName(UiLanguage language)
{
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("instrument");
}

UiLanguage LoadUiLanguage(const SysSettings& settings)
{
    return ParseUiLanguage(settings.readText(SysSetKeys::Language)).value_or(UiLanguage::Instrument);
}

bool SaveUiLanguage(SysSettings& settings, UiLanguage language, QString* error)
{
    return settings.writeText(SysSetKeys::Language, UiLanguageName(language), error);
}
