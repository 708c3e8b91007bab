#pragma once

// Where the simulated adapter listens for the rings, errors and stored calls that a real adapter
// would receive from the telephone line: a Unix-domain socket in the program's settings folder,
// one per library. Shared by the libraries and the vxcall tool.
//
// Protocol: one request per connection, lines ending in "\n"; numbers and texts are CP932 bytes.
//   CALL <number>          -> "OK" once the host has handled the call notification. VxRelvo16
//                             handles it by writing the call to its spool on disk, so "OK" means
//                             the call is durably received: it reaches the call history even when
//                             the program is killed, logged out or finds the history unwritable
//                             next (unless the history is full). "HELD" when the host answered the
//                             notification with a value other than 0: VxRelvo16 could not write its
//                             spool and holds the call in memory only.
//   ERROR <code> <text>    -> "OK" once the host has handled the error notification
//   HISTORY                   followed by lines "number,yyyymmdd,hhnnss" and a line "END"
//                          -> "OK <entries>": the adapter's stored history is replaced
//   DIALED                 -> one line "<line> <number>" per dial since the library was loaded, then "END"
// A refused request answers "ERR <reason>".

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace vxcomm {

inline std::string Trimmed(std::string Text)
{
    const auto First = Text.find_first_not_of(" \t\r\n");
    if (First == std::string::npos)
        return {};
    const auto Last = Text.find_last_not_of(" \t\r\n");
    return Text.substr(First, Last - First + 1);
}

// $XDG_DATA_HOME (or ~/.local/share) + "Pelmar/VxRelvo16/", as the program finds it.
inline std::string SettingsFolder()
{
    const char* DataHome = std::getenv("XDG_DATA_HOME");
    std::string Folder = DataHome != nullptr ? Trimmed(DataHome) : std::string();
    if (Folder.empty()) {
        const char* Home = std::getenv("HOME");
        if (Home == nullptr || *Home == 0) {
            const passwd* Entry = getpwuid(getuid());
            Home = Entry != nullptr ? Entry->pw_dir : "/";
        }
        Folder = std::string(Home) + "/.local/share";
    }
    if (Folder.back() != '/')
        Folder += '/';
    return Folder + "Pelmar/VxRelvo16/";
}

inline std::string ControlSocketName(bool IP)
{
    return IP ? "vxcommip.sock" : "vxcomm.sock";
}

inline std::string ControlSocketPath(bool IP)
{
    return SettingsFolder() + ControlSocketName(IP);
}

} // namespace vxcomm
