// Stand-in for Geomark: address code to coordinates. Without coordinate data every key is
// "not found" (1); the record stays zero-filled. 2 = a bad argument.

#include "platform/sys/FileVersionNote.h"

#include <cstring>

namespace {
constexpr int GeomarkRecordSize = 236;
constexpr int RcNotFound = 1;
constexpr int RcBadArgument = 2;
} // namespace

VX_FILE_VERSION(1, 0, 0, 0);

extern "C" __attribute__((visibility("default"))) int GeomarkAdrs(const char* Key, void* Record, const char* DicFolder)
{
    if (!Key || !Record)
        return RcBadArgument;
    std::memset(Record, 0, GeomarkRecordSize);
    return RcNotFound;
}
