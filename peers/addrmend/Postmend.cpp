// Stand-in for Postmend: the address code and postal code of an address the conversion table knows,
// written before or after its municipal merger. Of the library's eight exports only YAdrsTo answers;
// the others report "not converted".

#include "AddrTable.h"

using namespace AddrPeer;

VX_EXPORT unsigned char YAdrsTo(const TYAdrsToIn* In, TYAdrsToOut* Out, std::int32_t* Rc)
{
    std::string Folder;
    if (!In || !Out || !Rc || !FolderOf(In->Folder, sizeof(In->Folder), Folder)) {
        if (Rc)
            *Rc = RcBadArgument;
        return 0;
    }
    const TTable& Table = TableOf(Folder);
    if (!Table.Readable) {
        *Rc = RcUnreadable;
        return 0;
    }
    const std::string Address = FieldText(In->Address, sizeof(In->Address));
    const TEntry* Old = Longest(Table, Address, [](const TEntry& E) -> const std::string& { return E.OldKey; });
    const TEntry* New = Longest(Table, Address, [](const TEntry& E) -> const std::string& { return E.NewKey; });
    const TEntry* Entry = !New || (Old && Old->OldKey.size() > New->NewKey.size()) ? Old : New;
    if (!Entry || (Entry->JisCode.empty() && Entry->Pos.empty())) {
        *Rc = RcUnknown;
        return 0;
    }
    PutField(Out->JisCode, sizeof(Out->JisCode), Entry->JisCode);
    PutField(Out->Pos, sizeof(Out->Pos), Entry->Pos);
    *Rc = RcConverted;
    return 1;
}

namespace {

unsigned char NotConverted(std::int32_t* Rc)
{
    if (Rc)
        *Rc = RcUnknown;
    return 0;
}

} // namespace

VX_EXPORT unsigned char YZipTo(const void*, void*, std::int32_t* Rc)
{
    return NotConverted(Rc);
}
VX_EXPORT unsigned char YJis2To(const void*, void*, std::int32_t* Rc)
{
    return NotConverted(Rc);
}
VX_EXPORT unsigned char YJis5To(const void*, void*, std::int32_t* Rc)
{
    return NotConverted(Rc);
}
VX_EXPORT unsigned char YJgZipTo(const void*, void*, std::int32_t* Rc)
{
    return NotConverted(Rc);
}
VX_EXPORT unsigned char YJgNameTo(const void*, void*, std::int32_t* Rc)
{
    return NotConverted(Rc);
}
VX_EXPORT unsigned char YJgJis5To(const void*, void*, std::int32_t* Rc)
{
    return NotConverted(Rc);
}
VX_EXPORT unsigned char YJgZipToEx(const void*, void*, std::int32_t* Rc)
{
    return NotConverted(Rc);
}
