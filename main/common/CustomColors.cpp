#include "main/common/CustomColors.h"

#include "platform/ini/IniFile.h"

#include <QFileInfo>

namespace {

const QString Section = QStringLiteral("COMMON");

QString FileIn(const QString& Folder)
{
    return (Folder.isEmpty() || Folder.endsWith(QLatin1Char('/')) ? Folder : Folder + QLatin1Char('/')) +
           CustomColorsFile;
}

} // namespace

QColor CustomColorOfText(const QString& Text)
{
    const QString T = Text.trimmed();
    bool Ok = false;
    const unsigned Value = T.toUInt(&Ok, 16);
    // toUInt takes a "0x" prefix and a sign; the file holds exactly six digits or means black.
    if (T.size() != 6 || !Ok || T.contains(QLatin1Char('x'), Qt::CaseInsensitive) || T.startsWith(QLatin1Char('+')))
        return QColor(Qt::black);
    return QColor(int(Value & 0xFF), int((Value >> 8) & 0xFF), int((Value >> 16) & 0xFF));
}

QString CustomColorText(const QColor& Color)
{
    const unsigned Value = unsigned(Color.red()) | (unsigned(Color.green()) << 8) | (unsigned(Color.blue()) << 16);
    return QStringLiteral("%1").arg(Value, 6, 16, QLatin1Char('0')).toUpper();
}

QList<QColor> LoadCustomColors(const QString& SettingsFolder)
{
    const TMemIniFile Ini(FileIn(SettingsFolder));
    QList<QColor> Colors;
    for (int I = 0; I < CustomColorCount; ++I)
        Colors << CustomColorOfText(Ini.ReadString(Section, QString::number(I), QStringLiteral("000000")));
    return Colors;
}

bool SaveCustomColors(const QString& SettingsFolder, const QList<QColor>& Colors)
{
    const auto Write = [&Colors](TMemIniFile& Ini) {
        for (int I = 0; I < CustomColorCount; ++I)
            Ini.WriteString(Section, QString::number(I),
                            CustomColorText(I < Colors.size() ? Colors[I] : QColor(Qt::black)));
        return Ini.UpdateFile();
    };
    // The file holds nothing but the colours, all of which are written: one the programs cannot read,
    // or whose lines would not read back, is made anew, readable by its owner, rather than kept as it
    // is with every later save refused.
    TMemIniFile Ini(FileIn(SettingsFolder), TFileAccess::OwnerOnly);
    if (QFileInfo(Ini.FileName()).isReadable() && Write(Ini))
        return true;
    TMemIniFile Fresh(FileIn(SettingsFolder), TFileAccess::OwnerOnly);
    Fresh.FromBytes({});
    return Write(Fresh);
}
