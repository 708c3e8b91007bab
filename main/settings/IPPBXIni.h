#pragma once

#include <QString>
#include <optional>

// VxComm3ip.ini in the IP-PBX folder: what the IP-PBX device library needs to reach the equipment.
// It holds the password of this computer's extension registration, so only its owner may read it.

inline const QString IPPBXIniName = QStringLiteral("VxComm3ip.ini");

struct TIPPBXValues
{
    QString From;  // SIP/From: the extension number of the IP telephone
    QString Host;  // IPPBX/Host: the equipment's IP address
    QString Telno; // IPPBX/Telno: the number whose calls are reported
    QString User;  // IPPBX/User: the name of this computer's extension registration
    QString Password;
};

// The file's name in IPPBXPath; empty when there is no IP-PBX folder.
[[nodiscard]] QString IPPBXIniFileName();

// Adapter kinds that register no extension have no name and password.
[[nodiscard]] bool IPPBXKindHasUser(int AdapterKind);

// The values as the dialog takes them from its edits: the address, extension, number and password
// trimmed with full-width digits, letters and symbols made half-width; the name only trimmed.
[[nodiscard]] TIPPBXValues NormalizeIPPBXValues(const TIPPBXValues& Typed);

// The first missing or wrong value, in the dialog's order, with its message; none when all are fine.
enum class TIPPBXField
{
    Host,
    From,
    Telno,
    User,
    Password
};
struct TIPPBXProblem
{
    TIPPBXField Field;
    QString Text;
};
[[nodiscard]] std::optional<TIPPBXProblem> CheckIPPBXValues(const TIPPBXValues& Values, bool WithUser);

// Each value from its key, empty when missing.
[[nodiscard]] TIPPBXValues LoadIPPBXSettings(const QString& FileName);
// Writes the values (the name and password only WithUser; otherwise the file keeps its own), owner-only.
// False when FileName is empty or the file could not be written.
[[nodiscard]] bool SaveIPPBXSettings(const QString& FileName, const TIPPBXValues& Values, bool WithUser);
