#pragma once

#include "main/common/CallerRec.h"

#include <QString>
#include <cstdint>

struct TNumfindRecord;

// Caller identification: a received number to a filled caller record, from the directory in use
// (the own directory or the chosen address book of the maker's directory product) or else from the
// telephone-number dictionary; and a few small procedures the windows share.

// The last identification took the caller from the address book, and that entry's RecNo (0: none).
extern bool FoundInFbAdrs;
extern std::int32_t FbAdrsRecNo;

// Result codes; any other value is the number dictionary's own code (1, 2 and 5 not found, 6 wrong
// set-up path, others errors).
inline constexpr int IdentifyFound = 0;
inline constexpr int IdentifyNoNumber = 1; // empty, or a caller-number code
inline constexpr int IdentifyNotFound = 8;
inline constexpr int IdentifyStopped = 9;

// Fills Record for Number. With SearchDirectory the directory in use is searched first; with
// AskUser the user confirms a hit or stops the search. The record starts zero-filled; when the
// caller is not found it holds only the number. The own directory goes through the data module
// (DMVxRelvo16), the address book through DMFbarea.
[[nodiscard]] int IdentifyCaller(bool SearchDirectory, bool AskUser, const QString& Number, TCallerRecord& Record);

// The steps of IdentifyCaller: 0 found, 8 not found (or the user wants the dictionary), 9 stopped;
// the dictionary answers with its own code.
[[nodiscard]] int SearchOwnDirectory(bool AskUser, const QString& Number, TCallerRecord& Record);
[[nodiscard]] int SearchFbAdrs(bool AskUser, const QString& Number, TCallerRecord& Record);
[[nodiscard]] int SearchTelDictionary(const QString& Number, TCallerRecord& Record);
// The caller of an entry the number dictionary found, as SearchTelDictionary takes it: whatever
// bytes the library left in the record.
void TakeNumfindRecord(const TNumfindRecord& Found, TCallerRecord& Record);

// Whether an identification result leaves the area-code search to do: every result but a found
// caller and a search the user stopped. A missing number dictionary must not starve it.
[[nodiscard]] bool NeedsAreaCodeSearch(int IdentifyResult);

// A text of the address book that begins with "@" holds UTF-16 code units as "@" and four
// hexadecimal digits each; any other text, or one whose groups are not all of that form, is
// taken as it is.
[[nodiscard]] QString DecodeFbText(const QString& Text);

// The company-type mark of the number dictionary's kind of company (1..7); empty for any other.
[[nodiscard]] QString CompanyTypeMark(QChar Kind);
// A company name with the mark the dictionary's two-character type code asks for: none for an
// empty code or "00"; before the name when the first character is "0", after it otherwise.
[[nodiscard]] QString MarkCompanyName(const QString& Name, const QString& TypeCode);

// A date-time (days since 1899-12-30) without its milliseconds.
[[nodiscard]] double TruncToSeconds(double DateTime);

// Makes sure the mail protocol key, where the registry has one, carries its "URL Protocol" value.
void EnsureMailtoProtocol();

// A 32-bit process on an old 64-bit Windows: never the case here.
[[nodiscard]] bool IsWow64BeforeVista();
