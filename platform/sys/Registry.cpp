#include "platform/sys/Registry.h"

#include "platform/sys/Folders.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace {

QStringList ReadLines()
{
    QFile File(RegistryFileName());
    if (!File.open(QIODevice::ReadOnly))
        return {};
    QStringList Lines = QString::fromUtf8(File.readAll()).split(QLatin1Char('\n'));
    for (QString& Line : Lines)
        if (Line.endsWith(QLatin1Char('\r')))
            Line.chop(1);
    return Lines;
}

// The section name of a "[...]" line, or nullopt for any other line.
std::optional<QString> SectionOf(const QString& Line)
{
    const QString Trimmed = Line.trimmed();
    if (Trimmed.size() >= 2 && Trimmed.startsWith(QLatin1Char('[')) && Trimmed.endsWith(QLatin1Char(']')))
        return Trimmed.mid(1, Trimmed.size() - 2).trimmed();
    return std::nullopt;
}

bool SameName(const QString& A, const QString& B)
{
    return A.compare(B, Qt::CaseInsensitive) == 0;
}

} // namespace

QString RegistryFileName()
{
    return GetCommonAppDataFolder() + QStringLiteral("Pelmar/registry.ini");
}

bool RegistryKeyExists(const QString& KeyPath)
{
    for (const QString& Line : ReadLines())
        if (const auto Section = SectionOf(Line); Section && SameName(*Section, KeyPath))
            return true;
    return false;
}

std::optional<QString> ReadRegistryString(const QString& KeyPath, const QString& ValueName)
{
    bool InKey = false;
    for (const QString& Line : ReadLines()) {
        if (const auto Section = SectionOf(Line)) {
            InKey = SameName(*Section, KeyPath);
            continue;
        }
        if (!InKey)
            continue;
        const qsizetype Equal = Line.indexOf(QLatin1Char('='));
        if (Equal > 0 && SameName(Line.left(Equal).trimmed(), ValueName))
            return Line.mid(Equal + 1);
    }
    return std::nullopt;
}

bool WriteRegistryString(const QString& KeyPath, const QString& ValueName, const QString& Value)
{
    QStringList Lines = ReadLines();
    while (!Lines.isEmpty() && Lines.last().isEmpty())
        Lines.removeLast();
    const QString NewLine = ValueName + QLatin1Char('=') + Value;
    qsizetype SectionLine = -1;
    qsizetype InsertAt = -1;
    bool Done = false;
    for (qsizetype I = 0; I < Lines.size() && !Done; ++I) {
        if (const auto Section = SectionOf(Lines[I])) {
            if (SectionLine >= 0)
                break;
            if (SameName(*Section, KeyPath))
                SectionLine = InsertAt = I;
            continue;
        }
        if (SectionLine < 0)
            continue;
        if (!Lines[I].trimmed().isEmpty())
            InsertAt = I;
        const qsizetype Equal = Lines[I].indexOf(QLatin1Char('='));
        if (Equal > 0 && SameName(Lines[I].left(Equal).trimmed(), ValueName)) {
            Lines[I] = NewLine;
            Done = true;
        }
    }
    if (!Done) {
        if (SectionLine < 0) {
            Lines << QLatin1Char('[') + KeyPath + QLatin1Char(']') << NewLine;
        } else {
            Lines.insert(InsertAt + 1, NewLine);
        }
    }
    const QString FileName = RegistryFileName();
    if (!CreateOwnerOnlyFolder(QFileInfo(FileName).absolutePath()))
        return false;
    QSaveFile File(FileName);
    if (!File.open(QIODevice::WriteOnly))
        return false;
    File.write((Lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return File.commit();
}
