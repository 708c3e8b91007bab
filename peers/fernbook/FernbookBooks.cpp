#include "peers/fernbook/FernbookBooks.h"

#include "peers/fernbook/FernbookTable.h"
#include "platform/db/Table.h"
#include "platform/ini/IniFile.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

QString AppPathsKey(const TFbEdition& Edition)
{
    return QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") +
           Edition.ProgramName + QStringLiteral(".exe");
}

QString SettingsFile(const TFbEdition& Edition)
{
    return FbSettingsFolder(Edition) + Edition.ProgramName + QStringLiteral(".ini");
}

// A book name is one folder right inside "Adrs/".
bool IsBookName(const QString& Book)
{
    return !Book.isEmpty() && Book != QLatin1String(".") && Book != QLatin1String("..") &&
           !Book.contains(QLatin1Char('/')) && !Book.contains(QLatin1Char('\\'));
}

QString BookFolder(const TFbEdition& Edition, const QString& Book)
{
    return FbDataFolder(Edition) + QStringLiteral("Adrs/") + Book + QLatin1Char('/');
}

QString DigitsOf(const QString& Text)
{
    QString Digits;
    for (const QChar C : Text)
        if (C >= u'0' && C <= u'9')
            Digits += C;
    return Digits;
}

// Opens the book's table for the edition, with its password in the session for as long as it is open.
class TBook
{
public:
    TBook(const TFbEdition& Edition, const QString& Book) : FPassword(Edition.Password)
    {
        DefaultSession().AddPassword(FPassword);
        FTable.SetDatabaseName(BookFolder(Edition, Book));
        FTable.SetTableName(FernbookTableFile);
    }
    ~TBook() { DefaultSession().RemovePassword(FPassword); }
    TBook(const TBook&) = delete;
    TBook& operator=(const TBook&) = delete;
    TTable& Table() { return FTable; }

private:
    QString FPassword;
    TTable FTable;
};

} // namespace

TFbEdition FbEditionOf(int Series)
{
    if (Series == 1)
        return {1, QStringLiteral("fbtype18"), QStringLiteral("Fernbook2013 Trade"), FernbookPassword(1)};
    return {0, QStringLiteral("fbarea18"), QStringLiteral("Fernbook2013"), FernbookPassword(0)};
}

QString FbSettingsFolder(const TFbEdition& Edition)
{
    return GetCommonAppDataFolder() + QStringLiteral("Pelmar/") + Edition.ProgramName + QLatin1Char('/');
}

QString FbDataFolder(const TFbEdition& Edition)
{
    const TMemIniFile Settings(SettingsFile(Edition));
    const QString Folder = Settings.ReadString(QStringLiteral("BASE"), QStringLiteral("DataPath"), {}).trimmed();
    return Folder.isEmpty() ? Folder : IncludeTrailingDelimiter(Folder);
}

QString InstallFbEdition(const TFbEdition& Edition, const QString& ProgramFolder)
{
    if (!QDir().mkpath(FbSettingsFolder(Edition)))
        return QStringLiteral("設定フォルダーを作成できません: ") + FbSettingsFolder(Edition);
    if (FbDataFolder(Edition).isEmpty()) {
        TMemIniFile Settings(SettingsFile(Edition));
        Settings.WriteString(QStringLiteral("BASE"), QStringLiteral("DataPath"),
                             FbSettingsFolder(Edition) + QStringLiteral("Data/"));
        if (!Settings.UpdateFile())
            return QStringLiteral("設定ファイルを書き込めません: ") + SettingsFile(Edition);
    }
    if (!QDir().mkpath(FbDataFolder(Edition) + QStringLiteral("Adrs")))
        return QStringLiteral("データフォルダーを作成できません: ") + FbDataFolder(Edition);
    const QString Folder = IncludeTrailingDelimiter(QDir(ProgramFolder).absolutePath());
    if (ReadRegistryString(AppPathsKey(Edition), QStringLiteral("Path")) != Folder &&
        !WriteRegistryString(AppPathsKey(Edition), QStringLiteral("Path"), Folder))
        return QStringLiteral("レジストリーに登録できません: ") + RegistryFileName();
    return {};
}

QStringList ListFbBooks(const TFbEdition& Edition)
{
    const QString Adrs = FbDataFolder(Edition) + QStringLiteral("Adrs/");
    QStringList Books;
    for (const QString& Entry : QDir(Adrs).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (QFileInfo(Adrs + Entry + QLatin1Char('/') + FernbookTableFile).isFile())
            Books << Entry;
    std::sort(Books.begin(), Books.end(),
              [](const QString& A, const QString& B) { return A.compare(B, Qt::CaseInsensitive) < 0; });
    return Books;
}

QString CreateFbBook(const TFbEdition& Edition, const QString& Book)
{
    if (!IsBookName(Book))
        return QStringLiteral("アドレス帳の名前が正しくありません: ") + Book;
    const QString Folder = BookFolder(Edition, Book);
    if (QFileInfo::exists(Folder + FernbookTableFile))
        return QStringLiteral("同じ名前のアドレス帳があります: ") + Book;
    if (!QDir().mkpath(Folder))
        return QStringLiteral("アドレス帳のフォルダーを作成できません: ") + Folder;
    try {
        TBook Table(Edition, Book);
        Table.Table().CreateTable(FernbookTableDef(), Edition.Password);
    } catch (const Exception& Error) {
        return Error.Message();
    }
    return {};
}

QString AddFbEntry(const TFbEdition& Edition, const QString& Book, const TFbEntry& Entry)
{
    if (!IsBookName(Book) || !QFileInfo::exists(BookFolder(Edition, Book) + FernbookTableFile))
        return QStringLiteral("アドレス帳が見つかりません: ") + Book;
    if (DigitsOf(Entry.Tel).isEmpty())
        return QStringLiteral("電話番号が正しくありません: ") + Entry.Tel;
    try {
        TBook Opened(Edition, Book);
        TTable& T = Opened.Table();
        T.Open();
        T.Append();
        const double Now = DateTimeToDays(QDateTime::currentDateTime());
        T.FieldByName(QStringLiteral("Tel")).SetAsString(DigitsOf(Entry.Tel));
        T.FieldByName(QStringLiteral("NameKanji")).SetAsString(Entry.NameKanji);
        T.FieldByName(QStringLiteral("NameKana")).SetAsString(Entry.NameKana);
        T.FieldByName(QStringLiteral("CorpKanji")).SetAsString(Entry.CorpKanji);
        // The product marks a person (not a company) as private.
        T.FieldByName(QStringLiteral("PrivCorp")).SetAsBoolean(Entry.CorpKanji.isEmpty());
        T.FieldByName(QStringLiteral("AddDateTime")).SetAsFloat(Now);
        T.FieldByName(QStringLiteral("UpdDateTime")).SetAsFloat(Now);
        T.Post();
        T.Close();
    } catch (const Exception& Error) {
        return Error.Message();
    }
    return {};
}

QStringList ListFbEntries(const TFbEdition& Edition, const QString& Book)
{
    QStringList Lines;
    if (!IsBookName(Book))
        return Lines;
    try {
        TBook Opened(Edition, Book);
        TTable& T = Opened.Table();
        T.Open();
        for (T.First(); !T.Eof(); T.Next())
            Lines << T.FieldByName(QStringLiteral("Tel")).AsString() + QLatin1Char('\t') +
                         T.FieldByName(QStringLiteral("CorpKanji")).AsString() + QLatin1Char('\t') +
                         T.FieldByName(QStringLiteral("NameKanji")).AsString();
        T.Close();
    } catch (const Exception&) {
        Lines.clear();
    }
    return Lines;
}
