#include "main/identify/AppSub.h"

#include "directory/Dashrule.h"
#include "directory/DicField.h"
#include "directory/Geomark.h"
#include "directory/Numfind.h"
#include "main/common/CommonText.h"
#include "main/common/ProductInfo.h"
#include "main/identify/DBInfoFb.h"
#include "main/identify/FbEditions.h"
#include "main/settings/Settings.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/Folders.h"
#include "platform/sys/Registry.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <optional>

bool FoundInFbAdrs = false;
std::int32_t FbAdrsRecNo = 0;

namespace {

const QString OwnFoundQuestion = QStringLiteral("登録名簿の中に該当するデータが見つかりました  \r\n"
                                                "このデータを照会しますか？  \r\n\r\n"
                                                "照会しない場合はCDを検索します  \r\n\r\n"
                                                "キャンセルすると検索を中止します  ");
const QString FbNotInstalledQuestion = QStringLiteral("Fernbookのインストール状態を確認できませんでした  \r\n"
                                                      "TolvaneのCDを検索しますか？  \r\n\r\n"
                                                      "キャンセルすると検索を中止します  ");
const QString FbCannotOpenQuestion = QStringLiteral("何らかの理由でFernbookのアドレス帳が開けませんでした  \r\n"
                                                    "TolvaneのCDを検索しますか？  \r\n\r\n"
                                                    "キャンセルすると検索を中止します  ");
const QString FbFoundQuestion = QStringLiteral("Fernbookのアドレス帳の中に該当するデータが見つかりました  \r\n"
                                               "このデータを照会しますか？  \r\n\r\n"
                                               "照会しない場合はTolvaneのCDを検索します  \r\n\r\n"
                                               "キャンセルすると検索を中止します  ");
const QString SetupPathError = QStringLiteral("セットアップパスの指定に誤りがあります  ");

int Ask(const QString& Question)
{
    return CoreMessageBox(Question, ProductName, MB_YESNOCANCEL | MB_ICONQUESTION);
}

// A found entry is taken unless the user, asked, goes on searching (No) or stops (Cancel).
int TakeFoundEntry(bool AskUser, const QString& Question)
{
    if (!AskUser)
        return IdentifyFound;
    const int Answer = Ask(Question);
    if (Answer == IDYES)
        return IdentifyFound;
    return Answer == IDNO ? IdentifyNotFound : IdentifyStopped;
}

// The lines of a memo field as a list; a final line break adds no empty line.
QStringList MemoLines(const QString& Text)
{
    if (Text.isEmpty())
        return {};
    QStringList Lines = Text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    if (Lines.last().isEmpty())
        Lines.removeLast();
    return Lines;
}

// The table object is shared by every holder of the counted open, and a window may stand on it
// with its own index, record and filter. The search looks past the window's filter (a caller is
// who he is whatever the list shows) and puts index, record and filter back afterwards. A range a
// window had set ends with the index change, as it does with any index change.
class TKeepPosition
{
public:
    explicit TKeepPosition(TTable& Table) : FTable(Table), FIndex(Table.IndexName()), FFiltered(Table.Filtered())
    {
        try {
            if (!Table.IsEmpty())
                FBookmark = Table.GetBookmark();
            if (FFiltered)
                Table.SetFiltered(false);
        } catch (const std::exception&) {
        }
    }
    ~TKeepPosition()
    {
        try {
            FTable.SetIndexName(FIndex);
            if (FFiltered)
                FTable.SetFiltered(true);
            if (FBookmark)
                (void)FTable.GotoBookmark(*FBookmark);
        } catch (const std::exception&) {
        }
    }
    TKeepPosition(const TKeepPosition&) = delete;
    TKeepPosition& operator=(const TKeepPosition&) = delete;

private:
    TTable& FTable;
    QString FIndex;
    bool FFiltered;
    std::optional<qint64> FBookmark;
};

void CopyMeiboEntry(TTable& Table, const QString& Key, TCallerRecord& Record)
{
    const auto Text = [&Table](const char* Name) { return Table.FieldByName(QString::fromLatin1(Name)).AsString(); };
    const auto Number = [&Table](const char* Name) { return Table.FieldByName(QString::fromLatin1(Name)).AsInteger(); };
    Record.RecNo = Number("RecNo");
    Record.SchTel[0] = TrimBlanks(Text("SchTel1"));
    Record.SchTel[1] = Text("SchTel2");
    Record.Tel[0] = Text("Tel1");
    Record.Tel[1] = Text("Tel2");
    Record.TelIndex = Record.SchTel[0] == Key ? 0 : 1;
    Record.Pos = FormatPostalCode(Text("Pos"));
    Record.Tdfkn = Text("Tdfkn");
    Record.Adrs1 = Text("Adrs1");
    Record.Adrs2 = Text("Adrs2");
    Record.Adrs3 = Text("Adrs3");
    Record.JisCode = Text("JisCode");
    Record.KajoCode = TrimBlanks(Text("KajoCode"));
    Record.CorpKana = TrimBlanks(Text("CorpKana"));
    Record.CorpKanji = TrimBlanks(Text("CorpKanji"));
    Record.NameKana = TrimBlanks(Text("NameKana"));
    Record.NameKanji = TrimBlanks(Text("NameKanji"));
    Record.PrivCorp = TrimBlanks(Text("PrivCorp")) == QLatin1String("1") ? 1 : 0;
    Record.Memo1 = Text("Memo1");
    Record.Memo2 = Text("Memo2");
    Record.Memo3 = Text("Memo3");
    Record.Rank = Text("Rank");
    Record.Latitude = Number("Latitude");
    Record.Longitude = Number("Longitude");
    Record.Division = 1;
    Record.EMail = Text("EMail");
    Record.Msg = Number("Msg") == 1 ? 1 : 0;
    Record.Msg1 = Text("Msg1");
    Record.Msg2 = Text("Msg2");
    Record.BGColor = Text("BGColor");
    Record.ExtFile = MemoLines(Text("ExtFile"));
    Record.Note = MemoLines(Text("Note"));
}

// "Keyword" + N; empty for a keyword the book does not have.
QString Keyword(TTable& Table, int N)
{
    TField* Field = Table.FindField(QStringLiteral("Keyword%1").arg(N));
    return Field ? Field->AsString() : QString();
}

void CopyAdrsEntry(TTable& Table, const QString& Key, TCallerRecord& Record)
{
    const auto Text = [&Table](const char* Name) { return Table.FieldByName(QString::fromLatin1(Name)).AsString(); };
    const char* const NumberFields[TCallerRecord::SlotCount] = {"Tel", "Fax", "Portable1", "Portable2"};
    for (int Slot = 0; Slot < TCallerRecord::SlotCount; ++Slot) {
        Record.SchTel[Slot] = TrimBlanks(Text(NumberFields[Slot]));
        Record.Tel[Slot] = FormatTelHyphen(Record.SchTel[Slot]);
    }
    Record.TelIndex = 0;
    for (int Slot = 0; Slot < TCallerRecord::SlotCount; ++Slot)
        if (Record.SchTel[Slot] == Key) {
            Record.TelIndex = Slot;
            break;
        }
    Record.Pos = FormatPostalCode(Text("Pos"));
    Record.Tdfkn = Text("Tdfkn");
    Record.Adrs1 = Text("Adrs1");
    Record.Adrs2 = Text("Adrs2");
    Record.Adrs3 = Text("Adrs3");
    Record.JisCode = Text("JisCode");
    Record.KajoCode = Text("KajoCode");
    Record.CorpKana = Text("CorpKana");
    Record.CorpKanji = Text("CorpKanji");
    Record.NameKana = Text("NameKana");
    Record.NameKanji = TrimBlanks(DecodeFbText(Text("NameKanji")));
    // The book keeps true for a person and false for a company; the record has 1 for a company.
    Record.PrivCorp = Table.FieldByName(QStringLiteral("PrivCorp")).AsBoolean() ? 0 : 1;
    Record.Memo1 = Keyword(Table, Settings.Memo1 + 1);
    Record.Memo2 = Keyword(Table, Settings.Memo2 + 1);
    Record.Memo3 = Keyword(Table, Settings.Memo3 + 1);
    Record.Rank = Keyword(Table, Settings.Rank + 6);
    Record.Latitude = Table.FieldByName(QStringLiteral("Latitude")).AsInteger();
    Record.Longitude = Table.FieldByName(QStringLiteral("Longitude")).AsInteger();
    Record.Division = 1;
    Record.EMail = Text("EMail1");
    Record.Msg1 = Keyword(Table, Settings.Line1 + 1);
    Record.Msg2 = Keyword(Table, Settings.Line2 + 1);
    Record.Msg = !Record.Msg1.isEmpty() || !Record.Msg2.isEmpty() ? 1 : 0;
    // A colour has 24 bits; whatever the book keeps above them is not part of it.
    const auto Colour = static_cast<std::uint32_t>(Table.FieldByName(QStringLiteral("SymbolColor")).AsInteger());
    Record.BGColor = QLatin1Char('$') + QStringLiteral("%1").arg(Colour & 0xFFFFFFu, 6, 16, QLatin1Char('0')).toUpper();
    Record.ExtFile = MemoLines(Text("ExtFile"));
    Record.Note = MemoLines(Text("Note"));
}

// The greatest RecNo among the rows whose number fields hold Key; 0 when none.
std::int32_t FindGreatestAdrsRecNo(TTable& Table, const QString& Key)
{
    std::int32_t Greatest = 0;
    for (const char* Index : {"Tel", "Fax", "Portable1", "Portable2"}) {
        const QString Field = QString::fromLatin1(Index);
        Table.SetIndexName(Field);
        if (!Table.FindKey({Key}))
            continue;
        while (!Table.Eof() && Table.FieldByName(Field).AsString() == Key) {
            Greatest =
                std::max(Greatest, static_cast<std::int32_t>(Table.FieldByName(QStringLiteral("RecNo")).AsInteger()));
            Table.Next();
        }
    }
    return Greatest;
}

QString DictionaryWorkFolder()
{
    return QDir::cleanPath(Settings.CD + QStringLiteral("/VxRelvo16")) + QLatin1Char('/');
}

QString DictionaryFolder()
{
    return (ProgramPath.isEmpty() ? GetProgramFolder() : ProgramPath) + QStringLiteral("Dic/");
}

} // namespace

int IdentifyCaller(bool SearchDirectory, bool AskUser, const QString& Number, TCallerRecord& Record)
{
    ClearCallerRecord(&Record);
    FoundInFbAdrs = false;
    const QChar First = Number.isEmpty() ? QChar() : Number.front();
    const bool Searchable = (First >= QLatin1Char('0') && First <= QLatin1Char('9')) || First == QLatin1Char(' ');
    if (!Searchable) {
        Record.SchTel[0] = Number;
        Record.Tel[0] = Number;
        FbAdrsRecNo = 0;
        CutCallerRecordToWidths(Record);
        return IdentifyNoNumber;
    }

    int Result = IdentifyNotFound;
    bool FoundInBook = false;
    if (SearchDirectory) {
        if (Settings.UseFbAdrs) {
            Result = SearchFbAdrs(AskUser, Number, Record);
            FoundInBook = Result == IdentifyFound;
        } else {
            Result = SearchOwnDirectory(AskUser, Number, Record);
        }
    }
    if (Result == IdentifyNotFound)
        Result = SearchTelDictionary(Number, Record);
    if (Result != IdentifyFound) {
        // Whatever a search may have left behind, a caller not found is the number alone.
        ClearCallerRecord(&Record);
        Record.SchTel[0] = DigitsOnly(Number);
        Record.Tel[0] = Number;
    } else {
        FoundInFbAdrs = FoundInBook;
    }
    CutCallerRecordToWidths(Record);
    return Result;
}

int SearchOwnDirectory(bool AskUser, const QString& Number, TCallerRecord& Record)
{
    if (!DMVxRelvo16)
        return IdentifyNotFound;
    TTableUse Use(*DMVxRelvo16, TDataTable::Meibo);
    if (!Use.Opened() || !MeiboTable)
        return IdentifyNotFound;
    TTable& Table = *MeiboTable;
    const QString Key = DigitsOnly(Number);
    // Without a digit the key would match every entry that has no number.
    if (Key.isEmpty())
        return IdentifyNotFound;
    try {
        TKeepPosition Keep(Table);
        Table.SetIndexName(QStringLiteral("SchTel1"));
        bool Found = Table.FindKey({Key});
        if (!Found) {
            Table.SetIndexName(QStringLiteral("SchTel2"));
            Found = Table.FindKey({Key});
        }
        if (!Found)
            return IdentifyNotFound;
        const int Result = TakeFoundEntry(AskUser, OwnFoundQuestion);
        if (Result == IdentifyFound)
            CopyMeiboEntry(Table, Key, Record);
        return Result;
    } catch (const std::exception&) {
        return IdentifyNotFound;
    }
}

int SearchFbAdrs(bool AskUser, const QString& Number, TCallerRecord& Record)
{
    enum class TOutcome
    {
        NotInstalled,
        CannotOpen,
        Found,
        NotFound
    };
    TOutcome Outcome = TOutcome::NotFound;
    // The entry is read into a record of its own and reaches the caller's only once it is taken.
    TCallerRecord Entry;
    FbAdrsRecNo = 0;
    if (!IsFbInstalled(Settings.FbSeries)) {
        Outcome = TOutcome::NotInstalled;
    } else {
        const QString BookFolder = FbBookFolder(Settings.FbSeries, Settings.FbAdrsBook);
        std::optional<TAdrsUse> Use;
        if (DMFbarea && !BookFolder.isEmpty())
            Use.emplace(*DMFbarea, BookFolder);
        if (!Use || !Use->Opened() || !DMFbarea->AdrsTable()) {
            Outcome = TOutcome::CannotOpen;
        } else {
            TTable& Table = *DMFbarea->AdrsTable();
            const QString Key = DigitsOnly(Number);
            try {
                TKeepPosition Keep(Table);
                const std::int32_t RecNo = Key.isEmpty() ? 0 : FindGreatestAdrsRecNo(Table, Key);
                Table.SetIndexName(QString());
                if (RecNo > 0 && Table.FindKey({RecNo})) {
                    FbAdrsRecNo = RecNo;
                    CopyAdrsEntry(Table, Key, Entry);
                    Outcome = TOutcome::Found;
                }
            } catch (const std::exception&) {
                Outcome = TOutcome::CannotOpen;
            }
        }
    }

    switch (Outcome) {
    case TOutcome::NotInstalled:
    case TOutcome::CannotOpen:
        if (!AskUser)
            return IdentifyNotFound;
        return Ask(Outcome == TOutcome::NotInstalled ? FbNotInstalledQuestion : FbCannotOpenQuestion) == IDYES
                   ? IdentifyNotFound
                   : IdentifyStopped;
    case TOutcome::Found: {
        const int Result = TakeFoundEntry(AskUser, FbFoundQuestion);
        if (Result == IdentifyFound)
            Record = Entry;
        else
            FbAdrsRecNo = 0; // a declined entry is not the caller's
        return Result;
    }
    case TOutcome::NotFound:
        break;
    }
    return IdentifyNotFound;
}

int SearchTelDictionary(const QString& Number, TCallerRecord& Record)
{
    TNumfindRecord Found;
    const int Rc = SearchNumberDictionary(DigitsOnly(Number), Found, DictionaryWorkFolder(), DictionaryFolder());
    switch (Rc) {
    case 0:
    case 1:
    case 2:
    case 5:
    case NumfindRcBindError: // no dictionary: the caller carries on with the number alone
        break;
    case 6:
        (void)CoreMessageBox(SetupPathError, ProductName, MB_ICONSTOP);
        break;
    default:
        (void)CoreMessageBox(QStringLiteral("SearchFromTelK (Numfind.so) Call Error\r\nRC = %1").arg(Rc), ProductName,
                             MB_ICONSTOP);
        break;
    }
    if (Rc == 0)
        TakeNumfindRecord(Found, Record);
    return Rc;
}

void TakeNumfindRecord(const TNumfindRecord& Found, TCallerRecord& Record)
{
    const auto Text = [](const auto& Field) { return FixedFieldText(Field, sizeof(Field)); };
    const QString Tel = FormatTelHyphen(Text(Found.Tel));
    Record.SchTel[0] = DigitsOnly(Tel);
    Record.Tel[0] = Tel;
    Record.TelIndex = 0;
    Record.Pos = FormatPostalCode(Text(Found.Pos));
    const TPrefectureSplit Place = SplitPrefecture(Text(Found.TdfknCity));
    Record.Tdfkn = Place.Prefecture;
    Record.Adrs1 = Place.Rest;
    Record.Adrs2 = Text(Found.Adrs1) + Text(Found.Adrs2);
    Record.Adrs3.clear();
    const QString Codes = Text(Found.Codes);
    Record.JisCode = Codes.left(5);
    Record.KajoCode = Codes.mid(5, 6);
    const QString TypeCode = Text(Found.TypeCode);
    const QString Name = Text(Found.NameKanji);
    const QString Reading = Text(Found.NameKana);
    if (TypeCode.isEmpty()) {
        Record.NameKana = Reading;
        Record.NameKanji = Name;
        Record.PrivCorp = 0;
    } else {
        Record.CorpKana = Reading;
        Record.CorpKanji = MarkCompanyName(Name, TypeCode);
        Record.PrivCorp = 1;
    }
    Record.Latitude = Arc256ToMilliseconds(Found.Latitude);
    Record.Longitude = Arc256ToMilliseconds(Found.Longitude);
    Record.Division = 0;
}

bool NeedsAreaCodeSearch(int IdentifyResult)
{
    return IdentifyResult != IdentifyFound && IdentifyResult != IdentifyStopped;
}

QString DecodeFbText(const QString& Text)
{
    if (!Text.startsWith(QLatin1Char('@')))
        return Text;
    QString Decoded;
    const qsizetype Groups = Text.size() / 5;
    for (qsizetype I = 0; I < Groups; ++I) {
        const QString Group = Text.mid(I * 5, 5);
        bool Ok = false;
        const uint Unit = Group.mid(1).toUInt(&Ok, 16);
        const bool Hex = std::all_of(Group.cbegin() + 1, Group.cend(), [](QChar C) {
            return C.isDigit() || (C.toLower() >= QLatin1Char('a') && C.toLower() <= QLatin1Char('f'));
        });
        if (Group.front() != QLatin1Char('@') || !Ok || !Hex)
            return Text;
        Decoded.append(QChar(static_cast<char16_t>(Unit)));
    }
    return Decoded;
}

QString CompanyTypeMark(QChar Kind)
{
    static const QString Marks[] = {QStringLiteral("（株）"), QStringLiteral("（有）"), QStringLiteral("（資）"),
                                    QStringLiteral("（名）"), QStringLiteral("（相）"), QStringLiteral("（財）"),
                                    QStringLiteral("（社）")};
    if (Kind < QLatin1Char('1') || Kind > QLatin1Char('7'))
        return {};
    return Marks[Kind.unicode() - u'1'];
}

QString MarkCompanyName(const QString& Name, const QString& TypeCode)
{
    if (TypeCode.isEmpty() || TypeCode == QLatin1String("00"))
        return Name;
    const QString Mark = TypeCode.size() >= 2 ? CompanyTypeMark(TypeCode[1]) : QString();
    return TypeCode[0] == QLatin1Char('0') ? Mark + Name : Name + Mark;
}

double TruncToSeconds(double DateTime)
{
    // The time of day counts from midnight whichever side of 1899-12-30 the date lies.
    const double Day = std::trunc(DateTime);
    const double Fraction = std::fabs(DateTime - Day);
    const std::int64_t Milliseconds = std::llround(Fraction * 86400000.0);
    const double Seconds = static_cast<double>(Milliseconds / 1000) / 86400.0;
    return DateTime < 0 ? Day - Seconds : Day + Seconds;
}

void EnsureMailtoProtocol()
{
    const QString Key = QStringLiteral("HKEY_CLASSES_ROOT\\mailto");
    if (RegistryKeyExists(Key) && !ReadRegistryString(Key, QStringLiteral("URL Protocol")))
        (void)WriteRegistryString(Key, QStringLiteral("URL Protocol"), QString());
}

bool IsWow64BeforeVista()
{
    return false;
}
