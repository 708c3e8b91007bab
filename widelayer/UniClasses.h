#pragma once

#include "platform/sys/Exceptions.h"

#include <QByteArray>
#include <QCollator>
#include <QFile>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QIODevice;

// Errors of the lists and file streams; their texts name the file and the system's reason.
class EStringListError : public Exception
{
public:
    using Exception::Exception;
};

class EFCreateError : public Exception
{
public:
    using Exception::Exception;
};

class EFOpenError : public Exception
{
public:
    using Exception::Exception;
};

// File open modes, as the program's settings code passes them.
inline constexpr int fmCreate = 0xFFFF;
inline constexpr int fmOpenRead = 0x0000;
inline constexpr int fmOpenWrite = 0x0001;
inline constexpr int fmOpenReadWrite = 0x0002;

// A file opened or created by its name; the constructor raises instead of leaving a closed file.
class TUniFileStream : public QFile
{
public:
    TUniFileStream(const QString& FileName, int Mode);
};

// Character set of a text stream, as its byte-order mark tells it.
enum class TTextCharSet
{
    None = 0,
    Utf16LE = 1,
    Utf16BE = 2,
    Utf8 = 3
};

// Reads a mark at the stream's position and leaves it consumed; without one the position is kept.
[[nodiscard]] TTextCharSet DetectCharSet(QIODevice& Stream);

class TUniStrings;

// A byte-string view of a list, in one code page: every entry is converted as it passes.
class TAnsiStrings
{
public:
    virtual ~TAnsiStrings() = default;
    [[nodiscard]] virtual int Count() const = 0;
    [[nodiscard]] virtual QByteArray Get(int Index) const = 0;
    virtual void Put(int Index, const QByteArray& S) = 0;
    virtual void Insert(int Index, const QByteArray& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    [[nodiscard]] virtual QByteArray Text() const = 0;
    virtual void SetText(const QByteArray& Text) = 0;
    int Add(const QByteArray& S);

    // Without a byte-order mark, in the given code page (0: the default one).
    void LoadFromStreamEx(QIODevice& Stream, int CodePage);
    void SaveToStreamEx(QIODevice& Stream, int CodePage) const;
    void LoadFromFileEx(const QString& FileName, int CodePage);
    void SaveToFileEx(const QString& FileName, int CodePage) const;

protected:
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
    virtual void SetTextIn(const QString& Text) = 0;
    [[nodiscard]] virtual QString TextOut() const = 0;
};

class TAnsiStringsForWideStringsAdapter : public TAnsiStrings
{
public:
    TAnsiStringsForWideStringsAdapter(TUniStrings& Strings, int CodePage = 0) : FStrings(Strings), FCodePage(CodePage)
    {
    }
    [[nodiscard]] int CodePage() const { return FCodePage; }
    void SetCodePage(int CodePage) { FCodePage = CodePage; }

    [[nodiscard]] int Count() const override;
    [[nodiscard]] QByteArray Get(int Index) const override;
    void Put(int Index, const QByteArray& S) override;
    void Insert(int Index, const QByteArray& S) override;
    void Delete(int Index) override;
    void Clear() override;
    [[nodiscard]] QByteArray Text() const override;
    void SetText(const QByteArray& Text) override;
    [[nodiscard]] void* Objects(int Index) const;

protected:
    void BeginUpdate() override;
    void EndUpdate() override;
    void SetTextIn(const QString& Text) override;
    [[nodiscard]] QString TextOut() const override;

private:
    TUniStrings& FStrings;
    int FCodePage;
};

// The UTF-16 string-list contract: entries with an object pointer each, text joined by CR LF.
class TUniStrings
{
public:
    TUniStrings();
    virtual ~TUniStrings();
    TUniStrings(const TUniStrings&) = delete;
    TUniStrings& operator=(const TUniStrings&) = delete;

    [[nodiscard]] virtual int Count() const = 0;
    [[nodiscard]] virtual QString Get(int Index) const = 0;
    virtual void Put(int Index, const QString& S) = 0;
    [[nodiscard]] virtual void* GetObject(int Index) const = 0;
    virtual void PutObject(int Index, void* Object) = 0;
    virtual void InsertObject(int Index, const QString& S, void* Object) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual int AddObject(const QString& S, void* Object);
    virtual int IndexOf(const QString& S) const;
    virtual int IndexOfName(const QString& Name) const;

    int Add(const QString& S) { return AddObject(S, nullptr); }
    void Insert(int Index, const QString& S) { InsertObject(Index, S, nullptr); }
    [[nodiscard]] QString operator[](int Index) const { return Get(Index); }
    [[nodiscard]] QString Name(int Index) const;
    [[nodiscard]] QString Value(const QString& Name) const;
    [[nodiscard]] QStringList ToList() const;

    // Each line ends with CR LF; setting splits at CR LF, LF or CR.
    [[nodiscard]] QString Text() const;
    void SetText(const QString& Text);
    void Assign(const TUniStrings& Source);

    void BeginUpdate();
    void EndUpdate();
    [[nodiscard]] bool Updating() const { return FUpdateCount > 0; }

    // The list seen in a code page (0: the default one); assigning to it converts every line.
    [[nodiscard]] TAnsiStringsForWideStringsAdapter& AnsiStrings() { return *FAnsiStrings; }
    void SetAnsiStrings(const QList<QByteArray>& Lines);

    // Loading looks for a byte-order mark (FF FE, FE FF, EF BB BF) and reads anything else in the
    // default code page; the variant without detection reads UTF-16LE.
    void LoadFromFile(const QString& FileName);
    void LoadFromStream(QIODevice& Stream);
    void LoadFromStreamNoDetect(QIODevice& Stream);
    [[nodiscard]] TTextCharSet LastFileCharSet() const { return FLastFileCharSet; }
    // Saving always writes FF FE and UTF-16LE, so any character survives.
    void SaveToFile(const QString& FileName) const;
    void SaveToStream(QIODevice& Stream) const;
    void SaveToStreamNoMark(QIODevice& Stream) const;

protected:
    virtual void SetUpdateState(bool Updating) {}
    [[noreturn]] static void RaiseIndexError(int Index);

private:
    void LoadWithCharSet(QIODevice& Stream, TTextCharSet CharSet);

    std::unique_ptr<TAnsiStringsForWideStringsAdapter> FAnsiStrings;
    TTextCharSet FLastFileCharSet = TTextCharSet::Utf16LE;
    int FUpdateCount = 0;
};

enum class TDuplicates
{
    dupIgnore,
    dupAccept,
    dupError
};

class TUniStringList;
using TUniStringListSortCompare = std::function<int(TUniStringList& List, int Index1, int Index2)>;

class TUniStringList : public TUniStrings
{
public:
    TUniStringList();
    ~TUniStringList() override;

    [[nodiscard]] int Count() const override { return int(FItems.size()); }
    [[nodiscard]] QString Get(int Index) const override;
    void Put(int Index, const QString& S) override;
    [[nodiscard]] void* GetObject(int Index) const override;
    void PutObject(int Index, void* Object) override;
    void InsertObject(int Index, const QString& S, void* Object) override;
    void Delete(int Index) override;
    void Clear() override;
    int AddObject(const QString& S, void* Object) override;
    int IndexOf(const QString& S) const override;
    int IndexOfName(const QString& Name) const override;

    // Binary search of a sorted list: true with the first equal entry, else false with the insertion point.
    bool Find(const QString& S, int& Index) const;
    void Sort();
    void CustomSort(const TUniStringListSortCompare& Compare);
    // Collation of a Japanese locale; CaseSensitive tells "a" and "A" apart.
    [[nodiscard]] int CompareStrings(const QString& S1, const QString& S2) const;

    [[nodiscard]] bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    [[nodiscard]] TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    [[nodiscard]] bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    std::function<void(TUniStringList&)> OnChanging;
    std::function<void(TUniStringList&)> OnChange;

protected:
    void SetUpdateState(bool Updating) override;
    virtual void Changing();
    virtual void Changed();

private:
    struct TItem
    {
        QString Text;
        void* Object = nullptr;
    };
    void InsertItem(int Index, const QString& S, void* Object);
    void CheckIndex(int Index, bool AllowEnd = false) const;
    void QuickSort(int L, int R, const TUniStringListSortCompare& Compare);

    QList<TItem> FItems;
    QCollator FCollator{QLocale(QLocale::Japanese, QLocale::Japan)};
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FUpdating = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
};
