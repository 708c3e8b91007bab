// The simulated caller-ID adapter: the device library the program loads when no adapter is
// attached, or for tests. It lists adapter kinds like a real library, opens a "line" that is a
// control socket in the settings folder, and turns each request on it into the notification a
// real adapter's ring or fault would give. Built twice: VxComm3.so (VXCOMM_IP 0) and
// VxComm3ip.so (VXCOMM_IP 1).

#include "ControlSocket.h"
#include "VxCommApi.h"
#include "platform/sys/FileVersionNote.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <utility>
#include <vector>

#ifndef VXCOMM_IP
#define VXCOMM_IP 0
#endif

namespace {

constexpr std::int32_t LibraryVersion = 0x02000008;
constexpr std::int32_t ResultOpen = 0;
constexpr std::int32_t ResultPortBusy = 1;
constexpr std::int32_t ResultLineFault = 2;

struct TKindInfo
{
    const char* Name; // UTF-8 here; handed out in CP932
    std::int32_t Kind;
    std::int32_t HistoryCount;
    std::int32_t DialPorts;
    std::int32_t PortType;
};

#if VXCOMM_IP
const TKindInfo KindTable[] = {
    {"ひかり電話ルーター", 200, 0, 0x01, 0},
    {"ひかり電話ホームゲートウェイ", 211, 0, 0x00, 0},
    {"ＩＰ－ＰＢＸ（子機登録）", 220, 0, 0x01, 0},
};
#else
const TKindInfo KindTable[] = {
    {"ナンバーディスプレイアダプター（シリアル）", 1, 0, 0x00, 0},
    {"ナンバーディスプレイアダプター（ＵＳＢ）", 2, 0, 0x00, 1},
    {"アナログ回線アダプター（履歴・発信対応）", 3, 50, 0x03, 1},
    {"デジタル回線アダプター（ＩＳＤＮ）", 4, 0, 0x00, 0},
    {"ＴＡＰＩモデム", 5, 0, 0x01, 2},
};
#endif
constexpr std::int32_t KindCount = static_cast<std::int32_t>(std::size(KindTable));

std::string Utf8ToCp932(const std::string& Text)
{
    iconv_t Converter = iconv_open("CP932", "UTF-8");
    if (Converter == reinterpret_cast<iconv_t>(-1))
        return Text;
    std::string Out(Text.size() * 2 + 4, '\0');
    char* In = const_cast<char*>(Text.data());
    size_t InLeft = Text.size();
    char* OutPtr = Out.data();
    size_t OutLeft = Out.size();
    iconv(Converter, &In, &InLeft, &OutPtr, &OutLeft);
    iconv_close(Converter);
    Out.resize(Out.size() - OutLeft);
    return Out;
}

const TKindInfo* FindKind(std::int32_t Kind)
{
    for (const TKindInfo& Info : KindTable) {
        if (Info.Kind == Kind)
            return &Info;
    }
    return nullptr;
}

// Copies Text into a fixed field, NUL-padded; a long text is cut at the field's width.
template <std::size_t N> void SetField(char (&Field)[N], const std::string& Text)
{
    std::memset(Field, 0, N);
    std::memcpy(Field, Text.data(), std::min(N, Text.size()));
}

class TLine
{
public:
    ~TLine() { Stop(); }

    std::int32_t Open(TWindowHandle* Window, std::int32_t Port, std::int32_t Kind)
    {
        std::lock_guard Guard(FOpenLock);
        if (FReader.joinable())
            return ResultPortBusy;
        if (Window == nullptr || Window->Send == nullptr || FindKind(Kind) == nullptr)
            return ResultLineFault;
        const std::string Folder = vxcomm::SettingsFolder();
        if (!MakeFolder(Folder))
            return ResultLineFault;
        FSocketPath = Folder + vxcomm::ControlSocketName(VXCOMM_IP);
        if (SomeoneListens(FSocketPath))
            return ResultPortBusy;
        unlink(FSocketPath.c_str());
        sockaddr_un Address{};
        Address.sun_family = AF_UNIX;
        if (FSocketPath.size() >= sizeof(Address.sun_path))
            return ResultLineFault;
        std::memcpy(Address.sun_path, FSocketPath.c_str(), FSocketPath.size() + 1);
        FListen = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (FListen < 0)
            return ResultLineFault;
        if (bind(FListen, reinterpret_cast<sockaddr*>(&Address), sizeof(Address)) != 0 || listen(FListen, 8) != 0 ||
            pipe2(FWake, O_CLOEXEC) != 0) {
            close(FListen);
            FListen = -1;
            unlink(FSocketPath.c_str());
            return ResultLineFault;
        }
        chmod(FSocketPath.c_str(), 0600);
        FWindow = Window;
        FPort = Port;
        FKind = Kind;
        FReader = std::thread([this] { ReadLine(); });
        return ResultOpen;
    }

    void Stop()
    {
        std::lock_guard Guard(FOpenLock);
        if (!FReader.joinable())
            return;
        const char Byte = 1;
        [[maybe_unused]] const auto Written = write(FWake[1], &Byte, 1);
        FReader.join();
        close(FWake[0]);
        close(FWake[1]);
        close(FListen);
        FListen = -1;
        unlink(FSocketPath.c_str());
    }

    void RecordDial(std::int32_t Line, const char* Number)
    {
        std::lock_guard Guard(FDataLock);
        FDialed.emplace_back(Line, Number != nullptr ? Number : "");
    }

    std::int32_t CopyHistory(std::int32_t Kind, std::int32_t* Count, TDeviceHistoryEntry* Buffer)
    {
        const TKindInfo* Info = FindKind(Kind);
        if (Info == nullptr || Count == nullptr)
            return 1;
        if (Info->HistoryCount == 0) {
            *Count = 0;
            return 0;
        }
        std::lock_guard Guard(FDataLock);
        const std::int32_t Room = Buffer != nullptr ? std::max(*Count, 0) : 0;
        // The adapter's memory holds its newest HistoryCount calls.
        const std::size_t Kept = std::min<std::size_t>(FHistory.size(), static_cast<std::size_t>(Info->HistoryCount));
        const std::size_t First = FHistory.size() - Kept;
        const std::int32_t Copied =
            static_cast<std::int32_t>(std::min<std::size_t>(Kept, static_cast<std::size_t>(Room)));
        for (std::int32_t I = 0; I < Copied; ++I)
            Buffer[I] = FHistory[First + static_cast<std::size_t>(I)];
        *Count = Copied;
        return 0;
    }

private:
    static bool MakeFolder(const std::string& Folder)
    {
        for (std::size_t Slash = Folder.find('/', 1); Slash != std::string::npos; Slash = Folder.find('/', Slash + 1)) {
            const std::string Level = Folder.substr(0, Slash);
            if (mkdir(Level.c_str(), 0700) != 0 && errno != EEXIST)
                return false;
        }
        struct stat Info
        {
        };
        return stat(Folder.c_str(), &Info) == 0 && S_ISDIR(Info.st_mode);
    }

    // Another program that has this line open answers on the socket; a file left by one that
    // died does not.
    static bool SomeoneListens(const std::string& Path)
    {
        sockaddr_un Address{};
        Address.sun_family = AF_UNIX;
        if (Path.size() >= sizeof(Address.sun_path))
            return false;
        std::memcpy(Address.sun_path, Path.c_str(), Path.size() + 1);
        const int Probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (Probe < 0)
            return false;
        const bool Answered = connect(Probe, reinterpret_cast<sockaddr*>(&Address), sizeof(Address)) == 0;
        close(Probe);
        return Answered;
    }

    void ReadLine()
    {
        for (;;) {
            pollfd Waits[2] = {{FListen, POLLIN, 0}, {FWake[0], POLLIN, 0}};
            if (poll(Waits, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (Waits[1].revents != 0)
                return;
            if ((Waits[0].revents & POLLIN) == 0)
                continue;
            const int Connection = accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
            if (Connection < 0)
                continue;
            timeval Timeout{5, 0};
            setsockopt(Connection, SOL_SOCKET, SO_RCVTIMEO, &Timeout, sizeof(Timeout));
            Serve(Connection);
            close(Connection);
        }
    }

    static bool ReadRequestLine(int Connection, std::string& Pending, std::string& Line)
    {
        for (;;) {
            const auto End = Pending.find('\n');
            if (End != std::string::npos) {
                Line = Pending.substr(0, End);
                Pending.erase(0, End + 1);
                if (!Line.empty() && Line.back() == '\r')
                    Line.pop_back();
                return true;
            }
            char Chunk[4096];
            const ssize_t Got = recv(Connection, Chunk, sizeof(Chunk), 0);
            if (Got <= 0)
                return false;
            Pending.append(Chunk, static_cast<std::size_t>(Got));
            if (Pending.size() > (1u << 20))
                return false;
        }
    }

    static void Reply(int Connection, const std::string& Text)
    {
        std::size_t Sent = 0;
        while (Sent < Text.size()) {
            const ssize_t Done = send(Connection, Text.data() + Sent, Text.size() - Sent, MSG_NOSIGNAL);
            if (Done <= 0)
                return;
            Sent += static_cast<std::size_t>(Done);
        }
    }

    std::intptr_t Notify(std::uint32_t Msg, std::int32_t Code, const std::string& Text)
    {
        // A sent message: the host handles it before Send returns, so the record may live here.
        const TDeviceNotify Record{Code, static_cast<std::int32_t>(Text.size()), Text.c_str()};
        return FWindow->Send(FWindow->Context, Msg, 0, reinterpret_cast<std::intptr_t>(&Record));
    }

    void Serve(int Connection)
    {
        std::string Pending;
        std::string Request;
        if (!ReadRequestLine(Connection, Pending, Request))
            return;
        if (Request.rfind("CALL ", 0) == 0 || Request == "CALL") {
            // The host answers a call it could not keep on disk with a value other than 0.
            const bool Kept = Notify(VxCommMsgCall, 0, Request.size() > 5 ? Request.substr(5) : std::string()) == 0;
            Reply(Connection, Kept ? "OK\n" : "HELD\n");
        } else if (Request.rfind("ERROR ", 0) == 0) {
            const std::string Rest = Request.substr(6);
            const auto Space = Rest.find(' ');
            const std::string CodeText = Rest.substr(0, Space);
            char* End = nullptr;
            const long Code = std::strtol(CodeText.c_str(), &End, 10);
            if (CodeText.empty() || *End != 0) {
                Reply(Connection, "ERR the error code is not a number\n");
                return;
            }
            Notify(VxCommMsgError, static_cast<std::int32_t>(Code),
                   Space == std::string::npos ? std::string() : Rest.substr(Space + 1));
            Reply(Connection, "OK\n");
        } else if (Request == "HISTORY") {
            std::vector<TDeviceHistoryEntry> Entries;
            std::string Line;
            for (;;) {
                if (!ReadRequestLine(Connection, Pending, Line)) {
                    Reply(Connection, "ERR the history ended without END\n");
                    return;
                }
                if (Line == "END")
                    break;
                const auto Comma1 = Line.find(',');
                const auto Comma2 = Comma1 == std::string::npos ? Comma1 : Line.find(',', Comma1 + 1);
                if (Comma2 == std::string::npos) {
                    Reply(Connection, "ERR a history line is not number,date,time\n");
                    return;
                }
                TDeviceHistoryEntry Entry{};
                SetField(Entry.Number, Line.substr(0, Comma1));
                SetField(Entry.Date, Line.substr(Comma1 + 1, Comma2 - Comma1 - 1));
                SetField(Entry.Time, Line.substr(Comma2 + 1));
                Entries.push_back(Entry);
            }
            {
                std::lock_guard Guard(FDataLock);
                FHistory = std::move(Entries);
                Reply(Connection, "OK " + std::to_string(FHistory.size()) + "\n");
            }
        } else if (Request == "DIALED") {
            std::string Answer;
            {
                std::lock_guard Guard(FDataLock);
                for (const auto& [Line, Number] : FDialed)
                    Answer += std::to_string(Line) + " " + Number + "\n";
            }
            Reply(Connection, Answer + "END\n");
        } else {
            Reply(Connection, "ERR unknown request\n");
        }
    }

    std::mutex FOpenLock;
    std::mutex FDataLock;
    std::thread FReader;
    int FListen = -1;
    int FWake[2] = {-1, -1};
    std::string FSocketPath;
    TWindowHandle* FWindow = nullptr;
    std::int32_t FPort = 0;
    std::int32_t FKind = 0;
    std::vector<TDeviceHistoryEntry> FHistory;
    std::vector<std::pair<std::int32_t, std::string>> FDialed;
};

TLine TheLine;

} // namespace

// The file states the version the library reports, so that the update check can read it from the file.
VX_FILE_VERSION((LibraryVersion >> 24) & 0xFF, (LibraryVersion >> 16) & 0xFF, (LibraryVersion >> 8) & 0xFF,
                LibraryVersion & 0xFF);

VXCOMM_EXPORT void GetVxComm3Version(std::int32_t* Version)
{
    if (Version != nullptr)
        *Version = LibraryVersion;
}

VXCOMM_EXPORT void GetKinds2(std::uint8_t /*Option*/, std::int32_t* Count, TAdapterKind* Buffer)
{
    if (Count == nullptr)
        return;
    if (Buffer == nullptr) {
        *Count = KindCount;
        return;
    }
    const std::int32_t Filled = std::clamp(*Count, 0, KindCount);
    for (std::int32_t I = 0; I < Filled; ++I) {
        const TKindInfo& Info = KindTable[I];
        TAdapterKind& Out = Buffer[I];
        std::memset(&Out, 0, sizeof(Out));
        SetField(Out.Name, Utf8ToCp932(Info.Name).substr(0, sizeof(Out.Name) - 1));
        Out.Kind = Info.Kind;
        Out.HistoryCount = Info.HistoryCount;
        Out.DialPorts = Info.DialPorts;
        Out.PortType = Info.PortType;
    }
    *Count = Filled;
}

VXCOMM_EXPORT std::int32_t OpenCommLine(TWindowHandle* Window, std::int32_t Port, std::int32_t Kind)
{
    return TheLine.Open(Window, Port, Kind);
}

VXCOMM_EXPORT std::int32_t OpenCommLineEx(std::int32_t /*Mode*/, TWindowHandle* Window, std::int32_t Port,
                                          std::int32_t Kind, std::int32_t /*CTISet*/)
{
    return TheLine.Open(Window, Port, Kind);
}

VXCOMM_EXPORT std::int32_t CloseCommLine()
{
    TheLine.Stop();
    return 0;
}

VXCOMM_EXPORT std::int32_t VxCommDial(std::int32_t LineNumber, const char* Number)
{
    TheLine.RecordDial(LineNumber, Number);
    return 0;
}

VXCOMM_EXPORT std::int32_t GetHistory(std::int32_t Kind, std::int32_t* Count, TDeviceHistoryEntry* Buffer)
{
    return TheLine.CopyHistory(Kind, Count, Buffer);
}
