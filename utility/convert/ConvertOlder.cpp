// The converters of versions 1 to 6: their tables had other layouts, their ranks and divisions were
// free text, and a person's name lay in the same fields as a company's, told apart by the
// directory's person mark.

#include "main/common/CommonText.h"
#include "main/tables/DBInfo.h"
#include "platform/db/Table.h"
#include "utility/convert/Convert.h"
#include "utility/convert/ConvertFrame.h"
#include "utility/convert/KnownNumbers.h"
#include "utility/convert/OlderData.h"
#include "utility/convert/OlderRules.h"

namespace Utility {

namespace {

const QString PersonMark = QStringLiteral("0");

// Whether a call from Key came from a person: a number (not a reason code) whose entry in the old
// directory bears the person mark. Without the directory every caller is a company.
bool IsPersonsNumber(int Version, TParadoxTable* Directory, const QString& Key)
{
    if (!Directory || !Directory->Active() || !Key.startsWith(u'0'))
        return false;
    bool Found = false;
    if (Version == 6)
        Found =
            Directory->FindKey(QStringLiteral("SchTel1"), Key) || Directory->FindKey(QStringLiteral("SchTel2"), Key);
    else if (Version >= 4)
        Found = Directory->FindKey(QStringLiteral("SchTel"), Key);
    else
        Found = Directory->FindKey(QStringLiteral("TEL1"), Key);
    return Found && SourceText(*Directory, Version >= 4 ? "PrivCorp" : "PRIVCORP") == PersonMark;
}

void SetNames(TTable& Row, const TPlacedNames& Names)
{
    SetText(Row, "CorpKana", Names.CorpKana);
    SetText(Row, "CorpKanji", Names.CorpKanji);
    SetText(Row, "NameKana", Names.NameKana);
    SetText(Row, "NameKanji", Names.NameKanji);
}

void FillHistoryRow(int Version, TTable& Row, TParadoxTable& Source, TParadoxTable* Directory, double Now,
                    const TNameOverflowChoice& Choice)
{
    Row.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(Now);
    double When = 0;
    int Week = 0;
    QString SchTel;
    QString Tel;
    QString Reading;
    QString Name;
    bool Person = false;
    // Versions 4 to 6 named their fields as version 16 does; 1 to 3 in capitals.
    const bool Capitals = Version <= 3;
    if (!Capitals) {
        When = Source.FieldByName(QStringLiteral("RecvDateTime")).AsFloat();
        Week = Version == 6 ? Source.FieldByName(QStringLiteral("RecvWeek")).AsInteger() : WeekOfDays(When);
        SchTel = SourceText(Source, "SchTel");
        Tel = SourceText(Source, "Tel");
        Reading = SourceText(Source, "NameKana");
        Name = SourceText(Source, "NameKanji");
        Person = IsPersonsNumber(Version, Directory, TrimBlanks(SchTel));
    } else {
        When = CallTime(SourceText(Source, "DATE"), SourceText(Source, "TIME"));
        Week = WeekOfDays(When);
        Tel = TrimBlanks(SourceText(Source, "TEL"));
        SchTel = HistorySearchNumber(Tel);
        if (Version >= 2)
            Name = SourceText(Source, "NAME");
        Person = Version == 3 && IsPersonsNumber(Version, Directory, DigitsOnly(Tel, KeepDigits));
    }
    Row.FieldByName(QStringLiteral("RecvDateTime")).SetAsFloat(When);
    Row.FieldByName(QStringLiteral("RecvWeek")).SetAsInteger(Week);
    SetText(Row, "SchTel", SchTel);
    SetText(Row, "Tel", Tel);
    SetNames(Row, PlaceNames(Reading, Name, Person, Choice));
    SetText(Row, "Division", NormalDivision(SourceText(Source, Capitals ? "DIVISION" : "Division")));
    SetText(Row, "Rank", NormalRank(SourceText(Source, Capitals ? "RANK" : "Rank")));
    SetText(Row, "SelItem1", SourceText(Source, Capitals ? "SELITEM1" : "SelItem1"));
    SetText(Row, "SelItem2", SourceText(Source, Capitals ? "SELITEM2" : "SelItem2"));
    SetText(Row, "SelItem3", SourceText(Source, Capitals ? "SELITEM3" : "SelItem3"));
}

bool IsKnownEntry(int Version, TKnownNumbers& Known, TParadoxTable& Source)
{
    if (Version == 6)
        return Known.Knows(SourceText(Source, "SchTel1"), SourceText(Source, "SchTel2"));
    return Known.Knows(SourceText(Source, Version >= 4 ? "SchTel" : "TEL1"), QString());
}

void FillDirectoryRow(int Version, TTable& Row, TParadoxTable& Source, double Now, const TNameOverflowChoice& Choice)
{
    Row.FieldByName(QStringLiteral("AxsDateTime")).SetAsFloat(Now);
    const auto Get = [&Source, Version](const char* Name, int Since = 1) {
        return Version >= Since ? SourceText(Source, Name) : QString();
    };
    QString Rest;
    QString Reading;
    QString Name;
    QString PrivCorp;
    int Latitude = 0;
    int Longitude = 0;
    if (Version >= 4) {
        const bool Six = Version == 6;
        SetText(Row, "SchTel1", SourceText(Source, Six ? "SchTel1" : "SchTel"));
        SetText(Row, "SchTel2", Get("SchTel2", 6));
        SetText(Row, "Tel1", SourceText(Source, Six ? "Tel1" : "Tel"));
        SetText(Row, "Tel2", Get("Tel2", 6));
        SetText(Row, "Pos", SourceText(Source, Six ? "Pos" : "PostCode"));
        SetText(Row, "Tdfkn", Get("Tdfkn"));
        SetText(Row, "Adrs1", Get("Adrs1"));
        Rest = Get("Adrs2");
        SetText(Row, "JisCode", Get("JisCode"));
        SetText(Row, "KajoCode", Get("KajoCode"));
        Reading = Get("NameKana");
        Name = Get("NameKanji");
        PrivCorp = Get("PrivCorp");
        SetText(Row, "Memo1", Get("Memo1"));
        SetText(Row, "Memo2", Get("Memo2"));
        SetText(Row, "EMail", Get("EMail", 6));
        SetText(Row, "Rank", NormalRank(Get("Rank")));
        Latitude = Source.FieldByName(QStringLiteral("Latitude")).AsInteger();
        Longitude = Source.FieldByName(QStringLiteral("Longitude")).AsInteger();
    } else {
        SetText(Row, "SchTel1", Get("TEL1"));
        SetText(Row, "SchTel2", QString());
        SetText(Row, "Tel1", Get("TEL2"));
        SetText(Row, "Tel2", QString());
        SetText(Row, "Pos", Get("POS", 3));
        const TPrefectureSplit Place = SplitPrefecture(TrimBlanks(Get("ADRS_JIS")));
        SetText(Row, "Tdfkn", Place.Prefecture);
        SetText(Row, "Adrs1", Place.Rest);
        Rest = Get("ADRS_REST");
        SetText(Row, "JisCode", Get("JISCD", 2));
        SetText(Row, "KajoCode", Get("KAJOCD", 3));
        Reading = Get("KANA");
        Name = Get("KANJI");
        // Versions 1 and 2 knew no persons; their entries are marked as version 16 marks a person.
        PrivCorp = Version == 3 ? Get("PRIVCORP") : PersonMark;
        SetText(Row, "Memo1", Get("MEMO"));
        SetText(Row, "Memo2", QString());
        SetText(Row, "EMail", QString());
        SetText(Row, "Rank", NormalRank(Get("RANK")));
        if (Version == 3) {
            Latitude = Source.FieldByName(QStringLiteral("LAT")).AsInteger();
            Longitude = Source.FieldByName(QStringLiteral("LON")).AsInteger();
        }
    }
    // Every version cut the rest of an address at 100 bytes, version 1 too: the table would cut
    // what lay beyond without a word.
    const TAddressRest Address = SplitAddressRest(Rest);
    SetText(Row, "Adrs2", Address.Adrs2);
    SetText(Row, "Adrs3", Address.Adrs3);
    SetText(Row, "Memo3", QString());
    SetText(Row, "PrivCorp", PrivCorp);
    SetNames(Row, PlaceNames(Reading, Name, Version >= 3 && PrivCorp == PersonMark, Choice));
    Row.FieldByName(QStringLiteral("Latitude")).SetAsInteger(Latitude);
    Row.FieldByName(QStringLiteral("Longitude")).SetAsInteger(Longitude);
    SetNewEntryDefaults(Row, Now);
}

void ConvertOlderVersion(int Version, const QString& SourceFolder, TConvertProgress& Progress,
                         const TNameOverflowChoice& Choice)
{
    TDMVxRelvoOlder Older(Version);
    TConvertRules Rules;
    // Versions 1 and 2 keep no person mark, so their calls need no look-up.
    Rules.HistoryLooksUpDirectory = Version >= 3;
    Rules.FillHistoryRow = [Version, &Choice](TTable& Row, TParadoxTable& Source, TParadoxTable* Directory,
                                              double Now) {
        FillHistoryRow(Version, Row, Source, Directory, Now, Choice);
    };
    Rules.IsKnownEntry = [Version](TKnownNumbers& Known, TParadoxTable& Source) {
        return IsKnownEntry(Version, Known, Source);
    };
    Rules.FillDirectoryRow = [Version, &Choice](TTable& Row, TParadoxTable& Source, double Now) {
        FillDirectoryRow(Version, Row, Source, Now, Choice);
    };
    RunConversion(Older, SourceFolder, Progress, Rules);
}

} // namespace

void ConvertVersion6(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice)
{
    ConvertOlderVersion(6, SourceFolder, Progress, Choice);
}

void ConvertVersion5(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice)
{
    ConvertOlderVersion(5, SourceFolder, Progress, Choice);
}

void ConvertVersion4(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice)
{
    ConvertOlderVersion(4, SourceFolder, Progress, Choice);
}

void ConvertVersion3(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice)
{
    ConvertOlderVersion(3, SourceFolder, Progress, Choice);
}

void ConvertVersion2(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice)
{
    ConvertOlderVersion(2, SourceFolder, Progress, Choice);
}

void ConvertVersion1(const QString& SourceFolder, TConvertProgress& Progress, const TNameOverflowChoice& Choice)
{
    ConvertOlderVersion(1, SourceFolder, Progress, Choice);
}

void ConvertEarlierVersion(int Version, const QString& SourceFolder, TConvertProgress& Progress,
                           const TNameOverflowChoice& Choice)
{
    switch (Version) {
    case 6:
        ConvertVersion6(SourceFolder, Progress, Choice);
        break;
    case 5:
        ConvertVersion5(SourceFolder, Progress, Choice);
        break;
    case 4:
        ConvertVersion4(SourceFolder, Progress, Choice);
        break;
    case 3:
        ConvertVersion3(SourceFolder, Progress, Choice);
        break;
    case 2:
        ConvertVersion2(SourceFolder, Progress, Choice);
        break;
    case 1:
        ConvertVersion1(SourceFolder, Progress, Choice);
        break;
    default:
        ConvertVersion(Version, SourceFolder, Progress);
        break;
    }
}

} // namespace Utility
