#pragma once

#include "platform/sys/Exceptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Raised by THistoryData for an index out of range and for a pick-list file that cannot be read or written.
class EHistoryDataError : public Exception
{
public:
    using Exception::Exception;
};

// One remembered value of a pick list.
struct THistoryStruct
{
    double Stamp = 0; // date-time: days since 30 December 1899, the time of day as the fraction
    QString Text;     // at most the list's ItemBytes bytes in CP932
};

// A short list of values a user has entered before (ranks, select items), kept in a .mtd file.
// The class keeps no order policy: the windows decide where a value goes and save after each change.
//
// .mtd layout, little-endian: int32 count, then per item one length byte (bytes + 8) mod 256,
// the 8 bytes of the stamp, and the CP932 text with every byte inverted.
class THistoryData
{
public:
    // Throws EInOutError when FileName is missing and AllowMissing is false, ERangeError when
    // ItemBytes is outside 1..255. No item list exists until Load.
    THistoryData(const QString& FileName, bool AllowMissing, int ItemBytes);
    ~THistoryData();
    THistoryData(const THistoryData&) = delete;
    THistoryData& operator=(const THistoryData&) = delete;

    [[nodiscard]] const QString& FileName() const { return FFileName; }
    [[nodiscard]] int ItemBytes() const { return FItemBytes; }
    // The items in list order; nullptr before Load and after FreeItems.
    [[nodiscard]] const QList<THistoryStruct>* Items() const { return FItems ? &*FItems : nullptr; }

    // Reads the file into a new item list. A missing or empty file is an empty list (true); a file
    // that cannot be opened gives false and an empty list; a short or damaged file throws
    // EHistoryDataError and keeps the items read before the damage.
    bool Load();
    // Writes the whole list. The old file is replaced only once the new one is complete on disk:
    // a file that cannot be created gives false, a failed write throws EHistoryDataError, and in
    // both cases the old file and the items in memory stay as they were.
    bool Save();
    void FreeItems();

    // Index 0..Count; the text is cut to ItemBytes bytes without splitting a character, and a
    // Stamp of 0 means now.
    void Insert(int Index, const QString& Text, double Stamp);
    int Add(const QString& Text, double Stamp);
    void Delete(int Index);
    void Clear();
    // Replaces the whole item list by Items, taken as they are.
    void SetItems(QList<THistoryStruct> Items);
    // The first item that is stored as the same bytes as Text would be (case-sensitive), so that two
    // texts that become one in the file never give two equal items after a restart; -1 when absent.
    [[nodiscard]] int IndexOf(const QString& Text) const;
    // The bytes Text is saved as: cut to ItemBytes, in CP932. Two texts are one item when these agree.
    [[nodiscard]] QByteArray StoredBytes(const QString& Text) const;
    // How many texts the list has turned into their saved bytes to compare them since it was made:
    // the measure of the work a run does over a list.
    [[nodiscard]] qint64 EncodedTexts() const { return FEncodedTexts; }
    void GetText(int Index, QString& Text) const;
    [[nodiscard]] QString GetText(int Index) const;
    [[nodiscard]] int Count() const;

private:
    QList<THistoryStruct>& List();
    const QList<THistoryStruct>& List() const;
    void CheckIndex(int Index, int Last) const;

    QString FFileName;
    int FItemBytes;
    std::optional<QList<THistoryStruct>> FItems;
    mutable qint64 FEncodedTexts = 0;
};
