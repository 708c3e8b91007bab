#pragma once

// The caller-ID device library's interface as an adapter maker publishes it: records, exports
// and the messages the library sends. The host keeps its own copy of these declarations; both
// must agree byte for byte.

#include "platform/msg/WindowHandle.h"

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct TAdapterKind
{
    char Name[52];
    std::int32_t Kind;
    std::int32_t HistoryCount;
    std::int32_t DialPorts;
    std::int32_t PortType;
};

struct TDeviceHistoryEntry
{
    char Number[16];
    char Date[10];
    char Time[8];
};
#pragma pack(pop)

struct TDeviceNotify
{
    std::int32_t Code;
    std::int32_t Length;
    const char* Text;
};

static_assert(sizeof(TAdapterKind) == 68 && offsetof(TAdapterKind, Kind) == 52);
static_assert(sizeof(TDeviceHistoryEntry) == 34 && offsetof(TDeviceHistoryEntry, Time) == 26);
static_assert(offsetof(TDeviceNotify, Text) == 8 && sizeof(TDeviceNotify) == 8 + sizeof(void*));

inline constexpr std::uint32_t VxCommMsgCall = 0x400 + 0x2BE;
inline constexpr std::uint32_t VxCommMsgError = 0x400 + 0x2C0;

#define VXCOMM_EXPORT extern "C" __attribute__((visibility("default")))
