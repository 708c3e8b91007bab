#pragma once

#include "platform/dynlib/DynLib.h"

#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

// One name of the name-reading library's lists: CP932 texts, each NUL-padded or filling its field.
struct TNameDicEntry
{
    char Reading[12];
    char Name[12];
};
static_assert(sizeof(TNameDicEntry) == 24);
static_assert(offsetof(TNameDicEntry, Reading) == 0);
static_assert(offsetof(TNameDicEntry, Name) == 12);

struct TNameDicName
{
    QString Reading;
    QString Name;
};

// The name-reading library Namelore.so: the family names (kind 0) or given names (kind 1) written
// with a reading in half-width katakana. A missing library or export leaves it unloaded, and then
// it knows no name at all.
class TNameloreLib
{
public:
    [[nodiscard]] bool Load(const QString& AbsolutePath);
    void Free();
    [[nodiscard]] bool Loaded() const { return FLib.Loaded(); }

    struct TCountResult
    {
        int Rc = -1;
        int Count = 0; // never below 0, whatever the library answers
    };
    [[nodiscard]] TCountResult Count(const QString& Reading, int Kind, const QString& DicFolder) const;

    struct TListResult
    {
        int Rc = -1;
        QList<TNameDicName> Names; // the entries the library filled, at most the count asked for
    };
    [[nodiscard]] TListResult List(const QString& Reading, int Kind, int Count, const QString& DicFolder) const;

private:
    using TCountProc = int (*)(const char*, std::int32_t, std::int32_t*, const char*);
    using TListProc = int (*)(const char*, std::int32_t, TNameDicEntry*, std::int32_t, const char*);

    TDynLib FLib;
    TCountProc FSeiCount = nullptr;
    TCountProc FMeiCount = nullptr;
    TListProc FSeiList = nullptr;
    TListProc FMeiList = nullptr;
};
