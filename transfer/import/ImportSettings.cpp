#include "transfer/import/ImportSettings.h"

#include "platform/ini/IniFile.h"

#include <QFileInfo>

namespace {
const QString Section = QStringLiteral("FILE IMPORT");
}

TFileImportSettings ReadFileImportSettings(const QString& IniFile)
{
    const TMemIniFile Ini(IniFile);
    TFileImportSettings Value;
    Value.ImportDest =
        Ini.ReadInteger(Section, QStringLiteral("ImportDest"), 0) == 1 ? TImportDest::Meibo : TImportDest::RecvHis;
    Value.File = Ini.ReadString(Section, QStringLiteral("File"), {});
    if (!Value.File.isEmpty() && !QFileInfo(Value.File).isFile())
        Value.File.clear();
    Value.SkipRecord = Ini.ReadBool(Section, QStringLiteral("SkipRecord"), false);
    Value.SameReplace = Ini.ReadBool(Section, QStringLiteral("SameReplace"), false);
    Value.NotAutoSupplement = Ini.ReadBool(Section, QStringLiteral("NotAutoSupplement"), false);
    return Value;
}

void WriteFileImportSettings(TMemIniFile& Ini, const TFileImportSettings& Value)
{
    Ini.WriteInteger(Section, QStringLiteral("ImportDest"), static_cast<int>(Value.ImportDest));
    Ini.WriteString(Section, QStringLiteral("File"), Value.File);
    Ini.WriteBool(Section, QStringLiteral("SkipRecord"), Value.SkipRecord);
    Ini.WriteBool(Section, QStringLiteral("SameReplace"), Value.SameReplace);
    Ini.WriteBool(Section, QStringLiteral("NotAutoSupplement"), Value.NotAutoSupplement);
}
