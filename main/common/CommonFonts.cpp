#include "main/common/CommonFonts.h"

#include <QFontDatabase>
#include <QSet>

namespace {

// The Windows fonts that stored settings name, drawn here in the installed font that stands in for
// them: fontconfig knows no full-width name, so Qt would fall back to a Latin sans font.
void InstallFontSubstitutes()
{
    static bool Installed = false;
    if (Installed)
        return;
    Installed = true;
    const QString Family = JapaneseMonospaceFamily();
    if (!Family.isEmpty() && !QFontDatabase::families().contains(MsGothicFontName))
        QFont::insertSubstitution(MsGothicFontName, Family);
}

} // namespace

QString JapaneseMonospaceFamily()
{
    static const QString Family = [] {
        const QStringList Families = QFontDatabase::families();
        if (Families.contains(QStringLiteral("Noto Sans Mono CJK JP")))
            return QStringLiteral("Noto Sans Mono CJK JP");
        for (const QString& Each : Families)
            if (Each.contains(QStringLiteral("Mono")) &&
                QFontDatabase::writingSystems(Each).contains(QFontDatabase::Japanese))
                return Each;
        return QString();
    }();
    return Family;
}

QString ResolveFontName(const QString& Name)
{
    InstallFontSubstitutes();
    if (QFontDatabase::families().contains(Name))
        return Name;
    const QStringList Substitutes = QFont::substitutes(Name);
    return Substitutes.isEmpty() ? Name : Substitutes.first();
}

int SetFontAttributes(QFont* Font, int Charset, const QString& Name, int StyleBits, int Size)
{
    if (Font == nullptr)
        return 0;
    Font->setFamily(Name);
    InstallFontSubstitutes();
    Font->setPointSize(Size);
    Font->setBold((StyleBits & FONT_STYLE_BOLD) != 0);
    Font->setItalic((StyleBits & FONT_STYLE_ITALIC) != 0);
    Font->setUnderline((StyleBits & FONT_STYLE_UNDERLINE) != 0);
    Font->setStrikeOut((StyleBits & FONT_STYLE_STRIKEOUT) != 0);
    return 1;
}

int GetFontStyleBits(const QFont& Font)
{
    int Bits = 0;
    if (Font.bold())
        Bits |= FONT_STYLE_BOLD;
    if (Font.italic())
        Bits |= FONT_STYLE_ITALIC;
    if (Font.underline())
        Bits |= FONT_STYLE_UNDERLINE;
    if (Font.strikeOut())
        Bits |= FONT_STYLE_STRIKEOUT;
    return Bits;
}

QString FamilyWithoutFoundry(const QString& Family)
{
    const qsizetype Bracket = Family.lastIndexOf(QStringLiteral(" ["));
    return Bracket > 0 && Family.endsWith(QLatin1Char(']')) ? Family.left(Bracket) : Family;
}

QList<TFontListEntry> ListFonts(bool FixedPitchOnly, bool WithSymbol)
{
    QList<TFontListEntry> Fonts;
    InstallFontSubstitutes();
    if (!JapaneseMonospaceFamily().isEmpty())
        Fonts.append({MsGothicFontName, SHIFTJIS_CHARSET});
    // A set: a machine may have thousands of families, each looked for among those already listed.
    QSet<QString> Listed;
    for (const QString& Family : QFontDatabase::families()) {
        if (Family.startsWith(QLatin1Char('@')) || QFontDatabase::isPrivateFamily(Family))
            continue;
        if (Family == MsGothicFontName && !Fonts.isEmpty())
            continue;
        // A family several foundries make is listed as "Name [Foundry]" for each; the print and the
        // settings know it by its name, which resolves to one of them.
        const QString Name = FamilyWithoutFoundry(Family);
        if (Listed.contains(Name))
            continue;
        if (!QFontDatabase::isSmoothlyScalable(Family))
            continue;
        if (FixedPitchOnly && !QFontDatabase::isFixedPitch(Family))
            continue;
        const QList<QFontDatabase::WritingSystem> Systems = QFontDatabase::writingSystems(Family);
        int Charset = -1;
        if (Systems.contains(QFontDatabase::Japanese))
            Charset = SHIFTJIS_CHARSET;
        else if (Systems.contains(QFontDatabase::Latin))
            Charset = ANSI_CHARSET;
        else if (WithSymbol && Systems.contains(QFontDatabase::Symbol))
            Charset = SYMBOL_CHARSET;
        if (Charset < 0)
            continue;
        Fonts.append({Name, Charset});
        Listed.insert(Name);
    }
    return Fonts;
}
