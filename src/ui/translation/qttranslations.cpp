#include "ui/translation/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

// The one translator the program installs; it lives until the application object goes.
std::unique_ptr<QTranslator> &installed()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

QString qtTranslationCode(int language)
{
    switch (language) {
    case 0: return QStringLiteral("de");
    case 2: return QStringLiteral("it");
    default: return QString();
    }
}

bool installQtTranslations(int language)
{
    std::unique_ptr<QTranslator> &current = installed();
    if (current) {
        QCoreApplication::removeTranslator(current.get());
        current.reset();
    }
    const QString code = qtTranslationCode(language);
    if (code.isEmpty())
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    current = std::move(translator);
    return true;
}
