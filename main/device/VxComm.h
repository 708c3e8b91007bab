#pragma once

#include "platform/dynlib/DynLib.h"
#include "platform/msg/MessageBoxFlags.h"
#include "platform/msg/WindowMessage.h"
#include "platform/sys/Folders.h"

#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// The caller-ID device library: VxComm3.so for adapters on a serial, USB or telephony line,
// VxComm3ip.so for an IP-PBX. Records and exports below are its interface; their layout is fixed.

#pragma pack(push, 1)
// One entry of the adapter kind list.
struct TAdapterKind
{
    char Name[52];             // CP932, NUL-terminated
    std::int32_t Kind;         // the value kept in COMMON/Adapter; 0 is never listed and means no adapter
    std::int32_t HistoryCount; // calls the adapter keeps itself; 0 = no stored history
    std::int32_t DialPorts;    // bit 0 = port 1 .. bit 4 = port 5; 0 = cannot dial
    std::int32_t PortType;     // 0 serial port, 1 USB, 2 telephony
};

// One call of an adapter's stored history; fixed text fields, space- or NUL-padded.
struct TDeviceHistoryEntry
{
    char Number[16];
    char Date[10]; // yyyymmdd in the first 8
    char Time[8];  // hhnnss in the first 6
};
#pragma pack(pop)

// What lParam of a notification points to; valid only while the message is handled. The text
// pointer has the native width.
struct TDeviceNotify
{
    std::int32_t Code;   // error code (error notifications)
    std::int32_t Length; // text bytes without the terminating NUL
    const char* Text;    // CP932: the caller number, or the error text
};

static_assert(sizeof(TAdapterKind) == 68);
static_assert(offsetof(TAdapterKind, Kind) == 52 && offsetof(TAdapterKind, HistoryCount) == 56 &&
              offsetof(TAdapterKind, DialPorts) == 60 && offsetof(TAdapterKind, PortType) == 64);
static_assert(sizeof(TDeviceHistoryEntry) == 34);
static_assert(offsetof(TDeviceHistoryEntry, Date) == 16 && offsetof(TDeviceHistoryEntry, Time) == 26);
static_assert(offsetof(TDeviceNotify, Code) == 0 && offsetof(TDeviceNotify, Length) == 4 &&
              offsetof(TDeviceNotify, Text) == 8 && sizeof(TDeviceNotify) == 8 + sizeof(void*));

// Sent (never posted) by the library to the window it was given at the open.
inline constexpr std::uint32_t WM_DEVICE_CALL = WM_USER + 0x2BE;
inline constexpr std::uint32_t WM_DEVICE_ERROR = WM_USER + 0x2C0;
static_assert(WM_DEVICE_CALL == 0x6BE && WM_DEVICE_ERROR == 0x6C0);

// Libraries from this version on have the extended open.
inline constexpr std::int32_t VxCommExtendedOpenVersion = 0x02000007;

// Open results the program tells apart; any other non-zero result is fatal at start.
inline constexpr std::int32_t VxCommLineClosed = -1;
inline constexpr std::int32_t VxCommLineOpen = 0;
inline constexpr std::int32_t VxCommPortBusy = 1;
inline constexpr std::int32_t VxCommUsbDriverMissing = 31;

extern "C" {
using TGetVxComm3VersionProc = void (*)(std::int32_t* Version);
using TGetKinds2Proc = void (*)(std::uint8_t Option, std::int32_t* Count, TAdapterKind* Buffer);
using TOpenCommLineProc = std::int32_t (*)(TWindowHandle* Window, std::int32_t Port, std::int32_t Kind);
using TOpenCommLineExProc = std::int32_t (*)(std::int32_t Mode, TWindowHandle* Window, std::int32_t Port,
                                             std::int32_t Kind, std::int32_t CTISet);
using TCloseCommLineProc = std::int32_t (*)();
using TVxCommDialProc = std::int32_t (*)(std::int32_t Line, const char* Number);
using TGetHistoryProc = std::int32_t (*)(std::int32_t Kind, std::int32_t* Count, TDeviceHistoryEntry* Buffer);
}

// A library that cannot be loaded or bound is reported through the program's core message box
// with the stop icon.
inline constexpr unsigned VxCommErrorBoxFlags = MB_ICONSTOP;

// The adapter's name as text: the CP932 bytes up to the NUL.
[[nodiscard]] QString AdapterKindName(const TAdapterKind& Kind);

class TVxCommDLL
{
public:
    // Loads program folder + "VxComm3ip.so" when IP is 1, else + "VxComm3.so", and binds its
    // exports. On failure the answer is null and the message has been shown, or, when Error is given,
    // put there instead of shown. LibraryFolder (with its trailing "/") is where the library is looked for.
    [[nodiscard]] static std::unique_ptr<TVxCommDLL>
    Create(TWindowHandle* Owner, int IP, const QString& LibraryFolder = GetProgramFolder(), QString* Error = nullptr);
    // Frees the kind list and the library; does not close the line (the owner calls Close first).
    virtual ~TVxCommDLL();

    TVxCommDLL(const TVxCommDLL&) = delete;
    TVxCommDLL& operator=(const TVxCommDLL&) = delete;

    [[nodiscard]] std::int32_t GetVersion();
    // Reads the kind list anew; false (and an empty list) when the library lists no kind.
    [[nodiscard]] bool LoadKinds();
    // 0 selects no adapter (a zeroed kind); any other code must be listed.
    [[nodiscard]] bool SelectKind(std::int32_t Code);

    void Open();
    // The extended open; a library without it is opened with the plain call.
    void OpenEx(std::int32_t Mode, std::int32_t CTISet);
    // Only a line that opened is closed.
    void Close();
    // Line is the number of the adapter's port (1..5), 1 on an IP-PBX.
    void Dial(std::int32_t Line, const QString& Number);
    // Count: in, the entries Buffer holds; out, the entries the library filled (never more
    // than Buffer holds). True when the library answered 0.
    [[nodiscard]] bool GetHistory(std::int32_t Kind, std::int32_t& Count, TDeviceHistoryEntry* Buffer);

    void SetOption(std::uint8_t Value) { FOption = Value; }
    void SetPort(std::int32_t Value) { FPort = Value; }
    void SetKind(std::int32_t Value) { FKind = Value; }

    [[nodiscard]] TWindowHandle* Owner() const { return FOwner; }
    [[nodiscard]] std::uint8_t Option() const { return FOption; }
    [[nodiscard]] std::int32_t Port() const { return FPort; }
    [[nodiscard]] std::int32_t Kind() const { return FKind; }
    [[nodiscard]] std::int32_t OpenResult() const { return FOpenResult; }
    [[nodiscard]] const QList<TAdapterKind>& Kinds() const { return FKinds; }
    [[nodiscard]] const TAdapterKind& SelectedKind() const { return FSelectedKind; }
    [[nodiscard]] const QString& DLLName() const { return FDLLName; }
    [[nodiscard]] bool HasOpenEx() const { return OpenCommLineExProc != nullptr; }

private:
    TVxCommDLL(TWindowHandle* Owner, int IP, const QString& LibraryFolder);
    [[nodiscard]] bool LoadDLL(QString* Error);
    void FreeDLL();

    TDynLib FHandle;
    TGetVxComm3VersionProc GetVxComm3VersionProc = nullptr;
    TGetKinds2Proc GetKinds2Proc = nullptr;
    TOpenCommLineProc OpenCommLineProc = nullptr;
    TOpenCommLineExProc OpenCommLineExProc = nullptr;
    TCloseCommLineProc CloseCommLineProc = nullptr;
    TVxCommDialProc VxCommDialProc = nullptr;
    TGetHistoryProc GetHistoryProc = nullptr;
    TWindowHandle* FOwner;
    std::uint8_t FOption = 0;
    std::int32_t FPort = 0;
    std::int32_t FKind = 0;
    std::int32_t FOpenResult = VxCommLineClosed;
    QList<TAdapterKind> FKinds;
    TAdapterKind FSelectedKind{};
    QString FDLLName;
    QString FLibraryFolder;
};

// The wrappers over both libraries, and the one in use (one of the two, or null).
inline std::unique_ptr<TVxCommDLL> SerialCommDLL;
inline std::unique_ptr<TVxCommDLL> IPCommDLL;
inline TVxCommDLL* VxCommDLL = nullptr;
