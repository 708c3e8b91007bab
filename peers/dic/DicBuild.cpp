#include "peers/dic/DicBuild.h"

#include "peers/dic/DicStore.h"
#include "peers/dic/PlaceNorm.h"
#include "platform/text/Cp932.h"
#include "platform/text/Prefectures.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <iconv.h>
#include <sqlite3.h>

namespace {

// EUC-JIS-2004 to UTF-8; a byte the codec refuses becomes "〓" so that no line is lost.
QString DecodeEucJis2004(const QByteArray& Bytes)
{
    iconv_t Cd = iconv_open("UTF-8", "EUC-JISX0213");
    if (Cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(Bytes);
    QByteArray Out;
    Out.reserve(Bytes.size() * 3 / 2 + 16);
    char* In = const_cast<char*>(Bytes.constData());
    size_t InLeft = static_cast<size_t>(Bytes.size());
    char Buffer[4096];
    while (InLeft > 0) {
        char* OutPtr = Buffer;
        size_t OutLeft = sizeof(Buffer);
        size_t Rc = iconv(Cd, &In, &InLeft, &OutPtr, &OutLeft);
        Out.append(Buffer, static_cast<int>(OutPtr - Buffer));
        if (Rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // EILSEQ, or EINVAL for a character cut off by the end: skip one byte, visibly.
            Out.append("\xE3\x80\x93");
            ++In;
            --InLeft;
            iconv(Cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* OutPtr = Buffer;
    size_t OutLeft = sizeof(Buffer);
    iconv(Cd, nullptr, nullptr, &OutPtr, &OutLeft);
    Out.append(Buffer, static_cast<int>(OutPtr - Buffer));
    iconv_close(Cd);
    return QString::fromUtf8(Out);
}

bool IsSevenDigits(const QString& Code)
{
    return Code.size() == 7 && std::all_of(Code.begin(), Code.end(), [](QChar C) { return C >= u'0' && C <= u'9'; });
}

bool EndsAsMunicipality(const QString& Name)
{
    return Name.endsWith(u'市') || Name.endsWith(u'区') || Name.endsWith(u'町') || Name.endsWith(u'村');
}

QString WardCity(const QString& Name)
{
    if (!Name.endsWith(u'区'))
        return {};
    int At = Name.indexOf(u'市');
    return At > 0 && At < Name.size() - 2 ? Name.left(At + 1) : QString();
}

} // namespace

QString DistrictFreeName(const QString& Name, const QString& Kana)
{
    const qsizetype At = Name.indexOf(u'郡');
    if (At <= 0 || At >= Name.size() - 1)
        return {};
    // A district holds towns and villages only; without a reading that is all there is to go by.
    if (Kana.isEmpty() ? !(Name.endsWith(u'町') || Name.endsWith(u'村')) : !Kana.contains(QStringLiteral("ｸﾞﾝ")))
        return {};
    return Name.mid(At + 1);
}

TSkkFile ParseSkk(const QByteArray& Bytes)
{
    TSkkFile File;
    const QString Text = DecodeEucJis2004(Bytes);
    for (QStringView Line : QStringView(Text).split(u'\n')) {
        if (Line.endsWith(u'\r'))
            Line.chop(1);
        if (Line.isEmpty() || Line.startsWith(u';'))
            continue;
        int Space = Line.indexOf(u' ');
        TSkkLine Entry;
        Entry.Code = Line.left(std::max<qsizetype>(Space, 0)).toString();
        QStringView Rest = Space < 0 ? QStringView() : Line.mid(Space + 1);
        if (!IsSevenDigits(Entry.Code) || !Rest.startsWith(u'/')) {
            ++File.Rejected;
            continue;
        }
        for (QStringView Candidate : Rest.split(u'/', Qt::SkipEmptyParts)) {
            // A candidate may carry an annotation after ";"; the postal lists carry none, but a
            // hand-edited list might.
            int Semicolon = Candidate.indexOf(u';');
            QString Value = (Semicolon < 0 ? Candidate : Candidate.left(Semicolon)).trimmed().toString();
            if (!Value.isEmpty())
                Entry.Texts << Value;
        }
        if (Entry.Texts.isEmpty())
            ++File.Rejected;
        else
            File.Lines << Entry;
    }
    return File;
}

bool ReadSkkFile(const QString& Path, TSkkFile& File, QString& Error)
{
    QFile In(Path);
    if (!In.open(QIODevice::ReadOnly)) {
        Error = Path + ": " + In.errorString();
        return false;
    }
    File = ParseSkk(In.readAll());
    return true;
}

TDicBuilder::TDicBuilder(const TSkkFile& Zipcode) : FMunicipalities(PrefectureCount)
{
    // A municipality is what a code ending in "00" names alone; the longest such name that an
    // address begins with is its municipality, so "市川市市川" keeps its town and "札幌市北区" its ward.
    QList<QSet<QString>> Names(PrefectureCount);
    for (const TSkkLine& Line : Zipcode.Lines) {
        if (!Line.Code.endsWith(QLatin1String("00")))
            continue;
        for (const QString& Text : Line.Texts) {
            TPrefectureSplit Split = SplitPrefecture(Text);
            if (Split.Found && EndsAsMunicipality(Split.Rest))
                Names[PrefectureIndex(Split.Prefecture)].insert(Split.Rest);
        }
    }
    for (int I = 0; I < PrefectureCount; ++I) {
        FMunicipalities[I] = QStringList(Names[I].begin(), Names[I].end());
        std::sort(FMunicipalities[I].begin(), FMunicipalities[I].end(), [](const QString& A, const QString& B) {
            return A.size() != B.size() ? A.size() > B.size() : A < B;
        });
    }
}

TAddressSplit TDicBuilder::Split(const QString& Address) const
{
    TAddressSplit Result;
    TPrefectureSplit Pref = SplitPrefecture(Address);
    Result.Pref = Pref.Found ? PrefectureIndex(Pref.Prefecture) : -1;
    if (Result.Pref >= 0) {
        for (const QString& Name : FMunicipalities[Result.Pref]) {
            if (Pref.Rest.startsWith(Name)) {
                Result.City = Name;
                Result.Town = Pref.Rest.mid(Name.size());
                return Result;
            }
        }
    }
    // A village whose only entry names the village itself, or an address of no known municipality:
    // the whole rest is the municipality, so the entry stays findable.
    Result.City = Pref.Rest;
    return Result;
}

TDicData TDicBuilder::Build(const TSkkFile& Zipcode, const TSkkFile& Office) const
{
    TDicData Data;
    Data.Source = QStringLiteral("SKK");
    QHash<QString, int> CityIds;
    QList<QStringList> TownsOfCity;
    auto CityId = [&](int Pref, const QString& Name) {
        const QString Key = QString::number(Pref) + u'|' + Name;
        auto It = CityIds.constFind(Key);
        if (It != CityIds.cend())
            return *It;
        int Id = static_cast<int>(Data.Cities.size());
        Data.Cities.append(TDicCity{Pref, Name, {}});
        TownsOfCity.append(QStringList());
        CityIds.insert(Key, Id);
        return Id;
    };
    for (const TSkkLine& Line : Zipcode.Lines) {
        for (const QString& Text : Line.Texts) {
            TAddressSplit Split = TDicBuilder::Split(Text);
            int Id = CityId(Split.Pref, Split.City);
            Data.Towns.append(TBuildTown{Line.Code, Id, Split.Town, {}});
            if (!Split.Town.isEmpty())
                TownsOfCity[Id] << Split.Town;
        }
    }
    for (QStringList& Towns : TownsOfCity)
        std::sort(Towns.begin(), Towns.end(), [](const QString& A, const QString& B) { return A.size() > B.size(); });
    for (const TSkkLine& Line : Office.Lines) {
        for (const QString& Text : Line.Texts) {
            int At = Text.indexOf(QLatin1String(" @ "));
            QString Name = (At < 0 ? Text : Text.left(At)).trimmed();
            QString Address = At < 0 ? QString() : Text.mid(At + 3).trimmed();
            TAddressSplit Split = TDicBuilder::Split(Address);
            int Id = CityId(Split.Pref, Split.City);
            QString Town;
            for (const QString& Known : TownsOfCity.value(Id)) {
                if (Split.Town.startsWith(Known)) {
                    Town = Known;
                    break;
                }
            }
            if (Town.isEmpty()) {
                Town = Split.Town;
                for (int I = 0; I < Town.size(); ++I)
                    if (Town[I].isDigit()) {
                        Town.truncate(I);
                        break;
                    }
            }
            Data.Offices.append(TDicOffice{Line.Code, Id, Town, Name, {}});
        }
    }
    return Data;
}

QByteArray DicFieldBytes(const QString& Text, int MaxBytes)
{
    return Cp932LeftBytes(Cp932Encode(Text), MaxBytes);
}

namespace {

class TStatement
{
public:
    TStatement(sqlite3* Db, const char* Sql) { sqlite3_prepare_v2(Db, Sql, -1, &FStmt, nullptr); }
    ~TStatement() { sqlite3_finalize(FStmt); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;
    void Int(int Index, int Value) { sqlite3_bind_int(FStmt, Index, Value); }
    void Text(int Index, const QString& Value)
    {
        QByteArray Bytes = Value.toUtf8();
        sqlite3_bind_text(FStmt, Index, Bytes.constData(), static_cast<int>(Bytes.size()), SQLITE_TRANSIENT);
    }
    void Blob(int Index, const QByteArray& Value)
    {
        sqlite3_bind_blob(FStmt, Index, Value.constData(), static_cast<int>(Value.size()), SQLITE_TRANSIENT);
    }
    bool Run()
    {
        bool Ok = FStmt && sqlite3_step(FStmt) == SQLITE_DONE;
        sqlite3_reset(FStmt);
        return Ok;
    }

private:
    sqlite3_stmt* FStmt = nullptr;
};

} // namespace

bool WriteDic(const TDicData& Data, const QString& Folder, QString& Error)
{
    if (!QDir().mkpath(Folder)) {
        Error = Folder + ": cannot create the folder";
        return false;
    }
    const QString Final = QDir(Folder).filePath(DicStoreFileName);
    const QString Temporary = Final + ".tmp";
    QFile::remove(Temporary);
    sqlite3* Db = nullptr;
    if (sqlite3_open(QFile::encodeName(Temporary).constData(), &Db) != SQLITE_OK) {
        Error = Temporary + ": " + QString::fromUtf8(sqlite3_errmsg(Db));
        sqlite3_close(Db);
        return false;
    }
    bool Ok = sqlite3_exec(Db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;", nullptr, nullptr, nullptr) ==
                  SQLITE_OK &&
              sqlite3_exec(Db, DicStoreSchema, nullptr, nullptr, nullptr) == SQLITE_OK;
    {
        TStatement Pref(Db, "INSERT INTO pref VALUES(?,?,?)");
        for (int I = 0; Ok && I < PrefectureCount; ++I) {
            Pref.Int(1, I);
            Pref.Text(2, PrefectureNames[I]);
            Pref.Blob(3, DicFieldBytes(PrefectureKanaNames[I], 10));
            Ok = Pref.Run();
        }
        auto Norm = [](const QString& Text) {
            return QString::fromStdString(dicstore::NormalisePlace(Text.toStdString()));
        };
        TStatement City(Db, "INSERT INTO city VALUES(?,?,?,?,?,?,?,?,?,?)");
        for (int I = 0; Ok && I < Data.Cities.size(); ++I) {
            const TDicCity& C = Data.Cities[I];
            const QString Pref = C.Pref >= 0 ? PrefectureNames[C.Pref] : QString();
            const QString PrefKana = C.Pref >= 0 ? PrefectureKanaNames[C.Pref] : QString();
            const QString District = DistrictFreeName(C.Name, C.Kana);
            City.Int(1, I);
            City.Int(2, C.Pref);
            City.Blob(3, DicFieldBytes(PrefKana + C.Kana, 40));
            City.Blob(4, DicFieldBytes(Pref + C.Name, 40));
            City.Text(5, C.Name);
            City.Text(6, District);
            City.Text(7, WardCity(C.Name));
            City.Blob(8, DicFieldBytes(C.Kana, 40));
            City.Text(9, Norm(C.Name));
            City.Text(10, Norm(District));
            Ok = City.Run();
        }
        TStatement Town(Db, "INSERT INTO town VALUES(?,?,?,?,?,?,?)");
        for (int I = 0; Ok && I < Data.Towns.size(); ++I) {
            const TBuildTown& T = Data.Towns[I];
            Town.Text(1, T.Code);
            Town.Int(2, T.City);
            Town.Blob(3, DicFieldBytes(T.Name, 102));
            Town.Text(4, T.Name);
            Town.Int(5, I);
            Town.Blob(6, DicFieldBytes(T.Kana, 102));
            Town.Text(7, Norm(T.Name));
            Ok = Town.Run();
        }
        TStatement Office(Db, "INSERT INTO office VALUES(?,?,?,?,?,?,?,?)");
        for (int I = 0; Ok && I < Data.Offices.size(); ++I) {
            const TDicOffice& O = Data.Offices[I];
            Office.Text(1, O.Code);
            Office.Int(2, O.City);
            Office.Blob(3, DicFieldBytes(O.Town, 102));
            Office.Text(4, O.Town);
            Office.Blob(5, DicFieldBytes(O.Name, 62));
            Office.Int(6, I);
            Office.Blob(7, DicFieldBytes(O.Kana, 102));
            Office.Text(8, Norm(O.Town));
            Ok = Office.Run();
        }
        TStatement Meta(Db, "INSERT INTO meta VALUES('source', ?)");
        Meta.Text(1, Data.Source.isEmpty() ? QStringLiteral("SKK") : Data.Source);
        Ok = Ok && Meta.Run();
    }
    Ok = Ok && sqlite3_exec(Db, "COMMIT;", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!Ok)
        Error = Temporary + ": " + QString::fromUtf8(sqlite3_errmsg(Db));
    sqlite3_close(Db);
    if (Ok) {
        QFile::remove(Final);
        Ok = QFile::rename(Temporary, Final);
        if (!Ok)
            Error = Final + ": cannot replace the file";
    }
    if (!Ok)
        QFile::remove(Temporary);
    return Ok;
}
