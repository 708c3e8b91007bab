#pragma once

// How the updater reads updateinfo.dat, apart from the updater itself so that tests read the file
// exactly as it does.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace UpdateInfo {

// Keys in upper case.
using TSection = QHash<QString, QString>;

[[nodiscard]] inline bool HasControlCharacter(const QString& Text)
{
    for (QChar Char : Text) {
        const QChar::Category Category = Char.category();
        if (Category == QChar::Other_Control || Category == QChar::Separator_Line ||
            Category == QChar::Separator_Paragraph)
            return true;
    }
    return false;
}

// The sections by upper-case name. The program writes each section and key once and no control
// character but the line ends: a file with a repeated section or key, or with any other control
// character, has been tampered with and is refused whole (std::nullopt).
[[nodiscard]] inline std::optional<QHash<QString, TSection>> ReadSections(const QByteArray& Bytes)
{
    QHash<QString, TSection> Sections;
    QString Current;
    for (QString Line : QString::fromUtf8(Bytes).split(QLatin1Char('\n'))) {
        if (Line.endsWith(QLatin1Char('\r')))
            Line.chop(1);
        if (HasControlCharacter(Line))
            return std::nullopt;
        Line = Line.trimmed();
        if (Line.startsWith(QLatin1Char('[')) && Line.endsWith(QLatin1Char(']'))) {
            Current = Line.mid(1, Line.size() - 2).trimmed().toUpper();
            if (Sections.contains(Current))
                return std::nullopt;
            Sections.insert(Current, {});
        } else if (const qsizetype Equal = Line.indexOf(QLatin1Char('=')); Equal > 0 && !Current.isEmpty()) {
            const QString Key = Line.left(Equal).trimmed().toUpper();
            if (Sections[Current].contains(Key))
                return std::nullopt;
            Sections[Current].insert(Key, Line.mid(Equal + 1));
        }
    }
    return Sections;
}

struct TFile
{
    QString DLFile;     // the download's name in the update folder
    QString Target;     // the file to replace: a clean absolute path
    bool Inside = true; // Target lies inside the program folder and DLFile is a plain name
    QDateTime DateTime; // the server file's time; invalid when unreadable
};

struct TInfo
{
    QString ProgramFolder; // clean and absolute, with a trailing "/"
    QString Exe;
    bool Restart = false;
    QList<TFile> Files; // FILE1, FILE2, .. up to the first number missing
};

// Whether Path, clean and absolute, lies strictly inside Folder (clean, absolute, trailing "/").
[[nodiscard]] inline bool LiesInside(const QString& Path, const QString& Folder)
{
    return Path.startsWith(Folder) && Path.size() > Folder.size();
}

// The hand-over file as the updater acts on it; std::nullopt when it is refused or names no absolute
// program folder and no program.
[[nodiscard]] inline std::optional<TInfo> Read(const QByteArray& Bytes)
{
    const std::optional<QHash<QString, TSection>> Sections = ReadSections(Bytes);
    if (!Sections || !Sections->contains(QStringLiteral("APP")))
        return std::nullopt;
    const TSection App = Sections->value(QStringLiteral("APP"));
    const QString Folder = App.value(QStringLiteral("FOLDER"));
    TInfo Info;
    Info.Exe = App.value(QStringLiteral("EXE"));
    Info.Restart = App.value(QStringLiteral("RUN")) == QLatin1String("1");
    if (!QDir::isAbsolutePath(Folder) || Info.Exe.isEmpty() || Info.Exe.contains(QLatin1Char('/')))
        return std::nullopt;
    Info.ProgramFolder = QDir::cleanPath(Folder);
    if (!Info.ProgramFolder.endsWith(QLatin1Char('/')))
        Info.ProgramFolder += QLatin1Char('/');
    for (int Number = 1;; ++Number) {
        const auto Section = Sections->constFind(QStringLiteral("FILE%1").arg(Number));
        if (Section == Sections->constEnd())
            break;
        TFile File;
        File.DLFile = Section->value(QStringLiteral("DLFILE"));
        const QString Relative = Section->value(QStringLiteral("PATH")) + Section->value(QStringLiteral("NAME"));
        File.Target = QDir::cleanPath(Info.ProgramFolder + Relative);
        File.Inside = !File.DLFile.isEmpty() && !File.DLFile.contains(QLatin1Char('/')) &&
                      File.DLFile != QLatin1String("..") && File.DLFile != QLatin1String(".") &&
                      !Relative.split(QLatin1Char('/')).contains(QStringLiteral("..")) &&
                      LiesInside(File.Target, Info.ProgramFolder);
        File.DateTime =
            QDateTime::fromString(Section->value(QStringLiteral("DATETIME")), QStringLiteral("yyyy/MM/dd H:mm:ss"));
        Info.Files << File;
    }
    return Info;
}

} // namespace UpdateInfo
