#pragma once

#include <QString>
#include <cstdint>

// The entry that the postal-code and address dictionaries hand to the dictionary dialog. Each text
// holds at most its capacity less one CP932 bytes, as the dialog's fields take them.
struct TAdrsHitRecord
{
    static constexpr int PosCapacity = 9;
    static constexpr int PrefCapacity = 9;
    static constexpr int CityCapacity = 37;
    static constexpr int TownCapacity = 101;
    static constexpr int LargeCapacity = 61;
    static constexpr int JisCodeCapacity = 6;
    static constexpr int KajoCodeCapacity = 7;

    QString Pos; // "123-4567"
    QString TdfknKana;
    QString TdfknKanji;
    QString CityKana;
    QString CityKanji;
    QString TownKana;
    QString TownKanji;
    QString LargeKana;  // only from the large-office list
    QString LargeKanji; // the same
    QString JisCode;
    QString KajoCode;
    std::int32_t Latitude = 0;  // milliseconds of arc; 0 when not found
    std::int32_t Longitude = 0; // the same
};

// Text cut to what a field of Capacity bytes (terminator included) holds, on a character boundary.
[[nodiscard]] QString HitField(const QString& Text, int Capacity);

// Latitude and longitude of the hit from the coordinates library, taken and released around the
// lookup; with ReplaceTexts the postal code and names become the coordinates record's own.
void ApplyCoordinates(TAdrsHitRecord& Hit, const QString& LibraryFolder, const QString& DicFolder, bool ReplaceTexts);
