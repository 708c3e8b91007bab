#pragma once

#include "main/settings/Settings.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <optional>

// What the update check knows without the network: the server's answer and its check, versions,
// the newer-file decision and the files handed to the updater.

// UPDATE PARAMETER of VxRelvo16.ini. Domain is a host name, optionally followed by ":" and a port;
// by default (DefaultUpdateDomain) a name that never resolves, so nothing leaves the machine unless
// a site names its server.
struct TUpdateParameters
{
    QString Domain = DefaultUpdateDomain;
    QString Path = QStringLiteral("/check/");
    QString App = QStringLiteral("/app/");
};

// Whether Domain names a server at all. The placeholder a build ships with does not, nor does any
// other name under ".invalid" (which never resolves) or an empty one: no request, not even a name
// look-up, is ever sent for them.
[[nodiscard]] inline bool NamesUpdateServer(const TUpdateParameters& Parameters)
{
    QString Host = Parameters.Domain.trimmed().section(QLatin1Char(':'), 0, 0).toLower();
    while (Host.endsWith(QLatin1Char('.')))
        Host.chop(1);
    return !Host.isEmpty() && Host != DefaultUpdateDomain && Host != QLatin1String("invalid") &&
           !Host.endsWith(QLatin1String(".invalid"));
}

// The parameters as the settings reader found them.
[[nodiscard]] inline TUpdateParameters UpdateParametersOf(const TSettings& Values)
{
    return {Values.Domain, Values.Path, Values.App};
}

// One file of the server's answer.
struct TUpdateFileInfo
{
    QString Name;    // at most 128 bytes
    QString JpName;  // at most 128 bytes
    QString Path;    // at most 128 bytes; relative to the program folder, empty or ending in "/"
    QString Version; // at most 24 bytes
    qint32 Size = 0;
    QDateTime DateTime;
    bool Restart = false;
    QString DLFile;  // at most 128 bytes; a plain file name in the update folder
    QString DLParam; // at most 64 bytes
    bool NeedsUpdate = false;
    bool Downloaded = false;
};

// Result codes of the answer check; 0 = accepted.
enum : int
{
    UpdNoXmlDeclaration = 2000,
    UpdRootNotUpdate = 2001,
    UpdNoApp = 2002,
    UpdWrongApp = 2003,
    UpdNoCount = 2004,
    UpdCountNotInteger = 2005,
    UpdCountMismatch = 2006,
    UpdNoDlPath = 2007,
    UpdEmptyDlPath = 2008,
    UpdFileNoName = 2101,
    UpdFileNoSize = 2102,
    UpdFileSizeNotInteger = 2103,
    UpdFileNoDateTime = 2104,
    UpdFileBadDateTime = 2105,
    UpdFileNoDlFile = 2106,
    UpdFileNoDlParam = 2107,
    UpdParseError = 9999,
};

struct TUpdateAnswer
{
    int Code = 0;
    QString DownloadPath;
    QList<TUpdateFileInfo> Files;
};

// The largest answer the program reads, and the deepest nesting of elements it accepts in it (the
// answer itself needs three levels).
inline constexpr qsizetype MaxUpdateAnswerBytes = 1024 * 1024;
inline constexpr int MaxElementDepth = 32;

// Checks a non-empty answer body. Any refusal leaves Files empty. Names that would lead out of their
// folder (a delimiter or ".." in DLFile, ".." or an absolute Path or Name) or that hold a control
// character (a line break among them) are refused with the code of that element, so that nothing the
// server says can write outside the update and program folders or add lines to updateinfo.dat. Texts
// lose their blanks at either end. A body above MaxUpdateAnswerBytes or nested deeper than
// MaxElementDepth is refused as unreadable (UpdParseError).
[[nodiscard]] TUpdateAnswer CheckUpdateAnswer(const QByteArray& Body);

// "yyyy?mm?dd?hh?nn?ss" read by position; invalid when a part is no number or no real date and time.
[[nodiscard]] QDateTime ParseUpdateDateTime(const QString& Text);

// Four numbers; missing parts and parts that are no number count as 0.
using TFileVersion = std::array<int, 4>;
[[nodiscard]] TFileVersion ParseVersionText(const QString& Text);
[[nodiscard]] bool IsNewerVersion(const TFileVersion& Server, const TFileVersion& Local);

// Whether a server file is newer than the local one: a greater version decides first, then a later
// time. LocalVersion is the version the local file carries, std::nullopt when it carries none (the
// time alone decides then: a file that cannot state its version is not taken for version 0 and fetched
// again at every check). LocalTime is the local file's last write, invalid when the file is missing.
[[nodiscard]] bool IsNewerFile(const TUpdateFileInfo& File, const std::optional<TFileVersion>& LocalVersion,
                               const QDateTime& LocalTime);

// The hand-over files in the update folder (UpdateFolder with its trailing "/"). updateinfo.dat is not
// written when a value for it holds a control character.
[[nodiscard]] bool WriteUpdateErrorFile(const QString& UpdateFolder, int Code, const QByteArray& Body);
[[nodiscard]] bool WriteUpdateInfoFile(const QString& UpdateFolder, const QString& ExeName,
                                       const QString& ProgramFolder, bool RestartNeeded,
                                       const QList<TUpdateFileInfo>& Files);
[[nodiscard]] bool WriteRunAppLog(const QString& UpdateFolder, int Code);

// The updater's file name in the update folder.
inline const QString UpdaterFileName = QStringLiteral("updateapp");
