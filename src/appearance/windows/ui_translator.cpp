#include "appearance/windows/ui_translator.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstring>

QString SourceTextQuery(const QString& context, const QString& text)
{
    // The context keeps apart texts that read the same in English but not
    // in the instrument's words ("Stop" from "Stop  " and from "停止").
    return context + QChar(0x1F) + text;
}

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

void UiTranslator::install(bool translating)
{
    // Removing and installing again is what tells every window.
    if (installed_) QCoreApplication::removeTranslator(&translator_);
    translator_.translating = translating;
    installed_ = QCoreApplication::installTranslator(&translator_);
}

bool UiTranslator::apply(UiLanguage language, QString* error)
{
    if (language == language_) return true;
    if (language == UiLanguage::Instrument) {
        install(false);
        language_ = language;
        return true;
    }
    const QString file = translationFile(language);
    // Tried on a fresh translator first, so a bad file leaves the current
    // language in place.
    QTranslator probe;
    if (!probe.load(file) || !translator_.load(file)) {
        if (error)
            *error = QCoreApplication::translate("UiTranslator", "The translation %1 cannot be read.").arg(file);
        return false;
    }
    install(true);
    language_ = language;
    return true;
}

QString UiTranslator::Translator::translate(const char* context, const char* sourceText, const char* disambiguation,
                                            int n) const
{
    if (context && std::strcmp(context, kSourceTextContext) == 0) {
        const QMutexLocker lock(&mutex_);
        return sources_.value(QString::fromUtf8(sourceText));
    }
    if (!translating) return QString();
    QString text = QTranslator::translate(context, sourceText, disambiguation, n);
    if (!text.isEmpty()) {
        const QMutexLocker lock(&mutex_);
        sources_.insert(SourceTextQuery(QString::fromUtf8(context), text), QString::fromUtf8(sourceText));
    }
    return text;
}
