#include "widelayer/UniClasses.h"

#include "widelayer/UniSysUtils.h"
#include "widelayer/UniSystem.h"

#include <QFileInfo>
#include <QIODevice>
#include <QtEndian>
#include <cerrno>
#include <cstring>

namespace {

QString FileErrorText(const QFile& File)
{
    // QFile keeps no errno; the last failed open left it, and it says more than QFile's own text.
    const int Code = errno;
    return Code != 0 ? SysErrorMessage(Code) : File.errorString();
}

const QString LineBreak = QStringLiteral("\r\n");

} // namespace

// --- TUniFileStream ------------------------------------------------------------------------------

TUniFileStream::TUniFileStream(const QString& FileName, int Mode) : QFile(FileName)
{
    const QString FullName = QFileInfo(FileName).absoluteFilePath();
    errno = 0;
    if (Mode == fmCreate) {
        if (!open(QIODevice::ReadWrite | QIODevice::Truncate))
            throw EFCreateError(
                QStringLiteral("ファイル \"%1\" を作成できません。%2").arg(FullName, FileErrorText(*this)));
        return;
    }
    QIODevice::OpenMode OpenMode = QIODevice::ReadOnly;
    if ((Mode & 3) == fmOpenWrite)
        OpenMode = QIODevice::WriteOnly | QIODevice::ExistingOnly;
    else if ((Mode & 3) == fmOpenReadWrite)
        OpenMode = QIODevice::ReadWrite | QIODevice::ExistingOnly;
    if (!open(OpenMode))
        throw EFOpenError(QStringLiteral("ファイル \"%1\" を開けません。%2").arg(FullName, FileErrorText(*this)));
}

TTextCharSet DetectCharSet(QIODevice& Stream)
{
    const QByteArray Head = Stream.peek(3);
    if (Head.size() >= 2) {
        if (uchar(Head[0]) == 0xFF && uchar(Head[1]) == 0xFE) {
            Stream.skip(2);
            return TTextCharSet::Utf16LE;
        }
        if (uchar(Head[0]) == 0xFE && uchar(Head[1]) == 0xFF) {
            Stream.skip(2);
            return TTextCharSet::Utf16BE;
        }
    }
    if (Head.size() >= 3 && Head == QByteArray("\xEF\xBB\xBF", 3)) {
        Stream.skip(3);
        return TTextCharSet::Utf8;
    }
    return TTextCharSet::None;
}

// --- TAnsiStrings --------------------------------------------------------------------------------

int TAnsiStrings::Add(const QByteArray& S)
{
    const int Index = Count();
    Insert(Index, S);
    return Index;
}

void TAnsiStrings::LoadFromStreamEx(QIODevice& Stream, int CodePage)
{
    const QString Text = StringToWideStringEx(Stream.readAll(), CodePage);
    BeginUpdate();
    try {
        SetTextIn(Text);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TAnsiStrings::SaveToStreamEx(QIODevice& Stream, int CodePage) const
{
    Stream.write(WideStringToStringEx(TextOut(), CodePage));
}

void TAnsiStrings::LoadFromFileEx(const QString& FileName, int CodePage)
{
    TUniFileStream Stream(FileName, fmOpenRead);
    LoadFromStreamEx(Stream, CodePage);
}

void TAnsiStrings::SaveToFileEx(const QString& FileName, int CodePage) const
{
    TUniFileStream Stream(FileName, fmCreate);
    SaveToStreamEx(Stream, CodePage);
}

int TAnsiStringsForWideStringsAdapter::Count() const
{
    return FStrings.Count();
}

QByteArray TAnsiStringsForWideStringsAdapter::Get(int Index) const
{
    return WideStringToStringEx(FStrings.Get(Index), FCodePage);
}

void TAnsiStringsForWideStringsAdapter::Put(int Index, const QByteArray& S)
{
    FStrings.Put(Index, StringToWideStringEx(S, FCodePage));
}

void TAnsiStringsForWideStringsAdapter::Insert(int Index, const QByteArray& S)
{
    FStrings.Insert(Index, StringToWideStringEx(S, FCodePage));
}

void TAnsiStringsForWideStringsAdapter::Delete(int Index)
{
    FStrings.Delete(Index);
}

void TAnsiStringsForWideStringsAdapter::Clear()
{
    FStrings.Clear();
}

QByteArray TAnsiStringsForWideStringsAdapter::Text() const
{
    return WideStringToStringEx(FStrings.Text(), FCodePage);
}

void TAnsiStringsForWideStringsAdapter::SetText(const QByteArray& Text)
{
    FStrings.SetText(StringToWideStringEx(Text, FCodePage));
}

void* TAnsiStringsForWideStringsAdapter::Objects(int Index) const
{
    return FStrings.GetObject(Index);
}

void TAnsiStringsForWideStringsAdapter::BeginUpdate()
{
    FStrings.BeginUpdate();
}

void TAnsiStringsForWideStringsAdapter::EndUpdate()
{
    FStrings.EndUpdate();
}

void TAnsiStringsForWideStringsAdapter::SetTextIn(const QString& Text)
{
    FStrings.SetText(Text);
}

QString TAnsiStringsForWideStringsAdapter::TextOut() const
{
    return FStrings.Text();
}

// --- TUniStrings ---------------------------------------------------------------------------------

TUniStrings::TUniStrings() : FAnsiStrings(std::make_unique<TAnsiStringsForWideStringsAdapter>(*this, 0)) {}

TUniStrings::~TUniStrings() = default;

int TUniStrings::AddObject(const QString& S, void* Object)
{
    const int Index = Count();
    InsertObject(Index, S, Object);
    return Index;
}

int TUniStrings::IndexOf(const QString& S) const
{
    for (int I = 0; I < Count(); ++I)
        if (Get(I).compare(S, Qt::CaseInsensitive) == 0)
            return I;
    return -1;
}

int TUniStrings::IndexOfName(const QString& Name) const
{
    for (int I = 0; I < Count(); ++I)
        if (this->Name(I).compare(Name, Qt::CaseInsensitive) == 0)
            return I;
    return -1;
}

QString TUniStrings::Name(int Index) const
{
    const QString S = Get(Index);
    const qsizetype Eq = S.indexOf(u'=');
    return Eq < 0 ? QString() : S.left(Eq);
}

QString TUniStrings::Value(const QString& Name) const
{
    const int Index = IndexOfName(Name);
    return Index < 0 ? QString() : Get(Index).mid(Name.size() + 1);
}

QStringList TUniStrings::ToList() const
{
    QStringList Lines;
    for (int I = 0; I < Count(); ++I)
        Lines << Get(I);
    return Lines;
}

QString TUniStrings::Text() const
{
    QString Out;
    for (int I = 0; I < Count(); ++I)
        Out += Get(I) + LineBreak;
    return Out;
}

void TUniStrings::SetText(const QString& Text)
{
    BeginUpdate();
    try {
        Clear();
        qsizetype Start = 0;
        const qsizetype N = Text.size();
        while (Start < N) {
            qsizetype End = Start;
            while (End < N && Text[End] != u'\r' && Text[End] != u'\n')
                ++End;
            Add(Text.mid(Start, End - Start));
            if (End < N && Text[End] == u'\r')
                ++End;
            if (End < N && Text[End] == u'\n')
                ++End;
            Start = End;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TUniStrings::Assign(const TUniStrings& Source)
{
    BeginUpdate();
    Clear();
    for (int I = 0; I < Source.Count(); ++I)
        AddObject(Source.Get(I), Source.GetObject(I));
    EndUpdate();
}

void TUniStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TUniStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TUniStrings::SetAnsiStrings(const QList<QByteArray>& Lines)
{
    BeginUpdate();
    Clear();
    for (const QByteArray& Line : Lines)
        FAnsiStrings->Add(Line);
    EndUpdate();
}

void TUniStrings::LoadFromFile(const QString& FileName)
{
    TUniFileStream Stream(FileName, fmOpenRead);
    FLastFileCharSet = DetectCharSet(Stream);
    Stream.seek(0);
    LoadFromStream(Stream);
}

void TUniStrings::LoadFromStream(QIODevice& Stream)
{
    LoadWithCharSet(Stream, DetectCharSet(Stream));
}

void TUniStrings::LoadFromStreamNoDetect(QIODevice& Stream)
{
    LoadWithCharSet(Stream, TTextCharSet::Utf16LE);
}

void TUniStrings::LoadWithCharSet(QIODevice& Stream, TTextCharSet CharSet)
{
    const QByteArray Bytes = Stream.readAll();
    QString Text;
    switch (CharSet) {
    case TTextCharSet::Utf16LE:
    case TTextCharSet::Utf16BE: {
        // An odd last byte is half a character and is dropped.
        QList<char16_t> Units(Bytes.size() / 2);
        if (!Units.isEmpty())
            std::memcpy(Units.data(), Bytes.constData(), size_t(Units.size()) * 2);
        for (char16_t& Unit : Units)
            Unit = CharSet == TTextCharSet::Utf16LE ? qFromLittleEndian(Unit) : qFromBigEndian(Unit);
        // Taken unit by unit: a further mark inside the text is text, not a new byte order.
        Text = QString(reinterpret_cast<const QChar*>(Units.constData()), Units.size());
        break;
    }
    case TTextCharSet::Utf8:
        Text = QString::fromUtf8(Bytes);
        break;
    case TTextCharSet::None:
        Text = StringToWideStringEx(Bytes, 0);
        break;
    }
    SetText(Text);
}

void TUniStrings::SaveToFile(const QString& FileName) const
{
    TUniFileStream Stream(FileName, fmCreate);
    SaveToStream(Stream);
}

void TUniStrings::SaveToStream(QIODevice& Stream) const
{
    Stream.write("\xFF\xFE", 2);
    SaveToStreamNoMark(Stream);
}

void TUniStrings::SaveToStreamNoMark(QIODevice& Stream) const
{
    const QString Out = Text();
    QByteArray Bytes(Out.size() * 2, Qt::Uninitialized);
    for (qsizetype I = 0; I < Out.size(); ++I)
        qToLittleEndian(Out[I].unicode(), Bytes.data() + 2 * I);
    Stream.write(Bytes);
}

void TUniStrings::RaiseIndexError(int Index)
{
    throw EStringListError(QStringLiteral("リストのインデックスが範囲外です (%1)。").arg(Index));
}

// --- TUniStringList ------------------------------------------------------------------------------

TUniStringList::TUniStringList()
{
    FCollator.setCaseSensitivity(Qt::CaseInsensitive);
}

TUniStringList::~TUniStringList()
{
    // Handlers may belong to an owner that is already half gone.
    OnChanging = nullptr;
    OnChange = nullptr;
}

void TUniStringList::CheckIndex(int Index, bool AllowEnd) const
{
    if (Index < 0 || Index > Count() || (!AllowEnd && Index == Count()))
        RaiseIndexError(Index);
}

QString TUniStringList::Get(int Index) const
{
    CheckIndex(Index);
    return FItems[Index].Text;
}

void TUniStringList::Put(int Index, const QString& S)
{
    if (FSorted)
        throw EStringListError(QStringLiteral("並べ替えたリストではこの操作はできません。"));
    CheckIndex(Index);
    Changing();
    FItems[Index].Text = S;
    Changed();
}

void* TUniStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return FItems[Index].Object;
}

void TUniStringList::PutObject(int Index, void* Object)
{
    CheckIndex(Index);
    Changing();
    FItems[Index].Object = Object;
    Changed();
}

void TUniStringList::InsertObject(int Index, const QString& S, void* Object)
{
    if (FSorted)
        throw EStringListError(QStringLiteral("並べ替えたリストではこの操作はできません。"));
    CheckIndex(Index, true);
    InsertItem(Index, S, Object);
}

void TUniStringList::InsertItem(int Index, const QString& S, void* Object)
{
    Changing();
    FItems.insert(Index, TItem{S, Object});
    Changed();
}

void TUniStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    FItems.removeAt(Index);
    Changed();
}

void TUniStringList::Clear()
{
    if (FItems.isEmpty())
        return;
    Changing();
    FItems.clear();
    Changed();
}

int TUniStringList::AddObject(const QString& S, void* Object)
{
    int Index = Count();
    if (FSorted && Find(S, Index)) {
        switch (FDuplicates) {
        case TDuplicates::dupIgnore:
            return Index;
        case TDuplicates::dupError:
            throw EStringListError(QStringLiteral("このリストには同じ文字列を二つ入れられません。"));
        case TDuplicates::dupAccept:
            break;
        }
    }
    InsertItem(Index, S, Object);
    return Index;
}

int TUniStringList::CompareStrings(const QString& S1, const QString& S2) const
{
    const int Result = FCollator.compare(S1, S2);
    // The collator may call two different texts alike; a case-sensitive list holds them apart.
    if (Result == 0 && FCaseSensitive)
        return S1.compare(S2);
    return Result;
}

bool TUniStringList::Find(const QString& S, int& Index) const
{
    // Even where duplicates are accepted the search goes on to the first equal entry, so that
    // IndexOf answers the same entry whatever the list's length.
    bool Found = false;
    int L = 0;
    int H = Count() - 1;
    while (L <= H) {
        const int I = (L + H) / 2;
        const int C = CompareStrings(FItems[I].Text, S);
        if (C < 0) {
            L = I + 1;
        } else {
            H = I - 1;
            if (C == 0)
                Found = true;
        }
    }
    Index = L;
    return Found;
}

int TUniStringList::IndexOf(const QString& S) const
{
    if (!FSorted) {
        for (int I = 0; I < Count(); ++I)
            if (CompareStrings(FItems[I].Text, S) == 0)
                return I;
        return -1;
    }
    int Index = -1;
    return Find(S, Index) ? Index : -1;
}

int TUniStringList::IndexOfName(const QString& Name) const
{
    if (!FSorted)
        return TUniStrings::IndexOfName(Name);
    const QString Key = Name + u'=';
    int Index = -1;
    Find(Key, Index);
    if (Index < Count() && CompareStrings(FItems[Index].Text.left(Key.size()), Key) == 0)
        return Index;
    return -1;
}

void TUniStringList::QuickSort(int L, int R, const TUniStringListSortCompare& Compare)
{
    while (L < R) {
        int I = L;
        int J = R;
        int P = (L + R) / 2;
        while (I <= J) {
            while (Compare(*this, I, P) < 0)
                ++I;
            while (Compare(*this, J, P) > 0)
                --J;
            if (I <= J) {
                if (I != J)
                    FItems.swapItemsAt(I, J);
                if (P == I)
                    P = J;
                else if (P == J)
                    P = I;
                ++I;
                --J;
            }
        }
        if (L < J)
            QuickSort(L, J, Compare);
        L = I;
    }
}

void TUniStringList::Sort()
{
    CustomSort([](TUniStringList& List, int A, int B) {
        return List.CompareStrings(List.FItems[A].Text, List.FItems[B].Text);
    });
}

void TUniStringList::CustomSort(const TUniStringListSortCompare& Compare)
{
    if (FSorted || Count() < 2)
        return;
    Changing();
    QuickSort(0, Count() - 1, Compare);
    Changed();
}

void TUniStringList::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TUniStringList::SetCaseSensitive(bool Value)
{
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    FCollator.setCaseSensitivity(Value ? Qt::CaseSensitive : Qt::CaseInsensitive);
    if (FSorted) {
        FSorted = false;
        Sort();
        FSorted = true;
    }
}

void TUniStringList::SetUpdateState(bool Updating)
{
    FUpdating = Updating;
    if (Updating)
        Changing();
    else
        Changed();
}

void TUniStringList::Changing()
{
    if (!FUpdating && OnChanging)
        OnChanging(*this);
}

void TUniStringList::Changed()
{
    if (!FUpdating && OnChange)
        OnChange(*this);
}
