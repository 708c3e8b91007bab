#include "main/settings/IPPBXIni.h"

#include "main/common/CommonText.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {
const QString Sip = QStringLiteral("SIP");
const QString IPPBX = QStringLiteral("IPPBX");

QString ToAnsi(const QString& Text)
{
    return ToHalfWidthAlnum(WideDigitsToAnsi(Text.trimmed()));
}
} // namespace

QString IPPBXIniFileName()
{
    return IPPBXPath.isEmpty() ? QString() : IPPBXPath + QLatin1Char('/') + IPPBXIniName;
}

bool IPPBXKindHasUser(int AdapterKind)
{
    return AdapterKind != 200 && AdapterKind != 211;
}

TIPPBXValues NormalizeIPPBXValues(const TIPPBXValues& Typed)
{
    return {ToAnsi(Typed.From), ToAnsi(Typed.Host), ToAnsi(Typed.Telno), Typed.User.trimmed(), ToAnsi(Typed.Password)};
}

std::optional<TIPPBXProblem> CheckIPPBXValues(const TIPPBXValues& Values, bool WithUser)
{
    static const QRegularExpression AddressCharacters(QStringLiteral("^[0-9.]*$"));
    // Each value is one line of VxComm3ip.ini; a line break would hand the library keys nobody set.
    const auto LineBreak = [](TIPPBXField Field, const QString& Label) {
        return TIPPBXProblem{Field, Label + QStringLiteral("に改行は使用できません  ")};
    };
    if (Values.Host.isEmpty())
        return TIPPBXProblem{TIPPBXField::Host, QStringLiteral("IPアドレスを入力してください  ")};
    if (!AddressCharacters.match(Values.Host).hasMatch())
        return TIPPBXProblem{TIPPBXField::Host, QStringLiteral("IPアドレスには数字とピリオド以外は設定できません  ")};
    if (Values.From.isEmpty())
        return TIPPBXProblem{TIPPBXField::From, QStringLiteral("内線番号を入力してください  ")};
    if (HoldsLineBreak(Values.From))
        return LineBreak(TIPPBXField::From, QStringLiteral("内線番号"));
    if (Values.Telno.isEmpty())
        return TIPPBXProblem{TIPPBXField::Telno, QStringLiteral("電話番号を入力してください  ")};
    if (HoldsLineBreak(Values.Telno))
        return LineBreak(TIPPBXField::Telno, QStringLiteral("電話番号"));
    if (WithUser && Values.User.isEmpty())
        return TIPPBXProblem{TIPPBXField::User, QStringLiteral("名前を入力してください  ")};
    if (WithUser && HoldsLineBreak(Values.User))
        return LineBreak(TIPPBXField::User, QStringLiteral("名前"));
    if (WithUser && Values.Password.isEmpty())
        return TIPPBXProblem{TIPPBXField::Password, QStringLiteral("パスワードを入力してください  ")};
    if (WithUser && HoldsLineBreak(Values.Password))
        return LineBreak(TIPPBXField::Password, QStringLiteral("パスワード"));
    return std::nullopt;
}

TIPPBXValues LoadIPPBXSettings(const QString& FileName)
{
    const TMemIniFile Ini(FileName);
    TIPPBXValues Values;
    Values.From = Ini.ReadString(Sip, QStringLiteral("From"), QString());
    Values.Host = Ini.ReadString(IPPBX, QStringLiteral("Host"), QString());
    Values.Telno = Ini.ReadString(IPPBX, QStringLiteral("Telno"), QString());
    Values.User = Ini.ReadString(IPPBX, QStringLiteral("User"), QString());
    Values.Password = Ini.ReadString(IPPBX, QStringLiteral("Password"), QString());
    return Values;
}

bool SaveIPPBXSettings(const QString& FileName, const TIPPBXValues& Values, bool WithUser)
{
    if (FileName.isEmpty() || !CreateOwnerOnlyFolder(QFileInfo(FileName).path()))
        return false;
    TMemIniFile Ini(FileName, TFileAccess::OwnerOnly);
    Ini.WriteString(Sip, QStringLiteral("From"), Values.From);
    Ini.WriteString(IPPBX, QStringLiteral("Host"), Values.Host);
    Ini.WriteString(IPPBX, QStringLiteral("Telno"), Values.Telno);
    if (WithUser) {
        Ini.WriteString(IPPBX, QStringLiteral("User"), Values.User);
        Ini.WriteString(IPPBX, QStringLiteral("Password"), Values.Password);
    }
    return Ini.UpdateFile();
}
