#include "utility/fernbook/AdrsBooks.h"

#include "main/identify/FbEditions.h"
#include "platform/sys/Folders.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace Utility {

QString ForbiddenCharsText()
{
    QString Text = QStringLiteral("アドレス帳には次の文字は使えません\r\n");
    for (const QChar C : ForbiddenBookNameChars)
        Text += QLatin1Char(' ') + C;
    return Text + QStringLiteral("   ");
}

QString BookNameCharRefusal(const QString& S)
{
    if (S.startsWith(QLatin1Char('.')))
        return BookNameDotText;
    const bool Forbidden = std::any_of(S.cbegin(), S.cend(), [](QChar C) {
        return C.unicode() < 0x20 || C.unicode() == 0x7F || ForbiddenBookNameChars.contains(C);
    });
    return Forbidden ? ForbiddenCharsText() : QString();
}

int FindBookByName(const QString& Name)
{
    for (int I = 0; I < FbAdrsBooks.size(); ++I)
        if (FbAdrsBooks[I].State != TFbAdrsBook::StateDeletePending &&
            FbAdrsBooks[I].Name.compare(Name, Qt::CaseInsensitive) == 0)
            return I;
    return -1;
}

bool JournalBookDeletion(const QString& AdrsFolder, const QString& Name)
{
    const int Book = FindBookByName(Name);
    if (Book < 0)
        return false;
    FbAdrsBooks[Book].Name.clear();
    FbAdrsBooks[Book].State = TFbAdrsBook::StateDeletePending;
    return AppendAdrsJournal(AdrsFolder, false, FbAdrsBooks[Book].Folder);
}

bool JournalBookRename(const QString& AdrsFolder, const QString& OldName, const QString& NewName)
{
    const int Book = FindBookByName(OldName);
    if (Book < 0)
        return false;
    FbAdrsBooks[Book].Name = NewName;
    FbAdrsBooks[Book].State = TFbAdrsBook::StateRenamePending;
    return AppendAdrsJournal(AdrsFolder, true, OldName + QLatin1Char('/') + NewName);
}

bool AddNewBook(const QString& AdrsFolder, const QString& Name)
{
    const QString Adrs = IncludeTrailingDelimiter(AdrsFolder);
    const auto HasFolder = [](const QString& Folder, bool OnlyPending) {
        return std::any_of(FbAdrsBooks.cbegin(), FbAdrsBooks.cend(), [&](const TFbAdrsBook& Book) {
            return Book.Folder.compare(Folder, Qt::CaseInsensitive) == 0 &&
                   (!OnlyPending || Book.State != TFbAdrsBook::StateNormal);
        });
    };
    if (FindBookByName(Name) >= 0) {
        // A listed book by this name is chosen again, whatever folder it still lies in.
    } else if (HasFolder(Name, true)) {
        int K = 1;
        while (QFileInfo::exists(Adrs + QStringLiteral("%1（%2）").arg(Name).arg(K)) ||
               QFileInfo(Adrs + QStringLiteral("%1（%2）").arg(Name).arg(K)).isSymLink())
            ++K;
        const QString Folder = QStringLiteral("%1（%2）").arg(Name).arg(K);
        FbAdrsBooks.append({Name, Folder, TFbAdrsBook::StateRenamePending});
        (void)AppendAdrsJournal(Adrs, true, Folder + QLatin1Char('/') + Name);
    } else if (!HasFolder(Name, false)) {
        FbAdrsBooks.append({Name, Name, TFbAdrsBook::StateNormal});
    }
    const int Book = FindBookByName(Name);
    if (Book < 0)
        return false;
    const QString Folder = Adrs + FbAdrsBooks[Book].Folder;
    return QFileInfo(Folder).isDir() || QDir().mkpath(Folder);
}

} // namespace Utility
