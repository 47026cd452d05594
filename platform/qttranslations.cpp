#include "platform/qttranslations.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zendry {

QStringList QtTranslations::folders()
{
    return { QCoreApplication::applicationDirPath() + "/translations",
             QLibraryInfo::path(QLibraryInfo::TranslationsPath) };
}

bool QtTranslations::load(QTranslator &translator, const QLocale &locale)
{
    for (const QString &folder : folders()) {
        if (translator.load(locale, "qtbase", "_", folder))
            return true;
    }
    return false;
}

void QtTranslations::install()
{
    // The window is laid out as designed in every language: a Hebrew or
    // Arabic translation would otherwise mirror it.
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (load(*translator, QLocale::system()))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace zendry
