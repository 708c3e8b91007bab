// What the map host answers and where the map programs are registered: a text in a buffer the host
// filled (with or without its NUL), and the sub-keys of a registry key read from a registry file of
// any content. A text never reaches past its buffer or its NUL; a sub-key is one path step below
// the key, named once, and there is a section for it.

#include "FuzzSupport.h"
#include "directory/maps/host/MapHostText.h"
#include "platform/sys/Registry.h"

#include <QFileInfo>

namespace {

void CheckText(const QByteArray& Buffer)
{
    const QString Text = MapHostText(Buffer.constData(), static_cast<int>(Buffer.size()));
    const qsizetype Nul = Buffer.indexOf('\0');
    const QByteArray Read = Nul < 0 ? Buffer : Buffer.left(Nul);
    VX_FUZZ_CHECK_EQ(Text, QString::fromUtf8(Read));
    VX_FUZZ_CHECK(!Text.contains(QChar(0)));
    VX_FUZZ_CHECK(MapHostText(Buffer.constData(), 0).isEmpty());
}

void CheckSubKeys(const QByteArray& File, const QString& Key)
{
    (void)FuzzScratchFolder();
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(FuzzScratchFolder() + QStringLiteral("system")));
    QDir().mkpath(QFileInfo(RegistryFileName()).absolutePath());
    WriteFuzzFile(RegistryFileName(), File);
    const QStringList Names = RegistrySubKeys(Key);
    QString Prefix = Key;
    while (Prefix.endsWith(QLatin1Char('\\')))
        Prefix.chop(1);
    Prefix += QLatin1Char('\\');
    QStringList Seen;
    for (const QString& Name : Names) {
        VX_FUZZ_CHECK(!Name.isEmpty());
        VX_FUZZ_CHECK(!Name.contains(QLatin1Char('\\')));
        VX_FUZZ_CHECK(!Seen.contains(Name, Qt::CaseInsensitive));
        Seen << Name;
        // The sub-key is there as a key of its own or as the first step of a deeper one.
        VX_FUZZ_CHECK(RegistryKeyExists(Prefix + Name) || !RegistrySubKeys(Prefix + Name).isEmpty());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray Bytes(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    CheckText(Bytes);
    TFuzzInput In(Data, Size);
    const QString Key = QString::fromUtf8(In.Piece());
    CheckSubKeys(In.Rest(), Key.isEmpty() ? QStringLiteral("HKEY_CURRENT_USER\\Software") : Key);
    return 0;
}
