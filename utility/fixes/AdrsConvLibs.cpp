#include "utility/fixes/AdrsConvLibs.h"

#include "directory/DicField.h"
#include "platform/dynlib/DynLib.h"
#include "platform/msg/CoreMessage.h"
#include "platform/text/Cp932.h"

#include <array>
#include <cstring>

namespace Utility {

namespace {

struct TLibrary
{
    const char* FileName;
    TDynLib Library;
    std::array<void*, 8> Procs{};
};

TLibrary& Addrmend()
{
    static TLibrary Instance{"Addrmend.so", {}, {}};
    return Instance;
}

TLibrary& Postmend()
{
    static TLibrary Instance{"Postmend.so", {}, {}};
    return Instance;
}

constexpr std::array<const char*, 1> AddrmendExports{"CvtAdrs"};
constexpr std::array<const char*, 8> PostmendExports{"YZipTo",   "YAdrsTo",   "YJis2To",   "YJis5To",
                                                     "YJgZipTo", "YJgNameTo", "YJgJis5To", "YJgZipToEx"};
constexpr int YAdrsToIndex = 1;

template <std::size_t N>
int LoadLibrary(TLibrary& Lib, const QString& Folder, const std::array<const char*, N>& Exports)
{
    const QString Name = QLatin1String(Lib.FileName);
    Lib.Procs.fill(nullptr);
    if (!Lib.Library.Load(Folder + Name)) {
        (void)CoreMessageBox(Name + QStringLiteral("\r\nDLLのロードに失敗しました"),
                             Name + QStringLiteral(" LoadLibrary Error"), MB_OK | MB_ICONSTOP);
        return AdrsLibLoadError;
    }
    for (std::size_t I = 0; I < N; ++I) {
        Lib.Procs[I] = Lib.Library.Symbol(Exports[I]);
        if (!Lib.Procs[I]) {
            (void)CoreMessageBox(QLatin1String(Exports[I]) + QStringLiteral("\r\n関数の割り当てに失敗しました"),
                                 Name + QStringLiteral(" GetProcAddress Error"), MB_OK | MB_ICONSTOP);
            Lib.Procs.fill(nullptr);
            Lib.Library.Free();
            return AdrsLibBindError;
        }
    }
    return AdrsLibLoaded;
}

void FreeLibrary(TLibrary& Lib)
{
    Lib.Procs.fill(nullptr);
    Lib.Library.Free();
}

// A text into a fixed field with room for its NUL; false when it does not fit whole.
bool PutField(char* Field, std::size_t Size, const QByteArray& Bytes)
{
    if (Bytes.size() >= static_cast<qsizetype>(Size))
        return false;
    std::memcpy(Field, Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
    return true;
}

} // namespace

int LoadAddrmend(const QString& LibraryFolder)
{
    return LoadLibrary(Addrmend(), LibraryFolder, AddrmendExports);
}

void FreeAddrmend()
{
    FreeLibrary(Addrmend());
}

bool CallCvtAdrs(const TCvtAdrsIn& In, TCvtAdrsOut& Out, std::int32_t& Rc)
{
    const auto Proc = reinterpret_cast<TCvtAdrsProc>(Addrmend().Procs[0]);
    if (!Proc) {
        Rc = AdrsLibNotLoaded;
        return false;
    }
    std::memset(&Out, 0, sizeof(Out));
    Rc = 0;
    return Proc(&In, &Out, &Rc) != 0;
}

int LoadPostmend(const QString& LibraryFolder)
{
    return LoadLibrary(Postmend(), LibraryFolder, PostmendExports);
}

void FreePostmend()
{
    FreeLibrary(Postmend());
}

bool CallYAdrsTo(const TYAdrsToIn& In, TYAdrsToOut& Out, std::int32_t& Rc)
{
    const auto Proc = reinterpret_cast<TYAdrsToProc>(Postmend().Procs[YAdrsToIndex]);
    if (!Proc) {
        Rc = AdrsLibNotLoaded;
        return false;
    }
    std::memset(&Out, 0, sizeof(Out));
    Rc = 0;
    return Proc(&In, &Out, &Rc) != 0;
}

bool ConversionFolderFits(const QString& Folder)
{
    return PathBytes(Folder).size() < static_cast<qsizetype>(sizeof(TCvtAdrsIn::Folder));
}

std::optional<TCvtAdrsIn> MakeCvtAdrsIn(const QString& Address, const QString& Folder)
{
    TCvtAdrsIn In;
    std::memset(&In, 0, sizeof(In));
    const QByteArray Bytes = Cp932Encode(Address);
    if (Bytes.size() > CvtAdrsMaxBytes || !PutField(In.Address, sizeof(In.Address), Bytes) ||
        !PutField(In.Folder, sizeof(In.Folder), PathBytes(Folder)))
        return std::nullopt;
    return In;
}

std::optional<TYAdrsToIn> MakeYAdrsToIn(const QString& Address, const QString& Folder)
{
    TYAdrsToIn In;
    std::memset(&In, 0, sizeof(In));
    const QByteArray Bytes = Cp932Encode(Address);
    if (!PutField(In.Address, sizeof(In.Address), Bytes) || !PutField(In.Folder, sizeof(In.Folder), PathBytes(Folder)))
        return std::nullopt;
    return In;
}

TCvtAdrsResult ReadCvtAdrsOut(const TCvtAdrsOut& Out)
{
    return {FixedFieldText(Out.Whole, sizeof(Out.Whole)), FixedFieldText(Out.Tdfkn, sizeof(Out.Tdfkn)),
            FixedFieldText(Out.City, sizeof(Out.City)), FixedFieldText(Out.Rest, sizeof(Out.Rest))};
}

TYAdrsToResult ReadYAdrsToOut(const TYAdrsToOut& Out)
{
    return {FixedFieldText(Out.JisCode, sizeof(Out.JisCode)), FixedFieldText(Out.Pos, sizeof(Out.Pos))};
}

} // namespace Utility
