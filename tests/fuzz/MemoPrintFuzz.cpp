// The [MEMO PRINT] reader on any settings file: both modes' item lists are an order of the 25
// items, each naming its own table row, and the font values are within their ranges, so the memo
// print and the item dialog never print an item twice, drop one or reach past a table.

#include "FuzzSupport.h"
#include "calls/memo/MemoPrintItems.h"
#include "platform/ini/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QString File = FreshFolder(QStringLiteral("memoprint")) + QStringLiteral("VxRelvo16.ini");
    WriteFuzzFile(File, QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));
    const TMemIniFile Ini(File);
    for (const bool Fb : {false, true}) {
        const QList<TMemoPrintItem> Items = ReadMemoPrintItems(Ini, Fb);
        VX_FUZZ_CHECK_EQ(Items.size(), qsizetype(MemoItemCount));
        QList<bool> Seen(MemoItemCount, false);
        for (const TMemoPrintItem& Item : Items) {
            VX_FUZZ_CHECK(Item.ItemNo >= 0 && Item.ItemNo < MemoItemCount && !Seen[Item.ItemNo]);
            Seen[Item.ItemNo] = true;
            VX_FUZZ_CHECK_EQ(Item.TableRow, Item.ItemNo);
        }
    }
    const TMemoPrintSettings Memo = ReadMemoPrintSettings(Ini);
    VX_FUZZ_CHECK(Memo.FontSize >= 7 && Memo.FontSize <= 30);
    VX_FUZZ_CHECK(Memo.FontStyle >= 0 && Memo.FontStyle <= 3);
    VX_FUZZ_CHECK(Memo.FontCharset == 0 || Memo.FontCharset == 128);
    VX_FUZZ_CHECK(!Memo.FontName.isEmpty());
    return 0;
}
