#pragma once

#include "platform/db/Table.h"

// A small table with one index of each kind the engine makes: the primary key, a text index without
// regard to case, a plain text index and a unique one.
inline TTableDef IndexedTableDef()
{
    return {{{"RecNo", TFieldType::Integer, 0},
             {"Name", TFieldType::String, 20},
             {"Tel", TFieldType::String, 13},
             {"Code", TFieldType::String, 8}},
            {{"", "RecNo", true, true, false},
             {"Name", "Name", false, false, true},
             {"Tel", "Tel", false, false, false},
             {"Code", "Code", false, true, false}}};
}
