#include "main/device/VxComm.h"

#include "main/common/ProductInfo.h"
#include "platform/msg/CoreMessage.h"
#include "platform/text/Cp932.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

void ReportError(const QString& Text, QString* Error)
{
    if (Error)
        *Error = Text;
    else
        (void)CoreMessageBox(Text, ProductName, VxCommErrorBoxFlags);
}

} // namespace

QString AdapterKindName(const TAdapterKind& Kind)
{
    const char* const End = static_cast<const char*>(std::memchr(Kind.Name, 0, sizeof(Kind.Name)));
    const qsizetype Length = End != nullptr ? End - Kind.Name : qsizetype(sizeof(Kind.Name));
    return Cp932DecodeLenient(QByteArray(Kind.Name, Length));
}

std::unique_ptr<TVxCommDLL> TVxCommDLL::Create(TWindowHandle* Owner, int IP, const QString& LibraryFolder,
                                               QString* Error)
{
    std::unique_ptr<TVxCommDLL> Wrapper(new TVxCommDLL(Owner, IP, LibraryFolder));
    if (!Wrapper->LoadDLL(Error))
        return nullptr;
    return Wrapper;
}

TVxCommDLL::TVxCommDLL(TWindowHandle* Owner, int IP, const QString& LibraryFolder)
    : FOwner(Owner), FDLLName(IP == 1 ? QStringLiteral("VxComm3ip.so") : QStringLiteral("VxComm3.so")),
      FLibraryFolder(IncludeTrailingDelimiter(LibraryFolder))
{
}

TVxCommDLL::~TVxCommDLL()
{
    FKinds.clear();
    FreeDLL();
}

bool TVxCommDLL::LoadDLL(QString* Error)
{
    if (!FHandle.Load(FLibraryFolder + FDLLName)) {
        ReportError(FDLLName + QStringLiteral(" LoadLibrary Error") + QStringLiteral("\r\n") +
                        QStringLiteral("DLLのロードに失敗しました"),
                    Error);
        return false;
    }
    // Every export is looked up, so that no later one is left unbound behind an optional one.
    // Only the extended open may be missing: older libraries do not have it.
    GetVxComm3VersionProc = FHandle.SymbolAs<TGetVxComm3VersionProc>("GetVxComm3Version");
    GetKinds2Proc = FHandle.SymbolAs<TGetKinds2Proc>("GetKinds2");
    OpenCommLineProc = FHandle.SymbolAs<TOpenCommLineProc>("OpenCommLine");
    OpenCommLineExProc = FHandle.SymbolAs<TOpenCommLineExProc>("OpenCommLineEx");
    CloseCommLineProc = FHandle.SymbolAs<TCloseCommLineProc>("CloseCommLine");
    VxCommDialProc = FHandle.SymbolAs<TVxCommDialProc>("VxCommDial");
    GetHistoryProc = FHandle.SymbolAs<TGetHistoryProc>("GetHistory");

    const std::pair<const char*, const void*> Required[] = {
        {"GetVxComm3Version", reinterpret_cast<const void*>(GetVxComm3VersionProc)},
        {"GetKinds2", reinterpret_cast<const void*>(GetKinds2Proc)},
        {"OpenCommLine", reinterpret_cast<const void*>(OpenCommLineProc)},
        {"CloseCommLine", reinterpret_cast<const void*>(CloseCommLineProc)},
        {"VxCommDial", reinterpret_cast<const void*>(VxCommDialProc)},
        {"GetHistory", reinterpret_cast<const void*>(GetHistoryProc)},
    };
    for (const auto& [Name, Address] : Required) {
        if (Address == nullptr) {
            ReportError(QString::fromLatin1(Name) + QStringLiteral(" (") + FDLLName +
                            QStringLiteral(") GetProcAddress Error") + QStringLiteral("\r\n") +
                            QStringLiteral("関数の割り当てに失敗しました"),
                        Error);
            FreeDLL();
            return false;
        }
    }
    return true;
}

void TVxCommDLL::FreeDLL()
{
    GetVxComm3VersionProc = nullptr;
    GetKinds2Proc = nullptr;
    OpenCommLineProc = nullptr;
    OpenCommLineExProc = nullptr;
    CloseCommLineProc = nullptr;
    VxCommDialProc = nullptr;
    GetHistoryProc = nullptr;
    FHandle.Free();
}

std::int32_t TVxCommDLL::GetVersion()
{
    std::int32_t Version = 0;
    GetVxComm3VersionProc(&Version);
    return Version;
}

bool TVxCommDLL::LoadKinds()
{
    FKinds.clear();
    std::int32_t Count = 0;
    GetKinds2Proc(FOption, &Count, nullptr);
    if (Count <= 0)
        return false;
    const std::int32_t Allocated = Count;
    std::vector<TAdapterKind> Buffer(static_cast<std::size_t>(Allocated), TAdapterKind{});
    GetKinds2Proc(FOption, &Count, Buffer.data());
    // The second answer may claim more than the first asked room for; only the room is ours.
    const std::int32_t Filled = std::clamp(Count, 0, Allocated);
    for (std::int32_t I = 0; I < Filled; ++I)
        FKinds.append(Buffer[static_cast<std::size_t>(I)]);
    return true;
}

bool TVxCommDLL::SelectKind(std::int32_t Code)
{
    if (Code == 0) {
        FSelectedKind = TAdapterKind{};
        return true;
    }
    for (const TAdapterKind& Listed : FKinds) {
        if (Listed.Kind == Code) {
            FSelectedKind = Listed;
            return true;
        }
    }
    return false;
}

void TVxCommDLL::Open()
{
    FOpenResult = OpenCommLineProc(FOwner, FPort, FKind);
}

void TVxCommDLL::OpenEx(std::int32_t Mode, std::int32_t CTISet)
{
    if (OpenCommLineExProc == nullptr) {
        Open();
        return;
    }
    FOpenResult = OpenCommLineExProc(Mode, FOwner, FPort, FKind, CTISet);
}

void TVxCommDLL::Close()
{
    if (FOpenResult != VxCommLineOpen)
        return;
    // The library stops its reader thread here, and that thread may just be waiting for this
    // thread to handle a notification: keep handling them while the close runs.
    CallDispatchingSentMessages([this] { CloseCommLineProc(); });
    FOpenResult = VxCommLineClosed;
}

void TVxCommDLL::Dial(std::int32_t Line, const QString& Number)
{
    const QByteArray Bytes = Cp932Encode(Number);
    VxCommDialProc(Line, Bytes.constData());
}

bool TVxCommDLL::GetHistory(std::int32_t Kind, std::int32_t& Count, TDeviceHistoryEntry* Buffer)
{
    const std::int32_t Room = Buffer != nullptr ? std::max(Count, 0) : 0;
    std::int32_t Answered = Room;
    const bool Ok = GetHistoryProc(Kind, &Answered, Buffer) == 0;
    Count = std::clamp(Answered, 0, Room);
    return Ok;
}
