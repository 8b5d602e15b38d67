#include "language.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace i18n {

std::optional<QString> languageOption(const QStringList &arguments)
{
    const QString option = QStringLiteral("--language");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == option)
            return i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (arguments[i].startsWith(option + QLatin1Char('=')))
            return arguments[i].mid(option.size() + 1);
    }
    return std::nullopt;
}

std::optional<Language> languageNamed(const QString &name)
{
    if (name == QLatin1String("zh"))
        return Language::Chinese;
    if (name == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

Language chooseLanguage(const std::optional<QString> &option, const QStringList &uiLanguages)
{
    if (option)
        if (const auto named = languageNamed(*option))
            return *named;
    for (const QString &language : uiLanguages) {
        // "en", "en-US", "zh-Hans-CN", "zh_TW": the language is the part before a separator.
        const QString code =
            language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
        if (code == QLatin1String("en"))
            return Language::English;
        if (code == QLatin1String("zh"))
            return Language::Chinese;
    }
    return Language::Chinese;
}

Language languageFor(const QStringList &arguments)
{
    return chooseLanguage(languageOption(arguments), QLocale::system().uiLanguages());
}

void installTranslations(Language language)
{
    auto *application = QCoreApplication::instance();
    const auto install = [application](auto &&load) {
        auto *translator = new QTranslator(application);
        if (load(*translator))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    };
    if (language == Language::English) {
        // Each library embeds its own English texts as :/i18n/<library>_en.qm.
        QDirIterator files(QStringLiteral(":/i18n"), {QStringLiteral("*_en.qm")});
        while (files.hasNext()) {
            const QString file = files.next();
            install([&file](QTranslator &translator) { return translator.load(file); });
        }
        return;
    }
    // Qt's own texts are English; Debian ships their Chinese in qt6-translations-l10n, and the
    // Windows download carries the same file beside the program.
    install([](QTranslator &translator) {
        return translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                               QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    });
}

QString listed(const QStringList &items)
{
    return items.join(QCoreApplication::translate("Lists", "、", "between the items of a list"));
}

} // namespace i18n
