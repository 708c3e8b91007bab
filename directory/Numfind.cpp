#include "directory/Numfind.h"

#include "directory/DicField.h"
#include "platform/dynlib/DynLib.h"
#include "platform/msg/CoreMessage.h"
#include "platform/sys/Folders.h"
#include "platform/text/Cp932.h"

#include <cstring>

namespace {

constexpr char LibraryName[] = "Numfind.so";

struct TBinding
{
    TDynLib Library;
    int UseCount = 0;
    TNumfindOtherProc SearchTel = nullptr;
    TNumfindOtherProc SearchTelOne = nullptr;
    TSearchFromTelKProc SearchFromTelK = nullptr;
    TNumfindOtherProc PupTelMask = nullptr;
};

TBinding& Binding()
{
    static TBinding Instance;
    return Instance;
}

template <typename TProc> bool Bind(TProc& Proc, const char* Name, const QString& Caption)
{
    Proc = reinterpret_cast<TProc>(Binding().Library.Symbol(Name));
    if (Proc)
        return true;
    (void)CoreMessageBox(QLatin1String(Name) +
                             QStringLiteral(" (Numfind.so) GetProcAddress Error\r\n関数の割り当てに失敗しました"),
                         Caption, MB_ICONSTOP);
    return false;
}

void Unbind()
{
    TBinding& B = Binding();
    B.SearchTel = nullptr;
    B.SearchTelOne = nullptr;
    B.SearchFromTelK = nullptr;
    B.PupTelMask = nullptr;
    B.Library.Free();
}

} // namespace

int LoadNumberDictionary(const QString& Folder, const QString& Caption)
{
    TBinding& B = Binding();
    if (++B.UseCount > 1)
        return 0;
    const QString LibraryFolder = Folder.isEmpty() ? GetProgramFolder() : IncludeTrailingDelimiter(Folder);
    if (!B.Library.Load(LibraryFolder + QLatin1String(LibraryName))) {
        (void)CoreMessageBox(QStringLiteral("Numfind.so LoadLibrary Error\r\nDLLのロードに失敗しました"), Caption,
                             MB_ICONSTOP);
        return NumfindRcLoadError;
    }
    if (!Bind(B.SearchTel, "SearchTel", Caption) || !Bind(B.SearchTelOne, "SearchTelOne", Caption) ||
        !Bind(B.SearchFromTelK, "SearchFromTelK", Caption)) {
        // Without its search entries the dictionary is of no use: it counts as not loaded.
        Unbind();
        FreeNumberDictionary();
        return NumfindRcBindError;
    }
    if (!Bind(B.PupTelMask, "pup_tel_mask", Caption))
        return NumfindRcMaskBindError;
    return 0;
}

void FreeNumberDictionary()
{
    TBinding& B = Binding();
    if (B.UseCount <= 0)
        return;
    if (--B.UseCount == 0 && B.Library.Loaded())
        Unbind();
}

bool NumberDictionaryLoaded()
{
    return Binding().SearchFromTelK != nullptr;
}

int SearchNumberDictionary(const QString& Number, TNumfindRecord& Record, const QString& WorkFolder,
                           const QString& DicFolder)
{
    if (!NumberDictionaryLoaded())
        return NumfindRcBindError;
    std::memset(&Record, 0, sizeof(Record));
    return Binding().SearchFromTelK(Cp932Encode(Number).constData(), &Record, PathBytes(WorkFolder).constData(),
                                    PathBytes(DicFolder).constData());
}
