#include "transfer/export/ExportTarget.h"

#include "main/common/CommonText.h"

#include <QFileInfo>

namespace {

const QString Confirm = QStringLiteral("\r\nよろしいですか？  ");

} // namespace

QString TextTargetName(const QString& Chosen, int FilterIndex)
{
    const QString Name = TrimBlanks(Chosen);
    if (Name.isEmpty() || !QFileInfo(Name).suffix().isEmpty())
        return Name;
    return Name + (FilterIndex == 2 ? QStringLiteral(".csv") : QStringLiteral(".txt"));
}

QString ExeTargetName(const QString& Chosen)
{
    const QString Name = TrimBlanks(Chosen);
    const QFileInfo Info(Name);
    if (Name.isEmpty())
        return Name;
    if (Info.suffix().isEmpty())
        return Name + QStringLiteral(".exe");
    return Name.left(Name.size() - Info.suffix().size()) + QStringLiteral("exe");
}

QString ChangeTargetText(const QString& Path)
{
    return Path + QStringLiteral("\r\nへ出力します  \r\n\r\n出力先を変更しますか？  ");
}

QString SelectedQuestion(int Count)
{
    return QString::number(Count) + QStringLiteral("件のデータをテキストファイルに出力します  ") + Confirm;
}

QString RangeQuestion(int Start, int End)
{
    if (Start == End)
        return QString::number(Start) + QStringLiteral("件目のデータをテキストファイルに出力します  ") + Confirm;
    return QStringLiteral("%1件目から%2件目までの\r\n%3件のデータをテキストファイルに出力します  ")
               .arg(Start)
               .arg(End)
               .arg(End - Start + 1) +
           Confirm;
}

QString AllQuestion(int Count, bool HasConditions, bool Directory)
{
    QString Lead =
        HasConditions ? QStringLiteral("検索条件にマッチしたデータ") : QStringLiteral("登録されているデータ");
    Lead += Directory ? QStringLiteral(" ") : QStringLiteral("  ");
    return Lead + QString::number(Count) + QStringLiteral("件すべてをテキストファイルに出力します  ") + Confirm;
}
