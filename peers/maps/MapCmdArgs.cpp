#include "peers/maps/MapCmdArgs.h"

#include <QFileInfo>
#include <cmath>

namespace {

// A number written with digits and at most one point, as the programs are given them.
bool ReadNumber(const QString& Text, double Divisor, double& Out)
{
    if (Text.isEmpty() || Text.size() > 20)
        return false;
    int Points = 0;
    for (const QChar C : Text) {
        if (C == QLatin1Char('.'))
            ++Points;
        else if (C < QLatin1Char('0') || C > QLatin1Char('9'))
            return false;
    }
    if (Points > 1 || Text == QLatin1String("."))
        return false;
    bool Ok = false;
    const double Value = Text.toDouble(&Ok);
    if (!Ok || !std::isfinite(Value))
        return false;
    Out = Value / Divisor;
    return true;
}

TMapCmdRequest Fail(TMapCmdKind Kind, const QString& Why)
{
    TMapCmdRequest R;
    R.Kind = Kind;
    R.Error = Why;
    return R;
}

TMapCmdRequest ReadEmapZ(const QStringList& A)
{
    TMapCmdRequest R;
    R.Kind = TMapCmdKind::EmapZ;
    if (A.size() < 8 || A.size() > 9)
        return Fail(R.Kind, QStringLiteral("引数の数が違います"));
    if (!ReadNumber(A.at(0), 36000.0, R.Longitude) || !ReadNumber(A.at(1), 36000.0, R.Latitude))
        return Fail(R.Kind, QStringLiteral("座標が読めません"));
    if (A.at(7) != QLatin1String("0") && A.at(7) != QLatin1String("1"))
        return Fail(R.Kind, QStringLiteral("検索方法が読めません"));
    R.ByPosition = A.at(7) == QLatin1String("0");
    R.Address = A.value(8);
    return R;
}

TMapCmdRequest ReadItsMoNavi(const QStringList& A)
{
    TMapCmdRequest R;
    R.Kind = TMapCmdKind::ItsMoNavi;
    const QStringList Tail = {QStringLiteral("g"), QStringLiteral("1"), QStringLiteral("0")};
    if (A.size() == 7 && A.at(0) == QLatin1String("1") && A.mid(4) == Tail) {
        if (A.at(1) != QLatin1String("tokyo") || A.at(2) != QLatin1String("second"))
            return Fail(R.Kind, QStringLiteral("測地系か単位が違います"));
        const QStringList LonLat = A.at(3).split(QLatin1Char('/'));
        if (LonLat.size() != 2 || !ReadNumber(LonLat.at(0), 3600.0, R.Longitude) ||
            !ReadNumber(LonLat.at(1), 3600.0, R.Latitude))
            return Fail(R.Kind, QStringLiteral("座標が読めません"));
        R.ByPosition = true;
        return R;
    }
    if (A.size() == 5 && A.at(0) == QLatin1String("3") && A.mid(2) == Tail) {
        R.Address = A.at(1);
        return R;
    }
    return Fail(R.Kind, QStringLiteral("引数が読めません"));
}

TMapCmdRequest ReadGrandMap(const QStringList& A)
{
    TMapCmdRequest R;
    R.Kind = TMapCmdKind::GrandMap;
    if (A.size() == 4 && A.at(0) == QLatin1String("/M") && A.at(3) == QLatin1String("2500")) {
        if (!ReadNumber(A.at(1), 1.0, R.Latitude) || !ReadNumber(A.at(2), 1.0, R.Longitude))
            return Fail(R.Kind, QStringLiteral("座標が読めません"));
        R.ByPosition = true;
        return R;
    }
    if (A.size() == 3 && A.at(0) == QLatin1String("/A") && A.at(2) == QLatin1String("2500")) {
        R.Address = A.at(1);
        return R;
    }
    return Fail(R.Kind, QStringLiteral("引数が読めません"));
}

} // namespace

TMapCmdKind MapCmdKindOf(const QString& ProgramFileName)
{
    const QString Name = QFileInfo(ProgramFileName).fileName();
    if (Name.compare(QLatin1String("its-moNavi"), Qt::CaseInsensitive) == 0)
        return TMapCmdKind::ItsMoNavi;
    if (Name.compare(QLatin1String("GrandMap"), Qt::CaseInsensitive) == 0)
        return TMapCmdKind::GrandMap;
    if (Name.compare(QLatin1String("EmapZ"), Qt::CaseInsensitive) == 0)
        return TMapCmdKind::EmapZ;
    return TMapCmdKind::Unknown;
}

QString MapCmdName(TMapCmdKind Kind)
{
    switch (Kind) {
    case TMapCmdKind::EmapZ:
        return QStringLiteral("電子地図帳Ｚ");
    case TMapCmdKind::ItsMoNavi:
        return QStringLiteral("いつもNAVI");
    case TMapCmdKind::GrandMap:
        return QStringLiteral("グランマップ");
    case TMapCmdKind::Unknown:
        break;
    }
    return QStringLiteral("地図ソフト");
}

TMapCmdRequest ReadMapCommand(TMapCmdKind Kind, const QStringList& Args)
{
    switch (Kind) {
    case TMapCmdKind::EmapZ:
        return ReadEmapZ(Args);
    case TMapCmdKind::ItsMoNavi:
        return ReadItsMoNavi(Args);
    case TMapCmdKind::GrandMap:
        return ReadGrandMap(Args);
    case TMapCmdKind::Unknown:
        break;
    }
    const QString First = Args.value(0);
    if (First == QLatin1String("/M") || First == QLatin1String("/A"))
        return ReadGrandMap(Args);
    if (Args.size() >= 8)
        return ReadEmapZ(Args);
    if (Args.size() == 5 || Args.size() == 7)
        return ReadItsMoNavi(Args);
    return Fail(Kind, QStringLiteral("引数が読めません"));
}
