// A loadable extension for the sqlite3 shell and other SQLite tools: it registers the collations
// the tables' text indexes use, so that an administrator can select, sort, write and check a
// table file with the usual tool:
//   sqlite3 -cmd '.load build/bin/vxcollation' RecvHis.DB
// SQLite finds the entry point sqlite3_vxcollation_init by the file name.

#include "platform/db/Collation.h"

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

namespace {

int CollateCp932(void*, int LengthA, const void* A, int LengthB, const void* B)
{
    return CompareCp932(static_cast<const char*>(A), LengthA, static_cast<const char*>(B), LengthB, false);
}

int CollateCp932Ci(void*, int LengthA, const void* A, int LengthB, const void* B)
{
    return CompareCp932(static_cast<const char*>(A), LengthA, static_cast<const char*>(B), LengthB, true);
}

} // namespace

extern "C" __attribute__((visibility("default"))) int sqlite3_vxcollation_init(sqlite3* Db, char** ErrorText,
                                                                               const sqlite3_api_routines* Api)
{
    SQLITE_EXTENSION_INIT2(Api);
    // Through the host's own routines: the shell may carry an SQLite of its own.
    int Rc = sqlite3_create_collation_v2(Db, Cp932CollationName, SQLITE_UTF8, nullptr, CollateCp932, nullptr);
    if (Rc == SQLITE_OK)
        Rc = sqlite3_create_collation_v2(Db, Cp932CiCollationName, SQLITE_UTF8, nullptr, CollateCp932Ci, nullptr);
    if (Rc != SQLITE_OK && ErrorText)
        *ErrorText = sqlite3_mprintf("vxcollation: the collations could not be registered");
    // Registered once, the collations serve every connection the shell opens later too.
    return Rc == SQLITE_OK ? SQLITE_OK_LOAD_PERMANENTLY : Rc;
}
