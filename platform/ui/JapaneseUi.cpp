#include "platform/ui/JapaneseUi.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallJapaneseUi()
{
    const QLocale Japan(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(Japan);
    auto* Translator = new QTranslator(QCoreApplication::instance());
    if (!Translator->load(Japan, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete Translator;
        return false;
    }
    return QCoreApplication::installTranslator(Translator);
}
