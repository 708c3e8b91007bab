// Writes a pick-list file from a text file of one item a line (UTF-8), for the seed lists that the
// program folder ships: MakePickList ITEM_BYTES SOURCE TARGET.

#include "main/tables/HisInfo.h"
#include "platform/text/Cp932.h"

#include <QFile>
#include <cstdio>

namespace {

// One fixed date (1 January 2025) for every item, so that a build gives the same bytes each time.
constexpr double SeedStamp = 45658.0;

int Fail(const QString& Text)
{
    std::fprintf(stderr, "MakePickList: %s\n", qPrintable(Text));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return Fail(QStringLiteral("usage: MakePickList ITEM_BYTES SOURCE TARGET"));
    const int ItemBytes = QString::fromLocal8Bit(argv[1]).toInt();
    const QString Source = QString::fromLocal8Bit(argv[2]);
    const QString Target = QString::fromLocal8Bit(argv[3]);

    QFile File(Source);
    if (!File.open(QIODevice::ReadOnly))
        return Fail(Source + QStringLiteral(": cannot be read"));
    QStringList Items;
    for (const QByteArray& Line : File.readAll().split('\n')) {
        const QString Item = QString::fromUtf8(Line).trimmed();
        if (Item.isEmpty())
            continue;
        // The list would cut or substitute such an item without a word; the seed must be what it says.
        if (Cp932Width(Item) > ItemBytes || Cp932EncodeChecked(Item).Substituted > 0)
            return Fail(Item + QStringLiteral(": longer than %1 bytes, or not in CP932").arg(ItemBytes));
        Items.append(Item);
    }

    try {
        QFile::remove(Target);
        THistoryData List(Target, true, ItemBytes);
        List.Load();
        for (const QString& Item : Items)
            List.Add(Item, SeedStamp);
        if (!List.Save())
            return Fail(Target + QStringLiteral(": cannot be written"));
    } catch (const Exception& Error) {
        return Fail(Error.Message());
    }
    return 0;
}
