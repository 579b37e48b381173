// The choice of language from the environment, and the English translation
// built into the program (translations/torvesk_en.ts).
#include "shell/interface_language.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTranslator>

namespace torvesk::shell {

namespace {

constexpr char kEnglishTranslation[] = ":/i18n/torvesk_en.qm";

// The languages the environment names, most wanted first.
QStringList Preferences(const EnvironmentLookup& environment) {
    QStringList languages = environment("LANGUAGE").split(u':', Qt::SkipEmptyParts);
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const QString locale = environment(name); !locale.isEmpty()) {
            languages << locale;
            break;
        }
    return languages;
}

bool NamesNoLanguage(const QString& locale) {
    return locale == u"C" || locale.startsWith(u"C.") || locale == u"POSIX";
}

} // namespace

InterfaceLanguage ChooseInterfaceLanguage(const EnvironmentLookup& environment) {
    for (const QString& language : Preferences(environment))
        if (!NamesNoLanguage(language))
            return language.startsWith(u"ja") ? InterfaceLanguage::Japanese
                                              : InterfaceLanguage::English;
    return InterfaceLanguage::Japanese;
}

std::unique_ptr<QTranslator> InstallTranslation(const EnvironmentLookup& environment) {
    if (ChooseInterfaceLanguage(environment) == InterfaceLanguage::Japanese)
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QString::fromLatin1(kEnglishTranslation)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace torvesk::shell
