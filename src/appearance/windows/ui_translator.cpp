#include "appearance/windows/ui_translator.h"

#include <QCoreApplication>
#include <QFileInfo>

UiTranslator::~UiTranslator()
{
    if (installed_) QCoreApplication::removeTranslator(&translator_);
}

QString UiTranslator::translationFile(UiLanguage language)
{
    if (language == UiLanguage::Instrument) return QString();
    const QString name = QStringLiteral("qzr6100_%1.qm").arg(UiLanguageName(language));
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations/") + name;
    if (QFileInfo(beside).isFile()) return beside;
    return QStringLiteral(":/i18n/") + name;
}

bool UiTranslator::apply(UiLanguage language, QString* error)
{
    if (language == language_ && (installed_ || language == UiLanguage::Instrument)) return true;
    if (language == UiLanguage::Instrument) {
        if (installed_) QCoreApplication::removeTranslator(&translator_);
        installed_ = false;
        language_ = language;
        return true;
    }
    const QString file = translationFile(language);
    // Loaded into a fresh translator first, so a bad file leaves the current
    // language in place.
    QTranslator probe;
    if (!probe.load(file)) {
        if (error)
            *error = QCoreApplication::translate("UiTranslator", "The translation %1 cannot be read.").arg(file);
        return false;
    }
    if (installed_) QCoreApplication::removeTranslator(&translator_);
    installed_ = translator_.load(file) && QCoreApplication::installTranslator(&translator_);
    language_ = installed_ ? language : UiLanguage::Instrument;
    if (!installed_ && error)
        *error = QCoreApplication::translate("UiTranslator", "The translation %1 cannot be read.").arg(file);
    return installed_;
}
