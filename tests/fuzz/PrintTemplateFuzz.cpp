// The layout templates LPRHis.tpl / LPAMeibo.tpl on any bytes: at most ten templates of distinct
// names, each layout one the item lists can show, and what is saved reads back the same.

#include "FuzzSupport.h"
#include "transfer/print/PrintTemplates.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QString Folder = FreshFolder(QStringLiteral("printtemplate"));
    const QString File = Folder + QStringLiteral("LPRHis.tpl");
    WriteFuzzFile(File, QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));

    const int ItemCount = 26;
    const TTemplateList List = LoadTemplateFile(File, ItemCount);
    VX_FUZZ_CHECK(List.Items.size() <= MaxTemplates);
    QSet<QString> Names;
    for (const TLayoutTemplate& Each : List.Items) {
        VX_FUZZ_CHECK(!Names.contains(Each.Name.toCaseFolded()));
        Names.insert(Each.Name.toCaseFolded());
        VX_FUZZ_CHECK(Each.Layout.size() <= MaxLayoutEntries);
        VX_FUZZ_CHECK(CleanLayout(Each.Layout, ItemCount) == Each.Layout);
    }

    const QString Copy = Folder + QStringLiteral("copy.tpl");
    VX_FUZZ_CHECK(SaveTemplateFile(Copy, List));
    const TTemplateList Again = LoadTemplateFile(Copy, ItemCount);
    VX_FUZZ_CHECK_EQ(Again.Names(), List.Names());
    for (int I = 0; I < List.Items.size(); ++I)
        VX_FUZZ_CHECK(Again.Items[I].Layout == List.Items[I].Layout);
    return 0;
}
