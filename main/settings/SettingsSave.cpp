#include "main/settings/SettingsSave.h"

#include "main/common/ProductInfo.h"
#include "main/settings/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/SysError.h"

#include <algorithm>
#include <optional>

namespace {

// One key as a save left it: set to Value, or deleted.
struct TKeyChange
{
    QString Section;
    QString Ident;
    std::optional<QString> Value;

    [[nodiscard]] bool SameKey(const TKeyChange& Other) const
    {
        return Section.compare(Other.Section, Qt::CaseInsensitive) == 0 &&
               Ident.compare(Other.Ident, Qt::CaseInsensitive) == 0;
    }
};

struct TUnsaved
{
    QString FileName; // the file the changes are meant for
    QList<TKeyChange> Changes;
    bool Told = false; // the user knows that the file cannot be written
};

TUnsaved& Unsaved()
{
    static TUnsaved Waiting;
    return Waiting;
}

// What a writer did to the file, in the order of the file it made, so that keys new to the file are set
// again in the order the writer gave them.
QList<TKeyChange> KeyChanges(const TMemIniFile& Before, const TMemIniFile& After)
{
    QList<TKeyChange> Changes;
    for (const QString& Section : After.ReadSections())
        for (const QString& Ident : After.ReadSection(Section)) {
            const QString Value = After.ReadString(Section, Ident, QString());
            if (!Before.ValueExists(Section, Ident) || Before.ReadString(Section, Ident, QString()) != Value)
                Changes.append({Section, Ident, Value});
        }
    for (const QString& Section : Before.ReadSections())
        for (const QString& Ident : Before.ReadSection(Section))
            if (!After.ValueExists(Section, Ident))
                Changes.append({Section, Ident, std::nullopt});
    return Changes;
}

void Apply(const TKeyChange& Change, TMemIniFile& Ini)
{
    if (Change.Value)
        Ini.WriteString(Change.Section, Change.Ident, *Change.Value);
    else
        Ini.DeleteKey(Change.Section, Change.Ident);
}

QString FailedText(const QString& FileName, int Error, bool Last)
{
    // A failure without an errno is rare (a write that stops short): it was the writing, at least.
    const QString Cause = Error != 0 ? SysErrorMessage(Error) : QStringLiteral("書き込み中にエラーが発生しました。");
    const QString Text = QStringLiteral("設定ファイル「") + FileName +
                         QStringLiteral("」に保存できませんでした  \r\n") + Cause + QStringLiteral("  \r\n\r\n");
    if (Last)
        return Text + QStringLiteral("今回変更した設定は次回の起動には引き継がれません  ");
    return Text + QStringLiteral("設定はこのまま使われ、次に保存するときにもう一度書き込みます  \r\n"
                                 "終了するまでに保存できなければ、次回の起動には引き継がれません  ");
}

void TellFailure(TSettingsSave Who, const QString& FileName, int Error)
{
    TUnsaved& Waiting = Unsaved();
    // One box for a file that stays unwritable, not one for every window that closes; values the user has
    // just confirmed are worth a word each time, though.
    if (Who == TSettingsSave::Unattended || (Who != TSettingsSave::Confirmed && Waiting.Told)) {
        qWarning("%s: not written (errno %d); the settings wait for the next save", qPrintable(FileName), Error);
        return;
    }
    Waiting.Told = true;
    (void)CoreMessageBox(FailedText(FileName, Error, Who == TSettingsSave::Last), ProductName, MB_OK | MB_ICONSTOP);
}

} // namespace

bool SaveSettingsFile(TSettingsSave Who, const std::function<void(TMemIniFile& Ini)>& Write)
{
    TUnsaved& Waiting = Unsaved();
    const QString FileName = SettingsFileName();
    // Changes that waited for another file (the settings folder was another one) are not this file's.
    if (Waiting.FileName != FileName) {
        ForgetUnsavedSettings();
        Waiting.FileName = FileName;
    }

    // The writer starts from the file as this program means it to be, so that what it sets, even back to
    // what the disk holds, is newer than what waits.
    TMemIniFile Meant(FileName);
    for (const TKeyChange& Change : Waiting.Changes)
        Apply(Change, Meant);
    TMemIniFile Ini = Meant;
    Write(Ini);

    if (Ini.UpdateFile()) {
        ForgetUnsavedSettings();
        return true;
    }
    // The file refuses a value that would break its line whatever the disk: a fault of the program, which the
    // file has logged, and nothing to try again.
    if (!Ini.RefusedWrites().isEmpty())
        return false;
    for (const TKeyChange& Change : KeyChanges(Meant, Ini)) {
        const auto Same = std::find_if(Waiting.Changes.begin(), Waiting.Changes.end(),
                                       [&Change](const TKeyChange& Each) { return Each.SameKey(Change); });
        if (Same != Waiting.Changes.end())
            *Same = Change;
        else
            Waiting.Changes.append(Change);
    }
    TellFailure(Who, FileName, Ini.LastError());
    return false;
}

void ForgetUnsavedSettings()
{
    TUnsaved& Waiting = Unsaved();
    Waiting.Changes.clear();
    Waiting.Told = false;
}
