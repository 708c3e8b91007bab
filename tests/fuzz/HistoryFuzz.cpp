// A pick-list file (.mtd) of any bytes: loading raises nothing but the list's own error, and what
// loads saves and loads again to the same texts and stamps.

#include "FuzzSupport.h"
#include "main/tables/HisInfo.h"
#include "platform/text/Cp932.h"

#include <bit>
#include <optional>

namespace {

struct TLoaded
{
    QStringList Texts;
    QList<quint64> Stamps; // bit patterns: a stamp of NaN must come back as the same NaN
};

// Loads FileName as the windows do, and saves it again when Resave; nothing when it is damaged.
std::optional<TLoaded> Load(const QString& FileName, bool Resave)
{
    THistoryData Data(FileName, true, 255);
    try {
        if (!Data.Load())
            return std::nullopt;
    } catch (const EHistoryDataError&) {
        return std::nullopt;
    }
    TLoaded Loaded;
    for (const THistoryStruct& Item : *Data.Items()) {
        Loaded.Texts << Item.Text;
        Loaded.Stamps << std::bit_cast<quint64>(Item.Stamp);
    }
    if (Resave)
        VX_FUZZ_CHECK(Data.Save());
    return Loaded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QString FileName = FreshFolder(QStringLiteral("history")) + QStringLiteral("Rank.mtd");
    WriteFuzzFile(FileName, QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size)));

    const std::optional<TLoaded> Loaded = Load(FileName, true);
    if (!Loaded)
        return 0;
    const std::optional<TLoaded> Saved = Load(FileName, true);
    VX_FUZZ_CHECK(Saved.has_value());
    VX_FUZZ_CHECK(Saved->Stamps == Loaded->Stamps);
    VX_FUZZ_CHECK_EQ(Saved->Texts.size(), Loaded->Texts.size());
    for (qsizetype I = 0; I < Loaded->Texts.size(); ++I) {
        // A byte the code page does not know loads as U+FFFD, which the code page cannot hold
        // either: it is saved as the visible substitute, the only change a save may make (and a
        // text that grew by it past the length byte's reach is cut).
        QString Expected = Loaded->Texts[I];
        Expected.replace(QChar(0xFFFD), QString::fromUtf8("〓"));
        if (Cp932Width(Expected) <= 255)
            VX_FUZZ_CHECK_EQ(Saved->Texts[I], Expected);
    }
    // Once saved, a list keeps every text and stamp through any further save.
    const std::optional<TLoaded> Again = Load(FileName, false);
    VX_FUZZ_CHECK(Again.has_value());
    VX_FUZZ_CHECK_EQ(Again->Texts, Saved->Texts);
    VX_FUZZ_CHECK(Again->Stamps == Saved->Stamps);
    return 0;
}
