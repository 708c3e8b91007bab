#include "peers/dic/PostalJson.h"

#include "platform/text/Prefectures.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <algorithm>

namespace {

bool IsSevenDigits(const QString& Code)
{
    return Code.size() == 7 && std::all_of(Code.begin(), Code.end(), [](QChar C) { return C >= u'0' && C <= u'9'; });
}

} // namespace

TPostalFile ParseJpostal(const QByteArray& Bytes)
{
    TPostalFile File;
    // The callback's parentheses wrap the array; anything around them is the package's, not data.
    const qsizetype Open = Bytes.indexOf('(');
    const qsizetype Close = Bytes.lastIndexOf(')');
    const QByteArray Json = Open >= 0 && Close > Open ? Bytes.mid(Open + 1, Close - Open - 1) : Bytes;
    QJsonParseError Error{};
    const QJsonDocument Document = QJsonDocument::fromJson(Json, &Error);
    if (Error.error != QJsonParseError::NoError || !Document.isArray()) {
        File.Damaged = true;
        return File;
    }
    for (const QJsonValue& Value : Document.array()) {
        const QJsonArray Fields = Value.toArray();
        QStringList Texts;
        for (const QJsonValue& Field : Fields)
            if (Field.isString())
                Texts << Field.toString();
        const QString Code = Texts.value(0).startsWith(u'_') ? Texts.value(0).mid(1) : Texts.value(0);
        // The package heads each file with rows of its own: "_000info" and, for each three-digit
        // prefix, the first place it leads to ("_001"). They are its look-up aids, not postal entries.
        if (Texts.size() == Fields.size() && (Code.size() == 3 || Code.endsWith(QLatin1String("info"))))
            continue;
        if (Fields.size() != 9 || Texts.size() != 9 || !IsSevenDigits(Code) || PrefectureIndex(Texts[1]) < 0 ||
            Texts[2].isEmpty()) {
            ++File.Rejected;
            continue;
        }
        File.Rows.append(
            TPostalRow{Code, Texts[1], Texts[2], Texts[3], Texts[4], Texts[5], Texts[6], Texts[7], Texts[8]});
    }
    return File;
}

bool ReadJpostalFolder(const QString& Folder, TPostalFile& File, QString& Error)
{
    const QDir Dir(Folder);
    const QStringList Names = Dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    if (Names.isEmpty()) {
        Error = Folder + ": no postal data (json/*.json)";
        return false;
    }
    File = TPostalFile();
    for (const QString& Name : Names) {
        QFile In(Dir.filePath(Name));
        if (!In.open(QIODevice::ReadOnly)) {
            Error = In.fileName() + ": " + In.errorString();
            return false;
        }
        TPostalFile Part = ParseJpostal(In.readAll());
        if (Part.Damaged) {
            Error = In.fileName() + ": not the package's JSON";
            return false;
        }
        File.Rows += Part.Rows;
        File.Rejected += Part.Rejected;
    }
    return true;
}

TDicData BuildFromPostal(const TPostalFile& File, const QString& Source)
{
    TDicData Data;
    Data.Source = Source;
    QHash<QString, int> CityIds;
    auto CityId = [&](const TPostalRow& Row) {
        const QString Key = Row.Pref + u'|' + Row.City;
        auto It = CityIds.constFind(Key);
        if (It != CityIds.cend())
            return *It;
        const int Id = static_cast<int>(Data.Cities.size());
        Data.Cities.append(TDicCity{PrefectureIndex(Row.Pref), Row.City, Row.CityKana});
        CityIds.insert(Key, Id);
        return Id;
    };
    // Towns first, so that an office whose row carries no reading gets its town's.
    QList<QHash<QString, QString>> KanaOfTown;
    QList<const TPostalRow*> OfficeRows;
    for (const TPostalRow& Row : File.Rows) {
        const int Id = CityId(Row);
        if (KanaOfTown.size() <= Id)
            KanaOfTown.resize(Id + 1);
        if (!Row.Office.isEmpty() || !Row.Block.isEmpty()) {
            OfficeRows << &Row;
            continue;
        }
        // A code of the municipality alone is one town row without a town; its reading is the
        // municipality's (as its first row gave it, should two rows disagree), so that it has a
        // place under the dialog's kana filter.
        Data.Towns.append(TBuildTown{Row.Code, Id, Row.Town, Row.Town.isEmpty() ? Data.Cities[Id].Kana : Row.TownKana});
        if (!Row.Town.isEmpty() && !Row.TownKana.isEmpty())
            KanaOfTown[Id].insert(Row.Town, Row.TownKana);
    }
    for (const TPostalRow* Row : OfficeRows) {
        const int Id = CityIds.value(Row->Pref + u'|' + Row->City);
        QString Kana = Row->TownKana;
        if (Kana.isEmpty())
            Kana = KanaOfTown[Id].value(Row->Town);
        Data.Offices.append(TDicOffice{Row->Code, Id, Row->Town + Row->Block, Row->Office, Kana});
    }
    return Data;
}
