#include "UpdatePlan.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>

namespace {

using TSection = QHash<QString, QString>;

QHash<QString, TSection> ReadIni(const QString& FileName)
{
    QHash<QString, TSection> Sections;
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return Sections;
    QString Current;
    for (QString Line : QString::fromUtf8(File.readAll()).split(QLatin1Char('\n'))) {
        Line = Line.trimmed();
        if (Line.startsWith(QLatin1Char('[')) && Line.endsWith(QLatin1Char(']'))) {
            Current = Line.mid(1, Line.size() - 2).toUpper();
            Sections[Current];
        } else if (const qsizetype Equal = Line.indexOf(QLatin1Char('=')); Equal > 0 && !Current.isEmpty()) {
            Sections[Current][Line.left(Equal).trimmed().toUpper()] = Line.mid(Equal + 1);
        }
    }
    return Sections;
}

} // namespace

TUpdatePlan ReadUpdatePlan(const QString& InfoFileName)
{
    TUpdatePlan Plan;
    const QHash<QString, TSection> Sections = ReadIni(InfoFileName);
    const TSection App = Sections.value(QStringLiteral("APP"));
    const QString Folder = App.value(QStringLiteral("FOLDER"));
    Plan.Exe = App.value(QStringLiteral("EXE"));
    Plan.Restart = App.value(QStringLiteral("RUN")) == QLatin1String("1");
    Plan.Usable = !App.isEmpty() && !Plan.Exe.isEmpty() && !Folder.isEmpty();
    if (!Plan.Usable)
        return Plan;
    Plan.ProgramFolder = QDir(Folder).absolutePath() + QLatin1Char('/');
    for (int Number = 1;; ++Number) {
        const auto Found = Sections.constFind(QStringLiteral("FILE%1").arg(Number));
        if (Found == Sections.constEnd())
            break;
        TUpdateMove Move;
        Move.Name = Found->value(QStringLiteral("NAME"));
        Move.Path = Found->value(QStringLiteral("PATH"));
        Move.DLFile = Found->value(QStringLiteral("DLFILE"));
        Move.Target = Plan.ProgramFolder + Move.Path + Move.Name;
        // Only a ".." step leads out of the folder; "Setup..exe" is a name like any other, and the
        // program downloads it, so it must be put in place too.
        const QString Relative = Move.Path + Move.Name;
        Move.Allowed = !Move.Name.isEmpty() && !Move.DLFile.contains(QLatin1Char('/')) &&
                       !Move.Name.contains(QLatin1Char('/')) && !Relative.startsWith(QLatin1Char('/')) &&
                       !Relative.split(QLatin1Char('/')).contains(QStringLiteral(".."));
        Plan.Moves.append(Move);
    }
    return Plan;
}
