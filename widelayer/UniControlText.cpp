#include "widelayer/UniControlText.h"

#include <QLocale>

QString GetShortHint(const QString& Hint)
{
    const qsizetype Bar = Hint.indexOf(u'|');
    return Bar < 0 ? Hint : Hint.left(Bar);
}

QString GetLongHint(const QString& Hint)
{
    const qsizetype Bar = Hint.indexOf(u'|');
    return Bar < 0 ? Hint : Hint.mid(Bar + 1);
}

QString StripHotkey(const QString& Caption, bool FarEastLocale)
{
    QString Out;
    Out.reserve(Caption.size());
    for (qsizetype I = 0; I < Caption.size(); ++I) {
        if (Caption[I] != u'&') {
            Out += Caption[I];
            continue;
        }
        if (FarEastLocale && I > 0 && Caption[I - 1] == u'(' && I + 2 < Caption.size() && Caption[I + 2] == u')' &&
            Out.endsWith(u'(')) {
            Out.chop(1);
            I += 2;
        }
    }
    return Out;
}

QString StripHotkey(const QString& Caption)
{
    const QLocale::Language Language = QLocale::system().language();
    return StripHotkey(Caption,
                       Language == QLocale::Japanese || Language == QLocale::Chinese || Language == QLocale::Korean);
}
