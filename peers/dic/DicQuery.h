#pragma once

// Small helpers the dictionary stand-ins share: opening the postal dictionary and running a
// statement. Header-only, so that each stand-in stays a library of its own.

#include "peers/dic/DicStore.h"

#include <cstring>
#include <sqlite3.h>
#include <string>

namespace dicstore {

inline sqlite3* Open(const char* DicFolder)
{
    std::string Path = DicFolder ? DicFolder : "";
    if (!Path.empty() && Path.back() != '/')
        Path += '/';
    Path += DicStoreFileName;
    sqlite3* Db = nullptr;
    if (sqlite3_open_v2(Path.c_str(), &Db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_exec(Db, "SELECT 1 FROM city LIMIT 1", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close(Db);
        return nullptr;
    }
    return Db;
}

// SQLite VM steps of the statements finished so far in this library; the tests hold the walks of
// the dictionary to their size with it.
inline long long VmSteps = 0;

class Statement
{
public:
    Statement(sqlite3* Db, const char* Sql) { sqlite3_prepare_v2(Db, Sql, -1, &FStmt, nullptr); }
    ~Statement()
    {
        if (FStmt)
            VmSteps += sqlite3_stmt_status(FStmt, SQLITE_STMTSTATUS_VM_STEP, 0);
        sqlite3_finalize(FStmt);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool Ok() const { return FStmt != nullptr; }
    void Int(int Index, long long Value) { sqlite3_bind_int64(FStmt, Index, Value); }
    void Text(int Index, const std::string& Value)
    {
        sqlite3_bind_text(FStmt, Index, Value.data(), static_cast<int>(Value.size()), SQLITE_TRANSIENT);
    }
    bool Step() { return FStmt && sqlite3_step(FStmt) == SQLITE_ROW; }
    void Reset() { sqlite3_reset(FStmt); }
    long long ColumnInt(int Column) { return sqlite3_column_int64(FStmt, Column); }
    std::string ColumnText(int Column)
    {
        const void* Data = sqlite3_column_blob(FStmt, Column);
        int Size = sqlite3_column_bytes(FStmt, Column);
        return Data ? std::string(static_cast<const char*>(Data), static_cast<size_t>(Size)) : std::string();
    }

private:
    sqlite3_stmt* FStmt = nullptr;
};

// Copies Value into a fixed field, cut to the field (the builder already cut it on a character
// boundary) and NUL-padded.
inline void PutField(char* Field, size_t Size, const std::string& Value)
{
    std::memset(Field, 0, Size);
    std::memcpy(Field, Value.data(), Value.size() < Size ? Value.size() : Size);
}

} // namespace dicstore
