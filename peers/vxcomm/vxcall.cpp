// vxcall: rings the simulated adapter. It talks to the control socket that VxComm3.so (or, with
// --ip, VxComm3ip.so) opens in the settings folder while the program has its line open, so the
// program can be tried without a telephone line.

#include "ControlSocket.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

const char Usage[] = "usage: vxcall [--ip] call NUMBER      a call from NUMBER (\"\" for none; P, O, C, S, $ for the\n"
                     "                                      reasons: anonymous, out of area, public phone,\n"
                     "                                      by contract, special number)\n"
                     "       vxcall [--ip] error [--code N] TEXT   a device error (code 2 unless given)\n"
                     "       vxcall [--ip] history FILE     load the adapter's stored history; FILE holds one\n"
                     "                                      call a line: number,date,time (YYYYMMDD and HHMMSS;\n"
                     "                                      any text of up to 10 and 8 bytes is stored as is)\n"
                     "       vxcall [--ip] dialed           list what the program asked the adapter to dial\n";

std::string Convert(const std::string& Text, const char* To, const char* From, bool& Ok)
{
    Ok = true;
    iconv_t Converter = iconv_open(To, From);
    if (Converter == reinterpret_cast<iconv_t>(-1)) {
        Ok = false;
        return Text;
    }
    std::string Out(Text.size() * 4 + 4, '\0');
    char* In = const_cast<char*>(Text.data());
    size_t InLeft = Text.size();
    char* OutPtr = Out.data();
    size_t OutLeft = Out.size();
    if (iconv(Converter, &In, &InLeft, &OutPtr, &OutLeft) == static_cast<size_t>(-1))
        Ok = false;
    iconv_close(Converter);
    Out.resize(Out.size() - OutLeft);
    return Out;
}

// Arguments and files are UTF-8; the adapter speaks CP932.
bool ToCp932(const std::string& Text, std::string& Out, const char* What)
{
    bool Ok = false;
    Out = Convert(Text, "CP932", "UTF-8", Ok);
    if (!Ok)
        std::fprintf(stderr, "vxcall: %s cannot be written in CP932: %s\n", What, Text.c_str());
    return Ok;
}

// A date or time field as an adapter may hold it: up to the record's bytes, with no comma (the
// socket's separator) and no control character; a field an adapter fills wrongly is still stored.
bool IsFieldText(const std::string& Text, std::size_t Size)
{
    if (Text.size() > Size)
        return false;
    for (const char Char : Text) {
        if (static_cast<unsigned char>(Char) < 0x20 || Char == ',')
            return false;
    }
    return true;
}

int Connect(bool IP)
{
    const std::string Path = vxcomm::ControlSocketPath(IP);
    const char* Library = IP ? "VxComm3ip.so" : "VxComm3.so";
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    if (Path.size() >= sizeof(Address.sun_path)) {
        std::fprintf(stderr, "vxcall: the settings folder's path is too long for a socket: %s\n", Path.c_str());
        return -1;
    }
    std::memcpy(Address.sun_path, Path.c_str(), Path.size() + 1);
    const int Socket = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (Socket < 0 || connect(Socket, reinterpret_cast<sockaddr*>(&Address), sizeof(Address)) != 0) {
        std::fprintf(stderr,
                     "vxcall: no line is open: no program has the %s line open (nothing listens on %s).\n"
                     "Start the program with a %s adapter chosen in its settings, then try again.\n",
                     Library, Path.c_str(), IP ? "IP-PBX" : "telephone-line");
        if (Socket >= 0)
            close(Socket);
        return -1;
    }
    return Socket;
}

bool SendAll(int Socket, const std::string& Text)
{
    std::size_t Sent = 0;
    while (Sent < Text.size()) {
        const ssize_t Done = send(Socket, Text.data() + Sent, Text.size() - Sent, MSG_NOSIGNAL);
        if (Done <= 0)
            return false;
        Sent += static_cast<std::size_t>(Done);
    }
    return true;
}

// Sends the request and answers the reply up to and including its closing line ("OK ...", "HELD",
// "ERR ..." or "END"); the adapter answers a call once the program has handled it.
int Exchange(bool IP, const std::string& Request, std::string& Reply)
{
    const int Socket = Connect(IP);
    if (Socket < 0)
        return 1;
    if (!SendAll(Socket, Request)) {
        std::fprintf(stderr, "vxcall: the line closed while the request was sent\n");
        close(Socket);
        return 1;
    }
    char Chunk[4096];
    for (;;) {
        const ssize_t Got = recv(Socket, Chunk, sizeof(Chunk), 0);
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got <= 0)
            break;
        Reply.append(Chunk, static_cast<std::size_t>(Got));
    }
    close(Socket);
    if (Reply.rfind("ERR ", 0) == 0) {
        std::fprintf(stderr, "vxcall: the adapter refused: %s", Reply.c_str() + 4);
        return 1;
    }
    if (Reply.rfind("HELD", 0) == 0) {
        std::fprintf(stderr, "vxcall: the program took the call but could not write it to disk: it holds it in "
                             "memory only, and it is lost if the program ends before the call is in its history\n");
        return 3;
    }
    if (Reply.empty()) {
        std::fprintf(stderr, "vxcall: the line closed before it answered\n");
        return 1;
    }
    return 0;
}

int Call(bool IP, const std::string& Number)
{
    std::string Bytes;
    if (Number.find('\n') != std::string::npos || Number.find('\r') != std::string::npos) {
        std::fprintf(stderr, "vxcall: a number is one line\n");
        return 2;
    }
    if (!ToCp932(Number, Bytes, "the number"))
        return 1;
    std::string Reply;
    return Exchange(IP, "CALL " + Bytes + "\n", Reply);
}

int Error(bool IP, long Code, const std::string& Text)
{
    std::string Bytes;
    if (Text.find('\n') != std::string::npos || Text.find('\r') != std::string::npos) {
        std::fprintf(stderr, "vxcall: an error text is one line\n");
        return 2;
    }
    if (!ToCp932(Text, Bytes, "the text"))
        return 1;
    std::string Reply;
    return Exchange(IP, "ERROR " + std::to_string(Code) + " " + Bytes + "\n", Reply);
}

int History(bool IP, const char* FileName)
{
    std::ifstream File(FileName);
    if (!File) {
        std::fprintf(stderr, "vxcall: cannot read %s\n", FileName);
        return 1;
    }
    std::string Request = "HISTORY\n";
    std::string Text;
    int LineNumber = 0;
    while (std::getline(File, Text)) {
        ++LineNumber;
        Text = vxcomm::Trimmed(Text);
        if (Text.empty())
            continue;
        const auto Comma1 = Text.find(',');
        const auto Comma2 = Comma1 == std::string::npos ? Comma1 : Text.find(',', Comma1 + 1);
        const std::string Number = vxcomm::Trimmed(Text.substr(0, Comma1));
        const std::string Date = Comma2 == std::string::npos ? "" : Text.substr(Comma1 + 1, Comma2 - Comma1 - 1);
        const std::string Time = Comma2 == std::string::npos ? "" : Text.substr(Comma2 + 1);
        std::string Bytes;
        if (Comma2 == std::string::npos || !IsFieldText(Date, 10) || !IsFieldText(Time, 8)) {
            std::fprintf(stderr, "vxcall: %s line %d: expected number,date,time (date up to 10 bytes, time up to 8)\n",
                         FileName, LineNumber);
            return 1;
        }
        if (!ToCp932(Number, Bytes, "the number"))
            return 1;
        if (Bytes.size() > 16) {
            std::fprintf(stderr, "vxcall: %s line %d: a number holds at most 16 bytes\n", FileName, LineNumber);
            return 1;
        }
        Request += Bytes + "," + Date + "," + Time + "\n";
    }
    std::string Reply;
    const int Result = Exchange(IP, Request + "END\n", Reply);
    if (Result == 0)
        std::printf("%s calls stored\n", vxcomm::Trimmed(Reply.substr(3)).c_str());
    return Result;
}

int Dialed(bool IP)
{
    std::string Reply;
    const int Result = Exchange(IP, "DIALED\n", Reply);
    if (Result != 0)
        return Result;
    const auto End = Reply.rfind("END\n");
    bool Ok = false;
    std::fputs(Convert(Reply.substr(0, End), "UTF-8", "CP932", Ok).c_str(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> Args(argv + 1, argv + argc);
    bool IP = false;
    if (!Args.empty() && Args[0] == "--ip") {
        IP = true;
        Args.erase(Args.begin());
    }
    if (Args.size() == 2 && Args[0] == "call")
        return Call(IP, Args[1]);
    if (Args.size() == 2 && Args[0] == "error")
        return Error(IP, 2, Args[1]);
    if (Args.size() == 4 && Args[0] == "error" && Args[1] == "--code") {
        char* End = nullptr;
        const long Code = std::strtol(Args[2].c_str(), &End, 10);
        if (!Args[2].empty() && *End == 0)
            return Error(IP, Code, Args[3]);
    }
    if (Args.size() == 2 && Args[0] == "history")
        return History(IP, Args[1].c_str());
    if (Args.size() == 1 && Args[0] == "dialed")
        return Dialed(IP);
    std::fputs(Usage, stderr);
    return 2;
}
