// Stand-in for Addrmend: an address written before a municipal merger, rewritten from the
// conversion table in the folder the caller names (format in README.md beside this file).

#include "AddrTable.h"

using namespace AddrPeer;

VX_EXPORT unsigned char CvtAdrs(const TCvtAdrsIn* In, TCvtAdrsOut* Out, std::int32_t* Rc)
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
    const TEntry* Entry = Longest(Table, Address, [](const TEntry& E) -> const std::string& { return E.OldKey; });
    if (!Entry) {
        *Rc = RcUnknown;
        return 0;
    }
    const std::string Rest = Address.substr(Entry->OldKey.size());
    // What followed the old municipality's name carries over; only the place names change.
    const std::string Kept = Entry->NewKey.substr(Entry->Tdfkn.size() + Entry->City.size()) + Rest;
    PutField(Out->Whole, sizeof(Out->Whole), Entry->Tdfkn + Entry->City + Kept);
    PutField(Out->Tdfkn, sizeof(Out->Tdfkn), Entry->Tdfkn);
    PutField(Out->City, sizeof(Out->City), Entry->City);
    PutField(Out->Rest, sizeof(Out->Rest), Kept);
    *Rc = RcConverted;
    return 1;
}
